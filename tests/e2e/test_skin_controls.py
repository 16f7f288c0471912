"""Skin Preview's other control kinds as a person sees and uses them: every control is skinned
through the dispatch and given back by "Skin off", the skin's pictures show where they should,
scroll bars drawn by the skin still scroll with arrows, thumb and wheel, and switching the skin
off and on many times leaves nothing behind."""
import os
import tempfile
import time
import unittest

import qxwine as qw

TITLE = "Skin Preview"
SKINNED_QUERY = 0x3523
PREVIEW_COUNT = 0x8051  # the preview's counters: 0 GDI objects, 1 stubs, 2 skinners, 3 hooks
EM_GETFIRSTVISIBLELINE = 0x00CE
BUTTON_SHADOW = (169, 211, 255)  # the installer's skin
# Windows that the dispatch leaves alone on purpose: panels are only recoloured, an edit without
# a border gets no skinner.
NOT_HOOKED = {"TPanel"}


def close(a, b, tolerance=12):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


class SkinControls(unittest.TestCase):
    def setUp(self):
        qw.kill_all()
        self.proc = qw.start(qw.program("src/preview/SkinPreview.exe"))
        self.main = qw.wait_for(lambda: (qw.top_windows(TITLE) or [None])[0], 90, what="the preview window")
        self.memo = qw.wait_for(lambda: self.first("TMemo"), 30, what="the memo")
        self.wait_skinned(True)
        self.shot_dir = tempfile.mkdtemp()

    def tearDown(self):
        qw.kill_all()
        self.proc.wait(timeout=60)

    # ---- helpers ----
    def kids(self):
        return [w for w in qw.children(self.main) if w["visible"]]

    def first(self, cls, text=None, kids=None):
        for w in kids if kids is not None else self.kids():
            if w["class"] == cls and (text is None or w["text"] == text):
                return w
        return None

    def all_of(self, cls, kids=None):
        return [w for w in (kids if kids is not None else self.kids()) if w["class"] == cls]

    def answer(self, window):
        # The probe is a program of its own under a loaded Wine: one that printed nothing is asked again.
        for _ in range(3):
            out = qw.probe("send", window["hwnd"], SKINNED_QUERY, 0, 0).stdout.strip()
            if out:
                return int(out)
        return -1

    def count(self, what):
        return int(qw.probe("send", self.main["hwnd"], PREVIEW_COUNT, what, 0).stdout.strip())

    def counts(self):
        return [self.count(k) for k in range(4)]

    def wait_skinned(self, on):
        qw.wait_for(lambda: self.answer(self.memo) == (1 if on else 0), 30, what=f"skinning {'on' if on else 'off'}")
        time.sleep(1.0)  # the dispatch and the first paints

    def toggle(self):
        button = self.first("TButton", "Skin off") or self.first("TButton", "Skin on")
        before = self.answer(self.memo)
        qw.probe("press", button["hwnd"])
        self.wait_skinned(before == 0)

    def shot(self, name):
        path = os.path.join(self.shot_dir, name + ".png")
        qw.screenshot(path)
        return path

    def row(self, path, y, x0, x1):
        return [qw.pixel(path, x, y) for x in range(x0, x1)]

    def first_line(self, memo):
        return int(qw.probe("send", memo["hwnd"], EM_GETFIRSTVISIBLELINE, 0, 0).stdout.strip())

    def overlay_over(self, target, vertical):
        """The scroll overlay lying on the target's vertical (or horizontal) bar."""
        l, t, r, b = target["rect"]
        for w in self.all_of("TScrollOverlay"):
            ol, ot, orr, ob = w["rect"]
            if l <= ol and orr <= r and t <= ot and ob <= b and ((ob - ot) > (orr - ol)) == vertical:
                return w
        return None

    # ---- tests ----
    def test_every_kind_answers_skinned_and_the_toggle_gives_every_one_back(self):
        kids = self.kids()
        classes = {w["class"] for w in kids}
        for cls in ("TProgressBar", "TStatusBar", "TGroupBox", "TRadioGroup", "TEdit", "TMemo", "TComboBox",
                    "TUpDown", "TTrackBar", "TTabControl", "TPageControl", "TTabSheet", "TTabSet", "THeaderControl",
                    "TListView", "TScrollBar", "TScrollBox", "TMediaPlayer", "TGlyphCheckBox", "TGlyphRadioButton",
                    "TPageControlEx", "TScrollOverlay", "TMediaPlayerOverlay"):
            self.assertIn(cls, classes)
        borderless = [w for w in self.all_of("TEdit", kids) if w["rect"][2] - w["rect"][0] == w["client"][2] - w["client"][0]]
        self.assertEqual(len(borderless), 1)
        for w in kids:
            if w["class"] in NOT_HOOKED or w in borderless:
                continue
            self.assertEqual(self.answer(w), 1, f"{w['class']} {w['text']} {w['rect']}")
        self.assertEqual(self.answer(borderless[0]), 0, "an edit without a border gets no skinner")
        skinned = self.counts()
        self.assertGreater(skinned[2], 40)

        self.toggle()
        off = self.kids()
        self.assertFalse([w for w in off if w["class"] in ("TScrollOverlay", "TMediaPlayerOverlay")])
        for w in off:
            self.assertEqual(self.answer(w), 0, f"{w['class']} {w['text']}")
        self.assertEqual(self.count(2), 0, "no skinner is left")
        self.assertEqual(self.count(3), 0, "every message hook is given back")

        self.toggle()
        self.assertEqual(self.counts()[1:], skinned[1:], "skinned again, with as many stubs, skinners and hooks")
        for w in self.kids():
            if w["class"] not in NOT_HOOKED and w["hwnd"] != borderless[0]["hwnd"]:
                self.assertEqual(self.answer(w), 1, f"{w['class']} {w['text']}")

    def test_the_skins_pictures_show_and_go_with_the_toggle(self):
        shot = self.shot("skinned")
        bars = sorted(self.all_of("TProgressBar"), key=lambda w: (w["rect"][0], w["rect"][1]))
        across, empty = bars[0], bars[1]
        upright = [w for w in bars if w["rect"][3] - w["rect"][1] > w["rect"][2] - w["rect"][0]][0]
        # The bar at 60 of 100: the fill ends at 60% of its width.
        l, t, r, b = across["rect"]
        mid = (t + b) // 2
        pixels = self.row(shot, mid, l + 4, r - 4)
        fill_end = next(i for i in range(len(pixels) - 1, 0, -1) if pixels[i] != pixels[-1]) + l + 4
        self.assertLess(abs(fill_end - (l + (r - l) * 60 // 100)), 5, pixels)
        # The empty bar shows only its trough: the same colour where the other one is filled.
        el, et, er, eb = empty["rect"]
        self.assertNotEqual(qw.pixel(shot, el + 20, (et + eb) // 2), qw.pixel(shot, l + 20, mid))
        self.assertEqual(qw.pixel(shot, el + 20, (et + eb) // 2), qw.pixel(shot, er - 20, (et + eb) // 2))
        # Upright at 25: the lowest quarter is filled, from the bottom.
        ul, ut, ur, ub = upright["rect"]
        column = [qw.pixel(shot, (ul + ur) // 2, y) for y in range(ut + 4, ub - 4)]
        fill_top = next(i for i in range(len(column)) if column[i] != column[0]) + ut + 4
        self.assertLess(abs(fill_top - (ub - (ub - ut) * 25 // 100)), 5)

        # The group box's frame in the skin's shadow colour, its caption on the face.
        box = self.first("TGroupBox")
        gl, gt, gr, gb = box["rect"]
        self.assertEqual(qw.pixel(shot, gl + 1, (gt + gb) // 2), BUTTON_SHADOW)
        # An edit's border in the skin's shadow colour.
        edit = sorted(self.all_of("TEdit"), key=lambda w: w["rect"][1])[0]
        el, et, er, eb = edit["rect"]
        self.assertEqual(qw.pixel(shot, el, (et + eb) // 2), BUTTON_SHADOW)
        # A combo box's drop button: the disabled one is not drawn like the enabled one, and the
        # enabled one turns hot under the mouse.
        combos = sorted(self.all_of("TComboBox"), key=lambda w: w["rect"][1])
        def button_pixel(path, w):
            cl, ct, cr, cb = w["rect"]
            return [qw.pixel(path, x, cb - 4) for x in range(cr - 12, cr - 1, 2)]
        self.assertNotEqual(button_pixel(shot, combos[0]), button_pixel(shot, combos[1]))
        qw.xdotool("mousemove", combos[0]["rect"][2] - 8, (combos[0]["rect"][1] + combos[0]["rect"][3]) // 2)
        time.sleep(0.8)
        hot = self.shot("hot")
        self.assertNotEqual(button_pixel(hot, combos[0]), button_pixel(shot, combos[0]))
        qw.xdotool("mousemove", 2, 760)
        time.sleep(0.5)

        self.toggle()
        plain = self.shot("plain")
        self.assertNotEqual(qw.pixel(plain, el, (et + eb) // 2), BUTTON_SHADOW)
        self.assertNotEqual(qw.pixel(plain, gl + 1, (gt + gb) // 2), BUTTON_SHADOW)

    def test_skinned_scroll_bars_scroll_with_arrows_thumb_and_wheel(self):
        memo = sorted(self.all_of("TMemo"), key=lambda w: w["rect"][0])[0]
        bar = self.overlay_over(memo, vertical=True)
        self.assertIsNotNone(bar)
        l, t, r, b = bar["rect"]
        x = (l + r) // 2
        self.assertEqual(self.first_line(memo), 0)
        released = self.shot("released")
        arrow = (x, b - 4)  # inside the down arrow's cell, below its glyph

        # Holding the down arrow shows it pressed and scrolls; releasing it shows it normal.
        qw.xdotool("mousemove", x, b - 8)
        time.sleep(0.3)
        qw.xdotool("mousedown", "1")
        time.sleep(0.6)
        pressed = self.shot("pressed")
        qw.xdotool("mouseup", "1")
        time.sleep(0.5)
        self.assertNotEqual(qw.pixel(pressed, *arrow), qw.pixel(released, *arrow))
        self.assertTrue(close(qw.pixel(pressed, *arrow), (0xC4, 0xDF, 0xFB), 30), qw.pixel(pressed, *arrow))
        scrolled = self.first_line(memo)
        self.assertGreater(scrolled, 0)

        # Dragging the thumb past the bar's end (not so far that the platform puts it back)
        # scrolls to the last line; the drawn thumb stays above the down arrow.
        qw.xdotool("mousemove", 2, 760)
        time.sleep(0.5)
        now = self.shot("before-drag")
        # The thumb: the run of other colours on the track (whose own edges are left out).
        column = [qw.pixel(now, x, y) for y in range(t + 19, b - 19)]
        track = max(set(column), key=column.count)
        start = next(i for i, c in enumerate(column) if c != track)
        end = next(i for i in range(start, len(column)) if column[i] == track)
        grab = t + 19 + (start + end) // 2
        qw.xdotool("mousemove", x, grab)
        time.sleep(0.3)
        qw.xdotool("mousedown", "1")
        time.sleep(0.3)
        for y in range(grab, b + 24, 12):
            qw.xdotool("mousemove", x, y)
            time.sleep(0.15)
        dragging = self.shot("dragging")
        qw.xdotool("mouseup", "1")
        time.sleep(0.5)
        arrow_top = b - 16
        self.assertEqual(qw.pixel(dragging, x, b - 4), qw.pixel(released, x, b - 4), "the arrow is not covered")
        self.assertNotEqual(qw.pixel(dragging, x, arrow_top - 3), track, "the thumb ends at the arrow")
        last = self.first_line(memo)
        self.assertGreater(last, scrolled)
        # And back up past the top: the first line again.
        qw.xdotool("mousemove", x, arrow_top - 6)
        time.sleep(0.3)
        qw.xdotool("mousedown", "1")
        time.sleep(0.3)
        for y in range(arrow_top - 6, t - 24, -12):
            qw.xdotool("mousemove", x, y)
            time.sleep(0.15)
        qw.xdotool("mouseup", "1")
        time.sleep(0.5)
        self.assertEqual(self.first_line(memo), 0)

        # The wheel over the memo scrolls it, and the skinned bar follows.
        qw.xdotool("mousemove", (memo["rect"][0] + l) // 2, (t + b) // 2)
        time.sleep(0.3)
        qw.xdotool("click", "5")
        time.sleep(0.6)
        self.assertGreater(self.first_line(memo), 0)

    def test_two_hundred_toggles_leave_nothing_behind_and_the_controls_still_work(self):
        self.toggle()
        self.toggle()
        before = self.counts()
        button = self.first("TButton", "Skin off")
        out = qw.run(qw.program("tests/tools/winprobe.exe"), ["toggles", str(button["hwnd"]), "200", str(self.memo["hwnd"])],
                     timeout=800).stdout.strip()
        self.assertEqual(out, "200", "every click switched the skin")
        self.wait_skinned(True)
        self.assertEqual(self.counts(), before, "GDI objects, stubs, skinners and hooks as before")
        # The memo still scrolls by its skinned bar.
        memo = sorted(self.all_of("TMemo"), key=lambda w: w["rect"][0])[0]
        bar = self.overlay_over(memo, vertical=True)
        self.assertIsNotNone(bar)
        qw.click((bar["rect"][0] + bar["rect"][2]) // 2, bar["rect"][3] - 8)
        time.sleep(0.5)
        self.assertGreater(self.first_line(memo), 0)


if __name__ == "__main__":
    unittest.main()
