#!/usr/bin/env python3
"""Turns the text source of the program's 16x16 icons into .ico files.

The source holds blocks of the form

    icon ID [ID ...]  # comment
    <16 lines of 16 palette letters>

or one-line flags drawn from stripes:

    hstripes ID C1 C2 C3      (horizontal bands, top to bottom)
    vstripes ID C1 C2 C3      (vertical bands, left to right)

Palette letters are listed in PALETTE; '.' is transparent.
"""
import struct
import sys
from pathlib import Path

PALETTE = {
    '.': None,
    'K': (0, 0, 0), 'W': (255, 255, 255), 'G': (128, 128, 128), 'L': (200, 200, 200),
    'R': (200, 30, 30), 'r': (255, 120, 120), 'B': (30, 60, 180), 'b': (110, 160, 240),
    'Y': (240, 200, 40), 'y': (255, 240, 150), 'N': (20, 140, 60), 'n': (120, 210, 130),
    'O': (230, 120, 20), 'P': (140, 60, 170), 'C': (40, 170, 200), 'D': (120, 80, 30),
}
SIZE = 16


def ico_bytes(pixels):
    """A one-image .ico: 32-bit BGRA bottom-up bitmap plus its AND mask."""
    xor = bytearray()
    for row in reversed(pixels):
        for colour in row:
            if colour is None:
                xor += bytes((0, 0, 0, 0))
            else:
                r, g, b = colour
                xor += bytes((b, g, r, 255))
    mask_row_bytes = 4  # 16 bits padded to 32
    mask = bytearray()
    for row in reversed(pixels):
        bits = 0
        for x, colour in enumerate(row):
            if colour is None:
                bits |= 1 << (15 - x)
        mask += struct.pack('>H', bits) + b'\0\0'
    assert len(mask) == SIZE * mask_row_bytes
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def stripes(colours, vertical):
    bands = [PALETTE[c] for c in colours]
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            inside = 2 <= y <= 13
            if not inside:
                row.append(None)
                continue
            pos = x if vertical else y - 2
            span = SIZE if vertical else 12
            row.append(bands[min(len(bands) - 1, pos * len(bands) // span)])
        rows.append(row)
    return rows


def parse(text):
    icons = {}
    lines = [l.split('#', 1)[0].rstrip() for l in text.splitlines()]
    i = 0
    while i < len(lines):
        words = lines[i].split()
        if not words:
            i += 1
            continue
        kind = words[0]
        if kind in ('hstripes', 'vstripes'):
            icons[int(words[1])] = stripes(words[2:], kind == 'vstripes')
            i += 1
        elif kind == 'icon':
            ids = [int(w) for w in words[1:]]
            grid = lines[i + 1:i + 1 + SIZE]
            if len(grid) != SIZE or any(len(row) != SIZE for row in grid):
                sys.exit(f'icon {ids}: expected {SIZE} rows of {SIZE} letters')
            try:
                pixels = [[PALETTE[c] for c in row] for row in grid]
            except KeyError as e:
                sys.exit(f'icon {ids}: unknown palette letter {e}')
            for icon_id in ids:
                icons[icon_id] = pixels
            i += 1 + SIZE
        else:
            sys.exit(f'line {i + 1}: expected icon, hstripes or vstripes')
    return icons


def main():
    source, out_dir = Path(sys.argv[1]), Path(sys.argv[2])
    out_dir.mkdir(parents=True, exist_ok=True)
    icons = parse(source.read_text())
    rc = []
    for icon_id, pixels in sorted(icons.items()):
        name = f'icon_{icon_id}.ico'
        (out_dir / name).write_bytes(ico_bytes(pixels))
        rc.append(f'{icon_id} ICON "{name}"')
    (out_dir / 'icons_generated.rc').write_text('\n'.join(rc) + '\n')


if __name__ == '__main__':
    main()
