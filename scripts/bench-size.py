#!/usr/bin/env python3
"""Bytes of Setup.exe by contributor, from the linker's map (-Wl,-Map).

Usage: bench-size.py MAP EXE [LIMIT_KB]   (default 250)
Sums every allocated input section of the map per object file or archive member, and per
library, and names each contributor above 20 KB. Debug sections are left out: the executable
is linked without them.
"""
import collections
import os
import re
import sys

NAMED_ABOVE = 20 * 1024
INPUT_SECTION = re.compile(r"^ (\.\S+)?\s+0x[0-9a-fA-F]+\s+0x([0-9a-fA-F]+)\s+(\S.*)$")
SECTION_ONLY = re.compile(r"^ (\.\S+)\s*$")


def contributions(map_path):
    """(section, size, file) for every input section in the memory map."""
    in_map = False
    pending = None
    with open(map_path, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            line = line.rstrip("\n")
            if line.startswith("Linker script and memory map"):
                in_map = True
                continue
            if not in_map:
                continue
            # A long section name stands alone; its address, size and file follow on the next line.
            only = SECTION_ONLY.match(line)
            if only:
                pending = only.group(1)
                continue
            match = INPUT_SECTION.match(line)
            if match:
                section = match.group(1) or pending
                pending = None
                if section:
                    yield section, int(match.group(2), 16), match.group(3).strip()
            else:
                pending = None


def allocated(section):
    return not (section.startswith(".debug") or section.startswith(".zdebug") or section == ".stab"
                or section == ".stabstr" or section.startswith(".gnu_debug"))


def member_name(path):
    """libstdc++.a(locale.o) for archive members, the file name for objects."""
    if path == "dll stuff":
        return "(made by the linker: base relocations)"
    match = re.match(r"^(.*?)\((.*)\)$", path)
    if match:
        return "%s(%s)" % (os.path.basename(match.group(1)), match.group(2))
    return os.path.basename(path)


def library_name(path):
    if path == "dll stuff":
        return "(made by the linker)"
    match = re.match(r"^(.*?)\(.*\)$", path)
    return os.path.basename(match.group(1)) if match else "(outside any archive)"


def section_kind(section):
    """.text for .text$name and .text.name (one section per function or object)."""
    return "." + re.split(r"[$.]", section[1:], maxsplit=1)[0]


def main():
    map_path, exe_path = sys.argv[1], sys.argv[2]
    limit_kb = int(sys.argv[3]) if len(sys.argv) > 3 else 250
    by_member = collections.Counter()
    by_library = collections.Counter()
    by_section = collections.Counter()
    for section, size, path in contributions(map_path):
        if allocated(section) and size:
            by_member[member_name(path)] += size
            by_library[library_name(path)] += size
            by_section[section_kind(section)] += size
    size = os.path.getsize(exe_path)
    print("%s: %d bytes (%.1f KB); target <= %d KB: %s"
          % (exe_path, size, size / 1024, limit_kb, "met" if size <= limit_kb * 1024 else "NOT met"))
    print("linked sections: %d bytes (the rest is headers, alignment, imports' names and resources)"
          % sum(by_member.values()))
    print("\nby section:")
    for name, bytes_ in by_section.most_common():
        print("  %9d  %s" % (bytes_, name))
    print("\nby library:")
    for name, bytes_ in by_library.most_common():
        print("  %9d  %s" % (bytes_, name))
    print("\nby object (all above %d KB, then the next ones up to 15 lines):" % (NAMED_ABOVE // 1024))
    for index, (name, bytes_) in enumerate(by_member.most_common()):
        if bytes_ <= NAMED_ABOVE and index >= 15:
            break
        print("  %9d  %s%s" % (bytes_, name, "  (> 20 KB)" if bytes_ > NAMED_ABOVE else ""))


if __name__ == "__main__":
    main()
