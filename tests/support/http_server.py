#!/usr/bin/env python3
"""The web server of the HTTP tests, on the loopback address only.

    http_server.py PORT [--idle-exit SECONDS] [--files FOLDER]

Serves the pages the tests ask for (see do_GET) until GET /quit, or until no request has come
for the idle time (60 s unless told), so that a test run that died leaves no server behind.
The files of FOLDER are served whole (/files/NAME), slowly (/slow-files/NAME, over about four
seconds) or broken off half-way (/dropped-files/NAME).
"""
import base64
import http.server
import os
import sys
import threading
import time

PASSWORD = "Basic " + base64.b64encode(b"ann:secret").decode()
NOT_FOUND = b"<html><body><h1>Not Found</h1></body></html>\r\n"


def body_of(size):
    """Bytes that no web page test mistakes for HTML, zero bytes among them."""
    return bytes(i % 251 for i in range(size))


class Handler(http.server.BaseHTTPRequestHandler):
    # Every answer ends by closing the connection, as HTTP/1.0 servers do.
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", headers=(), length=True):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        if length:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_part(self, sent, silence=0):
        """Announces 4,096 bytes, sends some of them, says nothing for a while and hangs up."""
        self.send_response(200)
        self.send_header("Content-Length", "4096")
        self.end_headers()
        self.wfile.write(body_of(sent))
        self.wfile.flush()
        time.sleep(silence)

    def redirect(self, status, location):
        self.answer(status, headers=[("Location", location)])

    def send_file(self, path):
        """The files of the folder given at start, whole, slowly or broken off half-way."""
        how, _, name = path[1:].partition("/")
        folder = self.server.files
        file = os.path.join(folder or "", os.path.basename(name))
        if not folder or not os.path.isfile(file):
            self.answer(404, NOT_FOUND, [("Content-Type", "text/html")])
            return
        with open(file, "rb") as source:
            body = source.read()
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if how == "files":
            self.wfile.write(body)
        elif how == "dropped-files":
            self.wfile.write(body[: len(body) // 2])
        else:
            pieces = 40
            step = len(body) // pieces + 1
            for start in range(0, len(body), step):
                self.wfile.write(body[start : start + step])
                self.wfile.flush()
                time.sleep(0.1)

    def here(self, path):
        return "http://127.0.0.1:%d%s" % (self.server.server_port, path)

    def do_GET(self):
        self.server.last_request = time.monotonic()
        path = self.path
        if path == "/quit":
            self.answer(200, b"bye\n")
            threading.Thread(target=self.server.shutdown).start()
        elif path.startswith("/page"):
            self.answer(200, b"Snapgate test page\r\nsecond line\r\n",
                        [("Content-Type", "text/html")])
        elif path.split("/")[1] in ("files", "slow-files", "dropped-files"):
            self.send_file(path)
        elif path == "/headers":
            # The request's headers, so that a test sees what the client added.
            self.answer(200, str(self.headers).encode(), [("Content-Type", "text/plain")])
        elif path in ("/redirect/301", "/redirect/302", "/redirect/303"):
            self.redirect(int(path[-3:]), self.here("/page"))
        elif path == "/redirect/https":
            self.redirect(302, "https://127.0.0.1:%d/page" % self.server.server_port)
        elif path == "/redirect/twice":
            self.redirect(302, self.here("/redirect/302"))
        elif path == "/redirect/long":
            self.redirect(302, self.here("/page?" + "a" * 10000))
        elif path == "/redirect/empty":
            self.redirect(302, "")
        elif path == "/redirect/relative":
            self.redirect(302, "/page")
        elif path == "/redirect/ftp":
            self.redirect(302, "ftp://127.0.0.1/page")
        elif path == "/redirect/none":
            self.answer(302)
        elif path == "/private":
            if self.headers.get("Authorization") == PASSWORD:
                self.answer(200, b"welcome\n")
            else:
                self.answer(401, b"<html>who are you?</html>\n",
                            [("WWW-Authenticate", 'Basic realm="Snapgate test"')])
        elif path.startswith("/bytes/"):
            self.answer(200, body_of(int(path[len("/bytes/"):])),
                        [("Content-Type", "application/octet-stream")])
        elif path.startswith("/unsized/"):
            self.answer(200, body_of(int(path[len("/unsized/"):])), length=False)
        elif path == "/html-first-block":
            self.answer(200, b"<!DOCTYPE html>\n<HTML><body>An installer?</body></HTML>\n")
        elif path == "/dropped":
            self.send_part(2048)
        elif path == "/stalled":
            self.send_part(1024, silence=10)
        elif path == "/slow":
            # Eight lines of 256 bytes over about three seconds.
            self.send_response(200)
            self.send_header("Content-Length", str(8 * 256))
            self.end_headers()
            for line in range(8):
                self.wfile.write(b"%-254d\r\n" % line)
                self.wfile.flush()
                time.sleep(0.4)
        else:
            self.answer(404, NOT_FOUND, [("Content-Type", "text/html")])


def main():
    port = int(sys.argv[1])
    options = dict(zip(sys.argv[2::2], sys.argv[3::2]))
    idle_exit = float(options.get("--idle-exit", 60))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
    server.files = options.get("--files")
    server.daemon_threads = True
    server.last_request = time.monotonic()

    def end_when_idle():
        while time.monotonic() - server.last_request < idle_exit:
            time.sleep(1)
        server.shutdown()

    threading.Thread(target=end_when_idle, daemon=True).start()
    print("listening on %d" % server.server_port, flush=True)
    server.serve_forever()
    server.server_close()


if __name__ == "__main__":
    main()
