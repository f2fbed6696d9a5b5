#!/usr/bin/env python3
"""A stand-in for the maker's update server, for the tests: serves a folder
over HTTP on 127.0.0.1 at a free port. Once it listens it writes
"PORT CLOSED_PORT" to a file, CLOSED_PORT being a port nobody listens on
(for the unreachable-server case).

Besides the files of the folder it gives the answers a real server can give
on the way, chosen by the first part of the path (the rest is ignored):
  /status/CODE/...     that status with a small HTML page (404, 500, ...)
  /empty/...           200 with no body
  /junk/SIZE/...       200 with SIZE bytes of binary junk (the same each time)
  /html/...            200 with an HTML page, as a captive portal gives
  /stall/SECONDS/...   200 announcing 1000 bytes, sends 100 ("stalled 0\\r\\n"
                       titles), then nothing for SECONDS, then the rest
  /cut/...             200 announcing 525 bytes, sends 25 ("cut one", "cut two",
                       "cut thr"), then closes the connection
  /titles/COUNT/...    200 with COUNT titles "Update title N"
  /chunked/...         200, chunked: two titles in two chunks and the end
  /chunkcut/...        200, chunked: one whole chunk ("Ad One - Opera",
                       "Ad Two - Netscape"), then a chunk header 1000 and only
                       "Half - Op", then closes the connection
  /length/VALUE/...    200 with "Content-Length: VALUE" as given (-5, abc)
                       and two titles
  /htmlmark/...        200 with an HTML page that starts with a UTF-8 mark
  /redirect/N/REST     302 to /redirect/N-1/REST, and at 0 to /REST
  /loop/...            302 to the same address, every time
  /huge/...            200 announcing 1 GB, then titles at full speed until
                       the program goes
  /endless/...         200, chunked, titles at full speed without an end

usage: update_server.py FOLDER PORT_FILE
"""
import functools
import http.server
import os
import random
import socket
import sys
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def answer(self, status, body, length=None, content_type="text/plain"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body) if length is None else length))
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()

    def raw_head(self, lines):
        """A status line and headers as given, for what send_response
        would refuse or mend; the connection closes after the answer."""
        self.close_connection = True
        self.wfile.write(("\r\n".join(lines) + "\r\n\r\n").encode())

    def stream_titles(self, chunked):
        """Titles at full speed until the program closes the connection."""
        block = b"".join(b"Streamed title %07d\r\n" % i for i in range(3000))
        while True:
            self.wfile.write(b"%x\r\n%s\r\n" % (len(block), block) if chunked else block)

    def do_GET(self):
        parts = self.path.lstrip("/").split("/")
        kind = parts[0]
        number = int(parts[1]) if len(parts) > 1 and parts[1].isdigit() else 0
        try:
            if kind == "status":
                page = f"<html><body><h1>Error {number}</h1></body></html>\r\n".encode()
                self.answer(number, page, content_type="text/html")
            elif kind == "empty":
                self.answer(200, b"")
            elif kind == "junk":
                self.answer(200, random.Random(12).randbytes(number), content_type="application/octet-stream")
            elif kind == "html":
                page = b"<!DOCTYPE html>\r\n<html><body>Please log in</body></html>\r\n"
                self.answer(200, page, content_type="text/html")
            elif kind == "stall":
                lines = b"".join(b"stalled %d\r\n" % i for i in range(100))
                body = lines[:1000]
                self.answer(200, body[:100], length=len(body))
                time.sleep(number)
                self.wfile.write(body[100:])
            elif kind == "cut":
                # announces more than it sends, then closes the connection
                body = b"cut one\r\ncut two\r\ncut thr"
                self.answer(200, body, length=len(body) + 500)
                self.close_connection = True
            elif kind == "titles":
                body = b"".join(b"Update title %07d\r\n" % i for i in range(number))
                self.answer(200, body)
            elif kind == "chunked":
                self.raw_head(["HTTP/1.1 200 OK", "Transfer-Encoding: chunked"])
                for piece in (b"Chunk one - Opera\r\n", b"Chunk two - Netscape\r\n", b""):
                    self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            elif kind == "chunkcut":
                self.raw_head(["HTTP/1.1 200 OK", "Transfer-Encoding: chunked"])
                whole = b"Ad One - Opera\r\nAd Two - Netscape\r\n"
                self.wfile.write(b"%x\r\n%s\r\n1000\r\nHalf - Op" % (len(whole), whole))
            elif kind == "length":
                self.raw_head(["HTTP/1.1 200 OK", "Content-Length: " + parts[1]])
                self.wfile.write(b"Ad One - Opera\r\nAd Two - Netscape\r\n")
            elif kind == "htmlmark":
                page = b"\xEF\xBB\xBF<!DOCTYPE html>\r\n<html><body>Please log in</body></html>\r\n"
                self.answer(200, page, content_type="text/html")
            elif kind in ("redirect", "loop"):
                rest = "/".join(parts[2:])
                if kind == "loop":
                    target = self.path
                elif number > 0:
                    target = f"/redirect/{number - 1}/{rest}"
                else:
                    target = "/" + rest
                self.raw_head(["HTTP/1.1 302 Found", "Location: " + target, "Content-Length: 0"])
            elif kind == "huge":
                self.raw_head(["HTTP/1.1 200 OK", "Content-Length: %d" % (1 << 30)])
                self.stream_titles(chunked=False)
            elif kind == "endless":
                self.raw_head(["HTTP/1.1 200 OK", "Transfer-Encoding: chunked"])
                self.stream_titles(chunked=True)
            else:
                super().do_GET()
        except (BrokenPipeError, ConnectionResetError):
            pass  # the program went away or cancelled


def free_port():
    probe = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    handler = functools.partial(Handler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    closed = free_port()
    with open(port_file + ".part", "w") as out:
        out.write(f"{server.server_address[1]} {closed}\n")
    os.replace(port_file + ".part", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
