#!/usr/bin/env python3
"""Benchmark of a whole run: Setup.exe under Wine installing 20 files (200 MB in all) from nginx
on loopback, against native curl fetching the same files one after the other. Prints the ratio
of wall times measured side by side, the peak memory of the run, and the size of Setup.exe.
Then a run of one file (the final setup alone), broken down by phase from the times its phase lines (debug
output) arrived, beside the start of an empty program under the same Wine.
SETUP_BUILD_DIR picks the build whose Setup.exe runs (default build/win64); the Wine session of
its size must be running."""
import os
import resource
import shutil
import subprocess
import sys
import time

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path[:0] = [os.path.join(REPO, "tests", "e2e"), os.path.join(REPO, "tests", "servers")]
from products import pack_with_build_key, setup_for_hosts  # noqa: E402
from rig import Rig  # noqa: E402
from wine_tools import WINE_RUN, wine_temp_folder  # noqa: E402

BUILD = os.path.join(REPO, "build")
WIN64 = os.path.abspath(os.environ.get("SETUP_BUILD_DIR", os.path.join(BUILD, "win64")))
WORK = os.path.join(WIN64, "bench-run")
FILES = 20
FILE_SIZE = 10 * 1000 * 1000


def write_file(path, size, chunk):
    with open(path, "wb") as f:
        left = size
        while left:
            n = min(left, len(chunk))
            f.write(chunk[:n])
            left -= n


def prepare(rig, app, name, files):
    """Setup_<name>_1.exe in `app`, whose description lists final_setup.exe and `files` files
    of FILE_SIZE bytes."""
    folder = os.path.join(rig.root("site1"), "bench")
    os.makedirs(folder, exist_ok=True)
    shutil.copy(os.path.join(WIN64, "tests", "e2e", "final_setup.exe"), folder)
    chunk = os.urandom(1 << 20)
    for i in range(files):
        write_file(os.path.join(folder, "part%02d.bin" % i), FILE_SIZE, chunk)
    listing = ["/bench/final_setup.exe -> final_setup.exe"] + [
        "/bench/part%02d.bin -> part%02d.bin" % (i, i) for i in range(files)]
    text = ("// benchmark description\n// " + "padding " * 120 + "\n[Download Sites]\n%s\n\n"
            "[Files to download]\n%s\n\n[Program to run]\nfinal_setup.exe\n\n[User Info Filename]\n"
            "UserInfo.txt\n\n[End]\nEnd\n") % (rig.host("site1"), "\n".join(listing))
    plain = os.path.join(WORK, "SetupInitial-%s.txt" % name)
    with open(plain, "w") as f:
        f.write(text)
    pack_with_build_key(WIN64, os.path.join(BUILD, "native", "eiftool"), plain,
                        os.path.join(rig.root("host1"), "downloads", "Setups", name, "SetupInitial.eif"))
    setup_for_hosts(WIN64, os.path.join(WIN64, "app", "Setup.exe"), os.path.join(app, "Setup_%s_1.exe" % name),
                    rig.host("host1"), rig.host("host2"))


def phased(args, cwd):
    """Wall time of a run and, in order, (phase, seconds since the start) for every phase line
    it wrote, timed as the line arrived (Wine writes debug output to stderr)."""
    env = dict(os.environ, WINEDEBUG="-all,+debugstr")
    start = time.perf_counter()
    process = subprocess.Popen(args, cwd=cwd, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE)
    phases = []
    for raw in process.stderr:
        line = raw.decode("latin-1")
        at = line.find("Setup phase: ")
        if at >= 0:
            name = line[at + len("Setup phase: "):].split("\\n", 1)[0].strip().strip('"')
            phases.append((name, time.perf_counter() - start))
    process.wait(timeout=600)
    return time.perf_counter() - start, phases


def print_phases(seconds, phases, empty_seconds):
    marks = [("Wine's start", 0.0)] + phases
    for (name, at), (_, until) in zip(marks, marks[1:] + [("", seconds)]):
        print("  %-22s %6.3f s" % (name, until - at))
    print("  %-22s %6.3f s (an empty program's start %.3f s; over it %.3f s)"
          % ("total", seconds, empty_seconds, seconds - empty_seconds))


def timed(args, cwd=None):
    """Wall time and the peak resident size (KiB) of the child processes it waited for."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    start = time.perf_counter()
    subprocess.run(args, cwd=cwd, check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    seconds = time.perf_counter() - start
    return seconds, max(before, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    app = os.path.join(WORK, "app")
    os.makedirs(app)
    rig = Rig(os.path.join(WORK, "servers"))
    print("build: %s" % os.path.relpath(WIN64, REPO))
    try:
        rig.start()
        prepare(rig, app, "Bench", FILES)
        prepare(rig, app, "One", 0)
        temp = os.path.join(wine_temp_folder(), "Velmar's Projects", "BenchSetup")
        curl_dir = os.path.join(WORK, "curl")
        os.makedirs(curl_dir)
        urls = ["http://%s/bench/part%02d.bin" % (rig.host("site1"), i) for i in range(FILES)]
        curl_args = ["curl", "-s", "-f"]
        for i, url in enumerate(urls):
            curl_args += ["-o", os.path.join(curl_dir, "part%02d.bin" % i), url]
        empty_seconds, _ = timed([WINE_RUN, "cmd", "/c", "exit"])
        setup_seconds, setup_rss = timed([WINE_RUN, os.path.join(app, "Setup_Bench_1.exe")], cwd=app)
        curl_seconds, _ = timed(curl_args)
        report = os.path.join(app, "final-setup-report.txt")
        ok = os.path.exists(report) and "status\tok" in open(report, encoding="latin-1").read()
        print("whole run, %d files, %d MB: Setup.exe under Wine %.2f s, curl %.2f s, ratio %.2f"
              % (FILES, FILES * FILE_SIZE // 1000000, setup_seconds, curl_seconds, setup_seconds / curl_seconds))
        print("  (a Wine start alone: %.2f s; final setup reported ok: %s; temp folder removed: %s)"
              % (empty_seconds, ok, not os.path.exists(temp)))
        print("peak resident memory of the Wine process running Setup.exe: %.1f MB (Wine's own share included)"
              % (setup_rss / 1024.0))
        # The one-file run: a warm-up first, so that both timed starts find Wine's files cached.
        one = [WINE_RUN, os.path.join(app, "Setup_One_1.exe")]
        phased(one, app)
        empty_seconds, _ = timed([WINE_RUN, "cmd", "/c", "exit"])
        one_seconds, phases = phased(one, app)
        print("one file (the final setup) on loopback, by phase:")
        print_phases(one_seconds, phases, empty_seconds)
    finally:
        rig.stop()
    for name in ("windows", "win64"):
        exe = os.path.join(BUILD, name, "app", "Setup.exe")
        if os.path.exists(exe):
            stripped = os.path.join(WORK, "Setup-%s-stripped.exe" % name)
            strip = "i686-w64-mingw32-strip" if name == "windows" else "x86_64-w64-mingw32-strip"
            subprocess.run([strip, "-o", stripped, exe], check=True)
            print("Setup.exe (%s build) stripped: %d bytes" % (name, os.path.getsize(stripped)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
