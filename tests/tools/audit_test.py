#!/usr/bin/env python3
"""`eiftool audit` against the rig's nginx hosts and fault server (run under run-with-servers.sh).

usage: audit_test.py "EIFTOOL [EMULATOR...]" SOURCE_DIR WORK_DIR
The first argument is the tool's command line, split at blanks ("wine eiftool.exe" for the
Windows build, whose WinINet requests must carry the same headers).
"""
import hashlib
import json
import os
import pathlib
import shlex
import shutil
import socket
import subprocess
import sys
import threading
import urllib.parse

EIFTOOL, SOURCE, WORK = shlex.split(sys.argv[1]), pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
STATE = pathlib.Path(os.environ["SETUP_TEST_SERVERS"])
BASE = int(os.environ["SETUP_TEST_BASE_PORT"])
HOST1, HOST2, SITE1, SITE2, SITE3 = (f"127.0.0.1:{BASE + i}" for i in (1, 2, 3, 4, 5))
DOWN, FAULT = f"127.0.0.1:{BASE + 8}", f"127.0.0.1:{BASE + 9}"
PRIVATE, PUBLIC = SOURCE / "keys/private.hex", SOURCE / "keys/public.der"
APP = b"A" * 5000
DATA = bytes(range(256)) * 12
# Every wait in here is bounded: a hanging audit fails the test instead of stopping the suite.
RUN_LIMIT_S = 120
failures = []


def www(name, path, data):
    target = STATE / "www" / name / path.lstrip("/")
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_bytes(data)


def description(name, sites, hashes=None, app_source="/downloads/App.exe", data_source="/downloads/Data.cab"):
    text = (f"[Files to download]\n{app_source} -> App.exe\n{data_source} -> Data.cab\n\n"
            "[Download Sites]\n" + "\n".join(sites) + "\n\n"
            "[Program to run]\nApp.exe\n[User Info Filename]\nUser Info.txt\n")
    if hashes is not None:
        text += "[File Hashes]\n" + "".join(f"{digest}  {target}\n" for target, digest in hashes.items())
    text += "[End]\nEnd\n"
    plain, packed = WORK / f"{name}.txt", WORK / f"{name}.eif"
    plain.write_text(text, encoding="latin-1")
    subprocess.run([*EIFTOOL, "pack", str(PUBLIC), str(plain), str(packed)], check=True,
                   capture_output=True, timeout=RUN_LIMIT_S)
    return packed


def audit(packed, *options):
    """(exit status, table text, JSON object, stderr) of two runs: the table and --json."""
    command = [*EIFTOOL, "audit", str(PRIVATE), str(packed), "--timeout", "2", *options]
    table = subprocess.run(command, capture_output=True, text=True, timeout=RUN_LIMIT_S)
    machine = subprocess.run(command + ["--json"], capture_output=True, text=True, timeout=RUN_LIMIT_S)
    if table.returncode != machine.returncode:
        failures.append(f"{packed.name}: exit {table.returncode} with the table, {machine.returncode} with --json")
    return table.returncode, table.stdout, json.loads(machine.stdout), table.stderr


def expect(case, condition, detail):
    if not condition:
        failures.append(f"{case}: {detail}")


def sha(data):
    return hashlib.sha256(data).hexdigest()


def setup_servers():
    for host in ("host1", "host2"):
        www(host, "/downloads/Setups/Demo/SetupInitial.eif", description("served", [SITE1]).read_bytes())
    for site in ("site1", "site3"):
        www(site, "/downloads/App.exe", APP)
        www(site, "/downloads/Data.cab", DATA)
    www("site2", "/downloads/App.exe", APP)        # lacks the later file
    www("site3", "/downloads/App.exe", b"B" * 1000)  # exactly 1000: passed over


def serve_description(packed, *hosts):
    for host in hosts:
        www(host, "/downloads/Setups/Demo/SetupInitial.eif", packed.read_bytes())


def check_all_good():
    good = {"App.exe": sha(APP).upper(), "Data.cab": sha(DATA)}  # either case is read
    packed = description("good", [SITE1], good)
    serve_description(packed, "host1", "host2")
    rc, table, report, err = audit(packed, "--application", "Demo",
                                   "--default-host", HOST1, "--default-host", HOST2)
    expect("all good", rc == 0, f"exit {rc}\n{table}")
    expect("all good", "A user gets through." in table and f"would choose: {SITE1}" in table, table)
    expect("all good", report["chosenHost"] == SITE1 and report["defaultHostUsed"] == 0, report)
    files = report["sites"][0]["files"]
    expect("all good", [f["hash"] for f in files] == ["match", "match"], files)
    expect("all good", [f["answer"]["contentLength"] for f in files] == [len(APP), len(DATA)], files)
    expect("all good", f"site 1 of 1: {SITE1}" in err, f"no progress line for the site: {err}")
    # nginx serves ranges, ETag and Last-Modified: nothing to warn of.
    expect("all good", report["warnings"] == [] and report["defaultHosts"][0]["sameAsGiven"], report["warnings"])
    expect("all good", [f["probedLength"] for f in files] == [len(APP), len(DATA)], files)


def check_later_file_missing():
    rc, table, report, _ = audit(description("missing", [SITE2, SITE1]))
    expect("later file missing", rc == 1, f"exit {rc}")
    expect("later file missing", report["chosenHost"] == SITE2, "the first qualifying site is the one used")
    expect("later file missing", any("Data.cab" in p and "404" in p for p in report["problems"]),
           report["problems"])
    expect("later file missing", "'Data.cab'" in table and "does NOT get through" in table, table)


def check_exactly_1000_passed_over():
    rc, table, report, _ = audit(description("thousand", [SITE3, SITE1]))
    site3 = report["sites"][0]
    expect("exactly 1000", rc == 0, f"exit {rc}\n{table}")
    expect("exactly 1000", site3["reachable"] and not site3["qualifies"], site3)
    expect("exactly 1000", site3["files"][0]["answer"]["contentLength"] == 1000, site3)
    expect("exactly 1000", report["chosenSite"] == 1, report["chosenSite"])


def check_default_hosts():
    packed = description("hosts", [SITE1])
    serve_description(packed, "host2")
    rc, table, report, _ = audit(packed, "--application", "Demo", "--default-host", DOWN, "--default-host", HOST2)
    expect("first default host down", rc == 0, f"exit {rc}\n{table}")
    expect("first default host down", [h["offers"] for h in report["defaultHosts"]] == [False, True], report)
    expect("first default host down", not report["defaultHosts"][0]["answer"]["answered"], report)
    expect("first default host down", report["defaultHostUsed"] == 1, report)
    rc, table, report, _ = audit(packed, "--application", "Other", "--default-host", HOST1, "--default-host", DOWN)
    expect("no default host serves it", rc == 1, f"exit {rc}")
    expect("no default host serves it", any("/downloads/Setups/Other/SetupInitial.eif" in p
                                            for p in report["problems"]), report["problems"])


def check_expiry_warning():
    """A default host that serves a signed description expiring within a week gets a warning."""
    plain = WORK / "expiring.txt"
    plain.write_text((WORK / "served.txt").read_text(encoding="latin-1"), encoding="latin-1")
    for app, days, warned in (("Soon", "3", True), ("Later", "8", False)):
        packed = WORK / f"expiring-{app}.eif"
        subprocess.run([*EIFTOOL, "pack", str(PUBLIC), str(plain), str(packed), "--sign",
                        str(SOURCE / "tests/crypto/keys/signing-private.der"), "--application", app,
                        "--valid-days", days], check=True, capture_output=True, timeout=RUN_LIMIT_S)
        www("host1", f"/downloads/Setups/{app}/SetupInitial.eif", packed.read_bytes())
        rc, table, _, err = audit(packed, "--application", app, "--default-host", HOST1)
        expect(f"expiry in {days} days", rc == 0, f"exit {rc}\n{table}")
        line = f"audit: warning: default host {HOST1} serves a description: it expires at "
        expect(f"expiry in {days} days", (line in err and "sign it again before then" in err) == warned, err)


def check_hash_mismatch():
    wrong = {"App.exe": sha(APP), "Data.cab": sha(DATA[:-1] + b"x")}
    rc, table, report, _ = audit(description("mismatch", [SITE1], wrong))
    expect("hash mismatch", rc == 1, f"exit {rc}")
    files = report["sites"][0]["files"]
    expect("hash mismatch", [f["hash"] for f in files] == ["match", "MISMATCH"], files)
    expect("hash mismatch", files[1]["sha256"] == sha(DATA), files[1])
    expect("hash mismatch", "MISMATCH" in table and any("Data.cab" in p for p in report["problems"]), table)


def check_server_never_answers():
    packed = description("silent", [FAULT, SITE1], app_source="/downloads/App.exe?silent_ms=60000")
    rc, table, report, _ = audit(packed)
    fault = report["sites"][0]
    expect("never answers", rc == 0, f"exit {rc}\n{table}")
    expect("never answers", not fault["reachable"] and fault["files"][0]["answer"]["timedOut"], fault)
    expect("never answers", len(fault["files"]) == 1, "the other files of a dead site are not asked for")
    expect("never answers", report["chosenHost"] == SITE1, report["chosenHost"])


def fault(path="/downloads/App.exe", **params):
    return path + "?" + urllib.parse.urlencode(params)


def check_what_hosts_answer():
    """One row a report line; App.exe comes from the fault server, which sends no ETag and no
    Last-Modified, and honours Range only with ranges=1."""
    on_fault = f"http://{FAULT}" + fault(ranges=1, size=5000)
    rows = [
        # name, App.exe source, exit status, in its problem, its warnings (probe total differs,
        # ignores Range, cannot resume), its hops as (status, scheme changes, host changes)
        ("redirect on the host", fault(status=302, location=on_fault), 0, None, (0, 0, 1), [(302, 0, 0)]),
        ("relative redirect", fault(status=308, location=fault(ranges=1, size=5000)), 0, None, (0, 0, 1),
         [(308, 0, 0)]),
        ("redirect to another host", fault(status=307, location=f"http://{SITE1}/downloads/App.exe"), 0, None,
         (0, 0, 0), [(307, 0, 1)]),
        ("redirect to https", fault(status=301, location=f"https://{DOWN}/downloads/App.exe"), 1,
         "-DSETUP_URL_SCHEME=https", (0, 0, 0), [(301, 1, 1)]),
        ("probe total differs", fault(ranges=1, range_total=6000, size=5000), 0, None, (1, 0, 1), []),
        ("ignores Range", fault(size=5000), 0, None, (0, 1, 1), []),
        ("chunked without a length", fault(ranges=1, chunked=1, size=5000), 1, "chunked", (0, 0, 1), []),
        ("page titled 404", fault(ranges=1, title="Version 2404", size=3000), 1, "titled 404", (0, 0, 1), []),
    ]
    data = fault("/downloads/Data.cab", ranges=1, size=2000)
    for name, source, status, problem, warned, hops in rows:
        rc, table, report, _ = audit(description("answers", [FAULT], app_source=source, data_source=data))
        file = report["sites"][0]["files"][0]
        expect(name, rc == status, f"exit {rc}\n{table}")
        expect(name, (problem or "") in file.get("problem", ""), file)
        warnings = " | ".join(file["warnings"])
        found = (int("names 6000" in warnings), int(file["ignoresRange"]), int("cannot resume" in warnings))
        expect(name, found == warned, f"warnings {found}, not {warned}: {file['warnings']}")
        expect(name, [(h["status"], int(h["schemeChanges"]), int(h["hostChanges"])) for h in file["hops"]] == hops,
               file["hops"])
        expect(name, ("ignores Range" in table) == bool(warned[1]) and table.count("redirect 3") == len(hops), table)


def check_stale_mirror():
    served, audited = description("served", [SITE1]), description("audited", [SITE1])
    serve_description(served, "host1")
    serve_description(audited, "host2")
    rc, table, report, _ = audit(audited, "--application", "Demo", "--default-host", HOST1, "--default-host", HOST2)
    hosts = report["defaultHosts"]
    expect("stale mirror", rc == 1 and report["defaultHostUsed"] == 0, f"exit {rc}\n{table}")
    expect("stale mirror", [h["sameAsGiven"] for h in hosts] == [False, True], hosts)
    expect("stale mirror", any(HOST1 in p and "another description" in p for p in report["problems"]), report)


def heard_requests():
    """The header lines of the audit's first two requests, caught by a listener that answers the
    first (the probe) with a range of a 5000-byte file and never answers the second."""
    listener = socket.create_server(("127.0.0.1", 0))
    listener.settimeout(RUN_LIMIT_S)
    port = listener.getsockname()[1]
    heard = []

    def catch():
        for answer in (b"HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-0/5000\r\n"
                       b"Content-Length: 1\r\nConnection: close\r\n\r\nA", None):
            connection, _ = listener.accept()
            with connection:
                connection.settimeout(RUN_LIMIT_S)
                data = b""
                while b"\r\n\r\n" not in data:
                    chunk = connection.recv(4096)
                    if not chunk:
                        break
                    data += chunk
                heard.append(data.decode("latin-1").split("\r\n"))
                if answer is None:
                    return
                connection.sendall(answer)

    thread = threading.Thread(target=catch)
    thread.start()
    audit_packed = description("listen", [f"127.0.0.1:{port}"])
    subprocess.run([*EIFTOOL, "audit", str(PRIVATE), str(audit_packed), "--timeout", "1"],
                   capture_output=True, timeout=RUN_LIMIT_S)
    thread.join(RUN_LIMIT_S)
    listener.close()
    return heard + [[], []], port


def check_request_headers():
    # What Wine's WinINet sends for the bootstrapper's flags (reload, no cache write,
    # hyperlink, no-cache pragma) and user agent, recorded with a listener like this one; the
    # probe adds its Range.
    (probe, get, *_), port = heard_requests()
    expected = {"Accept: */*", f"Host: 127.0.0.1:{port}", "User-Agent: Velmar's Downloader",
                "Pragma: no-cache"}
    for name, lines, headers in (("probe", probe, expected | {"Range: bytes=0-0"}), ("GET", get, expected)):
        expect("request headers", lines[:1] == ["GET /downloads/App.exe HTTP/1.1"], f"{name}: {lines}")
        expect("request headers", set(filter(None, lines[1:])) == headers, f"{name}: {lines}")


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    WORK.mkdir(parents=True)
    setup_servers()
    for check in (check_all_good, check_later_file_missing, check_exactly_1000_passed_over,
                  check_default_hosts, check_hash_mismatch, check_server_never_answers,
                  check_what_hosts_answer, check_stale_mirror, check_request_headers,
                  check_expiry_warning):
        check()
    for failure in failures:
        print("FAIL", failure)
    print(f"audit_test: {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
