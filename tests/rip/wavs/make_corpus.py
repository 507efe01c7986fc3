#!/usr/bin/env python3
"""Writes the WAV reader's corpus: good/ files the reader must accept, with the
format and audio it must find, and bad/ files named after the rule each
breaks, with the complaint expected.  Run it again after changing a case:
    tests/rip/wavs/make_corpus.py tests/rip/wavs
"""
import os
import struct
import sys

CD_FORMAT = (1, 2, 44100, 176400, 4, 16)


def fmt_chunk(tag=1, channels=2, rate=44100, byte_rate=176400, align=4, bits=16, extra=b""):
    body = struct.pack("<HHIIHH", tag, channels, rate, byte_rate, align, bits) + extra
    return chunk(b"fmt ", body)


def chunk(ident, body, declared=None):
    size = len(body) if declared is None else declared
    pad = b"\0" if len(body) % 2 else b""
    return ident + struct.pack("<I", size) + body + pad


def riff(*chunks, declared=None):
    body = b"WAVE" + b"".join(chunks)
    size = len(body) if declared is None else declared
    return b"RIFF" + struct.pack("<I", size) + body


def audio(frames):
    # Left rises from 1, right falls from -1: every frame and byte differs.
    return b"".join(struct.pack("<hh", 1 + i * 257, -1 - i * 263) for i in range(frames))


PCM = audio(8)
LIST = chunk(b"LIST", b"INFOISFT\x05\0\0\0test\0")

GOOD = {
    "plain_44_byte_header": riff(fmt_chunk(), chunk(b"data", PCM)),
    "list_chunk_before_fmt": riff(LIST, fmt_chunk(), chunk(b"data", PCM)),
    "odd_sized_chunk_before_data": riff(fmt_chunk(), chunk(b"junk", b"abc"), chunk(b"data", PCM)),
    "data_before_fmt": riff(chunk(b"data", PCM), fmt_chunk()),
    "fmt_chunk_longer_than_16": riff(fmt_chunk(extra=b"\0\0"), chunk(b"data", PCM)),
    "chunk_after_data_not_read_as_audio": riff(fmt_chunk(), chunk(b"data", PCM), chunk(b"LIST", b"x" * 40)),
    "riff_size_larger_than_file": riff(fmt_chunk(), chunk(b"data", PCM), declared=0xFFFFFFF0),
    "data_size_not_whole_frames": riff(fmt_chunk(), chunk(b"data", PCM + b"\x7f\x7e\x7d")),
    "trailing_bytes_after_riff": riff(fmt_chunk(), chunk(b"data", PCM)) + b"garbage",
}

BAD = {
    "truncated_header": (b"RIFF\x24\0\0\0WAV", "truncated: the file is too short for a RIFF header"),
    "not_riff": (b"RIFX" + riff(fmt_chunk(), chunk(b"data", PCM))[4:], "malformed: not a RIFF/WAVE file"),
    "not_wave": (b"RIFF\x04\0\0\0AVI ", "malformed: not a RIFF/WAVE file"),
    "truncated_fmt_chunk": (riff(fmt_chunk())[:30], "truncated: a chunk runs past the end of the file"),
    "data_chunk_past_end_of_file": (riff(fmt_chunk(), chunk(b"data", PCM))[:-4],
                                    "truncated: the data chunk runs past the end of the file"),
    "data_size_beyond_4_gb_file": (riff(fmt_chunk(), chunk(b"data", PCM, declared=0xFFFFFFFF)),
                                   "truncated: the data chunk runs past the end of the file"),
    "chunk_past_end_of_riff": (riff(fmt_chunk(), chunk(b"data", PCM), declared=4 + 24 + 8 + 16) + b"\0" * 16,
                               "malformed: a chunk runs past the end of the RIFF chunk"),
    "riff_ends_before_data": (riff(fmt_chunk(), declared=1000), "truncated: the file ends before its RIFF chunk does"),
    "no_fmt_chunk": (riff(LIST, chunk(b"data", PCM)), "malformed: no fmt chunk"),
    "no_data_chunk": (riff(fmt_chunk(), LIST), "malformed: no data chunk"),
    "fmt_chunk_shorter_than_16": (riff(chunk(b"fmt ", b"\1\0\2\0"), chunk(b"data", PCM)),
                                  "malformed: the fmt chunk is shorter than 16 bytes"),
    "mono": (riff(fmt_chunk(channels=1, byte_rate=88200, align=2), chunk(b"data", PCM)),
             "unsupported: the audio is not 44,100 Hz 16-bit stereo PCM"),
    "rate_48000": (riff(fmt_chunk(rate=48000, byte_rate=192000), chunk(b"data", PCM)),
                   "unsupported: the audio is not 44,100 Hz 16-bit stereo PCM"),
    "bits_8": (riff(fmt_chunk(byte_rate=88200, align=2, bits=8), chunk(b"data", PCM)),
               "unsupported: the audio is not 44,100 Hz 16-bit stereo PCM"),
    "float_samples": (riff(fmt_chunk(tag=3, byte_rate=352800, align=8, bits=32), chunk(b"data", PCM)),
                      "unsupported: the audio is not 44,100 Hz 16-bit stereo PCM"),
    "zero_length_data": (riff(fmt_chunk(), chunk(b"data", b"")), "no audio: the data chunk holds no audio"),
    "data_shorter_than_one_frame": (riff(fmt_chunk(), chunk(b"data", b"\1\2\3")),
                                    "no audio: the data chunk holds no audio"),
}


def write(folder, name, data, expected):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name + ".wav"), "wb") as f:
        f.write(data)
    with open(os.path.join(folder, name + ".expected"), "w", newline="\n") as f:
        f.write(expected + "\n")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, data in GOOD.items():
        # Every good file holds PCM, whole frames only reaching the reader.
        expected = "format %d %d %d %d %d %d\nframes %d\naudio %s" % (CD_FORMAT + (len(PCM) // 4, PCM.hex()))
        write(os.path.join(root, "good"), name, data, expected)
    for name, (data, expected) in BAD.items():
        write(os.path.join(root, "bad"), name, data, "error " + expected)


if __name__ == "__main__":
    main()
