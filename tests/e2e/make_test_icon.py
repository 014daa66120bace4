#!/usr/bin/env python3
"""Writes the stand-in game's icon: one 32 x 32 image, 32 bits per pixel, a pure green square
(0, 255, 0) with a black rim, a colour that no default icon has, so that a screenshot shows
whether a list shows this icon or another.

Usage: make_test_icon.py output.ico
"""
import struct
import sys

SIZE = 32
GREEN = 0x00FF00


def pixel(x, y):
    rim = x in (0, SIZE - 1) or y in (0, SIZE - 1)
    return 0xFF000000 | (0 if rim else GREEN)  # BGRA as a little-endian 0xAARRGGBB


def main(path):
    rows = b"".join(struct.pack("<%dI" % SIZE, *(pixel(x, y) for x in range(SIZE)))
                    for y in reversed(range(SIZE)))  # bottom-up
    mask = bytes(SIZE * SIZE // 8)  # every pixel opaque
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 32, 0, len(rows) + len(mask),
                         0, 0, 0, 0)
    image = header + rows + mask
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1))
        f.write(struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16))
        f.write(image)


if __name__ == "__main__":
    main(sys.argv[1])
