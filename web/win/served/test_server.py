#!/usr/bin/env python3
"""The web tests' own HTTP server on 127.0.0.1 (an ephemeral port written to
--port-file): deterministic bodies of any length, chunked, truncated, stalled
and oversized replies, files of --root, the dictionary list and the update
request, whose body it unscrambles and checks. Every request is appended to
--log as one JSON line. Beside it a silent port (written to --port-file with
".silent" added) accepts connections and never reads or answers them: a
server that hangs before its first byte, whatever the client speaks (a TLS
handshake waits there as long as the connection stays). No request ever
leaves the machine."""
import argparse
import json
import os
import socket
import threading
import time
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

BLOCK = bytes((i * 7 + 3) % 256 for i in range(251))
BIG = BLOCK * 4000   # written in large pieces: one system call per megabyte
STOP = threading.Event()
LOG_LOCK = threading.Lock()


def pattern(n):
    """The body of /bytes/N: BLOCK repeated, cut to N bytes."""
    whole, rest = divmod(n, len(BIG))
    for _ in range(whole):
        yield BIG
    if rest:
        yield BIG[:rest]


def unscramble(body):
    """The update body as sent, back to its form text (the swap is its own inverse)."""
    text = bytearray(body[:-2] if body.endswith(b"\r\n") else body)
    n = len(text) & ~1
    i = 1
    while i < n // 2:
        text[i], text[n - i] = text[n - i], text[i]
        i += 2
    return bytes(text).replace(b"~", b"&").replace(b"#", b"=").decode("utf-8", "replace")


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def record(self, **extra):
        entry = {"method": self.command, "path": self.path, "time": time.time()}
        entry.update(extra)
        with LOG_LOCK, open(self.server.log_path, "a") as log:
            log.write(json.dumps(entry) + "\n")

    def head(self, status, length=None, extra=()):
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        if length is not None:
            self.send_header("Content-Length", str(length))
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()

    def send_bytes(self, data, status=200):
        self.head(status, len(data))
        self.wfile.write(data)

    def close_now(self):
        self.wfile.flush()
        self.close_connection = True
        try:
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass

    def stall(self):
        while not STOP.wait(0.2):
            pass
        self.close_now()

    def do_GET(self):
        self.record()
        parts = self.path.split("?")[0].strip("/").split("/")
        kind, arg = parts[0], "/".join(parts[1:])
        count = int(parts[1]) if len(parts) > 1 and parts[1].isdigit() else 0
        root = self.server.root
        if kind == "bytes":
            n = count
            self.head(200, n)
            for piece in pattern(n):
                self.wfile.write(piece)
        elif kind == "chunked":
            self.head(200, None, [("Transfer-Encoding", "chunked")])
            data = b"".join(pattern(int(arg)))
            for at in range(0, len(data), 4096):
                piece = data[at:at + 4096]
                self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            self.wfile.write(b"0\r\n\r\n")
        elif kind == "broken":  # replies that end before they say they are whole
            self.broken(arg)
        elif kind == "whole":
            self.whole(arg)
        elif kind == "short":
            n = int(arg)
            self.head(200, n, [("Connection", "close")])
            self.wfile.write(b"".join(pattern(n))[: n // 2])
            self.close_now()
        elif kind == "absurd":
            self.head(200, None, [("Content-Length", "99999999999"), ("Connection", "close")])
            self.wfile.write(BLOCK[:100])
            self.close_now()
        elif kind == "slow":  # 1,000 bytes every 100 ms
            self.head(200, count)
            for at in range(0, count, 1000):
                if STOP.wait(0.1):
                    break
                try:
                    self.wfile.write(BIG[:min(1000, count - at)])
                    self.wfile.flush()
                except OSError:  # the client went away (a cancelled download)
                    break
        elif kind == "stall":
            self.head(200, count)
            self.wfile.write(BLOCK[:10])
            self.wfile.flush()
            self.stall()
        elif kind == "stallhead":
            self.stall()
        elif kind == "hop":  # N redirects before /bytes/5000, every status and Location form in turn
            self.hop(count)
        elif kind == "loop":  # /loop/a answers 301 to /loop/b, which answers 307 to /loop/a
            self.redirect(301 if arg == "a" else 307, "/loop/b" if arg == "a" else "a")
        elif kind == "elsewhere":  # a Location no transfer may follow
            self.redirect(302, "ftp://127.0.0.1/file.qdx")
        elif kind == "status":
            self.send_bytes(b"status page", int(arg))
        elif kind in ("files", "truncated", "oversized"):
            path = os.path.join(root, os.path.basename(arg))
            if not os.path.isfile(path):
                self.send_bytes(b"missing", 404)
                return
            data = open(path, "rb").read()
            if kind == "files":
                self.send_bytes(data)
            elif kind == "truncated":
                self.head(200, len(data), [("Connection", "close")])
                self.wfile.write(data[: len(data) // 2])
                self.close_now()
            else:  # more bytes than the list's Size announces: no length, ends at close
                self.head(200, None, [("Connection", "close")])
                self.wfile.write(data + data)
                self.close_now()
        elif self.path.startswith("/update/dictionary_list.txt"):
            path = os.path.join(root, "dictionary_list.txt")
            if os.path.isfile(os.path.join(root, "list_loop")):  # a home site whose list redirects to itself
                self.redirect(302, "/update/dictionary_list.txt?again")
            elif os.path.isfile(path):
                self.send_bytes(open(path, "rb").read())
            else:
                self.send_bytes(b"no list", 404)
        else:
            self.send_bytes(b"not found", 404)

    def redirect(self, status, location):
        self.send_response(status)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def hop(self, n):
        """Redirects from /hop/N down to /hop/0, which is /bytes/5000 (or, for
        a POST that kept its method, the echo of its body)."""
        if n == 0:
            return self.send_bytes(b"".join(pattern(5000)))
        forms = ["http://127.0.0.1:%d/hop/%d" % (self.server.server_address[1], n - 1), "/hop/%d" % (n - 1),
                 "%d" % (n - 1)]
        self.redirect((301, 302, 303, 307, 308)[n % 5], forms[n % 3])

    def broken(self, how):
        """Misbehaving replies, each closing the connection: a chunked body
        cut inside a chunk or before its last chunk, a garbled chunk size, a
        Content-Length that is not a number, headers that never end, and a
        body shorter than its length (HTTP/1.0 too)."""
        data = b"".join(pattern(5000))
        raw = self.wfile
        if how == "chunk-cut":
            raw.write(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
            raw.write(b"%x\r\n%s" % (4096, data[:1000]))
        elif how == "chunk-no-last":
            raw.write(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
            raw.write(b"%x\r\n%s\r\n" % (len(data), data))
        elif how == "chunk-size":
            raw.write(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
            raw.write(b"%x\r\n%s\r\nzz!\r\n%s\r\n0\r\n\r\n" % (1000, data[:1000], data[1000:2000]))
        elif how == "length-text":
            raw.write(b"HTTP/1.1 200 OK\r\nContent-Length: 5000 bytes\r\nConnection: close\r\n\r\n" + data[:2500])
        elif how == "length-sign":
            raw.write(b"HTTP/1.1 200 OK\r\nContent-Length: -1\r\nConnection: close\r\n\r\n" + data[:2500])
        elif how == "short-1.0":
            raw.write(b"HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n" + data[:2500])
        elif how == "headers":
            raw.write(b"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nX-Partial: ")
        self.close_now()

    def whole(self, how):
        """Whole replies of 5,000 bytes that standards allow and strict
        readers may refuse: bodies ended by the close (HTTP/1.0, and HTTP/1.1
        with "Connection: close"), and lengths written with a tab before
        them or with leading zeros past 18 digits."""
        data = b"".join(pattern(5000))
        raw = self.wfile
        if how == "close-1.1":
            raw.write(b"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + data)
        elif how == "close-1.0":
            raw.write(b"HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n" + data)
        elif how == "length-tab":
            raw.write(b"HTTP/1.1 200 OK\r\nContent-Length:\t5000\t\r\nConnection: close\r\n\r\n" + data)
        elif how == "length-zeros":
            raw.write(b"HTTP/1.1 200 OK\r\nContent-Length: %s5000\r\nConnection: close\r\n\r\n" % (b"0" * 80)
                      + data)
        elif how == "length-1.0":
            raw.write(b"HTTP/1.0 200 OK\r\nContent-Length: 005000\r\n\r\n" + data)
        self.close_now()

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length) if length > 0 else b""
        extra = {"body_hex": body.hex(), "content_type": self.headers.get("Content-Type", "")}
        if self.path.startswith("/update/"):
            text = unscramble(body)
            fields = [field.split("=", 1) for field in text.split("&")]
            extra["fields"] = fields
            extra["crlf"] = body.endswith(b"\r\n")
            if self.server.exe:
                crc = "%X" % (zlib.crc32(open(self.server.exe, "rb").read()) & 0xFFFFFFFF)
                extra["p18_ok"] = dict((f[0], f[1] if len(f) > 1 else "") for f in fields).get("P18") == crc
            self.record(**extra)
            news = os.path.join(self.server.root, "news.txt")
            self.send_bytes(open(news, "rb").read() if os.path.isfile(news) else b"News1_0=")
        elif self.path.startswith("/post/"):  # /post/STATUS: sends the request on to /echo with STATUS
            self.record(**extra)
            self.redirect(int(self.path.split("/")[2].split("?")[0]), "/echo")
        else:
            self.record(**extra)
            self.send_bytes(body)


def hold_silently(listener):
    held = []
    while not STOP.is_set():
        try:
            connection, _ = listener.accept()
        except OSError:
            return
        held.append(connection)


def write_port(path, port):
    with open(path + ".tmp", "w") as out:
        out.write(str(port))
    os.replace(path + ".tmp", path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--root", default=".")
    parser.add_argument("--exe", default="")
    args = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.log_path, server.root, server.exe = args.log, args.root, args.exe
    silent = socket.socket()
    silent.bind(("127.0.0.1", 0))
    silent.listen(64)
    threading.Thread(target=hold_silently, args=(silent,), daemon=True).start()
    write_port(args.port_file + ".silent", silent.getsockname()[1])
    write_port(args.port_file, server.server_address[1])
    try:
        server.serve_forever(poll_interval=0.1)
    finally:
        STOP.set()


if __name__ == "__main__":
    import signal
    signal.signal(signal.SIGTERM, lambda *a: (STOP.set(), os._exit(0)))
    main()
