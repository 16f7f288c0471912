#!/usr/bin/env python3
"""Writes the skin engine's built-in bitmaps: the menu glyph strip ORVANEMENU (64 x 16,
1 bit, black glyphs on white, which is the mask colour), the track bar channels TRACK
(16 x 4) and TRACKVERT (4 x 16), and the media player's button glyphs (16 x 16, 4 bits,
grey 0x808080 the see-through colour): EN_, DI_ and CL_ (enabled, disabled, coloured) of
MPPLAY, MPPAUSE, MPSTOP, MPNEXT, MPPREV, MPSTEP, MPBACK, MPRECORD and MPEJECT.
Deterministic; the outputs are committed beside it.
Usage: make_resources.py [FOLDER]"""
import os
import struct
import sys


def bmp_file(width, height, bits, palette, rows):
    """rows: top row first; each row a bytes object of packed pixels without padding."""
    stride = (width * bits + 31) // 32 * 4
    data = b"".join(row.ljust(stride, b"\0") for row in reversed(rows))
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835, len(palette), 0)
    return header + info + table + data


def glyphs():
    """Four 16 x 16 menu glyphs: check mark, radio dot, submenu arrow, close cross."""
    cells = [[[0] * 16 for _ in range(16)] for _ in range(4)]
    check = cells[0]
    for x, y in [(4, 8), (5, 9), (6, 10), (7, 9), (8, 8), (9, 7), (10, 6), (11, 5)]:
        for d in range(3):
            check[y + d - 1][x] = 1
    dot = cells[1]
    for y in range(16):
        for x in range(16):
            if (x - 7.5) ** 2 + (y - 7.5) ** 2 <= 2.6 ** 2:
                dot[y][x] = 1
    arrow = cells[2]
    for i in range(4):
        for y in range(4 + i, 12 - i):
            arrow[y][6 + i] = 1
    cross = cells[3]
    for i in range(8):
        for x in (4 + i, 11 - i):
            cross[4 + i][x] = 1
            cross[4 + i][min(x + 1, 15) if x < 11 - i else x - 1] = 1
    rows = []
    for y in range(16):
        bits = []
        for c in cells:
            bits += [0 if c[y][x] else 1 for x in range(16)]  # index 1 is white
        rows.append(bytes(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, 64, 8)))
    return bmp_file(64, 16, 1, [(0, 0, 0), (255, 255, 255)], rows)


SHADOW, DARK, LIGHT, FACE = (160, 160, 160), (105, 105, 105), (255, 255, 255), (227, 227, 227)


# A sunken channel across its 4 pixels: shadow and dark on the upper (left) side, light below.
CHANNEL = [SHADOW, DARK, FACE, LIGHT]


def track():
    rows = [b"".join(bytes((b, g, r)) for (r, g, b) in [colour] * 16) for colour in CHANNEL]
    return bmp_file(16, 4, 24, [], rows)


def track_vert():
    row = b"".join(bytes((b, g, r)) for (r, g, b) in CHANNEL)
    return bmp_file(4, 16, 24, [], [row] * 16)


MEDIA_BUTTONS = ("MPPLAY", "MPPAUSE", "MPSTOP", "MPNEXT", "MPPREV", "MPSTEP", "MPBACK", "MPRECORD", "MPEJECT")
# Index 0 is the see-through grey; 1 the ink of the enabled, 2 of the disabled, 3 of the coloured.
MEDIA_PALETTE = [(128, 128, 128), (16, 16, 16), (176, 176, 176), (0, 128, 0)] + [(0, 0, 0)] * 12


def media_shape(name):
    """The set of (x, y) pixels of a 16 x 16 media glyph."""
    px = set()

    def box(l, t, r, b):
        px.update((x, y) for x in range(l, r) for y in range(t, b))

    def right(l, t, size):  # a triangle pointing right, its tip size pixels from l
        for i in range(size):
            px.update((l + i, y) for y in range(t + i, t + 2 * size - 1 - i))

    def left(r, t, size):
        for i in range(size):
            px.update((r - 1 - i, y) for y in range(t + i, t + 2 * size - 1 - i))

    if name == "MPPLAY":
        right(5, 3, 5)
    elif name == "MPPAUSE":
        box(4, 3, 7, 13)
        box(9, 3, 12, 13)
    elif name == "MPSTOP":
        box(4, 4, 12, 12)
    elif name == "MPNEXT":
        right(4, 4, 4)
        box(10, 4, 12, 11)
    elif name == "MPPREV":
        box(4, 4, 6, 11)
        left(12, 4, 4)
    elif name == "MPSTEP":
        right(2, 4, 4)
        right(8, 4, 4)
    elif name == "MPBACK":
        left(8, 4, 4)
        left(14, 4, 4)
    elif name == "MPRECORD":
        px.update((x, y) for x in range(16) for y in range(16) if (x - 7.5) ** 2 + (y - 7.5) ** 2 <= 4.2 ** 2)
    elif name == "MPEJECT":
        for i in range(5):
            px.update((x, 8 - i) for x in range(3 + i, 13 - i))
        box(3, 10, 13, 12)
    return px


def media_glyph(name, ink):
    shape = media_shape(name)
    rows = []
    for y in range(16):
        values = [ink if (x, y) in shape else 0 for x in range(16)]
        rows.append(bytes((values[i] << 4) | values[i + 1] for i in range(0, 16, 2)))
    return bmp_file(16, 16, 4, MEDIA_PALETTE, rows)


def outputs():
    yield "orvanemenu.bmp", glyphs()
    yield "track.bmp", track()
    yield "trackvert.bmp", track_vert()
    for name in MEDIA_BUTTONS:
        for prefix, ink in (("en", 1), ("di", 2), ("cl", 3)):
            yield f"{prefix}_{name.lower()}.bmp", media_glyph(name, ink)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, data in outputs():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
