#!/usr/bin/env python3
"""Lists, per source folder, the folders its files include, and fails when a folder includes a
folder that is not below it, when a part of a split folder includes a part that is not below it
or a file of that folder lies in none of its parts, when files include each other in a cycle,
when two modules (a .cpp with its header) need each other through their headers (A.cpp includes
B.h and B.cpp includes A.h), and when a header declares a function, class or variable that a
.cpp other than its own defines although that .cpp has a header of its own.

Usage: include-graph.py [source root]   (default: the folder above this script)
"""
import os
import re
import sys

# Lower numbers sit lower: a folder may include only folders with a smaller number. Folders of
# the same number know nothing of each other.
LAYERS = {
    "base": 0,        # handle owners, clock seam, code-page and ASCII text, the progress message
    "res": 0,         # resource ids and scripts
    "crypto": 1,      # SHA-256 and signature checks (the platform's, or Crypto++ natively)
    "fs": 1,          # folders, paths and files
    "description": 2, # the description format: decryption and the parser
    "download": 3,    # HTTP transfers
    "ui": 3,          # the progress window and the message boxes
    "tools": 4,       # the publisher's tool (eiftool): the description format and HTTP rules
    "bootstrap": 4,   # the steps of the bootstrap, as free functions
    "app": 5,         # the application object: composes everything, and the entry point
}
# A folder split into parts of its own: a part may include only parts of its folder with a
# smaller number, and every file of the folder sits in one of its parts.
PARTS = {
    "tools": {
        "pack": 0,   # keys, encryption, signing, [File Hashes], the signed sections
        "check": 1,  # `eiftool check`: what the bootstrapper would refuse or misread
        "audit": 1,  # `eiftool audit`: the servers asked as the bootstrapper asks them
        "cli": 2,    # the command line: its arguments, commands, help and exit statuses
    },
}
SOURCE_SUFFIXES = (".h", ".cpp", ".h.in", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def source_files(root):
    for folder in sorted(os.listdir(root)):
        path = os.path.join(root, folder)
        if folder.startswith(".") or folder in ("build", "tests", "bench", "scripts", "cmake"):
            continue
        if not os.path.isdir(path):
            continue
        for dirpath, _, names in os.walk(path):
            for name in sorted(names):
                if name.endswith(SOURCE_SUFFIXES):
                    full = os.path.join(dirpath, name)
                    yield folder, os.path.relpath(full, root).replace(os.sep, "/"), full


def find_cycles(edges, label):
    """One problem line per cycle found by a depth-first search over `edges`."""
    problems = []
    state = {}
    for start in sorted(edges):
        if state.get(start):
            continue
        stack = [(start, iter(sorted(edges.get(start, ()))))]
        path = [start]
        state[start] = 1
        while stack:
            node, children = stack[-1]
            child = next(children, None)
            if child is None:
                state[node] = 2
                stack.pop()
                path.pop()
            elif state.get(child) == 1:
                cycle = path[path.index(child):] + [child]
                problems.append(label + ": " + " -> ".join(cycle))
            elif not state.get(child):
                state[child] = 1
                stack.append((child, iter(sorted(edges.get(child, ())))))
                path.append(child)
    return problems


def module_of(relative):
    """A .cpp and the header of the same name form one module."""
    for suffix in (".h", ".cpp"):
        if relative.endswith(suffix):
            return relative[: -len(suffix)]
    return None


def module_cycles(file_edges, headers):
    edges = {}
    for relative, included in file_edges.items():
        source = module_of(relative)
        if source is None:
            continue
        for header in included:
            target = module_of(header)
            if header in headers and target != source:
                edges.setdefault(source, set()).add(target)
    return find_cycles(edges, "module cycle")


CODE_NOISE = re.compile(r'//[^\n]*|/\*.*?\*/|R"(\w*)\(.*?\)\1"|"(?:\\.|[^"\\\n])*"|'
                        r"'(?:\\.|[^'\\\n])*'", re.DOTALL)
PREPROCESSOR = re.compile(r"^\s*#(?:[^\n]*\\\n)*[^\n]*", re.MULTILINE)
KEYWORDS = {"if", "for", "while", "switch", "return", "sizeof", "decltype", "alignof", "operator"}


def top_level_statements(text):
    """(head, ends_with_block) for each statement at namespace level, outside anonymous
    namespaces: the text before its '{' or ';'."""
    text = PREPROCESSOR.sub(" ", CODE_NOISE.sub(" ", text))
    statements, head, depth, hidden = [], "", 0, []
    # Each open brace is noted as a scope ("ns", "anon") that stays at namespace level, or a body.
    scopes = []
    for char in text:
        if scopes and scopes[-1] == "body":
            if char == "{":
                depth += 1
            elif char == "}":
                depth -= 1
                if depth == 0:
                    scopes.pop()
            continue
        if char == "{":
            stripped = head.strip()
            if re.fullmatch(r'(?:inline\s+)?namespace(?:\s+[\w:]+)?|extern\s*', stripped):
                scopes.append("anon" if stripped == "namespace" else "ns")
            else:
                if "anon" not in scopes:
                    statements.append((stripped, True))
                scopes.append("body")
                depth = 1
            head = ""
        elif char == "}":
            if scopes:
                scopes.pop()
            head = ""
        elif char == ";":
            if "anon" not in scopes and head.strip():
                statements.append((head.strip(), False))
            head = ""
        else:
            head += char
    return statements


def named_entity(head):
    """What a namespace-level statement declares or defines: ("class", name), ("function",
    name) or ("variable", name); None for anything else."""
    head = " ".join(head.split())
    if re.match(r"(?:template\s*<[^>]*>\s*)?(?:typedef|using|static_assert|static|friend|enum)\b", head):
        return None
    match = re.match(r"(?:template\s*<[^>]*>\s*)?(?:class|struct|union)\s+(\w+)", head)
    if match:
        return ("class", match.group(1))
    call = re.search(r"([A-Za-z_]\w*(?:\s*::\s*~?\w+)*)\s*\(", head)
    before_assign = head.split("=", 1)[0]
    if call and "(" in before_assign and call.start() < len(before_assign):
        parts = [p.strip() for p in call.group(1).split("::")]
        if parts[-1] in KEYWORDS:
            return None
        if len(parts) > 1:
            return ("class", parts[-2])  # Class::Member
        return ("function", parts[0])
    match = re.search(r"(\w+)\s*(?:\[[^\]]*\]\s*)?(?:=.*|\{.*)?$", before_assign)
    if match and " " in before_assign.strip():
        return ("variable", match.group(1))
    return None


def declarations_and_definitions(root):
    """Per header, the names it declares; per .cpp, the names it defines."""
    declared, defined = {}, {}
    for _, relative, full in source_files(root):
        if not relative.endswith((".h", ".cpp")):
            continue
        with open(full, encoding="utf-8", errors="replace") as f:
            statements = top_level_statements(f.read())
        for head, block in statements:
            entity = named_entity(head)
            if entity is None:
                continue
            if relative.endswith(".h"):
                if entity[0] != "class" or block:  # a class counts where its body is
                    declared.setdefault(relative, set()).add(entity)
            elif block or entity[0] != "function":
                if entity[0] == "class" and not re.search(r"::", head):
                    continue  # a class of the .cpp's own, not a member definition
                if entity[0] == "variable" and head.startswith("extern"):
                    continue
                defined.setdefault(entity, set()).add(relative)
    return declared, defined


def misplaced_declarations(root, headers):
    declared, defined = declarations_and_definitions(root)
    problems = []
    for header in sorted(declared):
        own = module_of(header) + ".cpp"
        for entity in sorted(declared[header]):
            definers = defined.get(entity, set())
            if own in definers:
                continue
            for cpp in sorted(definers):
                if module_of(cpp) + ".h" in headers:
                    problems.append(f"{header}: declares {entity[0]} {entity[1]}, defined in {cpp}, "
                                    f"which has its own header {module_of(cpp)}.h")
    return problems


def part_of(path):
    """The part of a split folder that `path` (relative to the root) lies in, or None."""
    pieces = path.split("/")
    if pieces[0] not in PARTS or len(pieces) < 3 or pieces[1] not in PARTS[pieces[0]]:
        return None
    return pieces[1]


def part_problems(relative, folder, included):
    """What is wrong with `relative`, in a part of the split `folder`, including `included` of
    the same folder."""
    part = part_of(relative)
    target = part_of(included)
    if target is None:
        return [f"{relative}: includes '{included}', in none of the parts of '{folder}'"]
    if target != part and PARTS[folder][target] >= PARTS[folder][part]:
        return [f"{relative}: '{folder}/{part}' (part {PARTS[folder][part]}) includes '{included}' "
                f"('{folder}/{target}', part {PARTS[folder][target]}), which is not below it"]
    return []


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    problems = []
    folder_edges = {}
    part_edges = {}
    file_edges = {}
    for folder, relative, full in source_files(root):
        if folder not in LAYERS:
            problems.append(f"{relative}: folder '{folder}' has no layer in {os.path.basename(__file__)}")
            continue
        with open(full, encoding="utf-8", errors="replace") as f:
            text = f.read()
        folder_edges.setdefault(folder, set())
        if folder in PARTS and part_of(relative) is None:
            problems.append(f"{relative}: lies in none of the parts of '{folder}' ({', '.join(sorted(PARTS[folder]))})")
        for included in INCLUDE.findall(text):
            if "/" not in included:
                continue  # a file next to it (resource scripts), same folder
            target = included.split("/", 1)[0]
            file_edges.setdefault(relative, set()).add(included)
            if target == folder:
                if folder in PARTS and part_of(relative) is not None:
                    problems += part_problems(relative, folder, included)
                    part_edges.setdefault(f"{folder}/{part_of(relative)}", set()).add(
                        f"{folder}/{part_of(included) or '?'}")
                continue
            folder_edges[folder].add(target)
            if target not in LAYERS:
                problems.append(f"{relative}: includes '{included}' of unknown folder '{target}'")
            elif LAYERS[target] >= LAYERS[folder]:
                problems.append(f"{relative}: '{folder}' (layer {LAYERS[folder]}) includes '{included}' "
                                f"('{target}', layer {LAYERS[target]}), which is not below it")

    problems += find_cycles(file_edges, "include cycle")
    headers = {relative for _, relative, _ in source_files(root) if relative.endswith(".h")}
    problems += module_cycles(file_edges, headers)
    problems += misplaced_declarations(root, headers)

    for folder in sorted(folder_edges, key=lambda f: (LAYERS.get(f, 99), f)):
        below = ", ".join(sorted(folder_edges[folder], key=lambda f: (LAYERS.get(f, 99), f))) or "-"
        print(f"{folder:12} (layer {LAYERS[folder]}) includes: {below}")
        for part in sorted(PARTS.get(folder, {}), key=lambda p: (PARTS[folder][p], p)):
            name = f"{folder}/{part}"
            inside = sorted(part_edges.get(name, set()) - {name})
            print(f"  {name:12} (part {PARTS[folder][part]}) includes: {', '.join(inside) or '-'}")
    for problem in problems:
        print("FAIL " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
