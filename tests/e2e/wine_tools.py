"""Running Windows programs of the test build under Wine, and Windows <-> Unix paths. The Wine
of the build's size and its prefix follow SETUP_WINE_ARCH (scripts/wine-run.sh)."""
import os
import subprocess
import time

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_RUN = os.path.join(REPO, "scripts", "wine-run.sh")


def windows_path(unix_path):
    """Wine maps the Unix root to drive Z:."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def wine(args, **kwargs):
    return subprocess.run([WINE_RUN] + list(args), **kwargs)


def wine_popen(args, **kwargs):
    return subprocess.Popen([WINE_RUN] + list(args), **kwargs)


def unix_path(win_path):
    out = wine(["winepath", "-u", win_path], capture_output=True, text=True, timeout=60)
    return out.stdout.strip()


def wine_temp_folder():
    """The user's temporary folder inside the Wine prefix, as a Unix path."""
    out = wine(["cmd", "/c", "echo %TEMP%"], capture_output=True, text=True, timeout=60)
    return unix_path(out.stdout.strip())


class Observer:
    """The message box observer: records caption and text of every box and presses OK."""

    def __init__(self, exe, folder):
        self.exe = exe
        self.log = os.path.join(folder, "messages.log")
        self.stop_file = os.path.join(folder, "observer.stop")
        self.process = None

    def __enter__(self):
        for path in (self.log, self.stop_file):
            if os.path.exists(path):
                os.remove(path)
        self.process = wine_popen([self.exe, windows_path(self.log), windows_path(self.stop_file)],
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        deadline = time.time() + 60
        while not os.path.exists(self.log) and time.time() < deadline:
            time.sleep(0.05)
        return self

    def __exit__(self, *exc):
        time.sleep(0.3)  # a box shown right before the program ended is still recorded
        open(self.stop_file, "w").close()
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
        return False

    def messages(self):
        """(caption, text) of every box seen, in order."""
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return [tuple(line.rstrip("\n").split("\t", 1)) for line in f if line.strip()]
