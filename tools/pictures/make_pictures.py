#!/usr/bin/env python3
"""Draws the installer's pictures and writes them as PNG and ICO files.

  Image1 picture   cloud128.png   128 x 128 RGBA: teal cloud, white downward arrow
  install button   rocket32.png    32 x 32 RGBA: grey line drawing of a rocket
  (200 %)          cloud256.png, rocket64.png: the same two drawn at twice the size, for
                                   displays scaled above 100 %
  MAINICON         mainicon.ico    ten images of the cloud (32-bit with alpha, PNG from 48 up, and 8-bit
                                   with a palette and AND mask)

Everything is computed here, with the standard library only, so the same script gives the
same bytes on every machine: shapes are signed-distance functions in a unit square, each
pixel is the average of a grid of samples where it straddles an edge, and the encoders are
written out below.

Usage: make_pictures.py [--out DIR] [--check]
  --out DIR  where to write (default: src/app/res of this repository)
  --check    compare with the files in DIR instead of writing; exit 1 on a difference
"""

import argparse
import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------------------
# Signed distance functions (negative inside), in unit-square coordinates, y downwards.


def sd_circle(x, y, cx, cy, r):
    return math.hypot(x - cx, y - cy) - r


def sd_round_rect(x, y, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def dist_segment(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    if length2 == 0:
        return math.hypot(x - ax, y - ay)
    t = ((x - ax) * dx + (y - ay) * dy) / length2
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def sd_polygon(x, y, pts):
    d = float("inf")
    inside = False
    n = len(pts)
    for i in range(n):
        ax, ay = pts[i]
        bx, by = pts[(i + 1) % n]
        d = min(d, dist_segment(x, y, ax, ay, bx, by))
        if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
            inside = not inside
    return -d if inside else d


def mix(c0, c1, t):
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def hex_rgb(text):
    v = int(text.lstrip("#"), 16)
    return ((v >> 16) & 255, (v >> 8) & 255, v & 255)


# ---------------------------------------------------------------------------------------
# Rendering: a scene is a function (x, y, px) -> list of (distance, colour, opacity) layers,
# painted bottom to top; px is the size of one pixel in unit coordinates. Where a pixel
# centre lies further than one pixel from every edge its colour is final; elsewhere the
# pixel is the mean of grid samples.


def render(size, scene, grid):
    px = 1.0 / size
    out = bytearray(size * size * 4)
    offsets = [(i + 0.5) / grid - 0.5 for i in range(grid)]
    for j in range(size):
        for i in range(size):
            cx, cy = (i + 0.5) * px, (j + 0.5) * px
            layers = scene(cx, cy, px)
            near = any(abs(d) < 0.75 * px for d, _, _ in layers)
            samples = [(cx, cy, layers)] if not near else [
                (cx + ox * px, cy + oy * px, None) for oy in offsets for ox in offsets]
            acc = [0.0, 0.0, 0.0, 0.0]
            for sx, sy, ls in samples:
                if ls is None:
                    ls = scene(sx, sy, px)
                r = g = b = a = 0.0
                for d, colour, opacity in ls:
                    if d < 0 and opacity > 0:
                        # "over" in premultiplied form
                        r = colour[0] * opacity + r * (1 - opacity)
                        g = colour[1] * opacity + g * (1 - opacity)
                        b = colour[2] * opacity + b * (1 - opacity)
                        a = opacity + a * (1 - opacity)
                acc[0] += r
                acc[1] += g
                acc[2] += b
                acc[3] += a
            n = len(samples)
            alpha = acc[3] / n
            k = (j * size + i) * 4
            if alpha <= 0:
                continue
            for c in range(3):
                out[k + c] = min(255, max(0, round(acc[c] / n / alpha)))
            out[k + 3] = min(255, max(0, round(alpha * 255)))
    return bytes(out)


# ---------------------------------------------------------------------------------------
# The cloud with its arrow (Image1 and the application icon).

CLOUD_TOP = hex_rgb("#58D3C7")
CLOUD_BOTTOM = hex_rgb("#0C8790")
CLOUD_RIM = hex_rgb("#0A6F77")
ARROW = (255, 255, 255)
ARROW_SHADOW = hex_rgb("#075A61")


def smooth_min(a, b, k):
    """Union of two distance fields with the seam filled by a fillet of about k."""
    h = max(k - abs(a - b), 0.0) / k
    return min(a, b) - h * h * k / 4


def cloud_distance(x, y):
    d = sd_round_rect(x, y, 0.110, 0.545, 0.890, 0.785, 0.120)
    d = smooth_min(d, sd_circle(x, y, 0.330, 0.535, 0.150), 0.025)
    d = smooth_min(d, sd_circle(x, y, 0.725, 0.555, 0.140), 0.025)
    return smooth_min(d, sd_circle(x, y, 0.530, 0.435, 0.215), 0.025)


def arrow_polygon(heavy):
    # Heavier strokes at small sizes, where a thin shaft would vanish.
    half_shaft = 0.062 if heavy else 0.050
    half_head = 0.165 if heavy else 0.145
    top, neck, tip = 0.400, 0.570, 0.720
    return [(0.5 - half_shaft, top), (0.5 + half_shaft, top), (0.5 + half_shaft, neck),
            (0.5 + half_head, neck), (0.5, tip), (0.5 - half_head, neck),
            (0.5 - half_shaft, neck)]


def cloud_scene(size, zoom=1.0):
    """zoom > 1 enlarges the drawing about the centre (icons use the whole square)."""
    heavy = size <= 32
    arrow = arrow_polygon(heavy)
    corner = 0.012  # rounds the arrow's corners a little
    rim = max(1.0 / size / zoom, 0.014)
    shadow_dy = max(1.0 / size / zoom, 0.016)

    def scene(x, y, px):
        x, y = 0.5 + (x - 0.5) / zoom, 0.5 + (y - 0.5) / zoom
        d_cloud = cloud_distance(x, y)
        # the cloud's own gradient, lighter at the top, with a faint sheen on the upper left
        t = (y - 0.22) / (0.785 - 0.22)
        body = mix(CLOUD_TOP, CLOUD_BOTTOM, t)
        sheen = max(0.0, 1.0 - math.hypot(x - 0.42, y - 0.30) / 0.32)
        body = mix(body, (255, 255, 255), 0.22 * sheen * sheen)
        d_arrow = sd_polygon(x, y, arrow) - corner
        d_shadow = max(sd_polygon(x, y - shadow_dy, arrow) - corner, d_cloud)
        return [
            (d_cloud * zoom, body, 1.0),
            (max(d_cloud, -(d_cloud + rim)) * zoom, CLOUD_RIM, 0.55),
            (d_shadow * zoom, ARROW_SHADOW, 0.35),
            (d_arrow * zoom, ARROW, 1.0),
        ]
    return scene


# ---------------------------------------------------------------------------------------
# The rocket of the install button: strokes only, pointing to the upper right.

ROCKET_INK = hex_rgb("#4A4A4A")


def bezier(p0, p1, p2, p3, steps):
    pts = []
    for k in range(steps + 1):
        t = k / steps
        u = 1 - t
        pts.append((u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0],
                    u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1]))
    return pts


def rocket_strokes():
    """Polylines of the upright rocket in unit coordinates."""
    nose = (0.5, 0.04)
    left = bezier(nose, (0.38, 0.14), (0.35, 0.34), (0.385, 0.66), 12)
    right = [(1 - px, py) for px, py in left]
    body = left + list(reversed(right))
    fin_left = [(0.37, 0.46), (0.23, 0.60), (0.23, 0.74), (0.385, 0.64)]
    fin_right = [(1 - px, py) for px, py in fin_left]
    flames = [[(0.5, 0.74), (0.5, 0.94)], [(0.42, 0.74), (0.40, 0.84)], [(0.58, 0.74), (0.60, 0.84)]]
    window = [(0.5 + 0.07 * math.cos(a * math.pi / 12), 0.33 + 0.07 * math.sin(a * math.pi / 12))
              for a in range(25)]
    return [body, fin_left, fin_right, window] + flames


def rocket_scene():
    angle = math.radians(45)
    ca, sa = math.cos(angle), math.sin(angle)
    segments = []
    for line in rocket_strokes():
        pts = []
        for px, py in line:
            # turn clockwise about the centre; the diagonal leaves room to enlarge it
            dx, dy = (px - 0.5) * 1.12, (py - 0.5) * 1.12
            pts.append((0.5 + dx * ca - dy * sa, 0.5 + dx * sa + dy * ca))
        segments += [(pts[k], pts[k + 1]) for k in range(len(pts) - 1)]
    half_width = 0.027

    def scene(x, y, px):
        d = min(dist_segment(x, y, a[0], a[1], b[0], b[1]) for a, b in segments)
        return [(d - half_width, ROCKET_INK, 1.0)]
    return scene


# ---------------------------------------------------------------------------------------
# PNG


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filter_rows(rgba, width, height):
    """Per row, the filter with the smallest sum of absolute (signed) bytes."""
    stride = width * 4
    out = bytearray()
    prev = bytes(stride)
    for y in range(height):
        row = rgba[y * stride:(y + 1) * stride]
        best = None
        for ftype in range(5):
            f = bytearray(stride)
            for i in range(stride):
                a = row[i - 4] if i >= 4 else 0
                b = prev[i]
                c = prev[i - 4] if i >= 4 else 0
                pred = (0, a, b, (a + b) // 2, paeth(a, b, c))[ftype]
                f[i] = (row[i] - pred) & 255
            score = sum(v if v < 128 else 256 - v for v in f)
            if best is None or score < best[0]:
                best = (score, ftype, f)
        out.append(best[1])
        out += best[2]
        prev = row
    return bytes(out)


def encode_png(rgba, width, height):
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    data = zlib.compress(filter_rows(rgba, width, height), 9)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", data)
            + png_chunk(b"IEND", b""))


# ---------------------------------------------------------------------------------------
# ICO


def and_mask(alpha_of, width, height):
    """1 = transparent; bottom-up rows padded to 32 bits."""
    row_bytes = ((width + 31) // 32) * 4
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(width):
            if alpha_of(x, y) < 128:
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return bytes(out)


def dib_header(width, height, bits, colours):
    # the height counts the colour rows and the mask rows together
    return struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, 0, 0, 0, colours, 0)


def ico_image_32(rgba, size):
    pixels = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            k = (y * size + x) * 4
            r, g, b, a = rgba[k:k + 4]
            pixels += bytes((b, g, r, a))
    mask = and_mask(lambda x, y: rgba[(y * size + x) * 4 + 3], size, size)
    return dib_header(size, size, 32, 0) + bytes(pixels) + mask


def median_cut(colours, limit):
    """Palette of at most limit colours for the given (colour -> count) table; deterministic."""
    boxes = [sorted(colours.items())]
    while len(boxes) < limit:
        # split the box with the widest channel range (ties: the first one)
        best = None
        for index, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                lo = min(c[0][ch] for c in box)
                hi = max(c[0][ch] for c in box)
                if best is None or hi - lo > best[0]:
                    best = (hi - lo, index, ch)
        if best is None or best[0] == 0:
            break
        _, index, ch = best
        box = sorted(boxes[index], key=lambda c: (c[0][ch], c[0]))
        total = sum(n for _, n in box)
        run = 0
        cut = 1
        for k, (_, n) in enumerate(box[:-1]):
            run += n
            cut = k + 1
            if run * 2 >= total:
                break
        boxes[index:index + 1] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(round(sum(c[ch] * n for c, n in box) / total) for ch in range(3)))
    return palette


def ico_image_8(rgba, size):
    """A palette image: the mask takes the half-transparent edge, the colours stay unblended."""
    counts = {}
    for k in range(0, len(rgba), 4):
        if rgba[k + 3] >= 128:
            c = tuple(rgba[k:k + 3])
            counts[c] = counts.get(c, 0) + 1
    palette = [(0, 0, 0)] + median_cut(counts, 255) if counts else [(0, 0, 0)]
    cache = {}

    def nearest(c):
        if c not in cache:
            cache[c] = min(range(1, len(palette)),
                           key=lambda i: (sum((p - q) ** 2 for p, q in zip(palette[i], c)), i))
        return cache[c]

    row_bytes = (size + 3) & ~3
    pixels = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(size):
            k = (y * size + x) * 4
            if rgba[k + 3] >= 128:
                row[x] = nearest(tuple(rgba[k:k + 3]))
        pixels += row
    table = bytearray()
    for r, g, b in palette + [(0, 0, 0)] * (256 - len(palette)):
        table += bytes((b, g, r, 0))
    mask = and_mask(lambda x, y: rgba[(y * size + x) * 4 + 3], size, size)
    return dib_header(size, size, 8, 256) + bytes(table) + bytes(pixels) + mask


def encode_ico(images):
    """images: list of (size, bits, data) in directory order."""
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = len(head) + 16 * len(images)
    entries = b""
    body = b""
    for size, bits, data in images:
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, bits, len(data), offset + len(body))
        body += data
    return head + entries + body


# ---------------------------------------------------------------------------------------


# The cloud spans 0.11..0.89 of the square; an icon should fill it.
ICON_ZOOM = 1.2


def grid_for(size):
    return 8 if size <= 48 else 6 if size <= 128 else 4


def build():
    files = {}
    cloud = render(128, cloud_scene(128), grid_for(128))
    files["cloud128.png"] = encode_png(cloud, 128, 128)
    rocket = render(32, rocket_scene(), 8)
    files["rocket32.png"] = encode_png(rocket, 32, 32)
    # The same drawings at 200 %, drawn at that size rather than enlarged (the sampling grid
    # is halved along each side so that each file costs about the same to draw).
    cloud2x = render(256, cloud_scene(256), grid_for(256))
    files["cloud256.png"] = encode_png(cloud2x, 256, 256)
    rocket2x = render(64, rocket_scene(), 4)
    files["rocket64.png"] = encode_png(rocket2x, 64, 64)

    icon = {size: render(size, cloud_scene(size, ICON_ZOOM), grid_for(size)) for size in (16, 24, 32, 48, 64, 256)}
    images = []
    for size in (256, 64, 48, 32, 24, 16):
        # The large images as PNG, which the icon loader of every system the manifest names
        # reads; uncompressed they would cost a program held under 1 MiB some 25 KB.
        if size >= 48:
            images.append((size, 32, encode_png(icon[size], size, size)))
        else:
            images.append((size, 32, ico_image_32(icon[size], size)))
    for size in (48, 32, 24, 16):
        images.append((size, 8, ico_image_8(icon[size], size)))
    files["mainicon.ico"] = encode_ico(images)
    return files


def main():
    root = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(root, "src", "app", "res"))
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()

    files = build()
    if args.check:
        stale = []
        for name, data in sorted(files.items()):
            path = os.path.join(args.out, name)
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                stale.append(path)
        for path in stale:
            print("differs from the generator: " + path, file=sys.stderr)
        return 1 if stale else 0
    os.makedirs(args.out, exist_ok=True)
    for name, data in sorted(files.items()):
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(data)
        print("%s (%d bytes)" % (os.path.join(args.out, name), len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
