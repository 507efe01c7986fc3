#!/usr/bin/env python3
"""Writes a CUE/BIN disc image for trying Corvale without a CD drive.

The default disc has four short audio tracks of distinct generated sound (a
chord, a rising sweep after a two-second pregap, seeded noise, a melody of
square-ish notes) and a small MODE1/2352 data track.  With --enhanced the data
track is a second session, as on an Enhanced CD (the audio bytes stay the
same).  With --minutes it writes a long disc instead (for benchmarks), of
--tracks equal tracks.

Everything is deterministic: the same options give the same bytes.
"""

import argparse
import array
import math
import os
import sys

SECTOR_BYTES = 2352
SECTORS_PER_SECOND = 75
SAMPLE_RATE = 44100
FRAMES_PER_SECTOR = SAMPLE_RATE // SECTORS_PER_SECOND  # 588 stereo sample frames
MSF_LBA_OFFSET = 150
# From the end of the first session to the first track of the second: its
# lead-out, the next lead-in and pregap.
SESSION_GAP_SECTORS = 11400


def msf(sectors):
    return "%02d:%02d:%02d" % (sectors // (60 * 75), sectors // 75 % 60, sectors % 75)


def pcm(left, right):
    """Interleaved 16-bit little-endian stereo from two lists of floats in -1..1."""
    samples = array.array("h")
    for l, r in zip(left, right):
        samples.append(int(max(-1.0, min(1.0, l)) * 30000))
        samples.append(int(max(-1.0, min(1.0, r)) * 30000))
    if sys.byteorder == "big":
        samples.byteswap()
    return samples.tobytes()


def fade(i, n):
    edge = min(i, n - 1 - i)
    return min(1.0, edge / 2000.0)


def chord(n):
    freqs_left = (440.0, 554.37, 659.25)   # A major
    freqs_right = (329.63, 415.30, 493.88)  # E major, so the channels differ
    left = [fade(i, n) * sum(math.sin(2 * math.pi * f * i / SAMPLE_RATE) for f in freqs_left) / 3
            for i in range(n)]
    right = [fade(i, n) * sum(math.sin(2 * math.pi * f * i / SAMPLE_RATE) for f in freqs_right) / 3
             for i in range(n)]
    return pcm(left, right)


def quiet_hum(n):
    left = [0.02 * math.sin(2 * math.pi * 50 * i / SAMPLE_RATE) for i in range(n)]
    return pcm(left, [-v for v in left])


def sweep(n):
    phase, left = 0.0, []
    for i in range(n):
        freq = 200.0 + 1800.0 * i / n
        phase += 2 * math.pi * freq / SAMPLE_RATE
        left.append(0.6 * fade(i, n) * math.sin(phase))
    return pcm(left, [0.5 * v for v in left])


def noise(n, seed):
    state, left, right = seed, [], []
    for i in range(n):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        left.append(0.4 * fade(i, n) * ((state >> 8) / float(1 << 22) - 1.0))
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        right.append(0.4 * fade(i, n) * ((state >> 8) / float(1 << 22) - 1.0))
    return pcm(left, right)


def melody(n):
    notes = (261.63, 293.66, 329.63, 349.23, 392.00, 440.00, 493.88, 523.25)
    step = SAMPLE_RATE // 4
    left = []
    for i in range(n):
        f = notes[(i // step) % len(notes)]
        s = math.sin(2 * math.pi * f * i / SAMPLE_RATE)
        left.append(0.5 * fade(i, n) * (s + s * s * s) / 2)  # a fuller, squarer tone
    return pcm(left, left[::-1])


def data_sector(lba, payload):
    """A MODE1/2352 sector: sync, BCD address header, 2048 user bytes.
    The error detection and correction fields are left zero."""
    def bcd(v):
        return (v // 10) << 4 | v % 10
    address = lba + MSF_LBA_OFFSET
    header = bytes([bcd(address // 4500), bcd(address // 75 % 60), bcd(address % 75), 1])
    sync = b"\x00" + b"\xff" * 10 + b"\x00"
    user = payload[:2048].ljust(2048, b"\x00")
    return sync + header + user + bytes(SECTOR_BYTES - 16 - 2048)


def sectors_of(seconds, extra=0):
    return int(seconds * SECTORS_PER_SECOND) + extra


def demo_tracks():
    """(title, pregap sectors, sectors, generator) of each audio track."""
    return [
        ("Chord", 0, sectors_of(5, 17), chord),
        ("Sweep", sectors_of(2), sectors_of(4, 41), sweep),
        ("Noise", 0, sectors_of(7, 3), lambda n: noise(n, 20240601)),
        ("Melody", 0, sectors_of(9), melody),
    ]


def write_demo(folder, name, enhanced=False):
    bin_path = os.path.join(folder, name + ".bin")
    lines = ['REM Corvale demo disc, made by tools/make_demo_disc.py',
             'PERFORMER "Corvale"', 'TITLE "Demo Disc"',
             'FILE "%s.bin" BINARY' % name]
    lba = 0
    with open(bin_path, "wb") as out:
        for number, (title, pregap, length, generate) in enumerate(demo_tracks(), 1):
            lines += ["  TRACK %02d AUDIO" % number, '    TITLE "%s"' % title]
            if pregap:
                lines.append("    INDEX 00 " + msf(lba))
                out.write(quiet_hum(pregap * FRAMES_PER_SECTOR))
                lba += pregap
            lines.append("    INDEX 01 " + msf(lba))
            out.write(generate(length * FRAMES_PER_SECTOR))
            lba += length
        disc_offset = 0
        if enhanced:
            lines.append("REM SESSION 02")
            disc_offset = SESSION_GAP_SECTORS
        lines += ["  TRACK 05 MODE1/2352", "    INDEX 01 " + msf(lba)]
        for i in range(150):
            text = b"CORVALE DEMO DATA TRACK, SECTOR %d\n" % i
            out.write(data_sector(lba + disc_offset, text * 40))
            lba += 1
    write_sheet(folder, name, lines)


def write_long(folder, name, minutes, tracks):
    bin_path = os.path.join(folder, name + ".bin")
    total = minutes * 60 * SECTORS_PER_SECOND
    lines = ['REM Corvale long test disc, made by tools/make_demo_disc.py',
             'FILE "%s.bin" BINARY' % name]
    # One second of each of a few tones, repeated: cheap to write, still audio.
    seconds = [chord(SAMPLE_RATE), sweep(SAMPLE_RATE), noise(SAMPLE_RATE, 7), melody(SAMPLE_RATE)]
    per_track = total // tracks
    lba = 0
    with open(bin_path, "wb") as out:
        for number in range(1, tracks + 1):
            length = per_track if number < tracks else total - lba
            lines += ["  TRACK %02d AUDIO" % number, "    INDEX 01 " + msf(lba)]
            written = 0
            while written < length:
                block = seconds[(number + written // SECTORS_PER_SECOND) % len(seconds)]
                take = min(SECTORS_PER_SECOND, length - written)
                out.write(block[:take * SECTOR_BYTES])
                written += take
            lba += length
    write_sheet(folder, name, lines)


def write_sheet(folder, name, lines):
    with open(os.path.join(folder, name + ".cue"), "wb") as cue:
        cue.write(("\r\n".join(lines) + "\r\n").encode("ascii"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder", help="where the .cue and .bin go (made if missing)")
    parser.add_argument("--name", default="corvale-demo", help="file name without extension")
    parser.add_argument("--minutes", type=int, default=0, help="write a long disc of this many minutes")
    parser.add_argument("--tracks", type=int, default=1, help="tracks of the long disc (1 to 99)")
    parser.add_argument("--enhanced", action="store_true",
                        help="put the demo disc's data track in a second session")
    args = parser.parse_args()
    if args.minutes < 0 or args.minutes > 99 or not 1 <= args.tracks <= 99:
        parser.error("minutes must be 0 to 99 and tracks 1 to 99")
    os.makedirs(args.folder, exist_ok=True)
    if args.minutes:
        write_long(args.folder, args.name, args.minutes, args.tracks)
    else:
        write_demo(args.folder, args.name, args.enhanced)


if __name__ == "__main__":
    main()
