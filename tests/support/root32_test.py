#!/usr/bin/env python3
"""scripts/root32.sh: the mirror the i386 root is made from (read from apt sources of either
format), and the mount check that keeps `make clean` from removing what a live program of the
root still sees. The second part needs root and unshare; elsewhere it is reported as skipped."""
import os
import subprocess
import sys
import tempfile
import time

REPO = sys.argv[1]
SCRIPT = os.path.join(REPO, "scripts", "root32.sh")
DEB822_MAIN = ("Types: deb deb-src\nURIs: http://mirror.example/debian\n"
               "Suites: bookworm bookworm-updates\nComponents: main\n\n")
DEB822_SECURITY = ("Types: deb\n# a comment line\nURIs: http://mirror.example/security\n"
                   "Suites: bookworm-security\nComponents: main\n")

# (files below the apt folder, suite, the mirror expected)
MIRRORS = [
    ({"sources.list.d/debian.sources": DEB822_MAIN + DEB822_SECURITY}, "bookworm",
     "http://mirror.example/debian"),
    ({"sources.list.d/debian.sources": DEB822_MAIN + DEB822_SECURITY}, "bookworm-security",
     "http://mirror.example/security"),
    ({"sources.list.d/debian.sources": DEB822_MAIN}, "bookworm-updates", "http://mirror.example/debian"),
    # Source entries alone give no binary packages.
    ({"sources.list.d/src.sources": DEB822_MAIN.replace("deb deb-src", "deb-src")}, "bookworm",
     "http://deb.debian.org/debian"),
    ({"sources.list": "deb-src http://src.example/debian bookworm main\n"
                      "deb [arch=amd64 signed-by=/k.gpg] http://one.example/debian bookworm main\n"},
     "bookworm", "http://one.example/debian"),
    ({"sources.list": "deb [arch=amd64] http://one.example/debian bookworm main\n"},
     "bookworm", "http://one.example/debian"),
    ({"sources.list": "deb http://one.example/debian bookworm-security main\n"}, "bookworm",
     "http://deb.debian.org/debian"),
    ({}, "bookworm-security", "http://deb.debian.org/debian-security"),
]


def check_mirrors():
    failures = []
    for files, suite, expected in MIRRORS:
        with tempfile.TemporaryDirectory() as apt:
            os.makedirs(os.path.join(apt, "sources.list.d"))
            for name, text in files.items():
                with open(os.path.join(apt, name), "w") as f:
                    f.write(text)
            out = subprocess.run(["bash", SCRIPT, "mirror", suite], capture_output=True, text=True,
                                 env=dict(os.environ, SETUP_APT_DIR=apt), timeout=30)
            got = out.stdout.strip()
            if out.returncode != 0 or got != expected:
                failures.append("%s from %s: %r (status %d), expected %r"
                                % (suite, sorted(files), got, out.returncode, expected))
    return failures


def mounts_below(folder):
    out = subprocess.run(["bash", SCRIPT, "mounts", folder], capture_output=True, text=True,
                         check=True, timeout=60)
    return set(out.stdout.split())


def chrooted_sleeper(folder):
    """A process whose root directory is folder (as a program of the root is)."""
    pid = os.fork()
    if pid == 0:
        try:
            os.chroot(folder)
            time.sleep(60)
        finally:
            os._exit(0)
    return pid


def check_mounts():
    if os.geteuid() != 0:
        print("mount check: skipped (needs root)")
        return []
    failures = []
    with tempfile.TemporaryDirectory() as top:
        build = os.path.join(top, "build")
        inner = os.path.join(build, "root32", "dev")
        os.makedirs(inner)
        if mounts_below(build):
            failures.append("mounts reported below a fresh folder")
        # (what runs, whether it must be reported)
        cases = [
            ("a bind mount in another mount namespace", lambda: subprocess.Popen(
                ["unshare", "--mount", "--propagation", "private", "sh", "-c",
                 'mount --bind /dev "$0" && exec sleep 60', inner]).pid),
            ("a process chrooted below the folder", lambda: chrooted_sleeper(os.path.join(build, "root32"))),
        ]
        for what, start in cases:
            pid = start()
            try:
                deadline = time.time() + 10
                seen = set()
                while time.time() < deadline and str(pid) not in seen:
                    time.sleep(0.2)
                    seen = mounts_below(build)
                if str(pid) not in seen:
                    failures.append("%s (process %d) not reported: %s" % (what, pid, sorted(seen)))
                if mounts_below(os.path.join(top, "elsewhere")):
                    failures.append("%s reported for a folder beside it" % what)
            finally:
                os.kill(pid, 9)
                os.waitpid(pid, 0)
    return failures


failures = check_mirrors() + check_mounts()
for failure in failures:
    print("FAILED: " + failure)
print("%d mirror cases, mount check: %s" % (len(MIRRORS), "failed" if failures else "ok"))
sys.exit(1 if failures else 0)
