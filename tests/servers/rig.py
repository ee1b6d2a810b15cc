"""The servers of rig.sh for the Python rigs (end-to-end tests, demo, benchmark): nginx hosts on
free loopback ports, each with its own document root and access log, and the fault server."""
import os
import shutil
import subprocess

RIG_SH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "rig.sh")
# Port offsets from the base port, as rig.sh lays them out.
OFFSETS = {"host1": 1, "host2": 2, "site1": 3, "site2": 4, "site3": 5, "site4": 6, "fault": 9,
           "wrong-name": 17, "expired": 18, "unknown-ca": 19}
# The HTTPS twin "NAME-tls" of each nginx host, ten ports above it.
OFFSETS.update({name + "-tls": OFFSETS[name] + 10 for name in ("host1", "host2", "site1", "site2", "site3", "site4")})


class Rig:
    def __init__(self, folder, rate=None):
        self.folder = os.path.abspath(folder)
        self.rate = rate  # e.g. "4m": bytes a second per answer, so a person can watch
        self.base = None
        # Made at the first start, then reused: the rig restarts for every run.
        self.certs = self.folder + "-certs"
        shutil.rmtree(self.certs, ignore_errors=True)

    def start(self, down=()):
        """Serves every host but those named in `down` (their ports stay closed: a host that is
        down), from empty document roots, on a block of ports that is free now."""
        self.stop()
        shutil.rmtree(self.folder, ignore_errors=True)
        options = (["--rate", self.rate] if self.rate else []) + (["--down", ",".join(down)] if down else [])
        subprocess.run([RIG_SH, "start", self.folder, "auto"] + options, check=True,
                       stdin=subprocess.DEVNULL, env=dict(os.environ, SETUP_RIG_CERTS=self.certs))
        with open(os.path.join(self.folder, "base-port")) as f:
            self.base = int(f.read())
        return self

    def stop(self):
        if self.base is not None:
            subprocess.run([RIG_SH, "stop", self.folder], check=True)
            self.base = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def port(self, name):
        return self.base + OFFSETS[name]

    def host(self, name):
        return "127.0.0.1:%d" % self.port(name)

    def ca_der(self):
        """The CA of the HTTPS hosts' certificates (DER), to be trusted in the Wine prefix."""
        return os.path.join(self.certs, "ca.der")

    def root(self, name):
        """Document root; a twin "NAME-tls" serves NAME's."""
        return os.path.join(self.folder, "www", name[:-4] if name.endswith("-tls") else name)

    def requests(self, name):
        """The requests that reached the host, one "METHOD PATH STATUS BYTES" line each."""
        path = os.path.join(self.folder, "logs", name + ".access.log")
        if not os.path.exists(path):
            return []
        with open(path) as f:
            return [line.rstrip("\n") for line in f if line.strip()]
