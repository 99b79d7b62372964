#!/usr/bin/env python3
"""Draws the application icon that the desktop entry names and writes it as
kova.png: 64x64 RGBA, the 32x32 pixel art of the program's other icons
doubled.

Usage: make_icon.py [output file]   (default: kova.png beside this script)

A sheet with ruled rows on a bank-blue tile and an arrow that leaves it: the
workbook turned into an upload file. Drawn on the canvas of icons/make_icons.py.
"""

import os
import struct
import sys
import zlib

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "icons"))
from make_icons import BLUE, BLUE_DARK, GREEN, INK, SIZE, WHITE, Canvas  # noqa: E402

SCALE = 2


def draw():
    c = Canvas()
    c.rect(1, 2, 30, 29, BLUE_DARK)
    c.rect(2, 1, 29, 30, BLUE_DARK)
    c.rect(2, 2, 29, 29, BLUE)
    c.rect(6, 5, 20, 26, WHITE)
    for y in range(9, 25, 3):
        c.rect(7, y, 19, y, INK)
    c.rect(11, 6, 11, 25, INK)
    c.rect(17, 14, 23, 17, GREEN)
    for i in range(5):
        c.rect(24 + i, 11 + i, 24 + i, 20 - i, GREEN)
    return c


def png(canvas):
    rows = []
    for row in canvas.px:
        line = b"".join(bytes(p) * SCALE for p in row)
        rows += [b"\0" + line] * SCALE

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    side = SIZE * SCALE
    header = struct.pack(">IIBBBBB", side, side, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(b"".join(rows), 9))
            + chunk(b"IEND", b""))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "kova.png")
    with open(out, "wb") as f:
        f.write(png(draw()))


if __name__ == "__main__":
    main()
