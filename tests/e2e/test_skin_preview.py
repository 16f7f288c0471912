"""Skin Preview on the screen: every control kind is there and the button family answers as
skinned (the other kinds are tested in test_skin_controls); at 144 dpi its window and controls are
laid out at 150 % and the skin's pieces drawn larger."""
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import qxwine as qw

TITLE = "Skin Preview"
SKINNED_QUERY = 0x3523


class SkinPreview(unittest.TestCase):
    def setUp(self):
        qw.kill_all()
        self.proc = qw.start(qw.program("src/preview/SkinPreview.exe"))
        # Skinned once it has its region: the frame is fitted and its controls dispatched.
        self.main = qw.wait_for(lambda: qw.skinned_top(TITLE), 90, what="the skinned preview window")

    def tearDown(self):
        qw.kill_all()
        self.proc.wait(timeout=60)

    def answer(self, window):
        return int(qw.probe("send", window["hwnd"], SKINNED_QUERY, 0, 0).stdout.strip() or "-1")

    def test_every_kind_is_shown_and_the_button_family_is_skinned(self):
        kids = qw.children(self.main)
        by_text = {w["text"].strip(): w for w in kids}
        classes = {w["class"].lower() for w in kids}
        for kind in ("tprogressbar", "tlistview", "ttabcontrol", "ttrackbar", "tupdown", "tstatusbar", "tcombobox",
                     "tedit", "tmemo", "tgroupbox"):
            self.assertIn(kind, classes)
        for text in ("Radio", "Radio checked", "Radio disabled", "Radio disabled checked", "Check",
                     "Check indeterminate (disabled)", "Normal", "Disabled", "Default", "Bit Normal",
                     "Menu Default"):
            self.assertIn(text, by_text)
            self.assertEqual(self.answer(by_text[text]), 1, text)

        # Skinned faces differ by state: the disabled push button is not drawn like the normal one.
        shot = os.path.join(tempfile.mkdtemp(), "preview.png")
        qw.screenshot(shot)
        def inner(w):
            l, t, r, b = w["rect"]
            return qw.pixel(shot, l + 4, (t + b) // 2)
        self.assertNotEqual(inner(by_text["Normal"]), inner(by_text["Disabled"]))

        # Every sample lies within the client area, the status bar along its bottom edge.
        cl, ct, cr, cb = self.main["client"]
        for w in kids:
            if not w["visible"] or w["parent"] != self.main["hwnd"]:
                continue
            l, t, r, b = w["rect"]
            self.assertTrue(cl <= l and ct <= t and r <= cr and b <= cb, w["class"] + " " + w["text"])
        status = [w for w in kids if w["class"] == "TStatusBar"][0]
        self.assertEqual(status["rect"][3], cb)
        # The group box's inside shows the window's face, not an unpainted hole.
        box = [w for w in kids if w["class"] == "TGroupBox"][0]
        self.assertEqual(qw.pixel(shot, box["rect"][0] + 5, box["rect"][3] - 4),
                         qw.pixel(shot, cl + 2, cb - 40))


def scaled(value, dpi):
    """value * dpi / 96, halves away from zero: the program's rule."""
    n = value * dpi
    return (n + 48) // 96 if n >= 0 else -((-n + 48) // 96)


class Pixels:
    """A window's pixels, taken once."""

    def __init__(self, window, folder, name):
        l, t, r, b = window["rect"]
        self.left, self.top, self.width = l, t, r - l
        path = os.path.join(folder, name)
        qw.screenshot(path, window)
        self.data = subprocess.run(["/usr/bin/convert", path, "-depth", "8", "rgb:-"], capture_output=True,
                                   check=True, timeout=60).stdout

    def at(self, x, y):
        """The pixel at screen point (x, y)."""
        i = ((y - self.top) * self.width + (x - self.left)) * 3
        return tuple(self.data[i:i + 3])

    def run(self, x, y, dx, dy, until=None):
        """How many pixels from (x, y) on, step (dx, dy), have the colour of the first (or, given
        until, are not that colour)."""
        first, n = self.at(x, y), 1
        while (self.at(x + n * dx, y + n * dy) == first) if until is None else \
                (self.at(x + n * dx, y + n * dy) != until):
            n += 1
        return n


class SkinPreviewAtScale(unittest.TestCase):
    """The same program started at 96 and at 144 dpi, each in its own session."""
    SCALE = 144
    # (A combo box is left out: the platform sets its height from its font.)
    SAMPLES = (("TButton", "Normal"), ("TEdit", None), ("TTabControl", None), ("TTrackBar", None),
               ("TGroupBox", None), ("TProgressBar", None))

    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.mkdtemp(prefix="qx-e2e-preview-scale-")
        cls.seen = {}
        try:
            for dpi in (96, cls.SCALE):
                qw.use_dpi(dpi)
                qw.kill_all()
                proc = qw.start(qw.program("src/preview/SkinPreview.exe"))
                main = qw.wait_for(lambda: qw.skinned_top(TITLE), 90, what=f"the skinned preview at {dpi} dpi")
                time.sleep(1.5)
                main = qw.skinned_top(TITLE)
                kids = [w for w in qw.children(main) if w["visible"] and w["parent"] == main["hwnd"]]
                cls.seen[dpi] = {"main": main, "kids": kids, "pixels": Pixels(main, cls.scratch, f"preview{dpi}.png")}
                qw.kill_all()
                proc.wait(timeout=60)
        finally:
            qw.use_dpi(None)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def sample(self, dpi, cls, text):
        found = [w for w in self.seen[dpi]["kids"] if w["class"] == cls and (text is None or w["text"] == text)]
        self.assertTrue(found, f"{cls} {text or ''} at {dpi} dpi")
        return found[0]

    def test_client_area_and_controls_are_laid_out_at_the_scale(self):
        l96, t96, r96, b96 = self.seen[96]["main"]["client"]
        l, t, r, b = self.seen[self.SCALE]["main"]["client"]
        self.assertLessEqual(abs((r - l) - scaled(r96 - l96, self.SCALE)), 1, "client width")
        self.assertLessEqual(abs((b - t) - scaled(b96 - t96, self.SCALE)), 1, "client height")
        for cls, text in self.SAMPLES:
            before = [v - o for v, o in zip(self.sample(96, cls, text)["rect"], (l96, t96, l96, t96))]
            after = [v - o for v, o in zip(self.sample(self.SCALE, cls, text)["rect"], (l, t, l, t))]
            want = [scaled(v, self.SCALE) for v in before]
            self.assertTrue(all(abs(a - w) <= 1 for a, w in zip(after, want)),
                            f"{cls} {text or ''}: {after}, scaled from {before}: {want}")

    def test_skinned_pieces_are_larger_than_at_96_dpi(self):
        def runs(dpi):
            pixels = self.seen[dpi]["pixels"]
            edit = self.sample(dpi, "TEdit", None)["rect"]
            button = self.sample(dpi, "TButton", "Normal")["rect"]
            # The edit's shadow line, down from its top edge; the button face's edge, in from its
            # left to where its middle's colour begins (a quarter in, clear of the caption).
            y = (button[1] + button[3]) // 2
            middle = pixels.at(button[0] + (button[2] - button[0]) // 4, y)
            return (pixels.run((edit[0] + edit[2]) // 2, edit[1], 0, 1), pixels.run(button[0], y, 1, 0, until=middle))
        (edit96, face96), (edit, face) = runs(96), runs(self.SCALE)
        self.assertEqual(edit96, 1)
        self.assertEqual(edit, scaled(1, self.SCALE), "the edit's shadow line")
        self.assertGreater(face, face96, "the button face's edge")
        self.assertLessEqual(abs(face - scaled(face96, self.SCALE)), 1, "the button face's edge")


if __name__ == "__main__":
    unittest.main()
