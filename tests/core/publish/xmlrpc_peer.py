#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""An XML-RPC peer for the client's tests, on loopback.

    xmlrpc_peer.py PORT_FILE [CERT KEY]

Serves on a free port of 127.0.0.1 (HTTPS with CERT and KEY) and writes the
port to PORT_FILE once it listens. Paths:
  /RPC2        echo(x) returns x; fault(code, text) raises that fault;
               sleep(seconds) answers after that long; bytes_seen() returns
               the number of request bodies received on every path so far
  /missing     a 404 page
  /page        an HTML page with status 200
  /slow        waits 5 s before sending anything
  /deep        a value nested 100,000 deep
  /huge        a 100 MB body
  /bad64       a base64 value that is not base64
  /overflow    <i4>99999999999</i4>
  /truncated   a response cut in the middle
  /moved       307 to the same path on "localhost" (another host name)
"""
import http.server
import os
import ssl
import sys
import threading
import time
import xmlrpc.client
import xmlrpc.server

HEAD = b'<?xml version="1.0"?>\n<methodResponse><params><param>'
TAIL = b'</param></params></methodResponse>\n'
bodies_seen = 0
lock = threading.Lock()


def raw(value_xml):
    return HEAD + value_xml + TAIL


class Dispatcher(xmlrpc.server.SimpleXMLRPCDispatcher):
    def __init__(self):
        super().__init__(allow_none=True, encoding="UTF-8", use_builtin_types=True)
        self.register_function(lambda x: x, "echo")
        self.register_function(self.fault, "fault")
        self.register_function(self.sleep, "sleep")
        self.register_function(lambda: bodies_seen, "bytes_seen")

    @staticmethod
    def fault(code, text):
        raise xmlrpc.client.Fault(code, text)

    @staticmethod
    def sleep(seconds):
        time.sleep(seconds)
        return True


dispatcher = Dispatcher()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def answer(self, status, body, content_type="text/xml"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_POST(self):
        global bodies_seen
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length)
        with lock:
            bodies_seen += 1
        path = self.path
        if path == "/RPC2":
            self.answer(200, dispatcher._marshaled_dispatch(body))
        elif path == "/missing":
            self.answer(404, b"<html><body>Not here</body></html>", "text/html")
        elif path == "/page":
            self.answer(200, b"<!DOCTYPE html><html><head><title>Blog</title></head><body>Hi</body></html>",
                        "text/html")
        elif path == "/slow":
            time.sleep(5)
            self.answer(200, raw(b"<value><i4>1</i4></value>"))
        elif path == "/deep":
            self.answer(200, raw(b"<value><array><data>" * 100000))
        elif path == "/huge":
            size = 100 * 1024 * 1024
            self.send_response(200)
            self.send_header("Content-Type", "text/xml")
            self.send_header("Content-Length", str(size))
            self.end_headers()
            chunk = b" " * (1 << 20)
            try:
                for _ in range(size // len(chunk)):
                    self.wfile.write(chunk)
            except OSError:
                pass
        elif path == "/bad64":
            self.answer(200, raw(b"<value><base64>@@not base64@@</base64></value>"))
        elif path == "/overflow":
            self.answer(200, raw(b"<value><i4>99999999999</i4></value>"))
        elif path == "/truncated":
            self.answer(200, raw(b"<value><struct><member><name>a</name><value><string>x</string>")[:-40])
        elif path == "/moved":
            self.send_response(307)
            self.send_header("Location", "http://localhost:%d/RPC2" % self.server.server_port)
            self.send_header("Content-Length", "0")
            self.end_headers()
        else:
            self.answer(404, b"unknown path", "text/plain")


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if len(sys.argv) >= 4:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[2], sys.argv[3])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    temporary = sys.argv[1] + ".part"
    with open(temporary, "w") as f:
        f.write(str(server.server_port))
    os.rename(temporary, sys.argv[1])
    server.serve_forever()


if __name__ == "__main__":
    main()
