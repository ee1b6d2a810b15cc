#!/usr/bin/env python3
"""`eiftool audit --scheme https` and `--ca` against a TLS listener of its own: a throw-away CA
and a certificate for 127.0.0.1 made with openssl in WORK_DIR, served by Python's ssl.

usage: tls_audit_test.py EIFTOOL SOURCE_DIR WORK_DIR
"""
import functools
import http.server
import json
import pathlib
import shutil
import ssl
import subprocess
import sys
import threading

EIFTOOL, SOURCE, WORK = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
RUN_LIMIT_S = 120  # a hanging audit fails the test instead of stopping the suite


def openssl(*args):
    subprocess.run(["openssl", *args], check=True, capture_output=True, timeout=RUN_LIMIT_S)


def make_certificates():
    """ca.pem, and server.pem/server.key for 127.0.0.1 signed by it."""
    (WORK / "san.ext").write_text("subjectAltName=DNS:127.0.0.1,IP:127.0.0.1\n")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=Audit Test CA",
            "-keyout", str(WORK / "ca.key"), "-out", str(WORK / "ca.pem"))
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1",
            "-keyout", str(WORK / "server.key"), "-out", str(WORK / "server.csr"))
    openssl("x509", "-req", "-in", str(WORK / "server.csr"), "-CA", str(WORK / "ca.pem"), "-CAkey",
            str(WORK / "ca.key"), "-CAcreateserial", "-days", "2", "-extfile", str(WORK / "san.ext"),
            "-out", str(WORK / "server.pem"))


def serve(tls):
    """A file server for WORK/www on a free loopback port, over TLS or plain HTTP."""
    handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=str(WORK / "www"))
    handler.log_message = lambda *args: None
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    if tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(WORK / "server.pem", WORK / "server.key")
        server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, f"127.0.0.1:{server.server_address[1]}"


def packed_description(site):
    plain, packed = WORK / f"{site.replace(':', '_')}.txt", WORK / f"{site.replace(':', '_')}.eif"
    plain.write_text(f"[Files to download]\n/App.exe -> App.exe\n\n[Download Sites]\n{site}\n\n"
                     "[Program to run]\nApp.exe\n[User Info Filename]\nUser Info.txt\n[End]\nEnd\n")
    subprocess.run([EIFTOOL, "pack", str(SOURCE / "keys/public.der"), str(plain), str(packed)], check=True,
                   capture_output=True, timeout=RUN_LIMIT_S)
    return packed


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    (WORK / "www").mkdir(parents=True)
    (WORK / "www/App.exe").write_bytes(b"A" * 5000)
    make_certificates()
    servers = [serve(True), serve(False)]
    secure, plain = servers[0][1], servers[1][1]
    ca = ["--ca", str(WORK / "ca.pem")]
    rows = [
        # name, site, options, exit status, the site answers
        ("trusted through --ca", secure, ["--scheme", "https", *ca], 0, True),
        ("unknown CA", secure, ["--scheme", "https"], 1, False),
        ("https against a plain port", plain, ["--scheme", "https", *ca], 1, False),
        ("http against the TLS port", secure, ["--scheme", "http", *ca], 1, False),
    ]
    failures = []
    for name, site, options, status, reachable in rows:
        run = subprocess.run([EIFTOOL, "audit", str(SOURCE / "keys/private.hex"), str(packed_description(site)),
                              "--timeout", "5", "--json", *options], capture_output=True, text=True,
                             timeout=RUN_LIMIT_S)
        report = json.loads(run.stdout)
        if run.returncode != status or report["sites"][0]["reachable"] != reachable:
            failures.append(f"{name}: exit {run.returncode}, {report['sites'][0]}")
        elif name == "unknown CA" and "certificate" not in report["sites"][0]["files"][0]["problem"]:
            failures.append(f"{name}: the problem does not name the certificate: {report['sites'][0]}")
    for server, _ in servers:
        server.shutdown()
    for failure in failures:
        print("FAIL", failure)
    print(f"tls_audit_test: {len(rows)} cases, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
