#!/usr/bin/env python3
"""A stand-in for the maker's update server, for the tests: serves a folder
over HTTP on 127.0.0.1 at a free port. Once it listens it writes
"PORT CLOSED_PORT" to a file, CLOSED_PORT being a port nobody listens on
(for the unreachable-server case).

usage: update_server.py FOLDER PORT_FILE
"""
import functools
import http.server
import os
import socket
import sys


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def free_port():
    probe = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    closed = free_port()
    with open(port_file + ".part", "w") as out:
        out.write(f"{server.server_address[1]} {closed}\n")
    os.replace(port_file + ".part", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
