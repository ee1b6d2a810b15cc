#!/usr/bin/env python3
"""HTTP answers that a well-behaved server never gives, chosen per request by query parameters.

Any path is served; the path itself only names the request in the log. Parameters:
  size=N         bytes of body actually sent (default: the page below, or 0)
  length=N|none  Content-Length announced (default: size); "none" sends no such header
  pad=N          N filler bytes before the page below
  title=TEXT     the body holds an HTML page titled TEXT
  titles=2       ... with that TITLE element twice
  lower=1        ... with the tag written in lower case
  status=CODE    status code (default 200)
  stall_after=K, stall_ms=T   pause T ms after K body bytes
  drop=1         end with a reset instead of an orderly close
  close=before   read the request, then close without answering
  answer=never   read the request, then send nothing until the client leaves
  hold=1         after the body, keep the connection open and silent until the client leaves
  trickle_ms=T   after the headers, send the body one byte every T ms
  endless=1      a body without end (filler until the client leaves); use with length=none
  together=1     headers and body in one write, so they arrive in one piece
  silent_ms=T    read the request, then send nothing at all for T ms and close (a server that
                 never answers, for clients that must give up on their own)
Resuming (the answers to one path and query are counted, so a test uses a path of its own):
  etag=TEXT      send ETag: "TEXT"
  modified=1     send a Last-Modified date
  cut_first=N    the first answer stops after N body bytes and closes (its length stays the full one)
  changed=1      from the second answer on the file is another one: other bytes, other validators
  ranges=1       answer "Range: bytes=N-" with a 206 of the rest, unless an If-Range names
                 another validator than the current one (then the whole file with a 200)
  range_shift=K  a 206 says (and sends) a range starting K bytes after the one asked for
  total_shift=K  a 206 names a total K bytes longer than the file
Probes and redirects:
  ranges=1       also answers the length probe "Range: bytes=0-0" with 206, its byte and
                 "Content-Range: bytes 0-0/N", N the body's length or range_total=N (a server
                 that lies about it); without ranges=1 a Range header is ignored
  location=URL   a Location header (with status=301 and the like: a redirect)
  chunked=1      the body in chunked transfer coding, without a Content-Length
A connection kept open waits at most HOLD_LIMIT_S for the client to leave.
The rest of a body is filler: 'a'..'z' repeated by byte position (byte i is 'a' + i % 26; in the
changed file 'a' + (i + 1) % 26).
Every request is logged as one line "GET /path?query" to the --log file when it arrives, and
every answer as "SENT /path?query STATUS BODY_BYTES RANGE" when it ends (RANGE: the request's
Range header, "-" without one; BODY_BYTES: what was written to the connection).
"""
import argparse
import socket
import socketserver
import struct
import threading
import time
import urllib.parse

REASONS = {200: "OK", 206: "Partial Content", 301: "Moved Permanently", 302: "Found",
           307: "Temporary Redirect", 308: "Permanent Redirect", 403: "Forbidden", 404: "Not Found",
           500: "Internal Server Error"}
HOLD_LIMIT_S = 300
DATES = ["Wed, 21 Oct 2026 07:28:00 GMT", "Thu, 22 Oct 2026 08:00:00 GMT"]


def filler(start, count, seed=0):
    return bytes(ord("a") + (start + seed + i) % 26 for i in range(count))


def page(params):
    title = params.get("title")
    if title is None:
        return b""
    tag = "title" if params.get("lower") == "1" else "TITLE"
    element = f"<{tag}>{title}</{tag}>"
    count = int(params.get("titles", "1"))
    return f"<HTML><HEAD>{element * count}</HEAD><BODY>".encode("latin-1")


def body(params, version=0):
    prefix = filler(0, int(params.get("pad", "0")), version) + page(params)
    size = int(params.get("size", len(prefix)))
    if size <= len(prefix):
        return prefix[:size]
    return prefix + filler(len(prefix), size - len(prefix), version)


def validators(params, version):
    """The ETag and Last-Modified values of this version of the file (None: not sent)."""
    etag = params.get("etag")
    if etag is not None:
        etag = f'"{etag}-{version}"' if version else f'"{etag}"'
    modified = DATES[version] if params.get("modified") == "1" else None
    return etag, modified


def requested_start(headers, params, etag, modified):
    """N of "Range: bytes=N-" when this answer is to be the rest of the file, else None."""
    if params.get("ranges") != "1":
        return None
    asked = headers.get("range", "")
    if not asked.startswith("bytes=") or not asked.endswith("-") or not asked[6:-1].isdigit():
        return None
    condition = headers.get("if-range")
    if condition is not None and condition not in (etag, modified):
        return None
    return int(asked[6:-1])


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        request_line = self.rfile.readline().decode("latin-1").strip()
        self.request_headers = {}
        while True:
            line = self.rfile.readline().decode("latin-1").strip()
            if not line:
                break
            name, _, value = line.partition(":")
            self.request_headers[name.strip().lower()] = value.strip()
        self.server.log(request_line.rsplit(" ", 1)[0])
        parts = request_line.split(" ")
        target = parts[1] if len(parts) > 1 else "/"
        params = dict(urllib.parse.parse_qsl(urllib.parse.urlsplit(target).query))
        self.earlier = self.server.count(target)
        self.status = None
        self.sent = 0
        if "silent_ms" in params:
            self.stay_silent(params)
            return
        try:
            self.answer(params)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client gave up, as it should on these answers
        finally:
            if self.status is not None:
                self.server.log(f"SENT {target} {self.status} {self.sent} {self.request_headers.get('range', '-')}")

    def send(self, data):
        self.wfile.write(data)
        self.sent += len(data)

    def hold(self):
        """Stays silent until the client closes the connection (or the limit passes)."""
        self.wait_for_client_to_leave(HOLD_LIMIT_S)

    def stay_silent(self, params):
        """Sends nothing for silent_ms, then closes (earlier when the client leaves)."""
        self.wait_for_client_to_leave(int(params["silent_ms"]) / 1000)

    def wait_for_client_to_leave(self, limit_s):
        self.connection.settimeout(limit_s)
        try:
            while self.connection.recv(4096):
                pass
        except OSError:
            pass

    def answer(self, params):
        if params.get("close") == "before":
            return
        if params.get("answer") == "never":
            self.hold()
            return
        version = 1 if params.get("changed") == "1" and self.earlier > 0 else 0
        data = body(params, version)
        status = int(params.get("status", "200"))
        head, partial, data = self.range_head(params, version, data) if status == 200 else ("", False, data)
        status = 206 if partial else status
        length = params.get("length", str(len(data)))
        if "cut_first" in params and self.earlier == 0:
            data = data[:int(params["cut_first"])]
        head += f"Location: {params['location']}\r\n" if "location" in params else ""
        if params.get("chunked") == "1":
            head += "Transfer-Encoding: chunked\r\n"
            data, length = b"%x\r\n%s\r\n0\r\n\r\n" % (len(data), data) if data else b"0\r\n\r\n", "none"
        head = f"HTTP/1.1 {status} {REASONS.get(status, 'Status')}\r\n" + head
        head += "Content-Type: text/html\r\nConnection: close\r\n"
        if length != "none":
            head += f"Content-Length: {length}\r\n"
        self.status = status
        if params.get("together") == "1":
            self.wfile.write((head + "\r\n").encode("latin-1") + data)
            self.sent += len(data)
            return
        self.wfile.write((head + "\r\n").encode("latin-1"))
        if params.get("endless") == "1":
            position = 0
            while True:
                self.send(filler(position, 65536))
                position += 65536
        if "trickle_ms" in params:
            pause = int(params["trickle_ms"]) / 1000
            for i in range(len(data)):
                self.send(data[i:i + 1])
                self.wfile.flush()
                time.sleep(pause)
            return
        stall_after = int(params.get("stall_after", "-1"))
        if 0 <= stall_after < len(data):
            self.send(data[:stall_after])
            self.wfile.flush()
            time.sleep(int(params.get("stall_ms", "0")) / 1000)
            data = data[stall_after:]
        self.send(data)
        self.wfile.flush()
        if params.get("hold") == "1":
            self.hold()
        if params.get("drop") == "1":
            # SO_LINGER with a zero time: close sends a reset, the client sees a broken connection.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))

    def range_head(self, params, version, data):
        """Header lines of the validators (and of a range being answered), whether the answer is
        that range, and the body to send."""
        etag, modified = validators(params, version)
        head = f"ETag: {etag}\r\n" if etag else ""
        head += f"Last-Modified: {modified}\r\n" if modified else ""
        if params.get("ranges") == "1" and self.request_headers.get("range", "").replace(" ", "") == "bytes=0-0":
            total = params.get("range_total", len(data))
            return head + f"Content-Range: bytes 0-0/{total}\r\n", True, data[:1]
        start = requested_start(self.request_headers, params, etag, modified)
        if start is None or start >= len(data):
            return head, False, data
        start += int(params.get("range_shift", "0"))
        total = len(data) + int(params.get("total_shift", "0"))
        return head + f"Content-Range: bytes {start}-{total - 1}/{total}\r\n", True, data[start:]


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, log_path):
        super().__init__(("127.0.0.1", port), Handler)
        self.log_lock = threading.Lock()
        self.log_path = log_path
        self.answered = {}

    def count(self, target):
        """How many requests for `target` came before this one."""
        with self.log_lock:
            earlier = self.answered.get(target, 0)
            self.answered[target] = earlier + 1
            return earlier

    def log(self, line):
        with self.log_lock, open(self.log_path, "a", encoding="latin-1") as log:
            log.write(line + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--log", required=True)
    args = parser.parse_args()
    with Server(args.port, args.log) as server:
        server.serve_forever()


if __name__ == "__main__":
    main()
