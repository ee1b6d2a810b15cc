#!/usr/bin/env python3
"""Benchmark on a slow line: nginx behind tests/servers/shaped_line.py (80 ms round trip,
50 Mbit/s shared, a new connection's first bytes one round trip late). For 20 files of 10 MB
and for 20 files of 100 KB (each with the final setup), prints side by side the line's floor
(bytes / bandwidth + 2 round trips), curl fetching the same URLs on one connection, and
Setup.exe under Wine, with the requests and connections Setup.exe made (from nginx's log).
SETUP_BUILD_DIR picks the build (default build/win64); the Wine session of its size must run."""
import os
import shutil
import subprocess
import sys
import time

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path[:0] = [os.path.join(REPO, "tests", "e2e"), os.path.join(REPO, "tests", "servers")]
from products import pack_with_build_key, setup_for_hosts  # noqa: E402
from rig import Rig  # noqa: E402
from wine_tools import WINE_RUN  # noqa: E402

BUILD_DIR = os.path.abspath(os.environ.get("SETUP_BUILD_DIR", os.path.join(REPO, "build", "win64")))
EIFTOOL = os.path.join(REPO, "build", "native", "eiftool")
WORK = os.path.join(BUILD_DIR, "bench-shaped")
ROUND_TRIP_MS = 80
MBIT = 50
FILES = 20
SETS = (("Large", 10 * 1000 * 1000), ("Small", 100 * 1000))
HOSTS = ("host1", "host2", "site1")


class ShapedLine:
    """The relay process, in front of the rig's hosts."""

    def __init__(self, rig):
        self.rig = rig
        self.process = None
        self.ports = {}

    def host(self, name):
        return "127.0.0.1:%d" % self.ports[name]

    def __enter__(self):
        ready = os.path.join(WORK, "line.ready")
        upstreams = [str(self.rig.port(h)) for h in HOSTS]
        self.process = subprocess.Popen(
            [sys.executable, os.path.join(REPO, "tests", "servers", "shaped_line.py"), str(ROUND_TRIP_MS),
             str(MBIT), ready] + upstreams, stdin=subprocess.DEVNULL)
        deadline = time.time() + 10
        while not os.path.exists(ready):
            if time.time() > deadline or self.process.poll() is not None:
                raise SystemExit("the shaped line did not start")
            time.sleep(0.05)
        with open(ready) as f:
            self.ports = dict(zip(HOSTS, (int(port) for port in f.read().split())))
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait(timeout=10)
        return False


def prepare(rig, line, app, name, size):
    """Setup_<name>_1.exe in `app`; the URLs of what it fetches and their bytes."""
    folder = os.path.join(rig.root("site1"), name)
    os.makedirs(folder, exist_ok=True)
    shutil.copy(os.path.join(BUILD_DIR, "tests", "e2e", "final_setup.exe"), folder)
    for i in range(FILES):
        with open(os.path.join(folder, "part%02d.bin" % i), "wb") as f:
            f.write(os.urandom(size))
    names = ["final_setup.exe"] + ["part%02d.bin" % i for i in range(FILES)]
    text = ("// benchmark description\n// " + "padding " * 120 + "\n[Download Sites]\n%s\n\n"
            "[Files to download]\n%s\n\n[Program to run]\nfinal_setup.exe\n\n[User Info Filename]\n"
            "UserInfo.txt\n\n[End]\nEnd\n") % (
                line.host("site1"), "\n".join("/%s/%s -> %s" % (name, n, n) for n in names))
    plain = os.path.join(WORK, name + ".txt")
    with open(plain, "w") as f:
        f.write(text)
    description = os.path.join(rig.root("host1"), "downloads", "Setups", name, "SetupInitial.eif")
    pack_with_build_key(BUILD_DIR, EIFTOOL, plain, description)
    setup_for_hosts(BUILD_DIR, os.path.join(BUILD_DIR, "app", "Setup.exe"), os.path.join(app, "Setup_%s_1.exe" % name),
                    line.host("host1"), line.host("host2"))
    urls = ["http://%s/downloads/Setups/%s/SetupInitial.eif" % (line.host("host1"), name)]
    urls += ["http://%s/%s/%s" % (line.host("site1"), name, n) for n in names]
    paths = [description] + [os.path.join(folder, n) for n in names]
    return urls, sum(os.path.getsize(p) for p in paths)


def timed(args, cwd=None):
    start = time.perf_counter()
    subprocess.run(args, cwd=cwd, check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=900)
    return time.perf_counter() - start


def connection_log(rig):
    """(connection, requests on it, method, uri) of every request the hosts logged."""
    rows = []
    for name in HOSTS:
        path = os.path.join(rig.folder, "logs", name + ".connections.log")
        if os.path.exists(path):
            with open(path) as f:
                rows += [(name,) + tuple(line.split()) for line in f if line.strip()]
    return rows


def clear_logs(rig):
    for name in HOSTS:
        for kind in ("access", "connections"):
            path = os.path.join(rig.folder, "logs", "%s.%s.log" % (name, kind))
            if os.path.exists(path):
                open(path, "w").close()  # nginx keeps writing at the end of the emptied file


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    app = os.path.join(WORK, "app")
    os.makedirs(app)
    rig = Rig(os.path.join(WORK, "servers"))
    print("build: %s; line: %d ms round trip, %d Mbit/s" % (os.path.relpath(BUILD_DIR, REPO), ROUND_TRIP_MS, MBIT))
    print("%-24s %8s %8s %8s %6s %9s %12s" % ("run", "floor", "curl", "Setup", "/curl", "requests", "connections"))
    try:
        rig.start()
        with ShapedLine(rig) as line:
            empty = timed([WINE_RUN, "cmd", "/c", "exit"])
            for name, size in SETS:
                urls, total = prepare(rig, line, app, name, size)
                floor = total * 8 / (MBIT * 1e6) + 2 * ROUND_TRIP_MS / 1000.0
                curl_args = ["curl", "-s", "-f"]
                for i, url in enumerate(urls):
                    curl_args += ["-o", os.path.join(WORK, "curl%02d" % i), url]
                curl = timed(curl_args)
                clear_logs(rig)
                setup = timed([WINE_RUN, os.path.join(app, "Setup_%s_1.exe" % name)], cwd=app)
                rows = connection_log(rig)
                connections = len({(row[0], row[1]) for row in rows})
                label = "%d x %s + final setup" % (FILES, "%d MB" % (size // 1000000) if size >= 1000000
                                                   else "%d KB" % (size // 1000))
                print("%-24s %7.2fs %7.2fs %7.2fs %6.2f %9d %12d" % (label, floor, curl, setup, setup / curl,
                                                                   len(rows), connections))
                if os.environ.get("SETUP_BENCH_VERBOSE"):
                    for row in rows:
                        print("   ", " ".join(row))
            print("(an empty program's start under this Wine: %.2f s)" % empty)
    finally:
        rig.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
