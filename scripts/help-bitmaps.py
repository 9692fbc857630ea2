#!/usr/bin/env python3
"""Writes the BMP files whose printed form the help guide shows, and a PNG of each as it looks on
screen. The build turns every BMP into the printer's dots with `kestrel-cli logo preview`.

    help-bitmaps.py BMP_DIR PNG_DIR

BMP_DIR gets photo.bmp (24 bits), photo-palette.bmp (the same picture with a palette of 216
colours, so that it can be made in two colours), grey-ramp.bmp (8 bits, the 64 grey levels the dither
knows) and shop-sign.bmp (8 bits: black, red and the grey edge pixels of smooth drawing).
PNG_DIR gets NAME.png for each. Only the standard library is used, and the output is the same
on every run.
"""

import math
import os
import struct
import sys
import zlib


def write_bmp(path, width, height, pixel, palette=None):
    """pixel(x, y) gives (r, g, b), or a palette index when a palette is given; y = 0 is the top."""
    bits = 8 if palette else 24
    row_size = (width * bits + 31) // 32 * 4
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette) if palette else b""
    rows = []
    for y in range(height - 1, -1, -1):  # bottom row first
        if palette:
            row = bytes(pixel(x, y) for x in range(width))
        else:
            row = b"".join(bytes(reversed(pixel(x, y))) for x in range(width))
        rows.append(row + b"\0" * (row_size - len(row)))
    data = b"".join(rows)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835,
                       len(palette) if palette else 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + table + data)


def write_png(path, width, height, rgb):
    """rgb(x, y) gives (r, g, b); y = 0 is the top."""
    raw = b"".join(b"\0" + b"".join(bytes(rgb(x, y)) for x in range(width))
                   for y in range(height))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def clamp(v):
    return max(0, min(255, int(round(v))))


def photo(x, y, w=320, h=200):
    """A lit ball on a table in front of a sky: smooth shading like a photograph."""
    # Sky from blue at the top to pale near the horizon; a wooden table below it.
    horizon = h * 0.62
    if y < horizon:
        t = y / horizon
        base = (70 + 150 * t, 120 + 110 * t, 200 + 45 * t)
    else:
        t = (y - horizon) / (h - horizon)
        grain = 12 * math.sin(x * 0.09 + 3 * math.sin(y * 0.21))
        base = (150 - 50 * t + grain, 100 - 35 * t + grain * 0.7, 60 - 20 * t + grain * 0.4)
    # The ball's shadow on the table.
    cx, cy, r = w * 0.42, h * 0.50, h * 0.30
    sx, sy = (x - (cx + r * 0.35)) / (r * 1.1), (y - (horizon + r * 0.45)) / (r * 0.28)
    shade = 1.0 - 0.55 * max(0.0, 1.0 - math.hypot(sx, sy)) ** 0.8
    color = tuple(c * shade for c in base)
    # The ball: red, lit from the upper left, with a highlight.
    dx, dy = (x - cx) / r, (y - cy) / r
    d2 = dx * dx + dy * dy
    if d2 < 1.0:
        dz = math.sqrt(1.0 - d2)
        light = (-0.5, -0.6, 0.62)
        norm = math.sqrt(sum(c * c for c in light))
        lambert = max(0.0, (dx * light[0] + dy * light[1] + dz * light[2]) / norm)
        spec = lambert ** 40
        ball = (205 * (0.15 + 0.85 * lambert) + 255 * spec,
                40 * (0.15 + 0.85 * lambert) + 255 * spec,
                35 * (0.15 + 0.85 * lambert) + 255 * spec)
        edge = min(1.0, (1.0 - math.sqrt(d2)) * r)  # smooth edge over one pixel
        color = tuple(b * edge + c * (1 - edge) for b, c in zip(ball, color))
    # A sun in the sky.
    sun = math.hypot(x - w * 0.82, y - h * 0.18) / (h * 0.09)
    if sun < 1.6:
        glow = max(0.0, min(1.0, 1.6 - sun))
        color = tuple(c + (255 - c) * glow for c in color)
    return tuple(clamp(c) for c in color)


def palette_216():
    """The 6 x 6 x 6 colour cube."""
    return [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]


def cube_index(rgb):
    r, g, b = (round(c / 51) for c in rgb)
    return r * 36 + g * 6 + b


def shop_sign(x, y, w=240, h=96):
    """Palette index: 0 white, 1 black, 2 red, 3.. greys of the smooth edges."""
    # A red disc with a black ring; beside it three black bars, like the letters of a name.
    cx, cy, r = 48, h / 2, 38
    d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
    if d < r - 9:
        return 2
    if d < r:
        cover = min(1.0, r - d)  # anti-aliased outer edge: greys between black and white
        return 1 if cover >= 1.0 else 3 + int((1.0 - cover) * 11.99)
    for left in (104, 148, 192):
        if left <= x < left + 32 and 24 <= y < 72:
            inner = left + 8 <= x < left + 24 and 36 <= y < 60
            return 0 if inner and left != 148 else 1
    if 100 <= x < 228 and 80 <= y < 86:
        return 2  # a red underline
    return 0


SIGN_PALETTE = ([(255, 255, 255), (0, 0, 0), (220, 30, 30)] +
                [(v, v, v) for v in (round(i * 255 / 13) for i in range(1, 13))])


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    bmp_dir, png_dir = sys.argv[1], sys.argv[2]
    os.makedirs(bmp_dir, exist_ok=True)
    os.makedirs(png_dir, exist_ok=True)

    w, h = 320, 200
    pixels = [[photo(x, y) for x in range(w)] for y in range(h)]
    write_bmp(os.path.join(bmp_dir, "photo.bmp"), w, h, lambda x, y: pixels[y][x])
    write_png(os.path.join(png_dir, "photo.png"), w, h, lambda x, y: pixels[y][x])

    palette = palette_216()
    indexed = [[cube_index(p) for p in row] for row in pixels]
    write_bmp(os.path.join(bmp_dir, "photo-palette.bmp"), w, h, lambda x, y: indexed[y][x], palette)
    write_png(os.path.join(png_dir, "photo-palette.png"), w, h,
              lambda x, y: palette[indexed[y][x]])

    # 64 steps of grey, each 5 pixels wide: the grey level is (R + G + B) / 12, 0 to 63.
    greys = [(v, v, v) for v in range(256)]
    ramp = lambda x, y: min(255, (x // 5) * 4 + 2) if x < 315 else 255
    write_bmp(os.path.join(bmp_dir, "grey-ramp.bmp"), 320, 32, ramp, greys)
    write_png(os.path.join(png_dir, "grey-ramp.png"), 320, 32, lambda x, y: greys[ramp(x, y)])

    sw, sh = 240, 96
    write_bmp(os.path.join(bmp_dir, "shop-sign.bmp"), sw, sh, shop_sign, SIGN_PALETTE)
    write_png(os.path.join(png_dir, "shop-sign.png"), sw, sh,
              lambda x, y: SIGN_PALETTE[shop_sign(x, y)])


if __name__ == "__main__":
    main()
