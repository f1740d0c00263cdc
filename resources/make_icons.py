#!/usr/bin/env python3
"""Draws the toolbar and application icons as PNG files beside this script, each also
at twice the size ("@2x") for high-density screens.

The pictures are kept in icons.txt as character maps so that they can be edited as text;
run the script again after a change and commit the PNG files it writes.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# '.' is transparent; every other character names a colour (R, G, B).
PALETTE = {
    'k': (0, 0, 0),
    'g': (96, 96, 96),
    'l': (176, 176, 176),
    'w': (255, 255, 255),
    'b': (0, 64, 160),
    'c': (64, 128, 208),
    'r': (192, 0, 0),
    'y': (255, 240, 160),
}

ART = os.path.join(HERE, 'icons.txt')


def read_art(path):
    """The character maps of icons.txt by name, in the file's order."""
    maps = {}
    rows = None
    with open(path, encoding='utf-8') as f:
        for line in f:
            line = line.rstrip('\n')
            if line.startswith('= '):
                rows = maps.setdefault(line[2:], [])
            elif line and not line.startswith('#') and rows is not None:
                rows.append(line)
    return maps


def write_png(path, rows):
    height = len(rows)
    width = len(rows[0])
    raw = bytearray()
    for row in rows:
        if len(row) != width:
            raise ValueError(f"{path}: ragged row {row!r}")
        raw.append(0)
        for ch in row:
            if ch == '.':
                raw += bytes((0, 0, 0, 0))
            else:
                raw += bytes(PALETTE[ch]) + b'\xff'

    def chunk(tag, data):
        body = tag + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))

    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(bytes(raw), 9))
    png += chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)


def main():
    for name, rows in read_art(ART).items():
        write_png(os.path.join(HERE, name + '.png'), rows)
        # Twice the size, each pixel a 2 x 2 block: Qt takes it on screens of ratio 2
        # instead of blurring the small one.
        double = [''.join(ch * 2 for ch in row) for row in rows for _ in range(2)]
        write_png(os.path.join(HERE, name + '@2x.png'), double)


if __name__ == '__main__':
    main()
