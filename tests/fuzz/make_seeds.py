#!/usr/bin/env python3
"""Writes the binary seed files of the fuzz targets into tests/fuzz/seeds/<target>/.

Logo bitmaps of every accepted depth, compression and header form, and settings records. The
first byte of a settings seed picks the reader and the printer in fuzz_settings_profile: run this
again after changing that selector. The text seeds (profiles, `settings set` arguments, serial
line values, device URIs, queue files, state files) are committed as they are written by hand.
"""
import pathlib
import struct

SEEDS = pathlib.Path(__file__).resolve().parent / "seeds"


def bmp(width, height, bpp, pixels, palette=b"", compression=0, header=40, topdown=False):
    offset = 14 + header + len(palette)
    if header == 12:  # core header: 16-bit sizes, 3-byte palette entries
        info = struct.pack("<IHHHH", 12, width, height, 1, bpp)
    else:
        info = struct.pack("<IiiHHIIiiII", header, width, -height if topdown else height, 1, bpp,
                           compression, len(pixels), 2835, 2835, len(palette) // 4, 0)
        info += bytes(header - 40)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + palette + pixels


def rows(width, height, bpp, value):
    stride = (width * bpp + 31) // 32 * 4
    return b"".join(bytes(value(x, y) & 0xFF for x in range(stride)) for y in range(height))


GREY4 = b"".join(bytes((v, v, v, 0)) for v in range(0, 256, 17))
GREY256 = b"".join(bytes((v, v, v, 0)) for v in range(256))
RGB = b"\x00\x00\x00\x00\xff\xff\xff\x00\x00\x00\xff\x00\x00\xff\x00\x00"
# Runs of two values a row, one delta, one absolute run, end of bitmap.
RLE8 = b"".join(bytes((8, y * 16, 8, 255 - y)) + b"\x00\x00" for y in range(6))[:-2] + \
    b"\x00\x02\x01\x00\x00\x03\x01\x02\x03\x00\x00\x01"
RLE4 = b"".join(bytes((16, 0x1F if y % 2 else 0xF1)) + b"\x00\x00" for y in range(6))[:-2] + \
    b"\x00\x04\x12\x34\x00\x01"

LOGOS = {
    "1bit.bmp": bmp(24, 8, 1, rows(24, 8, 1, lambda x, y: 0xAA if y % 2 else 0x55),
                    b"\x00\x00\x00\x00\xff\xff\xff\x00"),
    "4bit.bmp": bmp(16, 8, 4, rows(16, 8, 4, lambda x, y: x * 17 + y), GREY4),
    "8bit.bmp": bmp(16, 8, 8, rows(16, 8, 8, lambda x, y: x * 16 + y), GREY256),
    "8bit-colours.bmp": bmp(8, 4, 8, rows(8, 4, 8, lambda x, y: (x + y) % 4), RGB),
    "24bit.bmp": bmp(16, 8, 24, rows(16, 8, 24, lambda x, y: x * 37 + y * 11)),
    "24bit-two-colour.bmp": bmp(8, 8, 24, rows(8, 8, 24, lambda x, y: (0, 255, 128)[(x + y) % 3])),
    "24bit-topdown.bmp": bmp(9, 5, 24, rows(9, 5, 24, lambda x, y: x * 9 + y), topdown=True),
    "24bit-v5.bmp": bmp(4, 4, 24, rows(4, 4, 24, lambda x, y: x * 60), header=124),
    "8bit-v4.bmp": bmp(8, 2, 8, rows(8, 2, 8, lambda x, y: x), GREY256[:64], header=108),
    "core-4bit.bmp": bmp(8, 4, 4, rows(8, 4, 4, lambda x, y: 0x0F),
                         b"".join(GREY4[i:i + 3] for i in range(0, 64, 4)), header=12),
    "rle8.bmp": bmp(16, 6, 8, RLE8, GREY256, compression=1),
    "rle4.bmp": bmp(16, 6, 4, RLE4, GREY4, compression=2),
    "24bit-short.bmp": bmp(16, 8, 24, rows(16, 8, 24, lambda x, y: 200))[:200],
}

# The factory defaults of spec OVERSEA, mechanism STANDARD, and a record with other choices.
DEFAULTS = bytes([1, 0, 1, 0, 0, 0, 0, 1, 1, 0, 3, 6, 1, 0, 6, 6, 8, 0, 6, 2, 0,
                  0, 1, 1, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0])
CHANGED = bytes([0, 1, 0, 1, 1, 1, 1, 0, 0, 1, 2, 3, 4, 1, 12, 0, 10, 2, 2, 4, 1,
                 1, 0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 1, 1]) + struct.pack("<h", -25) + b"\x01\x00"
SETTINGS = {  # selector bits 5-7: 0 a settings file, 1 the working configuration
    "settings-file-defaults": b"\x02" + DEFAULTS,
    "settings-file-taiwan": b"\x0b" + CHANGED,
    "settings-file-short": b"\x05" + DEFAULTS[:20],
    "working-config-defaults": b"\x22" + DEFAULTS,
    "working-config-kr500": b"\x35" + CHANGED + b"trailing",
}

if __name__ == "__main__":
    for target, seeds in [("fuzz_logo_bitmap", LOGOS), ("fuzz_settings_profile", SETTINGS)]:
        (SEEDS / target).mkdir(parents=True, exist_ok=True)
        for name, data in seeds.items():
            (SEEDS / target / name).write_bytes(data)
