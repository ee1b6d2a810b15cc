#!/usr/bin/env python3
"""What the user sees: the bar on the X display (read with xwd) is the bar the window drew, at
several positions, while the program takes no message (as Setup.exe, which runs no message
loop). Wine keeps a window's drawing in memory until it is told to show it; a bar that moved
in memory only would leave the screen behind. Both ways of painting the bar: copied from the
control's drawings, and by the control itself. Usage: bar_on_display.py PROGRAM"""
import os
import subprocess
import sys
import time

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_RUN = os.path.join(REPO, "scripts", "wine-run.sh")


def shown_row(x, y, width):
    """The pixels of one screen row as hex "rrggbb" texts, read from the display itself."""
    xwd = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True, timeout=60).stdout
    raw = subprocess.run(["convert", "xwd:-", "-crop", "%dx1+%d+%d" % (width, x, y), "-depth", "8", "rgb:-"],
                         input=xwd, capture_output=True, check=True, timeout=60).stdout
    return [raw[i:i + 3].hex() for i in range(0, len(raw), 3)]


def check(program, permille, painting):
    process = subprocess.Popen([WINE_RUN, program, str(permille), painting], stdout=subprocess.PIPE, text=True,
                               stdin=subprocess.DEVNULL)
    try:
        header = process.stdout.readline().split()
        drawn = process.stdout.readline().split()
        if len(header) != 4 or header[0] != "row" or not drawn:
            return "no bar reported (%r)" % header
        x, y, width = (int(v) for v in header[1:])
        shown = []
        for _ in range(20):  # the X server takes what Wine sends it a moment later
            time.sleep(0.25)
            shown = shown_row(x, y, width)
            if shown == drawn:
                return None
        differing = sum(1 for a, b in zip(shown, drawn) if a != b)
        return "%d of %d pixels of the bar's middle row differ on the display" % (differing, width)
    finally:
        process.kill()
        process.wait(timeout=30)


def main():
    failures = 0
    for painting in ("drawings", "control"):
        for permille in (3, 100, 501, 1000):
            problem = check(sys.argv[1], permille, painting)
            print("%-8s %5.1f %%: %s" % (painting, permille / 10.0, problem or "the display shows the drawn bar"))
            failures += problem is not None
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
