#!/usr/bin/env python3
"""Writes the generated seed files of the fuzz targets into tests/fuzz/seeds/<target>/.

Small real examples of each input: logo bitmaps of every accepted depth, compression and header
form, settings records, profiles, `settings set` arguments, serial line values, device URIs and a
queue file. The first byte of a settings or port seed picks the reader in its target. Run it again
after changing a target's selector; the files it writes are committed.
"""
import json
import pathlib
import struct

SEEDS = pathlib.Path(__file__).resolve().parent / "seeds"


def write(target, name, data):
    folder = SEEDS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data if isinstance(data, bytes) else data.encode())


# ---- logo bitmaps ----

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


def rle8(width, height):
    out = b""
    for y in range(height):
        out += bytes((width // 2, y * 16, width - width // 2, 255 - y))
        out += b"\x00\x00"
    return out[:-2] + b"\x00\x02\x01\x00" + b"\x00\x03\x01\x02\x03\x00" + b"\x00\x01"


def rle4(width, height):
    out = b""
    for y in range(height):
        out += bytes((width, 0x1F if y % 2 else 0xF1)) + b"\x00\x00"
    return out[:-2] + b"\x00\x04\x12\x34" + b"\x00\x01"


def logo_seeds():
    t = "fuzz_logo_bitmap"
    write(t, "1bit.bmp", bmp(24, 8, 1, rows(24, 8, 1, lambda x, y: 0xAA if y % 2 else 0x55),
                             b"\x00\x00\x00\x00\xff\xff\xff\x00"))
    write(t, "4bit.bmp", bmp(16, 8, 4, rows(16, 8, 4, lambda x, y: (x * 17 + y) & 0xFF), GREY4))
    write(t, "8bit.bmp", bmp(16, 8, 8, rows(16, 8, 8, lambda x, y: x * 16 + y), GREY256))
    write(t, "8bit-colours.bmp", bmp(8, 4, 8, rows(8, 4, 8, lambda x, y: (x + y) % 4), RGB))
    write(t, "24bit.bmp", bmp(16, 8, 24, rows(16, 8, 24, lambda x, y: (x * 37 + y * 11) & 0xFF)))
    write(t, "24bit-two-colour.bmp",
          bmp(8, 8, 24, rows(8, 8, 24, lambda x, y: (0, 255, 128)[(x + y) % 3])))
    write(t, "24bit-topdown.bmp",
          bmp(9, 5, 24, rows(9, 5, 24, lambda x, y: x * 9 + y), topdown=True))
    write(t, "24bit-v5.bmp", bmp(4, 4, 24, rows(4, 4, 24, lambda x, y: x * 60), header=124))
    write(t, "8bit-v4.bmp", bmp(8, 2, 8, rows(8, 2, 8, lambda x, y: x), GREY256[:64], header=108))
    write(t, "core-4bit.bmp", bmp(8, 4, 4, rows(8, 4, 4, lambda x, y: 0x0F),
                                  b"".join(GREY4[i:i + 3] for i in range(0, 64, 4)), header=12))
    write(t, "rle8.bmp", bmp(16, 6, 8, rle8(16, 6), GREY256, compression=1))
    write(t, "rle4.bmp", bmp(16, 6, 4, rle4(16, 6), GREY4, compression=2))
    write(t, "24bit-short.bmp", bmp(16, 8, 24, rows(16, 8, 24, lambda x, y: 200))[:200])


# ---- settings, profile, `settings set`, cut adjustment text ----

# The factory defaults of spec OVERSEA, mechanism STANDARD, and a record with other choices.
DEFAULTS = bytes([1, 0, 1, 0, 0, 0, 0, 1, 1, 0, 3, 6, 1, 0, 6, 6, 8, 0, 6, 2, 0,
                  0, 1, 1, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0])
CHANGED = bytes([0, 1, 0, 1, 1, 1, 1, 0, 0, 1, 2, 3, 4, 1, 12, 0, 10, 2, 2, 4, 1,
                 1, 0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 1, 1]) + struct.pack("<h", -25) + b"\x01\x00"


def settings_seeds():
    t = "fuzz_settings_profile"
    write(t, "settings-file-defaults", bytes([0x02]) + DEFAULTS)
    write(t, "settings-file-taiwan", bytes([0x0B]) + CHANGED)
    write(t, "settings-file-short", bytes([0x05]) + DEFAULTS[:20])
    write(t, "working-config-defaults", bytes([0x22]) + DEFAULTS)
    write(t, "working-config-kr500", bytes([0x35]) + CHANGED + b"trailing")
    write(t, "profile-oversea", b"\x40[SPEC]\nSPECKEY=OVERSEA\n")
    write(t, "profile-debug", b"\x40; test printer\n[SPEC]\r\nSPECKEY = QMRA\r\n[DEBUG]\r\n"
          b"DEBUGMODE=ON\r\nDEBUGMECH=BLKMK_FCUT\r\n")
    write(t, "profile-region", b"\x40[MECH]\nMECHSPEC=\"Taiwan\"\n[SPEC]\nSPECKEY=QDN ; comment\n")
    write(t, "settings-set-new", b"\x60Paper Width=58mm/32column\nBM Cut Adjustment=-2.5")
    write(t, "settings-set-existing", b"\x61 max speed = 11 \nFont=gothic\nBaudrate=9600BPS\n"
          b"BM Cut Adjustment=250.0 mm")
    write(t, "settings-set-refused", b"\x61Print Density=101%\nnot an assignment")
    write(t, "cut-text-typed", b"\x80\x03\x03-12.34")
    write(t, "cut-text-bad", b"\x80\x01\x05a1.-5")


# ---- serial line values, device URIs, queue files ----

QUEUES = """capture = jobs
; a comment
[KR-900 Serial]
driver = ZOT KR-900 Raster
port = serial:/dev/ttyS0?baud=9600+bits=8+parity=none+flow=soft
serial = 9600,n,8,1,x
jobs = 2
[USB]
name = KR-500 USB
driver = ZOT KR-500 Raster
port = kestrel-printer:/var/spool/kestrel/kr500
paused = yes
hold = yes
fail = write
[Other]
driver = Generic
kind = network
offline = on
"""


def port_seeds():
    t = "fuzz_port_config"
    for name, value in [("line-9600", "9600,n,8,1,x"), ("line-missing", ",,,"),
                        ("line-7e1", "19200,e,7,1,p"), ("line-shifted", "COM1:,4800,,o,7,1")]:
        write(t, name, "\x00" + value)
    for name, text in [
            ("uri-serial", "serial:/dev/ttyS0?baud=9600+bits=8+parity=none+flow=dtrdsr\n"
                           "19200,o,7,1,x"),
            ("uri-serial-amp", "serial:///dev/ttyUSB0?parity=even&flow=soft&stop=1\n2400,e,8,1,p"),
            ("uri-usb", "usb://ZOT/KR-900?serial=K9000001\n"),
            ("uri-virtual", "kestrel-printer:/var/spool/kestrel/a%20b/../kr900\nKR-900 Serial"),
            ("uri-virtual-host", "kestrel-printer://localhost/tmp/kr\n../q"),
            ("uri-socket", "socket://10.0.0.5:9100\n")]:
        write(t, name, "\x01" + text)
    write(t, "queues", "\x02" + QUEUES)
    write(t, "queues-one", "\x02[Q]\r\nport=serial:/dev/ttyS1\r\nkind = serial\r\n")


# ---- virtual printer states: variants of the state file the printer itself wrote ----

def state_seeds():
    t = "fuzz_printer_state"
    state = json.loads((SEEDS / t / "with-logo.json").read_text())
    state["graphics"] = []
    write(t, "factory.json", json.dumps(state, indent=2) + "\n")
    state["userSetupMode"] = True
    state["settings"]["serial"] = {"baud": 9600, "dataBits": 7, "parity": "even",
                                   "flow": "XON/XOFF"}
    write(t, "setup-mode.json", json.dumps(state, indent=2) + "\n")


if __name__ == "__main__":
    logo_seeds()
    settings_seeds()
    port_seeds()
    state_seeds()
