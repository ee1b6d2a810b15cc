#!/usr/bin/env python3
"""Benchmark of a whole run: Setup.exe under Wine installing 20 files (200 MB in all) from nginx
on loopback, against native curl fetching the same files one after the other. Prints the ratio
of wall times measured side by side, the peak memory of the run, and the size of Setup.exe."""
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
WIN64 = os.path.join(BUILD, "win64")
WORK = os.path.join(BUILD, "bench-run")
FILES = 20
FILE_SIZE = 10 * 1000 * 1000


def prepare(rig, app):
    folder = os.path.join(rig.root("site1"), "bench")
    os.makedirs(folder, exist_ok=True)
    shutil.copy(os.path.join(WIN64, "tests", "e2e", "final_setup.exe"), folder)
    chunk = os.urandom(1 << 20)
    for i in range(FILES):
        with open(os.path.join(folder, "part%02d.bin" % i), "wb") as f:
            left = FILE_SIZE
            while left:
                n = min(left, len(chunk))
                f.write(chunk[:n])
                left -= n
    listing = ["/bench/final_setup.exe -> final_setup.exe"] + [
        "/bench/part%02d.bin -> part%02d.bin" % (i, i) for i in range(FILES)]
    text = ("// benchmark description\n// " + "padding " * 120 + "\n[Download Sites]\n%s\n\n"
            "[Files to download]\n%s\n\n[Program to run]\nfinal_setup.exe\n\n[User Info Filename]\n"
            "UserInfo.txt\n\n[End]\nEnd\n") % (rig.host("site1"), "\n".join(listing))
    plain = os.path.join(WORK, "SetupInitial.txt")
    with open(plain, "w") as f:
        f.write(text)
    pack_with_build_key(WIN64, os.path.join(BUILD, "native", "eiftool"), plain,
                        os.path.join(rig.root("host1"), "downloads", "Setups", "Bench", "SetupInitial.eif"))
    setup_for_hosts(WIN64, os.path.join(WIN64, "app", "Setup.exe"), os.path.join(app, "Setup_Bench_1.exe"),
                    rig.host("host1"), rig.host("host2"))


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
    try:
        rig.start()
        prepare(rig, app)
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
