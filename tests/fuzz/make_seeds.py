#!/usr/bin/env python3
"""Writes the committed seed corpora of the fuzz targets. Run it again after changing it:
    make_seeds.py PATH/TO/skintool
(the skin-archive seeds are compressed with the tool)."""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    path = os.path.join(HERE, target, "corpus", name)
    with open(path, "wb") as f:
        f.write(data)


def bmp(width, height, bits, pixels_row, palette=(), compression=0, masks=(), header=40):
    stride = ((width * bits + 31) // 32) * 4
    rows = b"".join(pixels_row(y).ljust(stride, b"\0") for y in range(abs(height)))
    pal = b"".join(struct.pack("<BBBB", c & 255, (c >> 8) & 255, c >> 16, 0) for c in palette)
    extra = b"".join(struct.pack("<I", m) for m in masks)
    if header == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
        pal = b"".join(struct.pack("<BBB", c & 255, (c >> 8) & 255, c >> 16) for c in palette)
    else:
        info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(rows), 0, 0, len(palette), 0)
    off = 14 + len(info) + len(extra) + len(pal)
    return struct.pack("<2sIHHI", b"BM", off + len(rows), 0, 0, off) + info + extra + pal + rows


def png(width, height, depth, colour, rows, chunks=(), level=9):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    head = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 0)
    body = b"".join(chunk(k, d) for k, d in chunks)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + body +
            chunk(b"IDAT", zlib.compress(b"".join(bytes([y % 5]) + rows(y) for y in range(height)), level)) +
            chunk(b"IEND", b""))


def archive(entries, version=20000):
    names = b"".join(n + b"\r\n" for n, _ in entries)
    out = struct.pack("<iiii", version, len(names), 0, 0) + names
    out += b"".join(struct.pack("<i", len(d)) for _, d in entries)
    return out + b"".join(d for _, d in entries)


def main(tool):
    small_ini = b"[Personality]\r\nTop=Frame.bmp\r\nTopFrame=2\r\n[Buttons]\r\nCheckButtonFrame=12\r\n[Colours]\r\nButtonFace=244 244 244\r\n"
    frame = bmp(4, 2, 24, lambda y: b"\xff\x97\x2f" * 4)
    plain = archive([(b"frame.bmp", frame), (b"small.ini", small_ini)])
    with tempfile.TemporaryDirectory() as tmp:
        for name, data in (("skin", plain), ("older", archive([(b"a.ini", b"[a]")], 19000))):
            src, dst = os.path.join(tmp, name), os.path.join(tmp, name + ".lzh")
            with open(src, "wb") as f:
                f.write(data)
            subprocess.run([tool, "compress", src, dst], check=True)
            with open(dst, "rb") as f:
                put("skin_archive", "compressed-" + name, b"\0" + f.read())
    put("skin_archive", "plain-skin", b"\1" + plain)
    put("skin_archive", "plain-duplicates", b"\1" + archive([(b"A.ini", b"[x]\ny=1"), (b"a.ini", b"[x]\ny=2"), (b"", b"")]))
    put("skin_archive", "plain-oversized", b"\1" + plain[:-10] + struct.pack("<i", 0x7FFFFFFF))
    put("skin_archive", "short-bits", b"\0" + struct.pack("<i", 600) + b"\xe6\xf3\xb9\xf1\x80\x20")

    put("skin_ini", "skin.ini", small_ini + b"; comment\r\n# Trans=1\r\n[ Padded ]\r\nx = 0x1F \r\ny=$FFFFFFFF\r\nz=\r\nz=2\r\n")
    put("skin_ini", "lf-nul.ini", b"[A]\nk=1\n[a]\nk=2\n[]\n=v\0[B]\nk=3\n")

    pal16 = [0x000000, 0xFF00FF, 0x2F97FF, 0xFFFFFF] + [0x111111 * i for i in range(1, 13)]
    put("bmp", "1bit.bmp", bmp(9, 3, 1, lambda y: bytes([0b10110010, 0b10000000]), pal16[:2]))
    put("bmp", "4bit.bmp", bmp(5, 2, 4, lambda y: bytes([0x01, 0x23, 0x40]), pal16))
    put("bmp", "8bit-topdown.bmp", bmp(3, -2, 8, lambda y: bytes([0, 1, 2]), pal16[:3]))
    put("bmp", "16bit-565.bmp", bmp(2, 2, 16, lambda y: b"\x1f\xf8\xe0\x07", (), 3, (0xF800, 0x07E0, 0x001F)))
    put("bmp", "24bit.bmp", frame)
    put("bmp", "32bit.bmp", bmp(2, 1, 32, lambda y: b"\xff\x00\xff\x00\x10\x20\x30\x00"))
    put("bmp", "core-8bit.bmp", bmp(2, 2, 8, lambda y: b"\x00\x01", pal16[:2], header=12))

    put("png", "palette-2bit.png", png(5, 3, 2, 3, lambda y: b"\x1b\x40", [(b"PLTE", b"\0\0\0\xff\0\xff\x20\x90\xff"), (b"tRNS", b"\x00\x80")]))
    put("png", "grey-16bit-key.png", png(2, 2, 16, 0, lambda y: b"\x12\x34\xff\x00", [(b"tRNS", b"\x12\x34")]))
    put("png", "grey-alpha.png", png(3, 2, 8, 4, lambda y: b"\x10\x80\x20\xff\x30\x00", level=0))
    put("png", "rgb-gamma.png", png(2, 2, 8, 2, lambda y: b"\x01\x02\x03\x04\x05\x06", [(b"gAMA", struct.pack(">I", 45455))]))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_seeds.py SKINTOOL")
    main(sys.argv[1])
