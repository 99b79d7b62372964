#!/usr/bin/env python3
"""Draws the program's eight 32x32 icons and writes them as .ico files.

Usage: make_icons.py [output folder]   (default: the folder of this script)

Only the standard library: each icon is a small pixel-art picture drawn on an
RGBA canvas and stored as a single 32-bit BMP image inside an ICO container
(BITMAPINFOHEADER with doubled height, BGRA rows bottom-up, then the 1-bit AND
mask), which every ICO reader understands, Qt's included.
"""

import os
import struct
import sys

SIZE = 32


class Canvas:
    def __init__(self):
        self.px = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]

    def put(self, x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        """Filled rectangle, corners inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        self.rect(x0, y0, x1, y0, c)
        self.rect(x0, y1, x1, y1, c)
        self.rect(x0, y0, x0, y1, c)
        self.rect(x1, y0, x1, y1, c)

    def disc(self, cx, cy, r, c):
        for y in range(SIZE):
            for x in range(SIZE):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def ring(self, cx, cy, r_out, r_in, c, upper_only=False):
        for y in range(SIZE):
            for x in range(SIZE):
                d = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2
                if r_in * r_in <= d <= r_out * r_out and (not upper_only or y + 0.5 <= cy):
                    self.put(x, y, c)

    def line(self, x0, y0, x1, y1, width, c):
        """A thick straight stroke: a disc stamped along the segment."""
        steps = max(abs(x1 - x0), abs(y1 - y0)) * 2 or 1
        for i in range(steps + 1):
            t = i / steps
            self.disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2.0, c)


WHITE = (255, 255, 255, 255)
DARK = (60, 60, 60, 255)
GREEN = (46, 160, 67, 255)
GREEN_DARK = (25, 110, 40, 255)
RED = (214, 48, 49, 255)
RED_DARK = (150, 25, 30, 255)
GOLD = (230, 170, 30, 255)
GOLD_DARK = (160, 110, 10, 255)
STEEL = (150, 155, 165, 255)
BLUE = (40, 90, 180, 255)
BLUE_DARK = (20, 50, 120, 255)
PAPER = (250, 245, 220, 255)
YELLOW = (255, 225, 90, 255)
INK = (90, 110, 160, 255)


def add():
    c = Canvas()
    c.disc(16, 16, 15, GREEN_DARK)
    c.disc(16, 16, 13.5, GREEN)
    c.rect(14, 7, 17, 24, WHITE)
    c.rect(7, 14, 24, 17, WHITE)
    return c


def apply_():
    c = Canvas()
    c.line(5, 17, 12, 25, 6, GREEN_DARK)
    c.line(12, 25, 27, 7, 6, GREEN_DARK)
    c.line(5, 17, 12, 25, 4, GREEN)
    c.line(12, 25, 27, 7, 4, GREEN)
    return c


def delete():
    c = Canvas()
    c.line(7, 7, 25, 25, 7, RED_DARK)
    c.line(25, 7, 7, 25, 7, RED_DARK)
    c.line(7, 7, 25, 25, 5, RED)
    c.line(25, 7, 7, 25, 5, RED)
    return c


def padlock(open_):
    c = Canvas()
    if open_:
        c.ring(22, 11, 7.5, 4.5, STEEL, upper_only=True)
        c.rect(26, 11, 29, 15, STEEL)
    else:
        c.ring(16, 12, 8, 5, STEEL, upper_only=True)
        c.rect(8, 12, 10, 15, STEEL)
        c.rect(21, 12, 23, 15, STEEL)
    c.rect(5, 15, 26, 30, GOLD_DARK)
    c.rect(6, 16, 25, 29, GOLD)
    c.disc(15.5, 21, 2.5, DARK)
    c.rect(15, 22, 16, 26, DARK)
    return c


def notes():
    c = Canvas()
    c.rect(5, 3, 26, 30, GOLD_DARK)
    c.rect(6, 4, 25, 29, YELLOW)
    for x in (9, 14, 19, 24):
        c.rect(x - 1, 1, x, 5, DARK)
    for y in range(10, 28, 4):
        c.rect(9, y, 22, y, INK)
    return c


def save():
    c = Canvas()
    c.rect(3, 3, 28, 28, BLUE_DARK)
    c.rect(4, 4, 27, 27, BLUE)
    c.rect(9, 4, 22, 12, STEEL)
    c.rect(18, 6, 20, 10, BLUE_DARK)
    c.rect(7, 17, 24, 27, WHITE)
    for y in (20, 23):
        c.rect(9, y, 22, y, INK)
    return c


def script():
    c = Canvas()
    c.rect(7, 4, 26, 27, GOLD_DARK)
    c.rect(8, 5, 25, 26, PAPER)
    c.rect(4, 24, 22, 29, GOLD_DARK)
    c.rect(5, 25, 21, 28, PAPER)
    c.disc(7, 5.5, 2.5, GOLD_DARK)
    for y, x1 in ((9, 22), (12, 20), (15, 22), (18, 18), (21, 21)):
        c.rect(11, y, x1, y, INK)
    return c


ICONS = {
    "Add.ico": add,
    "Apply.ico": apply_,
    "Delete.ico": delete,
    "Lock.ico": lambda: padlock(False),
    "Notes.ico": notes,
    "Save.ico": save,
    "Script.ico": script,
    "Unlock.ico": lambda: padlock(True),
}


def ico_bytes(canvas):
    pixels = bytearray()
    for y in reversed(range(SIZE)):
        for r, g, b, a in canvas.px[y]:
            pixels += bytes((b, g, r, a))
    mask = bytearray()
    for y in reversed(range(SIZE)):
        bits = 0
        for x, (_, _, _, a) in enumerate(canvas.px[y]):
            if a == 0:
                bits |= 1 << (SIZE - 1 - x)
        mask += struct.pack(">I", bits)  # 32 bits a row: already 4-byte aligned
    bmp = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                      len(pixels) + len(mask), 0, 0, 0, 0) + pixels + mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(bmp), 6 + 16)
    return header + entry + bmp


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, draw in ICONS.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(ico_bytes(draw()))


if __name__ == "__main__":
    main()
