"""nginx on loopback ports, one server block a port, each with its own document root and
access log, so a test can both serve files and prove which hosts were asked."""
import os
import shutil
import socket
import subprocess
import time


class NginxRig:
    def __init__(self, folder, rate=None):
        self.folder = folder
        self.rate = rate  # e.g. "2m": bytes a second per connection, so a person can watch
        self.ports = {}
        self.process = None

    def root(self, port):
        return os.path.join(self.folder, "root-%d" % port)

    def access_log(self, port):
        return os.path.join(self.folder, "access-%d.log" % port)

    def requests(self, port):
        """Request lines that reached the host on `port`."""
        path = self.access_log(port)
        if not os.path.exists(path):
            return []
        with open(path) as f:
            return [line.split('"')[1] for line in f if '"' in line]

    def start(self, ports):
        """Serves the given ports; a port left out is closed (its host is down)."""
        self.stop()
        os.makedirs(self.folder, exist_ok=True)
        for port in ports:
            os.makedirs(self.root(port), exist_ok=True)
        conf = os.path.join(self.folder, "nginx.conf")
        with open(conf, "w") as f:
            f.write(self._config(ports))
        self.process = subprocess.Popen(["nginx", "-c", conf, "-p", self.folder],
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        for port in ports:
            self._wait_for(port)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
        self.process = None

    def _config(self, ports):
        user = "user root;\n" if os.geteuid() == 0 else ""
        tmp = os.path.join(self.folder, "tmp")
        os.makedirs(tmp, exist_ok=True)
        servers = "".join(
            "  server {\n    listen 127.0.0.1:%d;\n    root %s;\n    access_log %s;\n%s  }\n"
            % (port, self.root(port), self.access_log(port),
               "    limit_rate %s;\n" % self.rate if self.rate else "") for port in ports)
        return ("%sdaemon off;\nworker_processes 1;\npid %s/nginx.pid;\nerror_log %s/error.log;\n"
                "events { worker_connections 64; }\nhttp {\n  default_type application/octet-stream;\n"
                "  client_body_temp_path %s/body;\n  proxy_temp_path %s/proxy;\n"
                "  fastcgi_temp_path %s/fastcgi;\n  uwsgi_temp_path %s/uwsgi;\n  scgi_temp_path %s/scgi;\n"
                "%s}\n" % (user, self.folder, self.folder, tmp, tmp, tmp, tmp, tmp, servers))

    @staticmethod
    def _wait_for(port):
        deadline = time.time() + 20
        while time.time() < deadline:
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                return
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("nginx did not open port %d" % port)
