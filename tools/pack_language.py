#!/usr/bin/env python3
"""Packs a language text into the program's ".dat" container.

    pack_language.py SOURCE.txt OUTPUT.dat

The container is little-endian: the magic 0x01E76A1A, the signed length of
the text, then the text as one zlib stream.  The source is kept in the
language's 8-bit Windows code page; lines are stored ending in CR LF, which is
what the program's reader expects.
"""
import struct
import sys
import zlib

MAGIC = 0x01E76A1A


def normalise_line_ends(raw: bytes) -> bytes:
    lines = raw.replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    return b"".join(line + b"\r\n" for line in lines)


def looks_like_utf8(raw: bytes) -> bool:
    """True when the text has non-ASCII bytes that form valid UTF-8: a source
    saved in the wrong encoding, which would show as mojibake."""
    if all(b < 0x80 for b in raw):
        return False
    try:
        raw.decode("utf-8")
        return True
    except UnicodeDecodeError:
        return False


def pack(text: bytes) -> bytes:
    return struct.pack("<Ii", MAGIC, len(text)) + zlib.compress(text, 9)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: pack_language.py SOURCE.txt OUTPUT.dat\n")
        return 2
    source, output = argv[1], argv[2]
    with open(source, "rb") as f:
        raw = f.read()
    if looks_like_utf8(raw):
        sys.stderr.write(f"{source}: saved as UTF-8; language texts are kept "
                         "in their 8-bit Windows code page\n")
        return 1
    if b"\0" in raw:
        sys.stderr.write(f"{source}: contains a NUL byte\n")
        return 1
    with open(output, "wb") as f:
        f.write(pack(normalise_line_ends(raw)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
