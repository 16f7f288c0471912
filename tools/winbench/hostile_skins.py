#!/usr/bin/env python3
"""Writes a folder of broken and hostile skin files, one per kind of abuse that a skin author
or a curious user can point Skin Preview at, each named after what it must do:

    refused-*   the skin is not used: every window keeps the system's look, and a message says why
    loads-*     the skin is used, and loading and painting stay quick and small
    caption-*   the skin is used, but its caption cannot serve: windows keep their system frame

Usage: hostile_skins.py OUTDIR [--skintool PATH]

The skins are built at run time from the installer's own skin (skins/quenrix-blue), with
their INI text edited and pictures added, and packed with skintool (the host build's, found
under build/*/host-tools unless --skintool names one). Nothing here is random.
"""
import argparse
import glob
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
MAKE_SKIN = os.path.join(ROOT, "skins", "quenrix-blue", "make_skin.py")
INI_NAME = "quenrix-blue.ini"
HUGE_NEGATIVE = "-2147483647"
HUGE = "2147483647"


def bmp(width, height, bits, fill):
    """A bottom-up bitmap file of one colour index (bits 1, 4 or 8) or one RGB colour (24)."""
    stride = (width * bits + 31) // 32 * 4
    if bits == 24:
        row = bytes(fill) * width + b"\0" * (stride - 3 * width)
        palette = b""
    else:
        colours = 1 << bits
        palette = b"".join(struct.pack("<BBBB", i * 255 // (colours - 1), 0x80, 0xFF - i * 255 // (colours - 1), 0)
                           for i in range(colours))
        row = bytes([fill]) * stride
    offset = 14 + 40 + len(palette)
    data = row * height
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835, 0, 0)
    return header + info + palette + data


def find_skintool():
    found = sorted(glob.glob(os.path.join(ROOT, "build", "*", "host-tools", "skintool", "skintool")))
    found += sorted(glob.glob(os.path.join(ROOT, "build", "native", "tools", "skintool", "skintool")))
    if not found:
        sys.exit("hostile_skins: no skintool; build a preset first or pass --skintool")
    return found[0]


class Skins:
    def __init__(self, out, skintool):
        self.out = out
        self.skintool = skintool
        self.work = tempfile.mkdtemp(prefix="hostile-skins-")
        self.base = os.path.join(self.work, "skin")
        subprocess.run([sys.executable, MAKE_SKIN, self.base], check=True, stdout=subprocess.DEVNULL)
        # The archive is packed from the INI's own names, not the generator's fixed order.
        os.remove(os.path.join(self.base, "order.txt"))
        with open(os.path.join(self.base, INI_NAME), encoding="latin-1") as f:
            self.ini = f.read()
        self.good = self.pack("base", self.ini)

    def close(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def pack(self, name, ini, pictures=None):
        """Packs ini with the pictures it names: the base skin's and the given ones."""
        folder = os.path.join(self.work, name)
        shutil.copytree(self.base, folder)
        for picture, data in (pictures or {}).items():
            with open(os.path.join(folder, picture), "wb") as f:
                f.write(data)
        with open(os.path.join(folder, INI_NAME), "w", encoding="latin-1", newline="\r\n") as f:
            f.write(ini)
        target = os.path.join(self.work, name + ".skin")
        subprocess.run([self.skintool, "pack", folder, target], check=True)
        shutil.rmtree(folder)
        return target

    def write(self, name, data):
        with open(os.path.join(self.out, name + ".skin"), "wb") as f:
            f.write(data)

    def skin(self, name, ini, pictures=None):
        packed = self.pack(name, ini, pictures)
        shutil.move(packed, os.path.join(self.out, name + ".skin"))

    def plain_archive(self, plain, name):
        """Compresses a plain archive given as bytes."""
        raw = os.path.join(self.work, name + ".plain")
        with open(raw, "wb") as f:
            f.write(plain)
        subprocess.run([self.skintool, "compress", raw, os.path.join(self.out, name + ".skin")], check=True)
        os.remove(raw)

    def good_plain(self):
        raw = os.path.join(self.work, "good.plain")
        subprocess.run([self.skintool, "decompress", self.good, raw], check=True)
        with open(raw, "rb") as f:
            return f.read()


def edit(ini, section, changes):
    """The INI with keys of one section replaced or added (changes: key -> value)."""
    lines = ini.split("\n")
    out, inside, seen = [], False, set()
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("[") and stripped.endswith("]"):
            if inside:
                out.extend(f"{k}={v}" for k, v in changes.items() if k.lower() not in seen)
            inside = stripped[1:-1].lower() == section.lower()
        elif inside and "=" in stripped:
            key = stripped.split("=", 1)[0].strip()
            if key.lower() in {k.lower() for k in changes}:
                value = next(v for k, v in changes.items() if k.lower() == key.lower())
                out.append(f"{key}={value}")
                seen.add(key.lower())
                continue
        out.append(line)
    if inside:
        out.extend(f"{k}={v}" for k, v in changes.items() if k.lower() not in seen)
    return "\n".join(out)


def every_image_key(ini, picture):
    """Every key whose value names a bitmap now names picture."""
    out = []
    for line in ini.split("\n"):
        if "=" in line and line.split("=", 1)[1].strip().lower().endswith(".bmp"):
            line = line.split("=", 1)[0] + "=" + picture
        out.append(line)
    return "\n".join(out)


def every_section(ini, changes):
    sections = [l.strip()[1:-1] for l in ini.split("\n") if l.strip().startswith("[") and l.strip().endswith("]")]
    for s in sections:
        ini = edit(ini, s, changes)
    return ini


def checkered(width, height, frames=1, stacked=False, colour=(0xC0, 0x60, 0x20)):
    """A 24-bit picture whose every other pixel is the transparent key colour (magenta)."""
    w, h = (width, height * frames) if stacked else (width * frames, height)
    stride = (w * 3 + 3) // 4 * 4
    key, paint = bytes((0xFF, 0x00, 0xFF)), bytes(reversed(colour))
    rows = []
    for y in range(h):
        row = b"".join(paint if (x + y) % 2 else key for x in range(w))
        rows.append(row + b"\0" * (stride - 3 * w))
    data = b"".join(reversed(rows))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def split_archive(plain):
    """(header, names, entries) of a plain archive."""
    names_length = struct.unpack_from("<i", plain, 4)[0]
    names = plain[16:16 + names_length].decode("latin-1").split("\r\n")
    if names and names[-1] == "":
        names.pop()
    at = 16 + names_length
    sizes = struct.unpack_from(f"<{len(names)}i", plain, at)
    at += 4 * len(names)
    entries = []
    for size in sizes:
        entries.append(plain[at:at + size])
        at += size
    return plain[:16], names, entries


def join_archive(header, names, entries, sizes=None, names_text=None):
    text = names_text if names_text is not None else "".join(n + "\r\n" for n in names).encode("latin-1")
    sizes = sizes if sizes is not None else [len(e) for e in entries]
    return (header[:4] + struct.pack("<i", len(text)) + header[8:16] + text +
            struct.pack(f"<{len(sizes)}i", *sizes) + b"".join(entries))


def write_archive_edits(s):
    """Archives whose table of contents lies, or whose description is not what the engine reads."""
    header, names, entries = split_archive(s.good_plain())
    ini_at = next(i for i, n in enumerate(names) if n.endswith(".ini"))
    sizes = [len(e) for e in entries]
    over = list(sizes)
    over[0] += 4096
    s.plain_archive(join_archive(header, names, entries, over), "refused-sizes-too-large")
    under = list(sizes)
    under[0] = 0
    s.plain_archive(join_archive(header, names, entries, under), "refused-sizes-too-small")
    negative = list(sizes)
    negative[3] = -5
    s.plain_archive(join_archive(header, names, entries, negative), "refused-negative-size")
    text = bytearray("".join(n + "\r\n" for n in names).encode("latin-1"))
    text[text.index(b"tab.bmp") + 3] = 0
    s.plain_archive(join_archive(header, names, entries, names_text=bytes(text)), "refused-nul-in-entry-name")
    utf16 = list(entries)
    utf16[ini_at] = b"\xff\xfe" + entries[ini_at].decode("latin-1").encode("utf-16-le")
    s.plain_archive(join_archive(header, names, utf16), "refused-utf16-description")
    backup = names[ini_at] + ".bak"
    s.plain_archive(join_archive(header, [backup] + names, [bmp(4, 4, 24, (1, 2, 3))] + entries),
                    "refused-backup-description-first")
    bom = list(entries)
    bom[ini_at] = b"\xef\xbb\xbf" + entries[ini_at]
    s.plain_archive(join_archive(header, names, bom), "loads-byte-order-mark")


def write_frame_abuse(s, ini):
    """Frames that make too fine a region, or leave no caption to close and move the window by."""
    s.skin("loads-checkered-frame", edit(ini, "Personality", {"LeftFrame": "2", "RightFrame": "2", "TopFrame": "2",
                                                               "BottomFrame": "2"}),
           {"frameleft.bmp": checkered(40, 574, 2), "frameright.bmp": checkered(40, 574, 2),
            "frametop.bmp": checkered(793, 28, 2, True), "framebottom.bmp": checkered(793, 16, 2, True)})
    s.skin("caption-transparent", ini, {"frametop.bmp": bmp(793, 56, 24, (0xFF, 0x00, 0xFF))})
    s.skin("caption-1-pixel-high", ini, {"frametop.bmp": bmp(793, 2, 24, (0x20, 0x60, 0xC0))})
    s.skin("caption-close-button-far-away", edit(ini, "Button0", {"Xcoord": "100000", "Ycoord": "-4000"}))
    s.skin("caption-no-close-button", edit(ini, "Button0", {"Action": "2"}))
    dot = every_image_key(ini, "Dot.bmp")
    s.skin("caption-1x1-pictures", dot, {"dot.bmp": bmp(1, 1, 24, (0x20, 0x60, 0xC0))})
    s.skin("loads-menu-offset-2-31", edit(ini, "Personality", {"TileLeftMenu": "$80000000", "TileRightMenu": HUGE}))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("--skintool")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    s = Skins(args.out, args.skintool or find_skintool())
    try:
        ini = s.ini
        with open(s.good, "rb") as f:
            good = f.read()
        shutil.copy(s.good, os.path.join(args.out, "loads-own-skin.skin"))

        # Not a skin at all, or not a whole one.
        s.write("refused-empty", b"")
        s.write("refused-text", b"This is not a skin, only a few words of text.\r\n" * 20)
        s.write("refused-truncated", good[: len(good) // 2])
        plain = s.good_plain()
        s.plain_archive(struct.pack("<i", 19999) + plain[4:], "refused-older-version")
        # A file far past the archive's ceiling (sparse: it takes no room on the disk).
        with open(os.path.join(args.out, "refused-250mib-file.skin"), "wb") as f:
            f.truncate(250 * 1024 * 1024)
        # Archives of noise, which cannot be packed smaller and decode slowest, in an entry
        # nothing draws, beside the skin's own: just under the archive's ceiling, and far over.
        def noise(mib):
            return b"".join(hashlib.sha256(i.to_bytes(4, "little")).digest() for i in range(mib * 1024 * 1024 // 32))
        noisy = edit(ini, "TitlebarSkin", {"Noise": "Noise.bmp"})
        s.skin("loads-7mib-of-noise", noisy, {"noise.bmp": noise(7)})
        s.skin("refused-60mib-of-noise", noisy, {"noise.bmp": noise(60)})
        # A few bytes that declare a plain archive of just under 64 MiB.
        s.write("refused-64mib-claim", struct.pack("<i", 64 * 1024 * 1024 - 1) + b"\xff" * 16)
        # An INI that names no frame: the window keeps its own, its controls are skinned.
        s.skin("loads-no-frame", edit(ini, "Personality", {"Left": "", "Right": "", "Top": "", "Bottom": ""}))

        # The INI: many sections, many lines.
        buttons = "".join(f"\n[Button{100 + i}]\nButtonImage=CloseButton.bmp\nAction=5\nAlign=1\nXcoord={40 + i % 200}\n"
                          "Ycoord=6\n" for i in range(30000))
        s.skin("loads-30000-caption-buttons", ini + buttons)
        colours = "".join(f"\n[Colour{i}]\ncolor={i % 256} {(i // 256) % 256} 7\n" for i in range(60000))
        s.skin("loads-60000-colour-sections", ini + colours)
        # Beyond the archive's ceiling (refused before decoding), and within it but beyond the
        # description's.
        s.skin("refused-20-million-lines", ini + "\n[Filler]\n" + "a\n" * 20_000_000)
        s.skin("refused-2-million-lines", ini + "\n[Filler]\n" + "a\n" * 2_000_000)

        # Pictures: large, and named by many keys.
        s.skin("refused-8192-glyph", edit(ini, "Buttons", {"RadioButton": "Glyph.bmp", "RadioButtonFrame": "8"}),
               {"glyph.bmp": bmp(8192, 6144, 1, 0)})
        s.skin("caption-1600-picture-every-key", every_image_key(ini, "Big.bmp"), {"big.bmp": bmp(1600, 1600, 24, (0x2F, 0x97, 0xFF))})
        s.skin("refused-4096-picture-every-key", every_image_key(ini, "Big.bmp"),
               {"big.bmp": bmp(4096, 4096, 24, (0x2F, 0x97, 0xFF))})
        s.skin("refused-3000-picture-every-key", every_image_key(ini, "Big.bmp"), {"big.bmp": bmp(3000, 3000, 4, 3)})
        s.skin("loads-2800-glyph", edit(ini, "Buttons", {"RadioButton": "Glyph.bmp", "RadioButtonFrame": "1",
                                                         "CheckButton": "Glyph.bmp", "CheckButtonFrame": "1"}),
               {"glyph.bmp": bmp(2800, 2800, 1, 1)})

        # Numbers from the INI far outside any picture.
        margins = {"LeftWidth": HUGE_NEGATIVE, "TopHeight": HUGE_NEGATIVE, "RightWidth": HUGE_NEGATIVE,
                   "BottomHeight": HUGE_NEGATIVE, "Tile": "1"}
        s.skin("loads-negative-margins-tiled", every_section(ini, margins))
        s.skin("loads-huge-margins", every_section(ini, {"LeftWidth": HUGE, "TopHeight": HUGE, "RightWidth": HUGE,
                                                         "BottomHeight": HUGE}))
        s.skin("loads-huge-frame-counts", every_section(edit(ini, "Personality", {
            "LeftFrame": HUGE, "TopFrame": HUGE_NEGATIVE, "RightFrame": "0", "BottomFrame": HUGE}),
            {"Frame": HUGE, "RadioButtonFrame": HUGE, "CheckButtonFrame": HUGE_NEGATIVE}))
        s.skin("loads-huge-title-offsets", edit(ini, "Personality", {
            "TextShift": HUGE_NEGATIVE, "TextShiftVert": HUGE, "TextRightClip": HUGE_NEGATIVE, "TXTBackleft": HUGE,
            "TXTBackRight": HUGE, "TextBack": "MenuBackground.bmp", "LeftTopHeight": HUGE, "TopTopHeight": HUGE_NEGATIVE}))
        s.skin("loads-no-button-pictures", edit(ini, "Buttons", {"Bitmap": "", "CheckButton": "", "RadioButton": ""}))
        write_archive_edits(s)
        write_frame_abuse(s, ini)
    finally:
        s.close()


if __name__ == "__main__":
    main()
