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
  location=URL   a Location header (with status=301 and the like: a redirect)
  ranges=1       answer "Range: bytes=0-0" with 206, its byte and "Content-Range: bytes 0-0/N",
                 N the body's length or range_total=N (a server that lies about it);
                 without it a Range header is ignored
  chunked=1      the body in chunked transfer coding, without a Content-Length
A connection kept open waits at most HOLD_LIMIT_S for the client to leave.
The rest of a body is filler: 'a'..'z' repeated by byte position (byte i is 'a' + i % 26).
Every request is logged as one line "GET /path?query" to the --log file.
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


def filler(start, count):
    return bytes(ord("a") + (start + i) % 26 for i in range(count))


def page(params):
    title = params.get("title")
    if title is None:
        return b""
    tag = "title" if params.get("lower") == "1" else "TITLE"
    element = f"<{tag}>{title}</{tag}>"
    count = int(params.get("titles", "1"))
    return f"<HTML><HEAD>{element * count}</HEAD><BODY>".encode("latin-1")


def body(params):
    prefix = filler(0, int(params.get("pad", "0"))) + page(params)
    size = int(params.get("size", len(prefix)))
    if size <= len(prefix):
        return prefix[:size]
    return prefix + filler(len(prefix), size - len(prefix))


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        request_line = self.rfile.readline().decode("latin-1").strip()
        self.wants_first_byte = False
        while True:
            header = self.rfile.readline().decode("latin-1").strip()
            if not header:
                break
            self.wants_first_byte |= header.lower().replace(" ", "") == "range:bytes=0-0"
        self.server.log(request_line.rsplit(" ", 1)[0])
        parts = request_line.split(" ")
        target = parts[1] if len(parts) > 1 else "/"
        params = dict(urllib.parse.parse_qsl(urllib.parse.urlsplit(target).query))
        if "silent_ms" in params:
            self.stay_silent(params)
            return
        try:
            self.answer(params)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client gave up, as it should on these answers

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

    def head_and_body(self, params):
        """The status line and headers (without the blank line) and the bytes of the body."""
        data = body(params)
        status = int(params.get("status", "200"))
        length = params.get("length", str(len(data)))
        extra = f"Location: {params['location']}\r\n" if "location" in params else ""
        if params.get("ranges") == "1" and self.wants_first_byte:
            extra += f"Content-Range: bytes 0-0/{params.get('range_total', len(data))}\r\n"
            status, data, length = 206, data[:1], "1"
        if params.get("chunked") == "1":
            extra += "Transfer-Encoding: chunked\r\n"
            data, length = b"%x\r\n%s\r\n0\r\n\r\n" % (len(data), data) if data else b"0\r\n\r\n", "none"
        head = f"HTTP/1.1 {status} {REASONS.get(status, 'Status')}\r\n"
        head += "Content-Type: text/html\r\nConnection: close\r\n" + extra
        if length != "none":
            head += f"Content-Length: {length}\r\n"
        return head, data

    def answer(self, params):
        if params.get("close") == "before":
            return
        if params.get("answer") == "never":
            self.hold()
            return
        head, data = self.head_and_body(params)
        if params.get("together") == "1":
            self.wfile.write((head + "\r\n").encode("latin-1") + data)
            return
        self.wfile.write((head + "\r\n").encode("latin-1"))
        if params.get("endless") == "1":
            position = 0
            while True:
                self.wfile.write(filler(position, 65536))
                position += 65536
        if "trickle_ms" in params:
            pause = int(params["trickle_ms"]) / 1000
            for i in range(len(data)):
                self.wfile.write(data[i:i + 1])
                self.wfile.flush()
                time.sleep(pause)
            return
        stall_after = int(params.get("stall_after", "-1"))
        if 0 <= stall_after < len(data):
            self.wfile.write(data[:stall_after])
            self.wfile.flush()
            time.sleep(int(params.get("stall_ms", "0")) / 1000)
            data = data[stall_after:]
        self.wfile.write(data)
        self.wfile.flush()
        if params.get("hold") == "1":
            self.hold()
        if params.get("drop") == "1":
            # SO_LINGER with a zero time: close sends a reset, the client sees a broken connection.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, log_path):
        super().__init__(("127.0.0.1", port), Handler)
        self.log_lock = threading.Lock()
        self.log_path = log_path

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
