#!/usr/bin/env python3
"""`eiftool pack` pads a short description up to what a default host must serve.

usage: pack_padding_test.py EIFTOOL SOURCE_DIR WORK_DIR
"""
import pathlib
import shutil
import subprocess
import sys

EIFTOOL, SOURCE, WORK = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
PRIVATE, PUBLIC = SOURCE / "keys/private.hex", SOURCE / "keys/public.der"
HEADER, BLOCK, MINIMUM = 14, 128, 1000  # signature and its 0x00; one block of the 1024-bit key
LIMIT_S = 60


def run(*args):
    return subprocess.run([EIFTOOL, *args], capture_output=True, timeout=LIMIT_S)


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    WORK.mkdir(parents=True)
    long_text = b"[End]\nEnd\n" + b"// a description that is long enough on its own\n" * 20
    cases = [  # name, text, whether a comment is added
        ("three lines", b"// three lines\n[End]\nEnd\n", True),
        ("CRLF line ends", b"// three lines\r\n[End]\r\nEnd\r\n", True),
        ("no line end at the end", b"// three lines\n[End]\nEnd", True),
        ("long enough already", long_text, False),
    ]
    failures = []
    for name, text, padded in cases:
        plain, packed = WORK / "plain.txt", WORK / "packed.eif"
        plain.write_bytes(text)
        packing = run("pack", str(PUBLIC), str(plain), str(packed))
        size = packed.stat().st_size if packed.exists() else 0
        back = run("unpack", str(PRIVATE), str(packed)).stdout
        added = back[len(text):]
        problems = []
        if packing.returncode != 0:
            problems.append(f"pack failed: {packing.stderr!r}")
        if size < MINIMUM:
            problems.append(f"{size} bytes")
        if not back.startswith(text):
            problems.append(f"the text did not come back unchanged: {back!r}")
        if padded:
            line_end = b"\r\n" if b"\r\n" in text else b"\n"
            comment = added[len(line_end):] if not text.endswith(b"\n") else added
            if not (comment.startswith(b"//") and comment.endswith(line_end) and comment.count(b"\n") == 1):
                problems.append(f"not one comment line: {added!r}")
            if (size - HEADER) % BLOCK or size - BLOCK >= MINIMUM:
                problems.append(f"{size} bytes is not the fewest whole blocks reaching {MINIMUM}")
            if b"appended a comment line" not in packing.stderr:
                problems.append(f"nothing said on standard error: {packing.stderr!r}")
        elif added or packing.stderr:
            problems.append(f"changed a long text: {added!r} {packing.stderr!r}")
        failures += [f"{name}: {p}" for p in problems]
    for failure in failures:
        print("FAIL", failure)
    print(f"pack_padding_test: {len(cases)} cases, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
