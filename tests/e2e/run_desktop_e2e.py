#!/usr/bin/env python3
"""End-to-end runs of Setup.exe under Wine on a desktop as users have it: folders named in
letters outside the ANSI code page, and an on-access scanner that holds a program just written.
The rig, the hosts and the environment are those of run_e2e.py, plus SCANNER_EXE. The runs
change the prefix's TEMP and TMP and put them back afterwards, so they run alone."""
import os
import shutil
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(__file__))
from run_e2e import ENV, WORK, Rig, Scenario, description_text, standard_files  # noqa: E402
from wine_tools import unix_path, wine, wine_popen, windows_path  # noqa: E402

# Polish and Japanese letters: none of them but "ó" is in the Western code page, and each has a
# best-fit letter or a question mark there.
FOREIGN = "Łódź 東京"
ENVIRONMENT_KEY = r"HKCU\Environment"
PATH_SECTIONS = ("Initial Setup Pathname", "Setup Temp Folder", "Start Menu Folder", "Desktop Folder",
                 "My Documents Folder")


def windows_temp_folder():
    out = wine(["cmd", "/c", "echo %TEMP%"], capture_output=True, text=True, timeout=60)
    return out.stdout.strip()


def quiet_wine(args):
    wine(args, check=True, timeout=60, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
         stderr=subprocess.DEVNULL)


class UserTemp:
    """TEMP and TMP of the prefix's user point to `folder` (a Windows path) while inside; their
    former values (or their absence) come back on the way out, whatever happened."""

    def __init__(self, folder):
        self.folder = folder
        self.saved = {}

    @staticmethod
    def query(name):
        out = wine(["reg", "query", ENVIRONMENT_KEY, "/v", name], capture_output=True, text=True, timeout=60)
        for line in out.stdout.splitlines():
            parts = line.split(None, 2)
            if len(parts) == 3 and parts[0] == name:
                return parts[1], parts[2]
        return None

    def __enter__(self):
        for name in ("TEMP", "TMP"):
            self.saved[name] = self.query(name)
        for name in ("TEMP", "TMP"):
            quiet_wine(["reg", "add", ENVIRONMENT_KEY, "/v", name, "/t", "REG_SZ", "/d", self.folder, "/f"])
        return self

    def __exit__(self, *exc):
        for name, saved in self.saved.items():
            if saved is None:
                quiet_wine(["reg", "delete", ENVIRONMENT_KEY, "/v", name, "/f"])
            else:
                quiet_wine(["reg", "add", ENVIRONMENT_KEY, "/v", name, "/t", saved[0], "/d", saved[1], "/f"])
        return False


class DesktopTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.rig = Rig(os.path.join(WORK, "servers"))
        cls.windows_temp = windows_temp_folder()

    @classmethod
    def tearDownClass(cls):
        cls.rig.stop()

    def start(self, name, setup_temp):
        self.rig.start(())
        shutil.rmtree(setup_temp, ignore_errors=True)
        return Scenario(name, self.rig)

    def assertInstalledAndCleanedUp(self, s, setup_temp):
        self.assertEqual(s.messages, [])
        self.assertTrue(s.report_at_exit, "Setup.exe ended before the final setup did")
        report = s.report()
        self.assertIn("status\tok\n", report)
        for section in PATH_SECTIONS:
            self.assertIn("named\t%s\tfound\n" % section, report)
        self.assertIn("file\tdata-large.bin\t%d\n" % (3 * 1024 * 1024), report)
        self.assertEqual(s.exit_code, 0)
        self.assertFalse(os.path.exists(setup_temp), "the setup temp folder is still there")

    def test_folders_outside_the_code_page_are_found_by_a_final_setup_that_reads_ansi(self):
        temp = self.windows_temp + "\\" + FOREIGN
        os.makedirs(unix_path(temp), exist_ok=True)
        setup_temp = os.path.join(unix_path(temp), "Velmar's Projects", "DemoSetup")
        s = self.start(FOREIGN, setup_temp)
        self.assertIn(FOREIGN, windows_path(s.app))
        s.serve_description("host1", description_text(standard_files(), [self.rig.host("site1")]))
        s.serve_files("site1")
        try:
            with UserTemp(temp):
                s.run()
            self.assertEqual(windows_temp_folder(), self.windows_temp)
            self.assertInstalledAndCleanedUp(s, setup_temp)
        finally:
            shutil.rmtree(unix_path(temp), ignore_errors=True)

    def test_a_scanner_holding_the_final_setup_just_written_delays_the_launch_only(self):
        setup_temp = os.path.join(unix_path(self.windows_temp), "Velmar's Projects", "DemoSetup")
        s = self.start("scanner", setup_temp)
        # The final setup comes last, so that the scanner holds it while the launch is tried.
        files = standard_files()[1:] + standard_files()[:1]
        s.serve_description("host1", description_text(files, [self.rig.host("site1")]))
        s.serve_files("site1")
        held = os.path.join(s.folder, "scanner.log")
        folder = self.windows_temp + "\\Velmar's Projects\\DemoSetup\\"
        # The User Info File is written right before the launch: there when the scanner lets go,
        # it shows that the launch was tried while the file was held.
        scanner = wine_popen([ENV["SCANNER_EXE"], folder + "final_setup.exe", "1500", windows_path(held),
                              folder + "UserInfo.txt"],
                             stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            s.run()
        finally:
            scanner.wait(timeout=180)
        with open(held) as f:
            self.assertEqual(f.read(), "held\nwitness\tthere\n")
        self.assertInstalledAndCleanedUp(s, setup_temp)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
