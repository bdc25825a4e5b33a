#!/usr/bin/python3
"""HTTP server for the download and update tests.

Answers come from the routes folder, read anew for every request: for the path "/a/b.php" the
file "a_b.php.status" holds the status ("200", "404", "302 /target", or "hang" for never
answering) and "a_b.php.body" the body. A path without a status file gets 404. Every request
is appended to the record file as "<method> <path with query> <version> UA=<user agent>".
"""
import argparse
import http.server
import os
import time
import urllib.parse

from common import announce_port, append_line


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--port-file", required=True)
    p.add_argument("--routes", required=True)
    p.add_argument("--record", required=True)
    return p.parse_args()


ARGS = parse_args()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        append_line(ARGS.record, f"GET {self.path} {self.request_version} UA={self.headers.get('User-Agent', '')}")
        name = urllib.parse.urlsplit(self.path).path.lstrip("/").replace("/", "_")
        base = os.path.join(ARGS.routes, name)
        try:
            with open(base + ".status", encoding="utf-8") as f:
                status = f.read().split()
        except OSError:
            status = ["404"]
        if status[0] == "hang":
            time.sleep(3600)
            return
        body = b""
        if os.path.exists(base + ".body"):
            with open(base + ".body", "rb") as f:
                body = f.read()
        self.send_response(int(status[0]))
        if len(status) > 1:
            self.send_header("Location", status[1])
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        pass


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    announce_port(ARGS.port_file, server.server_address[1])
    server.serve_forever()


if __name__ == "__main__":
    main()
