#!/usr/bin/env python3
"""A slow line in front of a server, for the benchmarks: every byte reaches the other side a
fixed delay late, both directions share one bandwidth, and the first bytes a client sends on a
new connection wait one extra round trip (its handshake).
  shaped_line.py ROUND_TRIP_MS MBIT_PER_S READY_FILE UPSTREAM_PORT...
Listens on a free port of 127.0.0.1 in front of each server, all on the one line; once it
accepts connections, writes those ports to READY_FILE, one a line in the order given."""
import asyncio
import os
import sys
import time

CHUNK = 16 * 1024


class Line:
    """One bandwidth for everything that crosses: each chunk occupies it for its bytes' time,
    then travels the fixed delay."""

    def __init__(self, delay, bytes_per_second):
        self.delay = delay
        self.rate = bytes_per_second
        self.free_at = 0.0

    def arrival(self, size, extra=0.0):
        start = max(time.monotonic(), self.free_at)
        self.free_at = start + size / self.rate
        return self.free_at + self.delay + extra


async def pump(line, reader, writer, first_late):
    """Copies one direction; at most about one second's bytes are in flight (the window)."""
    in_flight = asyncio.Queue(maxsize=max(4, int(line.rate / CHUNK)))

    async def deliver():
        while True:
            at, data = await in_flight.get()
            wait = at - time.monotonic()
            if wait > 0:
                await asyncio.sleep(wait)
            if not data:
                break
            writer.write(data)
            await writer.drain()
        if writer.can_write_eof():
            writer.write_eof()

    delivering = asyncio.ensure_future(deliver())
    extra = 2 * line.delay if first_late else 0.0
    try:
        while True:
            data = await reader.read(CHUNK)
            await in_flight.put((line.arrival(len(data), extra), data))
            extra = 0.0
            if not data:
                break
        await delivering
    except (ConnectionError, asyncio.CancelledError):
        delivering.cancel()
    finally:
        writer.close()


async def serve(line, upstreams, ready_file):
    def forward(upstream_port):
        async def connection(client_reader, client_writer):
            try:
                server_reader, server_writer = await asyncio.open_connection("127.0.0.1", upstream_port)
            except OSError:
                client_writer.close()
                return
            await asyncio.gather(pump(line, client_reader, server_writer, True),
                                 pump(line, server_reader, client_writer, False),
                                 return_exceptions=True)
        return connection

    servers = [await asyncio.start_server(forward(upstream), "127.0.0.1", 0) for upstream in upstreams]
    ports = "".join("%d\n" % server.sockets[0].getsockname()[1] for server in servers)
    with open(ready_file + ".part", "w") as f:
        f.write(ports)
    os.rename(ready_file + ".part", ready_file)
    await asyncio.gather(*(server.serve_forever() for server in servers))


def main():
    delay = float(sys.argv[1]) / 2000.0  # a round trip's half each way
    rate = float(sys.argv[2]) * 1e6 / 8
    asyncio.run(serve(Line(delay, rate), [int(port) for port in sys.argv[4:]], sys.argv[3]))


if __name__ == "__main__":
    main()
