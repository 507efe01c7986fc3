#!/usr/bin/env python3
"""The AccurateRip database for the end-to-end test, and its slow reference.

    accuraterip_server.py reference IMAGE TOC_FILE SILENT_TAIL_SAMPLES OUT_DIR
        writes OUT_DIR/NN.pcm (the samples each audio track's file must hold:
        the image's, the last track's final SILENT_TAIL_SAMPLES as silence) and
        prints "NN CRC V1 V2" per track (upper-case hex), computed sample by
        sample from those bytes.  TOC_FILE holds "number start length" lines.

    accuraterip_server.py serve PORT_FILE LOG_FILE ENTRIES_FILE LIFETIME
        answers, reached as an HTTP proxy, every request for a database file
        "dBAR-NNN-ID1-ID2-CDDB.bin" with one response for those ids: per track
        confidence 5 and the checksum the ENTRIES_FILE line "NN HEX" gives
        (read at each request, so the test can change it between rips); any
        other request gets 404.  Writes its port to PORT_FILE, appends each
        request line to LOG_FILE and stops after LIFETIME seconds.
"""

import http.server
import re
import struct
import sys
import threading
import zlib

SECTOR = 2352
SKIPPED = 2940  # samples at the disc's edges that the checksums leave out


def reference(image_path, toc_path, silent_tail, out_dir):
    with open(toc_path) as toc_file:
        tracks = [tuple(map(int, line.split())) for line in toc_file if line.strip()]
    with open(image_path, "rb") as image:
        data = image.read()
    for index, (number, start, length) in enumerate(tracks):
        pcm = bytearray(data[start * SECTOR:(start + length) * SECTOR])
        if index == len(tracks) - 1 and silent_tail > 0:
            pcm[len(pcm) - silent_tail * 4:] = bytes(silent_tail * 4)
        with open("%s/%02d.pcm" % (out_dir, number), "wb") as out:
            out.write(pcm)
        count = len(pcm) // 4
        first = SKIPPED if index == 0 else 1
        last = count - SKIPPED if index == len(tracks) - 1 else count
        v1 = 0
        v2 = 0
        for position, (word,) in enumerate(struct.iter_unpack("<I", pcm), start=1):
            if position < first or position > last:
                continue
            product = word * position
            v1 = (v1 + product) & 0xFFFFFFFF
            v2 = (v2 + (product & 0xFFFFFFFF) + (product >> 32)) & 0xFFFFFFFF
        print("%02d %08X %08X %08X" % (number, zlib.crc32(pcm) & 0xFFFFFFFF, v1, v2))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        with open(sys.argv[3], "a") as log:
            log.write(self.requestline + "\n")
        found = re.search(r"dBAR-(\d{3})-([0-9a-f]{8})-([0-9a-f]{8})-([0-9a-f]{8})\.bin$", self.path)
        if not found:
            self.send_response(404)
            self.end_headers()
            return
        count = int(found.group(1))
        ids = [int(found.group(n), 16) for n in (2, 3, 4)]
        checksums = {}
        with open(sys.argv[4]) as entries:
            for line in entries:
                if line.strip():
                    number, checksum = line.split()
                    checksums[int(number)] = int(checksum, 16)
        body = struct.pack("<BIII", count, *ids)
        for track in range(1, count + 1):
            body += struct.pack("<BII", 5, checksums.get(track, 0), 0)
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def serve(port_file, lifetime):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    with open(port_file, "w") as out:
        out.write(str(server.server_address[1]))
    threading.Timer(lifetime, server.shutdown).start()
    server.serve_forever()


if __name__ == "__main__":
    if len(sys.argv) == 6 and sys.argv[1] == "reference":
        reference(sys.argv[2], sys.argv[3], int(sys.argv[4]), sys.argv[5])
    elif len(sys.argv) == 6 and sys.argv[1] == "serve":
        serve(sys.argv[2], float(sys.argv[5]))
    else:
        sys.exit(__doc__)
