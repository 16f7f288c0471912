#!/usr/bin/env python3
"""Writes the installer's own skin, "quenrix-blue": its bitmaps (24-bit BMP, magenta
0xFF00FF marks transparent pixels), its INI description and the archive order.

Usage: make_skin.py OUTDIR

The output is a pure function of this script: no clock, no randomness, no host state.
A clean blue look around the installer's #2F97FF header and footer: blue caption and
frame, light faces, blue accents on buttons and glyphs.
"""
import os
import struct
import sys

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
BLUE = (0x2F, 0x97, 0xFF)          # the header/footer colour
BLUE_TOP = (0x5A, 0xAE, 0xFF)      # caption gradient, top
BLUE_DARK = (0x1B, 0x6F, 0xCC)
BLUE_DEEP = (0x12, 0x55, 0xA6)     # outer edge of the frame
BLUE_LIGHT = (0xA9, 0xD3, 0xFF)
BLUE_PALE = (0xE3, 0xF1, 0xFF)
FACE = (244, 244, 244)
INK = (0x1E, 0x2A, 0x38)
GREY = (0xA8, 0xB4, 0xC0)
GREY_LIGHT = (0xDD, 0xE3, 0xE9)
INACTIVE_TOP = (0xB4, 0xC9, 0xDE)
INACTIVE = (0x9C, 0xB6, 0xD1)
INACTIVE_DEEP = (0x7A, 0x93, 0xAE)
RED = (0xE0, 0x43, 0x3B)
RED_DARK = (0xB3, 0x2A, 0x24)

CAPTION = 28      # caption strip height (each of the two stacked frames of FrameTop)
EDGE = 4          # side and bottom frame width
FRAME_WIDTH = 793
FRAME_HEIGHT = 574


def mix(a, b, t):
    """Colour between a (t=0) and b (t=1), rounded the same way everywhere."""
    return tuple(int(a[i] + (b[i] - a[i]) * t + 0.5) for i in range(3))


class Image:
    def __init__(self, width, height, fill=MAGENTA):
        self.width = width
        self.height = height
        self.px = [[fill] * width for _ in range(height)]

    def set(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x]

    def fill(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.height, y1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.width, x1)):
                row[x] = c

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        h = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            self.fill(x0, y, x1, y + 1, mix(top, bottom, (y - y0) / h))

    def hgradient(self, x0, y0, x1, y1, left, right):
        w = max(1, x1 - x0 - 1)
        for x in range(x0, x1):
            self.fill(x, y0, x + 1, y1, mix(left, right, (x - x0) / w))

    def frame(self, x0, y0, x1, y1, c):
        self.fill(x0, y0, x1, y0 + 1, c)
        self.fill(x0, y1 - 1, x1, y1, c)
        self.fill(x0, y0, x0 + 1, y1, c)
        self.fill(x1 - 1, y0, x1, y1, c)

    def round_box(self, x0, y0, x1, y1, border, top, bottom, radius=2):
        """A box with a one-pixel border, a vertical gradient inside and transparent
        (magenta) corners cut at the given radius."""
        self.vgradient(x0 + 1, y0 + 1, x1 - 1, y1 - 1, top, bottom)
        self.frame(x0, y0, x1, y1, border)
        for i in range(radius):
            for j in range(radius - i):
                for (x, y) in ((x0 + j, y0 + i), (x1 - 1 - j, y0 + i), (x0 + j, y1 - 1 - i), (x1 - 1 - j, y1 - 1 - i)):
                    self.set(x, y, MAGENTA)
        if radius >= 2:
            for (x, y) in ((x0 + 1, y0 + 1), (x1 - 2, y0 + 1), (x0 + 1, y1 - 2), (x1 - 2, y1 - 2)):
                self.set(x, y, border)

    def disc(self, cx, cy, r, c):
        for y in range(self.height):
            for x in range(self.width):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def blit(self, other, dx, dy):
        for y in range(other.height):
            for x in range(other.width):
                self.set(dx + x, dy + y, other.px[y][x])

    def mirrored(self):
        out = Image(self.width, self.height)
        out.px = [list(reversed(row)) for row in self.px]
        return out

    def transposed(self):
        out = Image(self.height, self.width)
        out.px = [[self.px[x][y] for x in range(self.height)] for y in range(self.width)]
        return out

    def bmp(self):
        stride = (self.width * 3 + 3) & ~3
        pad = b"\0" * (stride - self.width * 3)
        rows = []
        for y in range(self.height - 1, -1, -1):   # bottom-up, as most bitmaps are stored
            rows.append(b"".join(bytes((b, g, r)) for (r, g, b) in self.px[y]) + pad)
        data = b"".join(rows)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
        return header + info + data


def strip(cells):
    """Cells of equal size side by side."""
    out = Image(cells[0].width * len(cells), cells[0].height)
    for i, cell in enumerate(cells):
        out.blit(cell, i * cell.width, 0)
    return out


def stack(cells):
    out = Image(cells[0].width, cells[0].height * len(cells))
    for i, cell in enumerate(cells):
        out.blit(cell, 0, i * cell.height)
    return out


def glyph(cell, points, c, dx=0, dy=0):
    for (x, y) in points:
        cell.set(x + dx, y + dy, c)


def arrow_points(direction, size=4):
    """A filled triangle pointing up, down, left or right, centred on (0, 0)."""
    pts = []
    for i in range(size):
        for j in range(-i, i + 1):
            if direction == "down":
                pts.append((j, size // 2 - i))
            elif direction == "up":
                pts.append((j, i - size // 2))
            elif direction == "right":
                pts.append((size // 2 - i, j))
            else:
                pts.append((i - size // 2, j))
    return pts


# --- window frame --------------------------------------------------------------------------

def caption_colour(y, active):
    top, bottom = (BLUE_TOP, BLUE) if active else (INACTIVE_TOP, INACTIVE)
    return mix(top, bottom, min(1.0, y / (CAPTION - 2)))  # the last row above the edge line is the pure blue


def frame_top():
    frames = []
    for active in (True, False):
        f = Image(FRAME_WIDTH, CAPTION)
        for y in range(CAPTION):
            f.fill(0, y, FRAME_WIDTH, y + 1, caption_colour(y, active))
        f.fill(0, 0, FRAME_WIDTH, 1, BLUE_DEEP if active else INACTIVE_DEEP)
        f.fill(0, 1, FRAME_WIDTH, 2, mix(WHITE, caption_colour(1, active), 0.55))
        f.fill(0, CAPTION - 1, FRAME_WIDTH, CAPTION, BLUE_DARK if active else INACTIVE_DEEP)
        frames.append(f)
    return stack(frames)


def frame_side(left):
    frames = []
    for active in (True, False):
        outer = BLUE_DEEP if active else INACTIVE_DEEP
        body = BLUE if active else INACTIVE
        inner = BLUE_DARK if active else INACTIVE_DEEP
        f = Image(EDGE, FRAME_HEIGHT)
        for y in range(FRAME_HEIGHT):
            if y < CAPTION:
                c = caption_colour(y, active)
                row = [outer, c, c, c]
                if y == 0:
                    row = [outer] * 4
                elif y == 1:
                    row = [outer] + [mix(WHITE, c, 0.55)] * 3
            else:
                row = [outer, body, body, inner]
            for x in range(EDGE):
                f.set(x, y, row[x])
        # Rounded top corner: the window region leaves these pixels out.
        for (x, y) in ((0, 0), (1, 0), (2, 0), (0, 1), (0, 2)):
            f.set(x, y, MAGENTA)
        f.set(1, 1, outer)
        f.set(3, 0, outer)
        f.set(0, 3, outer)
        frames.append(f if left else f.mirrored())
    return strip(frames)


def frame_bottom():
    frames = []
    for active in (True, False):
        f = Image(FRAME_WIDTH, EDGE)
        rows = [BLUE_DARK, BLUE, BLUE, BLUE_DEEP] if active else [INACTIVE_DEEP, INACTIVE, INACTIVE, INACTIVE_DEEP]
        for y, c in enumerate(rows):
            f.fill(0, y, FRAME_WIDTH, y + 1, c)
        frames.append(f)
    return stack(frames)


# --- caption buttons: six states (normal, pressed, hot, inactive, disabled, disabled inactive)

def caption_button(width, draw_glyph, hot_fill, pressed_fill):
    cells = []
    looks = [
        (None, WHITE),                            # normal: glyph on the caption
        (pressed_fill, WHITE),                    # pressed
        (hot_fill, WHITE),                        # hot
        (None, (0xF0, 0xF4, 0xF8)),               # inactive window
        (None, BLUE_LIGHT),                       # disabled
        (None, INACTIVE_TOP),                     # disabled, inactive window
    ]
    for fill, ink in looks:
        cell = Image(width, 16)
        if fill is not None:
            cell.round_box(0, 0, width, 16, mix(fill, BLUE_DEEP, 0.3), mix(fill, WHITE, 0.15), fill)
        draw_glyph(cell, ink)
        cells.append(cell)
    return strip(cells)


def close_glyph(cell, ink):
    cx = cell.width // 2
    for i in range(-4, 4):
        for t in (0, 1):
            cell.set(cx + i + t, 8 + i, ink)
            cell.set(cx - 1 - i + t, 8 + i, ink)


def max_glyph(cell, ink):
    cell.frame(4, 3, 13, 12, ink)
    cell.fill(4, 4, 13, 5, ink)


def min_glyph(cell, ink):
    cell.fill(4, 10, 12, 12, ink)


def restore_glyph(cell, ink):
    cell.frame(6, 3, 13, 9, ink)
    cell.fill(6, 4, 13, 5, ink)
    cell.fill(3, 6, 10, 12, cell.get(8, 14))  # the front window hides the back one
    cell.frame(3, 6, 10, 12, ink)
    cell.fill(3, 7, 10, 8, ink)


# --- control images ------------------------------------------------------------------------

def push_buttons():
    # 1 normal, 2 pressed, 3 disabled, 4 hot, 5 focused
    looks = [
        (BLUE_DARK, WHITE, (0xE4, 0xEE, 0xF9)),
        (BLUE_DEEP, (0xC4, 0xDF, 0xFB), (0xDA, 0xEB, 0xFD)),
        (GREY, FACE, (0xEA, 0xEA, 0xEA)),
        (BLUE, WHITE, BLUE_PALE),
        (BLUE, WHITE, (0xE4, 0xEE, 0xF9)),
    ]
    cells = []
    for i, (border, top, bottom) in enumerate(looks):
        cell = Image(76, 23)
        cell.round_box(0, 0, 76, 23, border, top, bottom, radius=3)
        if i == 4:
            cell.frame(1, 1, 75, 22, BLUE_LIGHT)
            for (x, y) in ((1, 1), (74, 1), (1, 21), (74, 21)):
                cell.set(x, y, border)
        cells.append(cell)
    return strip(cells)


def check_boxes():
    # 1-4 unchecked, 5-8 checked, 9-12 indeterminate; in each group normal, hot, pressed, disabled
    cells = []
    check = [(3, 6), (4, 7), (5, 8), (6, 7), (7, 6), (8, 5), (9, 4), (3, 7), (4, 8), (5, 9), (6, 8), (7, 7), (8, 6), (9, 5)]
    for mark in ("none", "check", "square"):
        for state in ("normal", "hot", "pressed", "disabled"):
            cell = Image(13, 13)
            border = {"normal": BLUE_DARK, "hot": BLUE, "pressed": BLUE_DEEP, "disabled": GREY}[state]
            top, bottom = {"normal": (WHITE, (0xE8, 0xF1, 0xFB)), "hot": (WHITE, BLUE_PALE),
                           "pressed": ((0xC4, 0xDF, 0xFB), BLUE_PALE), "disabled": (FACE, FACE)}[state]
            cell.round_box(0, 0, 13, 13, border, top, bottom, radius=1)
            ink = GREY if state == "disabled" else BLUE_DEEP
            if mark == "check":
                glyph(cell, check, ink)
            elif mark == "square":
                cell.fill(4, 4, 9, 9, GREY if state == "disabled" else BLUE)
            cells.append(cell)
    return strip(cells)


def radio_buttons():
    # 1-4 unchecked, 5-8 checked; in each group normal, hot, pressed, disabled
    cells = []
    for checked in (False, True):
        for state in ("normal", "hot", "pressed", "disabled"):
            cell = Image(13, 13)
            border = {"normal": BLUE_DARK, "hot": BLUE, "pressed": BLUE_DEEP, "disabled": GREY}[state]
            inside = {"normal": WHITE, "hot": BLUE_PALE, "pressed": (0xC4, 0xDF, 0xFB), "disabled": FACE}[state]
            cell.disc(6.5, 6.5, 6.4, border)
            cell.disc(6.5, 6.5, 5.3, inside)
            if checked:
                cell.disc(6.5, 6.5, 2.9, GREY if state == "disabled" else BLUE)
            cells.append(cell)
    return strip(cells)


def progress():
    trough = Image(16, 14)
    trough.round_box(0, 0, 16, 14, (0x9F, 0xBF, 0xE0), (0xF0, 0xF4, 0xF9), WHITE)
    bar = Image(16, 14)
    bar.round_box(0, 0, 16, 14, BLUE_DARK, BLUE_TOP, BLUE_DARK)
    bar.fill(2, 2, 14, 3, mix(WHITE, BLUE_TOP, 0.4))
    return strip([trough, bar])


def progress_chunk():
    chunk = Image(10, 12)
    chunk.vgradient(0, 0, 8, 12, BLUE_TOP, BLUE_DARK)
    chunk.fill(8, 0, 10, 12, MAGENTA)
    return chunk


def tabs():
    # 1 normal, 2 selected, 3 hot, 4 disabled, 5 focused
    looks = [(BLUE_LIGHT, (0xF2, 0xF7, 0xFD), (0xE2, 0xEC, 0xF7)), (BLUE, WHITE, WHITE),
             (BLUE, WHITE, BLUE_PALE), (GREY, FACE, FACE), (BLUE_DARK, WHITE, WHITE)]
    cells = []
    for border, top, bottom in looks:
        cell = Image(40, 22)
        cell.round_box(0, 0, 40, 24, border, top, bottom, radius=3)   # bottom edge runs off the cell
        cells.append(cell)
    return strip(cells)


def tab_sheet():
    pane = Image(32, 32, WHITE)
    pane.frame(0, 0, 32, 32, BLUE_LIGHT)
    return pane


def combo_button():
    # 1 normal, 2 hot, 3 pressed, 4 disabled
    looks = [(BLUE_LIGHT, WHITE, (0xE4, 0xEE, 0xF9)), (BLUE, WHITE, BLUE_PALE),
             (BLUE_DARK, (0xC4, 0xDF, 0xFB), BLUE_PALE), (GREY, FACE, FACE)]
    cells = []
    for border, top, bottom in looks:
        cell = Image(18, 21)
        cell.round_box(0, 0, 18, 21, border, top, bottom)
        cells.append(cell)
    return strip(cells)


def status_bar():
    # 1 lowered, 2 raised, 3 flat
    cells = []
    for look in ("lowered", "raised", "flat"):
        cell = Image(16, 16, FACE)
        if look != "flat":
            dark, light = ((0xB0, 0xC4, 0xD8), WHITE) if look == "lowered" else (WHITE, (0xB0, 0xC4, 0xD8))
            cell.fill(0, 0, 16, 1, dark)
            cell.fill(0, 0, 1, 16, dark)
            cell.fill(0, 15, 16, 16, light)
            cell.fill(15, 0, 16, 16, light)
        cells.append(cell)
    return strip(cells)


def header():
    # 1 normal, 2 hot, 3 pressed, 4 disabled, 5 sorted
    looks = [((0xFA, 0xFC, 0xFE), (0xE6, 0xEF, 0xF8)), (WHITE, BLUE_PALE), ((0xC4, 0xDF, 0xFB), BLUE_PALE),
             (FACE, FACE), ((0xF4, 0xF9, 0xFF), (0xD6, 0xE9, 0xFD))]
    cells = []
    for top, bottom in looks:
        cell = Image(40, 22)
        cell.vgradient(0, 0, 40, 22, top, bottom)
        cell.fill(0, 21, 40, 22, BLUE_LIGHT)
        cell.fill(39, 3, 40, 19, (0xC6, 0xD6, 0xE6))
        cells.append(cell)
    return strip(cells)


def scroll_arrows():
    """23 cells of 16 x 16: left, right, up and down arrows (each normal, pressed, disabled,
    hot), horizontal and vertical thumb grips (normal, pressed, hot) and a spare cell."""
    cells = []
    for direction in ("left", "right", "up", "down"):
        for state in ("normal", "pressed", "disabled", "hot"):
            cell = Image(16, 16)
            fill = {"normal": (0xEC, 0xF3, 0xFB), "pressed": (0xC4, 0xDF, 0xFB), "disabled": FACE, "hot": BLUE_PALE}[state]
            border = {"normal": BLUE_LIGHT, "pressed": BLUE_DARK, "disabled": GREY_LIGHT, "hot": BLUE}[state]
            cell.round_box(0, 0, 16, 16, border, mix(fill, WHITE, 0.5), fill)
            glyph(cell, arrow_points(direction), GREY if state == "disabled" else BLUE_DEEP, 8, 8)
            cells.append(cell)
    for vertical in (False, True):
        for state in ("normal", "pressed", "hot"):
            cell = Image(16, 16)
            ink = {"normal": BLUE_DARK, "pressed": BLUE_DEEP, "hot": BLUE}[state]
            for k in (-3, 0, 3):
                if vertical:
                    cell.fill(4, 7 + k, 12, 8 + k, ink)
                else:
                    cell.fill(7 + k, 4, 8 + k, 12, ink)
            cells.append(cell)
    cells.append(Image(16, 16))
    return strip(cells)


def scroll_thumb(vertical):
    cells = []
    for fill, border in (((0xCF, 0xE3, 0xF8), BLUE_LIGHT), (BLUE_LIGHT, BLUE_DARK), ((0xDD, 0xEC, 0xFC), BLUE)):
        cell = Image(24, 16)
        cell.round_box(0, 0, 24, 16, border, mix(fill, WHITE, 0.4), fill, radius=3)
        cells.append(cell.transposed() if vertical else cell)
    return strip(cells)


def scroll_track(vertical):
    # 1 enabled, 2 hot, 3 disabled, 4 pressed; also the sunken edge of edits and combo boxes
    cells = []
    for fill, border in (((0xF3, 0xF7, 0xFC), (0xB5, 0xCC, 0xE6)), ((0xF7, 0xFB, 0xFF), BLUE),
                         (FACE, GREY_LIGHT), ((0xE6, 0xF0, 0xFB), BLUE_DARK)):
        cell = Image(16, 16, fill)
        cell.frame(0, 0, 16, 16, border)
        cells.append(cell.transposed() if vertical else cell)
    return strip(cells)


def menu_background():
    # Two equal stacked bands: one image for the menu bar (active, inactive) and the menu.
    band = Image(32, 20)
    band.vgradient(0, 0, 32, 20, (0xFB, 0xFD, 0xFF), (0xEC, 0xF4, 0xFD))
    return stack([band, band])


def menu_item():
    cells = []
    for i in range(5):
        cell = Image(64, 20)
        if i == 3:   # selected
            cell.round_box(0, 0, 64, 20, BLUE, BLUE_PALE, (0xCD, 0xE5, 0xFD))
        elif i == 4:  # separator
            cell.fill(2, 9, 62, 10, BLUE_LIGHT)
        cells.append(cell)
    return stack(cells)


def extra_images():
    # 1-4 the combo box arrow (normal, hot, pressed, disabled), 5 the size grip
    cells = []
    for ink in (BLUE_DEEP, BLUE, BLUE_DEEP, GREY):
        cell = Image(16, 16)
        glyph(cell, arrow_points("down"), ink, 8, 8)
        cells.append(cell)
    grip = Image(16, 16)
    for (x, y) in ((12, 12), (8, 12), (12, 8), (4, 12), (8, 8), (12, 4)):
        grip.fill(x, y, x + 2, y + 2, BLUE_LIGHT)
        grip.set(x, y, BLUE_DARK)
    cells.append(grip)
    return strip(cells)


def track_thumb():
    # 1 normal, 2 hot, 3 pressed, 4 disabled, 5 focused
    cells = []
    for border, fill in ((BLUE_DARK, (0xDD, 0xEC, 0xFC)), (BLUE, BLUE_PALE), (BLUE_DEEP, BLUE_LIGHT),
                         (GREY, FACE), (BLUE, (0xCF, 0xE3, 0xF8))):
        cell = Image(11, 20)
        cell.round_box(0, 0, 11, 20, border, mix(fill, WHITE, 0.5), fill)
        cells.append(cell)
    return strip(cells)


def track_channel():
    channel = Image(16, 16, (0xE6, 0xEF, 0xF8))
    channel.frame(0, 0, 16, 16, (0xA9, 0xC2, 0xDC))
    return channel


def mdi_buttons():
    """12 glyphs 13 x 12: minimize, restore, close; each normal, pressed, hot, disabled."""
    cells = []
    for kind in ("min", "restore", "close"):
        for state in ("normal", "pressed", "hot", "disabled"):
            cell = Image(13, 12)
            fill = {"normal": (0xEC, 0xF3, 0xFB), "pressed": (0xC4, 0xDF, 0xFB), "hot": BLUE_PALE, "disabled": FACE}[state]
            cell.round_box(0, 0, 13, 12, BLUE_LIGHT if state != "disabled" else GREY_LIGHT, WHITE, fill)
            ink = GREY if state == "disabled" else (RED_DARK if kind == "close" and state == "hot" else BLUE_DEEP)
            if kind == "min":
                cell.fill(3, 8, 10, 10, ink)
            elif kind == "restore":
                cell.frame(3, 3, 10, 9, ink)
                cell.fill(3, 4, 10, 5, ink)
            else:
                for i in range(-3, 3):
                    cell.set(6 + i, 6 + i, ink)
                    cell.set(5 - i, 6 + i, ink)
            cells.append(cell)
    return strip(cells)


def spin(vertical):
    # 8 cells: up (or left) and down (or right) button, each normal, hot, pressed, disabled
    cells = []
    for _ in range(2):
        for fill, border in (((0xEC, 0xF3, 0xFB), BLUE_LIGHT), (BLUE_PALE, BLUE), ((0xC4, 0xDF, 0xFB), BLUE_DARK),
                             (FACE, GREY_LIGHT)):
            cell = Image(16, 10)
            cell.round_box(0, 0, 16, 10, border, WHITE, fill)
            cells.append(cell if vertical else cell.transposed())
    return strip(cells)


def spin_arrows(vertical):
    cells = []
    for direction in (("up", "down") if vertical else ("left", "right")):
        for ink in (BLUE_DEEP, BLUE, BLUE_DEEP, GREY):
            cell = Image(16, 10) if vertical else Image(10, 16)
            glyph(cell, arrow_points(direction, 3), ink, cell.width // 2, cell.height // 2)
            cells.append(cell)
    return strip(cells)


def group_box_edge():
    # 1 enabled, 2 disabled: a rounded outline; the inside stays transparent
    cells = []
    for border in (BLUE_LIGHT, GREY_LIGHT):
        cell = Image(24, 24)
        cell.round_box(0, 0, 24, 24, border, MAGENTA, MAGENTA, radius=3)
        cell.fill(1, 2, 23, 22, MAGENTA)
        cell.fill(2, 1, 22, 23, MAGENTA)
        cells.append(cell)
    return strip(cells)


# --- the description ------------------------------------------------------------------------

INI = r"""; Quenrix Blue: the installer's own skin.
; Generated by skins/quenrix-blue/make_skin.py; edit the script, not this file.

[TitlebarSkin]
SkinName=Quenrix Blue
Author=Quenrix

[Personality]
Left=FrameLeft.bmp
LeftFrame=2
LeftStretch=1
LeftTrans=1
LeftTopHeight=28
LeftBotHeight=4
Right=FrameRight.bmp
RightFrame=2
RightStretch=1
RightTrans=1
RightTopHeight=28
RightBotHeight=4
Top=FrameTop.bmp
TopFrame=2
TopStretch=1
TopTrans=1
TopTopHeight=8
TopBotHeight=8
Bottom=FrameBottom.bmp
BottomFrame=2
BottomStretch=1
BottomTrans=1
BottomTopHeight=4
BottomBotHeight=4
menuBar=MenuBackground.bmp
TileMenu=1
TileLeftMenu=1
TileRightMenu=1
TextShift=30
TextShiftVert=0
TextRightClip=84
TextAlignment=0
Textbackground=0
TXTBackleft=0
TXTBackRight=0
ActiveTextR=255
ActiveTextG=255
ActiveTextB=255
InActiveTextR=240
InActiveTextG=244
InActiveTextB=248

[Fonts]
FontHeight=14

[Colours]
WindowText=30 42 56
ButtonFace=244 244 244
Scrollbar=236 243 251
HilightText=255 255 255
Hilight=47 151 255
Menubar=244 249 255
Menu=251 253 255
MenuText=30 42 56
ButtonText=30 42 56
ButtonHilight=255 255 255
Buttonlight=227 241 255
ButtonShadow=169 211 255
ButtonDkShadow=27 111 204
MenuBarText=30 42 56
TitleTextActive=255 255 255
TitleTextNoActive=240 244 248

[Colour.Accent]
color=47 151 255

[Colour.Deep]
color=18 85 166

[Customcolors]
Color0=47 151 255
Color1=90 174 255
Color2=27 111 204
Color3=18 85 166
Color4=169 211 255
Color5=227 241 255
Color6=244 244 244
Color7=30 42 56
Color8=224 67 59
Color9=255 255 255

; Caption buttons. Align 1 counts Xcoord from the window's right edge; Align 0 from its left.
[Button0]
ButtonImage=CloseButton.bmp
Action=0
Align=1
Xcoord=34
Ycoord=6
Visibility=0

[Button1]
ButtonImage=MaxButton.bmp
Action=1
Align=1
Xcoord=53
Ycoord=6
Visibility=2
Visibility1=6

[Button2]
ButtonImage=RestroreButton.bmp
Action=1
Align=1
Xcoord=53
Ycoord=6
Visibility=1
Visibility1=6

[Button3]
ButtonImage=MinButton.bmp
Action=2
Align=1
Xcoord=72
Ycoord=6
Visibility=8

; The system-menu button shows the window icon; it has no image of its own.
[Button4]
Action=3
Align=0
Xcoord=8
Ycoord=6
Visibility=0

[Buttons]
Bitmap=Buttons.bmp
LeftWidth=4
TopHeight=4
RightWidth=4
BottomHeight=4
Trans=1
Tile=0
CheckButton=CheckBox.bmp
RadioButton=RadioButton.bmp
RadioButtonFrame=8
CheckButtonFrame=12
NormalColour=$00382A1E
MouseOverColour=$00CC6F1B
PressedColour=$00A65512
NormalColour2=30 42 56
MouseOverColour2=27 111 204
PressedColour2=18 85 166

[Progress]
Bitmap=Progress.bmp
Style=0
LeftWidth=3
TopHeight=3
RightWidth=3
BottomHeight=3
Trans=1
Tile=0

[Progress.Chunk]
Image=ProgressChunk.bmp
Frame=1
LeftWidth=0
TopHeight=2
RightWidth=2
BottomHeight=2
Trans=1
Tile=0

[GroupBoxEdge]
Image=MinCaption.bmp
LeftWidth=4
TopHeight=4
RightWidth=4
BottomHeight=4
Trans=1
Tile=0

[GroupBox]
Image=TabSheet.bmp
LeftWidth=2
TopHeight=2
RightWidth=2
BottomHeight=2
Trans=0
Tile=0
BackgroundAlignment=0
BackgroundLeftShift=0
BackgroundRightShift=0
NormalColour2=27 111 204

[Tabs]
Image=Tab.bmp
Border=TabSheet.bmp
LeftWidth=4
TopHeight=4
RightWidth=4
BottomHeight=2
Trans=1
Tile=0
NormalColour2=30 42 56
MouseOverColour2=27 111 204
PressedColour2=18 85 166

[StatusBarEdges]
Image=StatusBar.bmp
LeftWidth=2
TopHeight=2
RightWidth=2
BottomHeight=2
Trans=0
Tile=0
NormalColour2=30 42 56

[Tab.Pane]
Image=TabSheet.bmp
LeftWidth=2
TopHeight=2
RightWidth=2
BottomHeight=2
Trans=0
Tile=0

[ToolBars]
Image=Buttons.bmp
LeftWidth=4
TopHeight=4
RightWidth=4
BottomHeight=4
Trans=1
Tile=0

[ComboButton]
Image=ComboBoxBtn.bmp
Style=0
LeftWidth=3
TopHeight=3
RightWidth=3
BottomHeight=3
Trans=1
Tile=0

[SunkEdge]
Image=ScrollbarHBar.bmp
LeftWidth=2
TopHeight=2
RightWidth=2
BottomHeight=2
Trans=0
Tile=0

[ExtraImages]
Image=ExtraImages.bmp
Trans=1

[Headerbar]
Image=Header.bmp
Frame=5
LeftWidth=3
TopHeight=3
RightWidth=3
BottomHeight=3
Trans=0
Tile=0
NormalColour2=30 42 56

[MenuItem]
Image=MenuItem.bmp
LeftWidth=4
TopHeight=4
RightWidth=4
BottomHeight=4
Trans=1
Tile=0
NormalColour2=30 42 56
MouseOverColour2=18 85 166

[MenuBackground]
Image=MenuBackground.bmp
Trans=0
Tile=0

[Scrollbar]
Image=ScrollbarArrow.bmp
LeftWidth=3
TopHeight=3
RightWidth=3
BottomHeight=3
Trans=1
Tile=0

[HorzScroll]
Image=ScrollbarHBar.bmp
LeftWidth=2
TopHeight=2
RightWidth=2
BottomHeight=2
Trans=0
Tile=0

[VertScroll]
Image=ScrollbarVBar.bmp
LeftWidth=2
TopHeight=2
RightWidth=2
BottomHeight=2
Trans=0
Tile=0

[HorzScrollThumb]
Image=ScrollbarHThumb.bmp
FrameCount=3
LeftWidth=4
TopHeight=4
RightWidth=4
BottomHeight=4
Trans=1
Tile=0

[VertScrollThumb]
Image=ScrollbarVThumb.bmp
FrameCount=3
LeftWidth=4
TopHeight=4
RightWidth=4
BottomHeight=4
Trans=1
Tile=0

[Trackbar.ThumbHorz]
Image=TrackThumbH.bmp
Trans=1

[Trackbar.ThumbVert]
Image=TrackThumbH.bmp
Trans=1

[Trackbar.ThumbLeft]
Image=TrackThumbH.bmp
Trans=1

[Trackbar.ThumbRight]
Image=TrackThumbH.bmp
Trans=1

[Trackbar.ThumbUp]
Image=TrackThumbH.bmp
Trans=1

[Trackbar.ThumbDown]
Image=TrackThumbH.bmp
Trans=1

[UpDown.Horz]
Image=SpinH.bmp
GlyphImage=SpinHArrow.bmp
LeftWidth=3
TopHeight=3
RightWidth=3
BottomHeight=3
Trans=1
Tile=0

[UpDown.Vert]
Image=Spin.bmp
GlyphImage=SpinArrow.bmp
LeftWidth=3
TopHeight=3
RightWidth=3
BottomHeight=3
Trans=1
Tile=0

[Track]
Image=TrackBot.bmp
Frame=1
LeftWidth=3
TopHeight=3
RightWidth=3
BottomHeight=3
Trans=0
Tile=0

[TRACKVERT]
Image=TrackBot.bmp
Frame=1
LeftWidth=3
TopHeight=3
RightWidth=3
BottomHeight=3
Trans=0
Tile=0

[MDICONTROLS]
Image=MDIButton.bmp
Trans=1
"""

# Archive order; every name but the last is a bitmap. File names are lower case; the INI
# names them in mixed case, which the archive look-up ignores.
ENTRIES = [
    ("buttons.bmp", push_buttons),
    ("checkbox.bmp", check_boxes),
    ("radiobutton.bmp", radio_buttons),
    ("progress.bmp", progress),
    ("progresschunk.bmp", progress_chunk),
    ("tab.bmp", tabs),
    ("tabsheet.bmp", tab_sheet),
    ("comboboxbtn.bmp", combo_button),
    ("statusbar.bmp", status_bar),
    ("header.bmp", header),
    ("scrollbararrow.bmp", scroll_arrows),
    ("scrollbarhthumb.bmp", lambda: scroll_thumb(False)),
    ("scrollbarvthumb.bmp", lambda: scroll_thumb(True)),
    ("scrollbarhbar.bmp", lambda: scroll_track(False)),
    ("scrollbarvbar.bmp", lambda: scroll_track(True)),
    ("menubackground.bmp", menu_background),
    ("menuitem.bmp", menu_item),
    ("extraimages.bmp", extra_images),
    ("trackthumbh.bmp", track_thumb),
    ("trackbot.bmp", track_channel),
    ("mdibutton.bmp", mdi_buttons),
    ("spin.bmp", lambda: spin(True)),
    ("spinarrow.bmp", lambda: spin_arrows(True)),
    ("spinh.bmp", lambda: spin(False)),
    ("spinharrow.bmp", lambda: spin_arrows(False)),
    ("closebutton.bmp", lambda: caption_button(28, close_glyph, RED, RED_DARK)),
    ("maxbutton.bmp", lambda: caption_button(17, max_glyph, BLUE_TOP, BLUE_DARK)),
    ("minbutton.bmp", lambda: caption_button(17, min_glyph, BLUE_TOP, BLUE_DARK)),
    ("restrorebutton.bmp", lambda: caption_button(17, restore_glyph, BLUE_TOP, BLUE_DARK)),
    ("frameleft.bmp", lambda: frame_side(True)),
    ("frameright.bmp", lambda: frame_side(False)),
    ("frametop.bmp", frame_top),
    ("framebottom.bmp", frame_bottom),
    ("mincaption.bmp", group_box_edge),
]
INI_NAME = "quenrix-blue.ini"


def write_if_changed(path, data):
    """Keeps timestamps of unchanged files, so that the packing step stays incremental."""
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    tmp = path + ".part"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_skin.py OUTDIR\n")
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    for name, make in ENTRIES:
        write_if_changed(os.path.join(out, name), make().bmp())
    write_if_changed(os.path.join(out, INI_NAME), INI.replace("\n", "\r\n").encode("ascii"))
    order = "".join(name + "\r\n" for name, _ in ENTRIES) + INI_NAME + "\r\n"
    write_if_changed(os.path.join(out, "order.txt"), order.encode("ascii"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
