#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""A local HTTP server for network tests, on 127.0.0.1 only.

Two listeners on two free ports share one handler so a test can redirect to
"another host". Every request is appended to the log file as
"METHOD PATH" before it is answered; when both ports are listening their
numbers are written to the ready file as "PORT OTHERPORT".

Paths:
  /files/NAME                  the file NAME under --root (404 if absent)
  /status?code=N&reason=TEXT   an empty answer with that status line
  /big?size=N[&nolength=1]     N bytes of 'x', with or without Content-Length
  /cut?size=N&sent=M           announces N bytes, sends M, closes the connection
  /stall?sent=M&seconds=S      announces 1000000 bytes, sends M, then waits S seconds
  /drip?pieces=N&delay=MS      N pieces of 100 bytes, one every MS milliseconds
  /redirect?to=URL&code=N      a redirect (default 302) to URL
  /loop                        a redirect to itself
  /echo                        GET or POST: the request body back; the request's
                               method, content type and length and cache headers
                               as X-Echo-* headers
"""

import argparse
import os
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    server_version = "VeylaTestServer"

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        pass

    def _log(self):
        with self.server.log_lock:
            with open(self.server.log_path, "a", encoding="utf-8") as log:
                log.write(f"{self.command} {self.path}\n")

    def _query(self):
        parsed = urllib.parse.urlsplit(self.path)
        return parsed.path, {k: v[-1] for k, v in urllib.parse.parse_qs(parsed.query).items()}

    def _answer(self, body, status=200, reason=None, headers=(), length=True):
        self.send_response(status, reason)
        for name, value in headers:
            self.send_header(name, value)
        if length:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        self._log()
        self._route(b"")

    def do_POST(self):
        self._log()
        length = int(self.headers.get("Content-Length", "0"))
        self._route(self.rfile.read(length) if length > 0 else b"")

    def _route(self, body):
        path, q = self._query()
        try:
            if path.startswith("/files/"):
                name = urllib.parse.unquote(path[len("/files/"):])
                full = os.path.realpath(os.path.join(self.server.root, name))
                if not full.startswith(os.path.realpath(self.server.root) + os.sep) or not os.path.isfile(full):
                    self._answer(b"not found", 404)
                    return
                with open(full, "rb") as f:
                    self._answer(f.read(), headers=[("Content-Type", "application/octet-stream")])
            elif path == "/status":
                self._answer(b"", int(q.get("code", "200")), q.get("reason"))
            elif path == "/big":
                size = int(q["size"])
                self.send_response(200)
                if q.get("nolength") != "1":
                    self.send_header("Content-Length", str(size))
                self.end_headers()
                chunk = b"x" * 65536
                while size > 0:
                    self.wfile.write(chunk[:size])
                    size -= min(size, len(chunk))
            elif path == "/cut":
                self.send_response(200)
                self.send_header("Content-Length", q["size"])
                self.end_headers()
                self.wfile.write(b"c" * int(q["sent"]))
                self.wfile.flush()
                self.close_connection = True
            elif path == "/stall":
                self.send_response(200)
                self.send_header("Content-Length", "1000000")
                self.end_headers()
                self.wfile.write(b"s" * int(q.get("sent", "0")))
                self.wfile.flush()
                time.sleep(float(q.get("seconds", "30")))
            elif path == "/drip":
                pieces = int(q["pieces"])
                self.send_response(200)
                self.send_header("Content-Length", str(pieces * 100))
                self.end_headers()
                for _ in range(pieces):
                    self.wfile.write(b"d" * 100)
                    self.wfile.flush()
                    time.sleep(int(q.get("delay", "100")) / 1000.0)
            elif path == "/redirect":
                self._answer(b"moved", int(q.get("code", "302")), headers=[("Location", q["to"])])
            elif path == "/loop":
                self._answer(b"", 302, headers=[("Location", "/loop")])
            elif path == "/echo":
                headers = [
                    ("X-Echo-Method", self.command),
                    ("X-Echo-Content-Type", self.headers.get("Content-Type", "")),
                    ("X-Echo-Content-Length", self.headers.get("Content-Length", "")),
                    ("X-Echo-Cache-Control", self.headers.get("Cache-Control", "")),
                    ("X-Echo-Pragma", self.headers.get("Pragma", "")),
                    ("X-Echo-Port", str(self.server.server_address[1])),
                ]
                self._answer(body, headers=headers)
            else:
                self._answer(b"no such test path", 404)
        except (BrokenPipeError, ConnectionResetError):
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--ready", required=True)
    args = parser.parse_args()

    lock = threading.Lock()
    servers = []
    for _ in range(2):
        server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        server.daemon_threads = True
        server.root = args.root
        server.log_path = args.log
        server.log_lock = lock
        servers.append(server)
    open(args.log, "a", encoding="utf-8").close()
    for server in servers:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    ready_tmp = args.ready + ".tmp"
    with open(ready_tmp, "w", encoding="utf-8") as f:
        f.write(" ".join(str(s.server_address[1]) for s in servers) + "\n")
    os.replace(ready_tmp, args.ready)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
