#!/usr/bin/env python3
"""The committed pictures are what the generator draws, and have the shapes the program expects."""

import os
import struct
import sys
import unittest
import zlib

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "pictures"))
import make_pictures  # noqa: E402

RES = os.path.join(ROOT, "src", "app", "res")
FILES = make_pictures.build()


def read(name):
    with open(os.path.join(RES, name), "rb") as f:
        return f.read()


def decode_png(data):
    """Width, height and RGBA rows of an 8-bit RGBA PNG (all five filters)."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc, = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        assert zlib.crc32(kind + body) == crc, kind
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour_type = header[:4]
    assert (depth, colour_type) == (8, 6)
    raw = zlib.decompress(idat)
    stride = width * 4
    rows, prev = [], bytearray(stride)
    for y in range(height):
        ftype = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            line[i] = (line[i] + (0, a, b, (a + b) // 2, make_pictures.paeth(a, b, c))[ftype]) & 255
        rows.append(bytes(line))
        prev = line
    return width, height, rows


class CommittedFiles(unittest.TestCase):
    def test_match_the_generator_byte_for_byte(self):
        for name, data in FILES.items():
            self.assertEqual(read(name), data, name + " is stale: run tools/pictures/make_pictures.py")


class Cloud(unittest.TestCase):
    def test_is_a_128_square_with_transparent_corners_and_a_white_arrow(self):
        width, height, rows = decode_png(read("cloud128.png"))
        self.assertEqual((width, height), (128, 128))
        pixel = lambda x, y: rows[y][x * 4:x * 4 + 4]
        for x, y in ((0, 0), (127, 0), (0, 127), (127, 127), (64, 5)):
            self.assertEqual(pixel(x, y)[3], 0)
        self.assertEqual(pixel(64, 64), b"\xff\xff\xff\xff")  # the arrow's shaft
        r, g, b, a = pixel(25, 85)                               # the cloud's body
        self.assertEqual(a, 255)
        self.assertTrue(g > r + 60 and b > r + 60, (r, g, b))   # teal
        partial = sum(1 for row in rows for k in range(3, len(row), 4) if 0 < row[k] < 255)
        self.assertGreater(partial, 200)                         # anti-aliased edge


class Rocket(unittest.TestCase):
    def test_is_grey_ink_on_transparency(self):
        width, height, rows = decode_png(read("rocket32.png"))
        self.assertEqual((width, height), (32, 32))
        inked = [row[k:k + 4] for row in rows for k in range(0, len(row), 4) if row[k + 3]]
        self.assertGreater(len(inked), 100)
        for r, g, b, _ in inked:
            self.assertTrue(r == g == b and r < 128, (r, g, b))


class TwiceTheSize(unittest.TestCase):
    def test_each_200_percent_picture_is_the_same_drawing_at_twice_the_size(self):
        # Each 2 x 2 block of the large picture, averaged, is close to the small one's pixel:
        # the same shapes in the same places, not another drawing or a shifted one.
        for small_name, large_name in (("cloud128.png", "cloud256.png"), ("rocket32.png", "rocket64.png")):
            sw, sh, small = decode_png(read(small_name))
            lw, lh, large = decode_png(read(large_name))
            self.assertEqual((lw, lh), (2 * sw, 2 * sh), large_name)
            worst, total = 0, 0
            for y in range(sh):
                for x in range(sw):
                    for c in range(4):
                        block = sum(large[2 * y + dy][(2 * x + dx) * 4 + c] for dy in (0, 1) for dx in (0, 1)) / 4
                        d = abs(block - small[y][x * 4 + c])
                        worst, total = max(worst, d), total + d
            self.assertLess(total / (sw * sh * 4), 6, large_name + ": on average")
            self.assertLess(worst, 160, large_name + ": everywhere")


class Icon(unittest.TestCase):
    def test_directory_holds_the_ten_images(self):
        data = read("mainicon.ico")
        reserved, kind, count = struct.unpack("<HHH", data[:6])
        self.assertEqual((reserved, kind, count), (0, 1, 10))
        seen = []
        for k in range(count):
            w, h, colours, _, planes, bits, size, offset = struct.unpack(
                "<BBBBHHII", data[6 + 16 * k:22 + 16 * k])
            image = data[offset:offset + size]
            self.assertEqual(len(image), size)
            side = w or 256
            self.assertEqual((w, planes), (h, 1))
            if image[:4] == b"\x89PNG":
                self.assertEqual(decode_png(image)[:2], (side, side))
            else:
                hsize, iw, ih, _, ibits, _, _, _, _, used, _ = struct.unpack("<IiiHHIIiiII", image[:40])
                self.assertEqual((hsize, iw, ih, ibits), (40, side, 2 * side, bits))
                palette = 4 * used if bits == 8 else 0
                xor = ((side * bits + 31) // 32) * 4 * side
                mask = ((side + 31) // 32) * 4 * side
                self.assertEqual(size, 40 + palette + xor + mask)
            seen.append((side, bits))
        self.assertEqual(sorted(seen), sorted(
            [(256, 32), (64, 32), (48, 32), (32, 32), (24, 32), (16, 32),
             (48, 8), (32, 8), (24, 8), (16, 8)]))


if __name__ == "__main__":
    unittest.main()
