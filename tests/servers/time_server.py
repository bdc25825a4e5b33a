#!/usr/bin/python3
"""Time Protocol (RFC 868) server for the clock tests: answers every connection with the
given bytes after the given delay, or closes it after sending only some of them."""
import argparse
import socket
import threading
import time

from common import announce_port


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--port-file", required=True)
    p.add_argument("--reply", default="e70e5a00", help="bytes to send, in hexadecimal")
    p.add_argument("--delay-ms", type=int, default=0)
    p.add_argument("--send-only", type=int, default=-1, help="send this many bytes, then close")
    return p.parse_args()


ARGS = parse_args()


def serve(connection):
    with connection:
        time.sleep(ARGS.delay_ms / 1000)
        reply = bytes.fromhex(ARGS.reply)
        if ARGS.send_only >= 0:
            reply = reply[: ARGS.send_only]
        try:
            connection.sendall(reply)
        except OSError:
            pass


def main():
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    announce_port(ARGS.port_file, listener.getsockname()[1])
    while True:
        connection, _ = listener.accept()
        threading.Thread(target=serve, args=(connection,), daemon=True).start()


if __name__ == "__main__":
    main()
