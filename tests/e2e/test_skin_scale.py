"""The installer's skin at a display scale, seen from outside: in a session whose system dpi is
192 (200 %) the frame is the skin's pieces with every pixel doubled, the close button sits at its
doubled place, and the region cuts the doubled corners; at 144 (150 %) the frame is as wide as
the same rule makes it and the caption strip is the skin's, smoothed within a small tolerance.
At 144 too, the title's text and the skinned system menu's items follow the window to another
scale (96 and 192) when the platform announces one, and the "Uyarı" box has the scaled caption
and frame with its title in the same font as the main window's."""
import os
import subprocess
import tempfile
import time
import unittest

import qxwine as qw
from test_skinned_frame import Bitmap

TITLE = "Quenrix Installer"
CAPTION, EDGE = 28, 4           # the skin's caption height and frame width at 96 dpi
CLOSE_X, CLOSE_Y = 34, 6        # the close button's place: from the right edge, from the top
KEY = (255, 0, 255)


def scaled(value, dpi):
    """The one rounding rule: value * dpi / 96, halves away from zero."""
    n = value * dpi
    return (n + 48) // 96 if n >= 0 else -((-n + 48) // 96)


class Shot:
    """The window's pixels, taken once."""

    def __init__(self, window):
        l, t, r, b = window["rect"]
        self.width, self.height = r - l, b - t
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "window.png")
            qw.screenshot(path, window)
            self.data = subprocess.run(["/usr/bin/convert", path, "-depth", "8", "rgb:-"], capture_output=True,
                                       check=True, timeout=60).stdout
        assert len(self.data) == self.width * self.height * 3

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])


def title_text_height(shot, dpi):
    """Rows of the caption strip's left half holding the title's white ink (the strip is blue,
    the corners outside the region left out)."""
    left, strip = scaled(EDGE, dpi) + 4, scaled(CAPTION, dpi)
    rows = [y for y in range(2, strip) if any(shot.at(x, y)[0] > 170 for x in range(left, shot.width // 2))]
    return rows[-1] - rows[0] + 1 if rows else 0


def visible_popups():
    return [w for w in qw.windows() if w["class"] == "#32768" and w["visible"]]


class ScaledFrame:
    DPI = 96

    @classmethod
    def setUpClass(cls):
        cls.top = Bitmap("FrameTop.bmp")        # two stacked pictures: active, inactive
        cls.left = Bitmap("FrameLeft.bmp")      # two pictures side by side
        cls.close = Bitmap("CloseButton.bmp")   # six cells: normal, pressed, hot, inactive, ...
        qw.use_dpi(cls.DPI)
        qw.kill_all()
        cls.proc = qw.start(qw.program("src/app/QuenrixInstaller.exe"))
        try:
            cls.main = qw.wait_for(lambda: qw.skinned_top(TITLE), 90, what="the skinned main window")
            time.sleep(1.5)
            cls.main = qw.skinned_top(TITLE)
            cls.shot = Shot(cls.main)
            with tempfile.TemporaryDirectory() as tmp:
                path = os.path.join(tmp, "screen.png")
                qw.screenshot(path)
                # What the region lets through: the screen beside the window.
                cls.background = qw.pixel(path, 2, 2)
        except BaseException:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        qw.kill_all()
        cls.proc.wait(timeout=60)
        qw.use_dpi(None)

    def s(self, value):
        return scaled(value, self.DPI)

    def test_the_frame_is_as_wide_as_the_scaled_pieces(self):
        w = self.main
        client = (w["client"][2] - w["client"][0], w["client"][3] - w["client"][1])
        self.assertEqual(self.shot.width, client[0] + 2 * self.s(EDGE))
        self.assertEqual(self.shot.height, client[1] + self.s(CAPTION) + self.s(EDGE))


class At192Dpi(ScaledFrame, unittest.TestCase):
    DPI = 192

    def test_caption_sides_and_close_button_are_the_skins_pixels_doubled(self):
        shot, width = self.shot, self.shot.width
        for y in range(2 * CAPTION):
            self.assertEqual(shot.at(width // 2, y), self.top.at(400, y // 2), f"caption row {y}")
        for y in (2 * CAPTION + 10, shot.height // 2):
            for x in range(2 * EDGE):
                self.assertEqual(shot.at(x, y), self.left.at(x // 2, 100), f"left edge {x},{y}")
        cell = self.close.width // 6
        left, top = width - 2 * CLOSE_X, 2 * CLOSE_Y
        compared = 0
        for y in range(2 * self.close.height):
            for x in range(2 * cell):
                want = self.close.at(x // 2, y // 2)
                if want != KEY:
                    self.assertEqual(shot.at(left + x, top + y), want, f"close button {x},{y}")
                    compared += 1
        self.assertGreater(compared, 40)  # the button has a body, not only transparent pixels
        # The region follows the doubled frame: its transparent corner shows what lies under it.
        self.assertEqual(shot.at(0, 0), self.background)
        self.assertEqual(shot.at(1, 1), self.background)
        self.assertNotEqual(shot.at(6, 0), self.background)


class At144Dpi(ScaledFrame, unittest.TestCase):
    DPI = 144

    def test_title_text_and_system_menu_items_follow_a_change_of_scale(self):
        text, menu = {}, {}
        for dpi in (96, 192, self.DPI):
            main = qw.skinned_top(TITLE)
            l, t, r, b = main["rect"]
            # As if moved onto a display of that scale: a rectangle there, sized as the platform would.
            suggested = (40, 30, 40 + (r - l) * dpi // self.DPI, 30 + (b - t) * dpi // self.DPI)
            self.assertEqual(qw.probe("dpichanged", main["hwnd"], dpi, *suggested).returncode, 0)
            main = qw.wait_for(lambda: [w for w in qw.top_windows(TITLE) if tuple(w["rect"]) == suggested],
                               30, what=f"the window at {dpi} dpi")[0]
            time.sleep(1)
            text[dpi] = title_text_height(Shot(main), dpi)
            qw.click(main["rect"][0] + (r - l) // 2, main["rect"][1] + scaled(6, dpi))
            qw.keys("alt+space")
            popup = qw.wait_for(visible_popups, 20, 0.3, f"the system menu at {dpi} dpi")[0]
            menu[dpi] = popup["rect"][3] - popup["rect"][1]
            qw.keys("Escape")
            qw.wait_for(lambda: not visible_popups(), 20, 0.3, "the system menu to close")
        text[self.DPI + 1] = title_text_height(self.shot, self.DPI)  # as the program started
        self.assertGreater(text[96], 5, text)
        self.assertEqual(text[self.DPI], text[self.DPI + 1], "back at its own scale, as it started")
        for dpi in (self.DPI, 192):
            # Glyphs round differently at each size: the text's growth is checked loosely, the
            # items' (their heights and the glyph column scaled by the rule) closely.
            self.assertGreaterEqual(text[dpi], text[96] * dpi / 96 * 0.8, text)
            self.assertLessEqual(abs(menu[dpi] - menu[96] * dpi / 96), menu[96] * dpi / 96 * 0.06, menu)
        self.assertLess(text[self.DPI], text[192], text)

    def test_the_warning_box_has_the_scaled_caption_and_frame(self):
        main = qw.skinned_top(TITLE)
        start = [c for c in qw.children(main) if c["text"].strip() == "Kuruluma Başla"][0]
        qw.click_center(start)
        box = qw.wait_for(lambda: qw.skinned_top("Uyarı", "#32770"), 30, what="the skinned 'Uyarı' box")
        time.sleep(1)
        box = qw.skinned_top("Uyarı", "#32770")
        (l, t, r, b), (cl, ct, cr, cb) = box["rect"], box["client"]
        try:
            self.assertEqual((cl - l, ct - t, r - cr, b - cb),
                             (self.s(EDGE), self.s(CAPTION), self.s(EDGE), self.s(EDGE)))
            # The box's title is written in the main window's caption font at the same dpi (its
            # letters reach a pixel or two further down or up than the main window's title).
            box_text, main_text = title_text_height(Shot(box), self.DPI), title_text_height(self.shot, self.DPI)
            self.assertLessEqual(abs(box_text - main_text), 2, (box_text, main_text))
        finally:
            ok = [c for c in qw.children(box) if c["class"].lower() == "button"][0]
            qw.probe("press", ok["hwnd"])
            qw.wait_for(lambda: not qw.top_windows("Uyarı", "#32770"), 30, what="the box to close")

    def test_the_caption_strip_is_the_skins_smoothed(self):
        shot, width = self.shot, self.shot.width
        for y in range(self.s(CAPTION)):
            # Each row lies between the skin rows it is made from (a small tolerance for rounding).
            source = (y + 0.5) * 96 / self.DPI
            near = int(source)
            rows = [self.top.at(400, r) for r in range(max(0, near - 1), min(CAPTION, near + 2))]
            got = shot.at(width // 2, y)
            for c in range(3):
                low, high = min(p[c] for p in rows), max(p[c] for p in rows)
                self.assertTrue(low - 3 <= got[c] <= high + 3, f"caption row {y}: {got} outside {rows}")
            self.assertNotEqual(got, KEY)


if __name__ == "__main__":
    unittest.main()
