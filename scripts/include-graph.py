#!/usr/bin/env python3
"""Lists, per source folder, the folders its files include, and fails when a folder includes a
folder that is not below it, or when files include each other in a cycle.

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


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    problems = []
    folder_edges = {}
    file_edges = {}
    for folder, relative, full in source_files(root):
        if folder not in LAYERS:
            problems.append(f"{relative}: folder '{folder}' has no layer in {os.path.basename(__file__)}")
            continue
        with open(full, encoding="utf-8", errors="replace") as f:
            text = f.read()
        folder_edges.setdefault(folder, set())
        for included in INCLUDE.findall(text):
            if "/" not in included:
                continue  # a file next to it (resource scripts), same folder
            target = included.split("/", 1)[0]
            file_edges.setdefault(relative, set()).add(included)
            if target == folder:
                continue
            folder_edges[folder].add(target)
            if target not in LAYERS:
                problems.append(f"{relative}: includes '{included}' of unknown folder '{target}'")
            elif LAYERS[target] >= LAYERS[folder]:
                problems.append(f"{relative}: '{folder}' (layer {LAYERS[folder]}) includes '{included}' "
                                f"('{target}', layer {LAYERS[target]}), which is not below it")

    # Cycles among files (depth-first search, iterative colouring).
    state = {}
    for start in sorted(file_edges):
        if state.get(start):
            continue
        stack = [(start, iter(sorted(file_edges.get(start, ()))))]
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
                problems.append("include cycle: " + " -> ".join(cycle))
            elif not state.get(child):
                state[child] = 1
                stack.append((child, iter(sorted(file_edges.get(child, ())))))
                path.append(child)

    for folder in sorted(folder_edges, key=lambda f: (LAYERS.get(f, 99), f)):
        below = ", ".join(sorted(folder_edges[folder], key=lambda f: (LAYERS.get(f, 99), f))) or "-"
        print(f"{folder:12} (layer {LAYERS[folder]}) includes: {below}")
    for problem in problems:
        print("FAIL " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
