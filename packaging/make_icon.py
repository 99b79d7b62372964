#!/usr/bin/env python3
"""Draws the application icon that the desktop entry names and writes it as
kova.png (48x48, RGBA).

Usage: make_icon.py [output file]   (default: kova.png beside this script)

Only the standard library: a sheet with ruled rows on a bank-blue tile and an
arrow that leaves it, the workbook turned into an upload file.
"""

import os
import struct
import sys
import zlib

SIZE = 48
BLUE = (22, 78, 148, 255)
WHITE = (250, 250, 250, 255)
RULE = (150, 170, 195, 255)
GREEN = (46, 160, 67, 255)
CLEAR = (0, 0, 0, 0)


def draw():
    px = [[CLEAR] * SIZE for _ in range(SIZE)]

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                px[y][x] = c

    # Tile with cut corners.
    rect(2, 4, 45, 43, BLUE)
    rect(4, 2, 43, 45, BLUE)
    rect(3, 3, 44, 44, BLUE)
    # The sheet and its rows.
    rect(9, 8, 30, 39, WHITE)
    for y in range(13, 37, 5):
        rect(11, y, 28, y, RULE)
    rect(17, 9, 17, 38, RULE)
    # The arrow to the upload file.
    rect(26, 22, 36, 27, GREEN)
    for i in range(8):
        rect(37 + i, 17 + i, 37 + i, 32 - i, GREEN)
    return px


def png(px):
    raw = b"".join(b"\0" + b"".join(bytes(c) for c in row) for row in px)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "kova.png")
    with open(out, "wb") as f:
        f.write(png(draw()))


if __name__ == "__main__":
    main()
