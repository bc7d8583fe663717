#!/usr/bin/env python3
"""Draw Yorunel's three icons and write them as Windows .ico files.

    running.ico  icon resource 1: the program is running (moon on a blue badge)
    paused.ico   icon resource 2: paused (the badge greyed, with a pause mark)
    app.ico      icon resource 3: the application icon (the moon with stars)

Each file holds 16x16 and 32x32 images (app.ico also 48x48; the tray icons
also 20x20 and 24x24, their small size at 125 and 150 per cent), stored as
PNG images, which every Windows version since Vista reads in icons and which
take a fifth of the room of the bitmaps: the program is meant to stay small.
Standard library only, so the icons can be rebuilt on any machine:

    python3 scripts/make_icons.py [output folder]

The output folder defaults to resources/icons beside this script's folder.
"""

import math
import os
import struct
import sys
import zlib

# Samples per pixel side; 8 x 8 gives smooth edges even at 16 x 16.
SUPERSAMPLE = 8


def hex_rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def mix(a, b, t):
    t = min(1.0, max(0.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


class Scheme:
    """Colours of one icon."""

    def __init__(self, rim, top, bottom, moon_light, moon_dark, star):
        self.rim = hex_rgb(rim)
        self.top = hex_rgb(top)
        self.bottom = hex_rgb(bottom)
        self.moon_light = hex_rgb(moon_light)
        self.moon_dark = hex_rgb(moon_dark)
        self.star = hex_rgb(star)


NIGHT = Scheme(rim="#0b1433", top="#3553a8", bottom="#142262",
               moon_light="#ffe27a", moon_dark="#f5a623", star="#fff4c8")
GREY = Scheme(rim="#303030", top="#8e8e8e", bottom="#595959",
              moon_light="#e2e2e2", moon_dark="#bcbcbc", star="#e0e0e0")
PAUSE_FILL = hex_rgb("#ffffff")
PAUSE_EDGE = hex_rgb("#202020")


def rim_width(size):
    # One pixel at 16, growing slowly so the big images do not look heavy.
    return max(1.0, size / 20.0)


def badge_layers(size, scheme):
    """The round badge: a dark rim around a top-lit gradient."""
    c = size / 2.0
    outer = size / 2.0 - 0.25
    inner = outer - rim_width(size)

    def in_outer(x, y):
        return (x - c) ** 2 + (y - c) ** 2 <= outer * outer

    def in_inner(x, y):
        return (x - c) ** 2 + (y - c) ** 2 <= inner * inner

    def fill(x, y):
        return mix(scheme.top, scheme.bottom, (y - (c - inner)) / (2 * inner))

    return [(in_outer, lambda x, y: scheme.rim), (in_inner, fill)]


def moon_layers(size, scheme, dx=0.0, scale=1.0):
    """A crescent: one disc with a second, offset disc cut out of it."""
    cx = size * (0.47 + dx)
    cy = size * 0.50
    r = size * 0.31 * scale
    ox = cx + size * 0.15 * scale
    oy = cy - size * 0.09 * scale
    orad = size * 0.25 * scale

    def inside(x, y):
        return ((x - cx) ** 2 + (y - cy) ** 2 <= r * r
                and (x - ox) ** 2 + (y - oy) ** 2 > orad * orad)

    def colour(x, y):
        # Light on the upper left, warmer towards the lower tip.
        t = ((x - (cx - r)) + (y - (cy - r))) / (4 * r)
        return mix(scheme.moon_light, scheme.moon_dark, t)

    return [(inside, colour)]


def star_layers(size, scheme, stars):
    """Four-pointed sparkles given as (x, y, radius) fractions of the size."""
    layers = []
    for fx, fy, fr in stars:
        sx, sy, sr = fx * size, fy * size, fr * size

        def inside(x, y, sx=sx, sy=sy, sr=sr):
            ax, ay = abs(x - sx), abs(y - sy)
            # An astroid-like star: thin arms along both axes.
            return math.sqrt(ax) + math.sqrt(ay) <= math.sqrt(sr)

        layers.append((inside, lambda x, y: scheme.star))
    return layers


def pause_layers(size):
    """Two upright bars with a dark edge, over the hollow of the moon."""
    if size <= 16:
        # Placed on the pixel grid so the bars stay crisp in the tray.
        bar_w, bar_h, gap, edge = 2.0, 8.0, 2.0, 1.0
        left, top = 7.0, 4.0
    else:
        bar_w, bar_h, gap = size * 0.125, size * 0.47, size * 0.125
        edge = max(1.0, size / 24.0)
        left = round(size * 0.46)
        top = round((size - bar_h) / 2.0)
    bars = [(left, top), (left + bar_w + gap, top)]

    def in_bars(x, y, grow):
        for bx, by in bars:
            if (bx - grow <= x <= bx + bar_w + grow
                    and by - grow <= y <= by + bar_h + grow):
                return True
        return False

    return [(lambda x, y: in_bars(x, y, edge), lambda x, y: PAUSE_EDGE),
            (lambda x, y: in_bars(x, y, 0.0), lambda x, y: PAUSE_FILL)]


def render(size, layers):
    """Rasterise layers (drawn in order) to rows of (r, g, b, a) bytes."""
    n = SUPERSAMPLE
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(n):
                y = py + (sy + 0.5) / n
                for sx in range(n):
                    x = px + (sx + 0.5) / n
                    colour = None
                    for inside, paint in layers:
                        if inside(x, y):
                            colour = paint(x, y)
                    if colour is not None:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1.0
            samples = float(n * n)
            alpha = acc[3] / samples
            if alpha <= 0.0:
                row.append((0, 0, 0, 0))
                continue
            # Store straight (non-premultiplied) colour, as icons expect.
            r, g, b = (int(round(acc[i] / acc[3])) for i in range(3))
            row.append((r, g, b, int(round(alpha * 255))))
        rows.append(row)
    return rows


def icon_image(rows):
    """One image entry: a PNG of 8-bit RGBA."""
    size = len(rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_ico(path, images):
    """images: list of row grids, written smallest first."""
    images = sorted(images, key=len)
    blobs = [icon_image(rows) for rows in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(blobs)))
    offset = 6 + 16 * len(blobs)
    for rows, blob in zip(images, blobs):
        size = len(rows)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)


def running(size):
    return badge_layers(size, NIGHT) + moon_layers(size, NIGHT)


def paused(size):
    return (badge_layers(size, GREY) + moon_layers(size, GREY)
            + pause_layers(size))


def application(size):
    layers = badge_layers(size, NIGHT) + moon_layers(size, NIGHT, dx=-0.04)
    if size >= 32:
        layers += star_layers(size, NIGHT, [(0.71, 0.30, 0.075),
                                            (0.76, 0.62, 0.05),
                                            (0.58, 0.78, 0.035)])
    else:
        # One sparkle centred on a pixel, so it stays sharp.
        layers += star_layers(size, NIGHT, [(12.5 / 16, 4.5 / 16, 0.1)])
    return layers


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(os.path.dirname(here), "resources", "icons")
    folder = sys.argv[1] if len(sys.argv) > 1 else default
    os.makedirs(folder, exist_ok=True)
    plan = [("running.ico", running, (16, 20, 24, 32)),
            ("paused.ico", paused, (16, 20, 24, 32)),
            ("app.ico", application, (16, 32, 48))]
    for name, draw, sizes in plan:
        path = os.path.join(folder, name)
        write_ico(path, [render(s, draw(s)) for s in sizes])
        print("wrote", path)


if __name__ == "__main__":
    main()
