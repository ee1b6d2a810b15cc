#!/usr/bin/env python3
"""End-to-end runs of Setup.exe under Wine: a copy named Setup_Demo_1.exe, nginx hosts on
loopback, a real final setup that reports what it received, and an observer that reads every
message box a user would see.

Environment: SETUP_EXE, OBSERVER_EXE, FINAL_SETUP_EXE (Windows programs of the test build),
SETUP_BUILD_DIR (that build's folder), SETUP_WINE_ARCH (its size: x86_64 or i686, for the Wine
prefix and loader), EIFTOOL (the native description tool), E2E_WORK (a scratch folder). Each run takes free ports; its Setup.exe copy names them as default hosts."""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import time
import unittest

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(__file__))
from wine_tools import REPO, Observer, windows_path, wine, wine_popen, wine_temp_folder  # noqa: E402
from products import build_setting, pack_with_build_key, setup_for_hosts  # noqa: E402
sys.path.insert(0, os.path.join(REPO, "tests", "servers"))
from rig import Rig  # noqa: E402

ENV = os.environ
BUILD = ENV.get("SETUP_BUILD_DIR", os.path.join(REPO, "build", "win64"))
WORK = ENV.get("E2E_WORK", os.path.join(BUILD, "e2e"))
EXE_NAME = "Setup_Demo_1.exe"
DESCRIPTION_PATH = "downloads/Setups/Demo/SetupInitial.eif"
CAPTION = "Setup_Demo_1"
KEYS = ENV.get("SIGNING_KEYS", os.path.join(REPO, "tests", "crypto", "keys"))
SIGNING_KEY = os.path.join(KEYS, "signing-private.der")
DATA_FILES = {"data-small.bin": 1500, "data-medium.bin": 70000, "data-large.bin": 3 * 1024 * 1024}


def description_text(files, sites, program="final_setup.exe", user_info="UserInfo.txt",
                     extra="", leave_out=()):
    """Plain description text; padded with a comment so the file exceeds 1000 bytes, the least
    a default host must serve."""
    sections = [
        ("Download Sites", "\n".join(sites)),
        ("Files to download", "\n".join("%s -> %s" % (source, target) for source, target in files)),
        ("Program to run", program),
        ("User Info Filename", user_info),
    ]
    text = "// Demo application: sample description of the end-to-end runs.\n"
    text += "// " + "padding " * 120 + "\n\n"
    for name, body in sections:
        if name not in leave_out:
            text += "[%s]\n%s\n\n" % (name, body)
    return text + extra + "[End]\nEnd\n"


def tamper_signed_description(s, path):
    """Changes one byte of the signed text inside the packed file at `path`, keeping its signature."""
    text = subprocess.run([ENV["EIFTOOL"], "unpack", build_setting(BUILD, "SETUP_PRIVATE_KEY_FILE"), path],
                          check=True, capture_output=True).stdout
    changed = text.replace(b"data-small.bin", b"data-small.bim", 1)
    assert changed != text
    plain = path + ".tampered.txt"
    with open(plain, "wb") as f:
        f.write(changed)
    pack_with_build_key(BUILD, ENV["EIFTOOL"], plain, path)
    os.remove(plain)


class Scenario:
    """One run: an application folder with the executable, the hosts' files, the outcome."""

    def __init__(self, name, rig, exe=None, hosts=("host1", "host2")):
        self.folder = os.path.join(WORK, name)
        shutil.rmtree(self.folder, ignore_errors=True)
        self.app = os.path.join(self.folder, "app")
        os.makedirs(self.app)
        setup_for_hosts(BUILD, exe or ENV["SETUP_EXE"], os.path.join(self.app, EXE_NAME),
                        rig.host(hosts[0]), rig.host(hosts[1]))
        self.rig = rig
        self.report_path = os.path.join(self.app, "final-setup-report.txt")

    def pack(self, text, out_path, signing_key=None, application="Demo"):
        plain = out_path + ".txt"
        os.makedirs(os.path.dirname(out_path), exist_ok=True)
        with open(plain, "w", newline="\n") as f:
            f.write(text)
        pack_with_build_key(BUILD, ENV["EIFTOOL"], plain, out_path, signing_key, ("--application", application))
        os.remove(plain)

    def serve_description(self, server, text, signing_key=None, application="Demo"):
        self.pack(text, os.path.join(self.rig.root(server), DESCRIPTION_PATH), signing_key, application)

    def hash_section(self, server, files, sizes=None):
        """[File Hashes] for `files` as the site `server` serves them, each with its size (or the
        one `sizes` gives for its target)."""
        lines = ""
        for source, target in files:
            with open(os.path.join(self.rig.root(server), source.lstrip("/")), "rb") as f:
                data = f.read()
            size = (sizes or {}).get(target, len(data))
            lines += "%s  %d %s\n" % (hashlib.sha256(data).hexdigest(), size, target)
        return "[File Hashes]\n" + lines + "\n"

    def serve_files(self, server, delay_ms=None):
        folder = os.path.join(self.rig.root(server), "demo")
        os.makedirs(folder, exist_ok=True)
        shutil.copy(ENV["FINAL_SETUP_EXE"], os.path.join(folder, "final_setup.exe"))
        for name, size in DATA_FILES.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(bytes((i * 7 + size) % 251 for i in range(size)))
        if delay_ms is not None:
            with open(os.path.join(folder, "final-setup-delay.txt"), "w") as f:
                f.write(str(delay_ms))

    def run(self, env=None, stderr=subprocess.DEVNULL):
        """Runs the executable; `env` adds to the environment, `stderr` takes Wine's own output."""
        with Observer(ENV["OBSERVER_EXE"], self.folder) as observer:
            started = time.time()
            result = wine([os.path.join(self.app, EXE_NAME)], cwd=self.folder, timeout=600,
                          env=dict(os.environ, **(env or {})),
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=stderr)
            self.seconds = time.time() - started
            self.report_at_exit = os.path.exists(self.report_path)
        self.exit_code = result.returncode
        self.messages = observer.messages()
        return self

    def report(self):
        with open(self.report_path, encoding="latin-1") as f:
            return f.read()


def trust_ca(action, der):
    """Adds the rig's CA to the project's Wine prefix (the current user's Root store), or
    removes it."""
    wine([ENV["TRUST_CA_EXE"], action, windows_path(der)], check=True, timeout=120,
         stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def libraries_in_trace(path):
    """The libraries a run loaded, from Wine's +loaddll,+module trace, and those of them that
    Wine's own loader first looked for without a search path after WinINet was loaded (long
    after the program narrowed the search): the delayed imports of Wine's libraries and their
    own imports, which Wine resolves with the program's folder first."""
    loaded, first_lookup, narrowed = set(), {}, False
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            found = re.search(r'Loaded L"[^"]*\\\\([^"\\\\]+\.dll)"', line)
            if found:
                loaded.add(found.group(1).lower())
                narrowed = narrowed or found.group(1).lower() == "wininet.dll"
                continue
            found = re.search(r'load_dll looking for L"([^"]+)" in (\S+)', line)
            if found:
                name = found.group(1).rsplit("\\", 1)[-1].lower()
                first_lookup.setdefault(name, narrowed and found.group(2) == "(null)")
    return loaded, {name for name, by_wine in first_lookup.items() if by_wine}


def standard_files(extra=()):
    return [("/demo/final_setup.exe", "final_setup.exe")] + [
        ("/demo/" + name, name) for name in DATA_FILES] + list(extra)


class EndToEndTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.rig = Rig(os.path.join(WORK, "servers"))
        cls.temp_root = os.path.join(wine_temp_folder(), "Velmar's Projects")
        cls.setup_temp = os.path.join(cls.temp_root, "DemoSetup")

    @classmethod
    def tearDownClass(cls):
        cls.rig.stop()

    def host(self, server):
        return self.rig.host(server)

    def start(self, name, down=(), exe=None, hosts=("host1", "host2")):
        self.rig.start(down)
        shutil.rmtree(self.setup_temp, ignore_errors=True)
        return Scenario(name, self.rig, exe, hosts)

    def requests_of(self, server):
        """"METHOD PATH STATUS" of every request the host logged, sorted: a probe closed early
        may be logged after the next request."""
        return sorted(" ".join(line.split()[:3]) for line in self.rig.requests(server))

    def happy_requests(self, description_host, site):
        """What a run requests of its first default host and its site: the description probed
        (one byte) and fetched; the first file probed to choose the site; every file probed for
        the bar, then fetched."""
        files = [source for source, _ in standard_files()]
        probes = ["GET %s 206" % source for source in files[:1] + files]
        fetches = ["GET %s 200" % source for source in files]
        self.assertEqual(self.requests_of(description_host),
                         sorted(["GET /%s %s" % (DESCRIPTION_PATH, status) for status in (206, 200)]))
        self.assertEqual(self.requests_of(site), sorted(probes + fetches))

    def assertCleanedUp(self, scenario):
        self.assertEqual(scenario.exit_code, 0)
        self.assertFalse(os.path.exists(self.setup_temp), "the setup temp folder is still there")

    def assertMessages(self, scenario, texts):
        self.assertEqual(scenario.messages, [(CAPTION, t) for t in texts])

    def assertInstalled(self, scenario, site):
        self.assertEqual(scenario.messages, [])
        self.assertTrue(scenario.report_at_exit, "Setup.exe ended before the final setup did")
        report = scenario.report()
        self.assertIn("status\tok\n", report)
        for name, size in DATA_FILES.items():
            self.assertIn("file\t%s\t%d\n" % (name, size), report)
        info = report.split("--- user info file\n", 1)[1]
        lines = info.split("\n")
        self.assertEqual(lines[3], windows_path(os.path.join(scenario.app, EXE_NAME)))
        self.assertTrue(lines[6].endswith("\\Velmar's Projects\\DemoSetup"), lines[6])
        self.assertEqual(lines[9], site)
        self.assertEqual(lines[21], "Demo")
        self.assertRegex(lines[24], r"^\d\d-\d\d-20\d\d \d\d:\d\d:\d\d$")
        self.assertCleanedUp(scenario)

    def test_happy_path_installs_every_file_and_hands_over(self):
        s = self.start("happy")
        sites = [self.host("site1"), self.host("site2")]
        s.serve_description("host1", description_text(standard_files(), sites))
        s.serve_files("site1")
        s.run()
        self.assertInstalled(s, self.host("site1"))
        self.happy_requests("host1", "site1")
        self.assertEqual(self.rig.requests("host2"), [])
        self.assertEqual(self.rig.requests("site2"), [])
        self.assertEqual(self.rig.requests("host1-tls") + self.rig.requests("site1-tls"), [])

    def test_the_window_answers_what_another_process_sends_it_while_data_flows(self):
        """WM_NULL from another process every half second while 3 MB flow at 250 KB/s (13 s):
        each is answered within the 5 s after which Windows judges a window hung."""
        self.rig.rate = "250k"
        try:
            s = self.start("answering")
        finally:
            self.rig.rate = None
        s.serve_description("host1", description_text(standard_files(), [self.host("site1")]))
        s.serve_files("site1")
        pinger = wine_popen([ENV["PINGER_EXE"], "Velmar's Projects"], stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        s.run()
        answers = pinger.communicate(timeout=120)[0].splitlines()
        self.assertInstalled(s, self.host("site1"))
        self.assertNotIn("unanswered", answers)
        self.assertGreaterEqual(len(answers), 20, answers)

    def test_https_build_requests_the_same_over_https_only(self):
        s = self.start("https", exe=ENV["HTTPS_SETUP_EXE"], hosts=("host1-tls", "host2-tls"))
        sites = [self.host("site1-tls")]
        s.serve_description("host1", description_text(standard_files(), sites))
        s.serve_files("site1")
        trust_ca("add", self.rig.ca_der())
        try:
            s.run()
        finally:
            trust_ca("remove", self.rig.ca_der())
        self.assertInstalled(s, self.host("site1-tls"))
        self.happy_requests("host1-tls", "site1-tls")
        for plain in ("host1", "host2", "site1", "host2-tls"):
            self.assertEqual(self.rig.requests(plain), [], plain)

    def test_first_default_host_down_uses_the_second(self):
        s = self.start("host1-down", down=("host1",))
        sites = [self.host("site2"), self.host("site1")]
        s.serve_description("host2", description_text(standard_files(), sites))
        s.serve_files("site1")
        s.serve_files("site2")
        s.run()
        self.assertInstalled(s, self.host("site2"))

    def test_both_default_hosts_down(self):
        s = self.start("hosts-down", down=("host1", "host2"))
        s.run()
        self.assertMessages(s, ["Error: Download site not found."])
        self.assertCleanedUp(s)

    def test_local_copy_is_used_without_downloading_the_description(self):
        s = self.start("local-copy")
        text = description_text(standard_files(), [self.host("site1")],
                                extra="[Download Initial Setup]\nNo\n\n")
        s.pack(text, os.path.join(s.app, "SetupInitial.eif"))
        with open(os.path.join(s.app, "readme-next-to-setup.txt"), "w") as f:
            f.write("copied along")
        s.serve_files("site1")
        s.run()
        self.assertInstalled(s, self.host("site1"))
        self.assertIn("file\treadme-next-to-setup.txt\t12\n", s.report())
        self.assertEqual(self.rig.requests("host1"), [])

    def test_wrong_signature_is_refused(self):
        s = self.start("bad-signature")
        s.serve_description("host1", description_text(standard_files(), [self.host("site1")]))
        path = os.path.join(self.rig.root("host1"), DESCRIPTION_PATH)
        with open(path, "r+b") as f:
            first = f.read(1)
            f.seek(0)
            f.write(bytes([first[0] ^ 0x20]))
        s.run()
        self.assertMessages(s, ["Error opening the initial setup eif."])
        self.assertCleanedUp(s)

    def test_description_without_download_sites(self):
        s = self.start("no-sites")
        s.serve_description("host1", description_text(standard_files(), [], leave_out=("Download Sites",)))
        s.run()
        self.assertEqual(s.messages, [("Ini Parser", "Tag 'Download Sites' not found."),
                                      (CAPTION, "Error: Download site not found.")])
        self.assertCleanedUp(s)

    def test_program_to_run_that_is_not_there(self):
        s = self.start("no-program")
        s.serve_description("host1", description_text(standard_files(), [self.host("site1")],
                                                     program="missing.exe"))
        s.serve_files("site1")
        s.run()
        self.assertMessages(s, ["Error: Failed to start the final setup."])
        self.assertCleanedUp(s)

    def test_user_info_file_that_cannot_be_written_keeps_the_downloads(self):
        s = self.start("no-user-info")
        s.serve_description("host1", description_text(standard_files(), [self.host("site1")],
                                                    user_info="sub\\UserInfo.txt"))
        s.serve_files("site1")
        s.run()
        self.assertMessages(s, ["Error: Failed to create User Info File."])
        self.assertEqual(s.exit_code, 0)
        for name in list(DATA_FILES) + ["final_setup.exe", "SetupInitial.eif"]:
            self.assertTrue(os.path.exists(os.path.join(self.setup_temp, name)), name)
        self.assertFalse(os.path.exists(s.report_path))

    def test_long_running_final_setup_is_awaited(self):
        s = self.start("slow-final-setup")
        files = standard_files([("/demo/final-setup-delay.txt", "final-setup-delay.txt")])
        s.serve_description("host1", description_text(files, [self.host("site1")]))
        s.serve_files("site1", delay_ms=7000)
        s.run()
        self.assertGreater(s.seconds, 7)
        self.assertInstalled(s, self.host("site1"))

    def test_listed_file_missing_on_the_site(self):
        """Slow: the missing file is tried four times with the full grace time (about 90 s)."""
        s = self.start("missing-file")
        files = standard_files([("/demo/not-there.bin", "not-there.bin")])
        s.serve_description("host1", description_text(files, [self.host("site1")]))
        s.serve_files("site1")
        s.run()
        self.assertMessages(s, ["Error: Failed to download not-there.bin"])
        self.assertCleanedUp(s)


    # ---- a Setup.exe built with a signing key (the test key) ----

    def start_signed(self, name):
        """A scenario of the build with the test signing key; site 1 serves the files."""
        s = self.start(name, exe=ENV["SIGNING_SETUP_EXE"])
        s.serve_files("site1")
        return s

    def signed_text(self, s, extra="", sizes=None):
        return description_text(standard_files(), [self.host("site1")],
                                extra=s.hash_section("site1", standard_files(), sizes) + extra)

    def test_signing_build_installs_a_signed_description_with_hashes(self):
        s = self.start_signed("signed")
        s.serve_description("host1", self.signed_text(s), signing_key=SIGNING_KEY)
        s.run()
        self.assertInstalled(s, self.host("site1"))

    def test_signing_build_refuses_what_its_key_did_not_sign(self):
        for case in ("unsigned", "tampered", "other-key", "planted-local-copy"):
            with self.subTest(case):
                s = self.start_signed("refused-" + case)
                text = self.signed_text(s)
                if case == "unsigned":
                    s.serve_description("host1", text)
                elif case == "other-key":
                    s.serve_description("host1", text, signing_key=os.path.join(KEYS, "other-private.der"))
                elif case == "tampered":
                    s.serve_description("host1", text, signing_key=SIGNING_KEY)
                    tamper_signed_description(s, os.path.join(self.rig.root("host1"), DESCRIPTION_PATH))
                else:
                    s.serve_description("host1", text, signing_key=SIGNING_KEY)
                    s.pack(self.signed_text(s, extra="[Download Initial Setup]\nNo\n\n"),
                           os.path.join(s.app, "SetupInitial.eif"))
                s.run()
                local = case == "planted-local-copy"
                self.assertMessages(s, ["Error opening the %sinitial setup eif." % ("local " if local else "")])
                self.assertFalse(os.path.exists(s.report_path), "the final setup was started")
                self.assertEqual([r for r in self.rig.requests("site1") if r.startswith("GET ")], [])
                self.assertCleanedUp(s)

    def test_a_file_whose_bytes_differ_from_its_hash_fails_after_the_retries(self):
        s = self.start_signed("other-bytes")
        s.serve_description("host1", self.signed_text(s), signing_key=SIGNING_KEY)
        path = os.path.join(self.rig.root("site1"), "demo", "data-medium.bin")
        with open(path, "r+b") as f:
            f.seek(50000)
            byte = f.read(1)
            f.seek(50000)
            f.write(bytes([byte[0] ^ 0xFF]))  # same length, other bytes
        s.run()
        self.assertMessages(s, ["Error: Failed to download data-medium.bin"])
        self.assertFalse(os.path.exists(s.report_path), "the final setup was started")
        gets = [r for r in self.rig.requests("site1") if r.startswith("GET /demo/data-medium.bin ")]
        self.assertEqual(len(gets), 4, gets)  # every attempt; its signed size needs no probe
        self.assertCleanedUp(s)

    def test_signing_build_refuses_an_expired_or_another_applications_description(self):
        for case in ("expired", "expired-local-copy", "other-application"):
            with self.subTest(case):
                s = self.start_signed("refused-" + case)
                if case == "expired":
                    s.serve_description("host1", self.signed_text(s, extra="[Valid Until]\n2020-01-31\n\n"),
                                        signing_key=SIGNING_KEY)
                elif case == "other-application":
                    s.serve_description("host1", self.signed_text(s), signing_key=SIGNING_KEY, application="Writer")
                else:
                    s.pack(self.signed_text(s, extra="[Valid Until]\n2020-01-31 12:00:00\n\n"
                                                     "[Download Initial Setup]\nNo\n\n"),
                           os.path.join(s.app, "SetupInitial.eif"), signing_key=SIGNING_KEY)
                s.run()
                local = case == "expired-local-copy"
                self.assertMessages(s, ["Error opening the %sinitial setup eif." % ("local " if local else "")])
                self.assertFalse(os.path.exists(s.report_path), "the final setup was started")
                self.assertEqual([r for r in self.rig.requests("site1") if r.startswith("GET ")], [])
                if local:
                    self.assertEqual(self.rig.requests("host1"), [])
                self.assertCleanedUp(s)

    def test_a_signed_size_smaller_than_what_the_site_serves_fails_each_attempt_at_once(self):
        s = self.start_signed("signed-size-smaller")
        s.serve_description("host1", self.signed_text(s, sizes={"data-medium.bin": 69999}), signing_key=SIGNING_KEY)
        s.run()
        self.assertMessages(s, ["Error: Failed to download data-medium.bin"])
        self.assertFalse(os.path.exists(s.report_path), "the final setup was started")
        gets = [r for r in self.rig.requests("site1") if r.startswith("GET /demo/data-medium.bin ")]
        self.assertEqual(len(gets), 4, gets)  # the attempts only: the signed size needs no probe
        self.assertCleanedUp(s)

    def test_a_build_with_two_keys_installs_what_the_second_one_signed(self):
        s = self.start("second-key", exe=ENV["TWO_KEYS_SETUP_EXE"])
        s.serve_files("site1")
        s.serve_description("host1", self.signed_text(s), signing_key=SIGNING_KEY)
        s.run()
        self.assertInstalled(s, self.host("site1"))
        # The site is chosen on its first file; every other file is sized by its signed size.
        probes = [r for r in self.rig.requests("site1") if r.startswith("GET /demo/data-")]
        self.assertEqual(len(probes), len(DATA_FILES), probes)

    def test_libraries_planted_beside_setup_are_never_loaded(self):
        """Every library a run loads that is not one of Windows' known DLLs lies beside Setup.exe
        as a copy whose loading leaves a mark; Wine is told to prefer a copy it finds there, as
        Windows' own search order would. Left out is what Wine takes from the program's folder
        whatever the program does: version.dll and uxtheme.dll (its comctl32 and shell32 load
        them), zlib1.dll (Debian's Wine builds its user32 against it; Windows has no library of
        that name), and what Wine's own libraries load on first use of one of their functions,
        with their imports: Wine resolves such delayed imports with the program's folder first,
        where Windows keeps to the search that SetDefaultDllDirectories narrowed."""
        s = self.start("planted")
        s.serve_description("host1", description_text(standard_files(), [self.host("site1")]))
        s.serve_files("site1")
        trace = os.path.join(s.folder, "loaded.txt")
        with open(trace, "w") as f:
            s.run(env={"WINEDEBUG": "+loaddll,+module"}, stderr=f)
        self.assertInstalled(s, self.host("site1"))
        loaded, delayed = libraries_in_trace(trace)
        with open(os.path.join(REPO, "tests", "size", "SystemLibraries.txt")) as f:
            known = {line.strip() for line in f if line.strip() and not line.startswith("#")}
        planted = sorted(loaded - known - delayed - {"version.dll", "uxtheme.dll", "zlib1.dll"})
        self.assertIn("wininet.dll", planted)
        self.assertIn("crypt32.dll", planted)

        s = self.start("planted")
        s.serve_description("host1", description_text(standard_files(), [self.host("site1")]))
        s.serve_files("site1")
        for name in planted:
            shutil.copy(ENV["PLANTED_LIBRARY"], os.path.join(s.app, name))
        overrides = ",".join(n[:-len(".dll")] for n in planted) + "=n,b;mscoree,mshtml="
        s.run(env={"WINEDLLOVERRIDES": overrides})
        marks = sorted(n for n in os.listdir(s.app) if n.endswith(".loaded"))
        self.assertEqual(marks, [], "planted libraries ran")
        self.assertInstalled(s, self.host("site1"))

if __name__ == "__main__":
    only = ENV.get("E2E_ONLY")
    argv = [sys.argv[0], "-v"] + (["EndToEndTest." + t for t in only.split(",")] if only else [])
    unittest.main(argv=argv)
