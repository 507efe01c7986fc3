#!/usr/bin/env python3
"""A CDDB server on 127.0.0.1 for the end-to-end test, reached as an HTTP proxy.

It answers every query with one exact match and every read with the demo
disc's record: one title per track of the table of contents, the data track's
included.  It writes its port to PORT_FILE, appends each request line and Host
header to LOG_FILE, and stops by itself after LIFETIME seconds.

    cddb_proxy_server.py PORT_FILE LOG_FILE LIFETIME
"""

import http.server
import sys
import threading
import urllib.parse

RECORD = [
    "# xmcd",
    "DISCID={id}",
    "DTITLE=Corvale Players / Demo Album",
    "DYEAR=2024",
    "DGENRE=Demo Music",
    "TTITLE0=Opening Chord",
    "TTITLE1=Rising",
    "TTITLE2=Static",
    "TTITLE3=Melody",
    "TTITLE4=Data Track",
    "EXTD=",
    "PLAYORDER=",
]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        with open(sys.argv[2], "a") as log:
            log.write("%s\nHost: %s\n" % (self.requestline, self.headers.get("Host", "")))
        query = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query)
        words = query.get("cmd", [""])[0].split()
        if words[:2] == ["cddb", "query"] and len(words) > 2:
            body = "200 misc %s Corvale Players / Demo Album\r\n" % words[2]
        elif words[:2] == ["cddb", "read"] and len(words) == 4:
            body = "210 misc %s\r\n" % words[3] + "".join(
                line.format(id=words[3]) + "\r\n" for line in RECORD) + ".\r\n"
        else:
            body = "500 Command syntax error\r\n"
        data = body.encode("utf-8")
        self.send_response(200)
        self.send_header("Content-Type", "text/plain; charset=UTF-8")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def log_message(self, *args):
        pass


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    timer = threading.Timer(float(sys.argv[3]), server.shutdown)
    timer.daemon = True
    timer.start()
    with open(sys.argv[1], "w") as port_file:
        port_file.write(str(server.server_address[1]))
    server.serve_forever()


if __name__ == "__main__":
    main()
