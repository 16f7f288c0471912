#!/usr/bin/env python3
"""skintool end to end: pack a small skin folder (by order.txt and by the INI's own order),
then list, extract, read INI values and decompress; bad input must fail with a message."""
import os
import struct
import subprocess
import sys
import tempfile

TOOL = sys.argv[1]
failures = []


def run(*args, ok=True):
    p = subprocess.run([TOOL, *args], capture_output=True)
    if ok and p.returncode != 0:
        failures.append(f"{args}: exit {p.returncode}: {p.stderr.decode(errors='replace')}")
    if not ok and (p.returncode == 0 or not p.stderr):
        failures.append(f"{args}: expected a failure with a message, got exit {p.returncode}")
    return p


def check(what, got, want):
    if got != want:
        failures.append(f"{what}: got {got!r}, want {want!r}")


def bmp(width, height, rgb):
    stride = (width * 3 + 3) & ~3
    row = bytes((rgb[2], rgb[1], rgb[0])) * width + b"\0" * (stride - width * 3)
    data = row * height
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 0, 0, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54) + info + data


with tempfile.TemporaryDirectory() as tmp:
    src = os.path.join(tmp, "skin")
    os.mkdir(src)
    files = {
        "Frame.bmp": bmp(30, 4, (47, 151, 255)),
        "check.bmp": bmp(13, 13, (255, 0, 255)),
        "Small.ini": b"; test\r\n[Personality]\r\nTop=Frame.bmp\r\n[Buttons]\r\nCheckButton=CHECK.bmp\r\n"
                     b"Again=frame.bmp\r\n[Colours]\r\nButtonFace = 244 244 244 \r\n",
    }
    for name, data in files.items():
        with open(os.path.join(src, name), "wb") as f:
            f.write(data)

    skin = os.path.join(tmp, "small.skin")
    run("pack", src, skin)
    listing = run("list", skin).stdout.decode()
    check("list without order.txt", listing,
          f"frame.bmp\t{len(files['Frame.bmp'])}\ncheck.bmp\t{len(files['check.bmp'])}\nsmall.ini\t{len(files['Small.ini'])}\n")

    out = os.path.join(tmp, "out.bmp")
    run("extract", skin, "FRAME.BMP", out)
    with open(out, "rb") as f:
        check("extracted bytes", f.read(), files["Frame.bmp"])
    check("ini value", run("ini", skin, "colours", "BUTTONFACE").stdout.decode(), "244 244 244\n")
    check("ini value 2", run("ini", skin, "Personality", "top").stdout.decode(), "Frame.bmp\n")

    plain = os.path.join(tmp, "plain.bin")
    run("decompress", skin, plain)
    with open(plain, "rb") as f:
        archive = f.read()
    check("archive version", struct.unpack("<i", archive[:4])[0], 20000)
    check("archive names", archive[16:16 + struct.unpack("<i", archive[4:8])[0]], b"frame.bmp\r\ncheck.bmp\r\nsmall.ini\r\n")

    with open(os.path.join(src, "order.txt"), "w") as f:
        f.write("Small.ini\ncheck.bmp\n\n# comment\nframe.bmp\n")
    run("pack", src, skin)
    check("list with order.txt", [l.split("\t")[0] for l in run("list", skin).stdout.decode().splitlines()],
          ["small.ini", "check.bmp", "frame.bmp"])

    # Failures: a message on stderr and a non-zero exit.
    run("extract", skin, "missing.bmp", out, ok=False)
    run("ini", skin, "Colours", "Nothing", ok=False)
    with open(os.path.join(tmp, "junk.skin"), "wb") as f:
        f.write(b"\x10\x00\x00\x00garbage")
    run("list", os.path.join(tmp, "junk.skin"), ok=False)
    run("list", os.path.join(tmp, "no-such.skin"), ok=False)
    with open(os.path.join(src, "order.txt"), "w") as f:
        f.write("absent.bmp\n")
    run("pack", src, skin, ok=False)
    run("frobnicate", ok=False)
    run(ok=False)

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("skintool round trip: ok")
