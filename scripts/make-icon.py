#!/usr/bin/env python3
"""Draws the program's 16 x 16, 256-colour window icon (a small clock face) and writes it as an
.ico file: one image, BITMAPINFOHEADER with 8 bits per pixel, a 256-entry palette, the colour
rows and the 1-bit transparency mask, both bottom-up. The output is the same on every run.

Usage: make-icon.py [output]   (default: res/quorvane.ico beside this script's folder)
"""
import math
import os
import struct
import sys

SIZE = 16

# Palette entries as (red, green, blue); unused entries stay black.
CLEAR, RIM, FACE, TICK, HAND, CENTRE = 0, 1, 2, 3, 4, 5
PALETTE = {
    CLEAR: (0, 0, 0),
    RIM: (35, 60, 91),
    FACE: (240, 248, 252),
    TICK: (90, 110, 140),
    HAND: (20, 30, 45),
    CENTRE: (200, 40, 40),
}


def draw():
    """Returns rows top to bottom of palette indices, and the set of transparent pixels."""
    c = (SIZE - 1) / 2.0
    pixels = [[CLEAR] * SIZE for _ in range(SIZE)]
    clear = set()
    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x - c, y - c)
            if d > 7.4:
                clear.add((x, y))
            elif d > 6.0:
                pixels[y][x] = RIM
            else:
                pixels[y][x] = FACE

    def line(angle_deg, length, colour):
        # Clockwise from twelve o'clock, sampled finely so the hand has no gaps.
        a = math.radians(angle_deg)
        for i in range(int(length * 8) + 1):
            r = i / 8.0
            x = int(round(c + r * math.sin(a)))
            y = int(round(c - r * math.cos(a)))
            pixels[y][x] = colour

    for hour in range(0, 12, 3):  # marks at 12, 3, 6 and 9
        a = math.radians(hour * 30)
        for r in (5.0, 5.6):
            pixels[int(round(c - r * math.cos(a)))][int(round(c + r * math.sin(a)))] = TICK
    line(0, 5.0, HAND)     # minute hand at twelve
    line(120, 3.4, HAND)   # hour hand at four
    pixels[int(c)][int(c)] = CENTRE
    return pixels, clear


def encode(pixels, clear):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, 0, 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", *reversed(PALETTE.get(i, (0, 0, 0))), 0) for i in range(256))
    colour = b"".join(bytes(pixels[y]) for y in reversed(range(SIZE)))  # 16 bytes a row: no padding
    mask = b""
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            if (x, y) in clear:
                bits |= 1 << (SIZE - 1 - x)
        mask += struct.pack(">H", bits) + b"\0\0"  # rows padded to 32 bits
    image = header + palette + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "res", "quorvane.ico")
    pixels, clear = draw()
    with open(out, "wb") as f:
        f.write(encode(pixels, clear))


if __name__ == "__main__":
    main()
