#!/usr/bin/env python3
"""Draw the window picker's refresh glyph and write it as a 16-colour BMP.

    resources/refresh.bmp   32 x 16: the picture (a red circular arrow around
                            an exclamation mark) and its grey disabled copy,
                            side by side, on olive, the transparent colour.

Standard library only:  python3 scripts/make_refresh_bitmap.py [output file]
"""

import math
import os
import struct
import sys

# The 16 colours of the standard Windows palette.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
OLIVE, MAROON, RED, GREY, WHITE, SILVER = 3, 1, 9, 8, 15, 7
SIZE = 16


def picture():
    """One 16 x 16 glyph as palette indexes, row 0 at the top."""
    pixels = [[OLIVE] * SIZE for _ in range(SIZE)]
    centre = 7.5
    for y in range(SIZE):
        for x in range(SIZE):
            dx, dy = x - centre, y - centre
            radius = math.hypot(dx, dy)
            angle = math.degrees(math.atan2(-dy, dx)) % 360
            # A ring open at the upper right, where the arrow head sits.
            if 5.0 <= radius <= 7.2 and not 20 <= angle <= 75:
                pixels[y][x] = RED if radius < 6.6 else MAROON
    # The arrow head at the ring's upper end, pointing on round the ring.
    for y, width in enumerate([1, 2, 3, 4, 3, 2, 1]):
        for x in range(width):
            pixels[y][8 + x] = RED
    # The exclamation mark in the middle.
    for y in range(4, 10):
        pixels[y][7] = RED
        pixels[y][8] = RED
    for y in (11, 12):
        pixels[y][7] = RED
        pixels[y][8] = RED
    return pixels


def greyed(pixels):
    """The disabled copy: every colour but the background as grey, embossed in white."""
    grey = [[OLIVE] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if pixels[y][x] != OLIVE:
                if y + 1 < SIZE and x + 1 < SIZE and grey[y + 1][x + 1] == OLIVE:
                    grey[y + 1][x + 1] = WHITE
                grey[y][x] = GREY
    return grey


def write_bmp(path, rows):
    width, height = len(rows[0]), len(rows)
    stride = ((width * 4 + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for x in range(0, width, 2):
            line.append((row[x] << 4) | (row[x + 1] if x + 1 < width else 0))
        line.extend(b"\0" * (stride - len(line)))
        data.extend(line)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 16)
    with open(path, "wb") as out:
        out.write(header + info + palette + data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "refresh.bmp")
    normal = picture()
    disabled = greyed(normal)
    write_bmp(path, [normal[y] + disabled[y] for y in range(SIZE)])


if __name__ == "__main__":
    main()
