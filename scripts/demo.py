#!/usr/bin/env python3
"""The product's main job, shown: Setup_Demo_1.exe under Wine downloads the sample application
from nginx on loopback (slowed down so a person can watch), starts its final setup and cleans up."""
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
from wine_tools import Observer, wine_popen, wine_temp_folder  # noqa: E402

BUILD = os.path.join(REPO, "build")
WIN64 = os.path.join(BUILD, "win64")
DEMO = os.path.join(BUILD, "demo")
# The download sites the sample description names; the demo serves them from the rig's sites.
SAMPLE_SITES = {"127.0.0.1:18083": "site1", "127.0.0.1:18084": "site2"}
SAMPLE_FILES = {"manual.pdf": 4 << 20, "application.dat": 12 << 20, "sounds.dat": 6 << 20}


def prepare(rig):
    for server in SAMPLE_SITES.values():
        folder = os.path.join(rig.root(server), "demo")
        os.makedirs(folder, exist_ok=True)
        shutil.copy(os.path.join(WIN64, "tests", "e2e", "final_setup.exe"), folder)
        for name, size in SAMPLE_FILES.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(os.urandom(size))
    with open(os.path.join(REPO, "samples", "Demo", "SetupInitial.txt"), encoding="latin-1") as f:
        text = f.read()
    for sample, server in SAMPLE_SITES.items():
        if sample not in text:
            raise RuntimeError("the sample description no longer names %s" % sample)
        text = text.replace(sample, rig.host(server))
    plain = os.path.join(DEMO, "SetupInitial.txt")
    with open(plain, "w", encoding="latin-1", newline="") as f:
        f.write(text)
    pack_with_build_key(WIN64, os.path.join(BUILD, "native", "eiftool"), plain,
                        os.path.join(rig.root("host1"), "downloads", "Setups", "Demo", "SetupInitial.eif"))


def wait_for_progress(folder, amount, process):
    """Waits until `amount` bytes have arrived in the setup temp folder (mid-download)."""
    deadline = time.time() + 120
    while time.time() < deadline and process.poll() is None:
        try:
            done = sum(os.path.getsize(os.path.join(folder, n)) for n in os.listdir(folder))
        except OSError:
            done = 0
        if done >= amount:
            return
        time.sleep(0.1)


def screenshot(path):
    xwd = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True).stdout
    subprocess.run(["convert", "xwd:-", path], input=xwd, check=True)


def main():
    shutil.rmtree(DEMO, ignore_errors=True)
    app = os.path.join(DEMO, "app")
    os.makedirs(app)
    exe = os.path.join(app, "Setup_Demo_1.exe")
    rig = Rig(os.path.join(DEMO, "servers"), rate="4m")
    setup_temp = os.path.join(wine_temp_folder(), "Velmar's Projects", "DemoSetup")
    try:
        rig.start()
        setup_for_hosts(WIN64, os.path.join(WIN64, "app", "Setup.exe"), exe, rig.host("host1"), rig.host("host2"))
        prepare(rig)
        print("demo: running %s under Wine on display %s" % (exe, os.environ.get("DISPLAY")))
        with Observer(os.path.join(WIN64, "tests", "e2e", "observer.exe"), DEMO) as observer:
            setup = wine_popen([exe], cwd=app, stdin=subprocess.DEVNULL)
            wait_for_progress(setup_temp, sum(SAMPLE_FILES.values()) // 2, setup)
            shot = os.path.join(DEMO, "progress-window.png")
            screenshot(shot)
            print("demo: what the user sees mid-download: %s" % shot)
            setup.wait(timeout=600)
        messages = observer.messages()
        print("demo: message boxes: %s" % (messages if messages else "none"))
        report = os.path.join(app, "final-setup-report.txt")
        if os.path.exists(report):
            print("demo: the final setup ran and reported:\n")
            with open(report, encoding="latin-1") as f:
                print(f.read())
        else:
            print("demo: the final setup did not run")
        print("demo: setup temp folder %s: %s" % (setup_temp, "still there" if os.path.exists(setup_temp) else "removed"))
        return 0 if os.path.exists(report) and not messages and not os.path.exists(setup_temp) else 1
    finally:
        rig.stop()


if __name__ == "__main__":
    sys.exit(main())
