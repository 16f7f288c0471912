"""The installer at 120, 144 and 192 dpi, each in a Wine prefix of that system dpi, against the
same program at 96 dpi: the client area and every child window scaled by dpi / 96 (edges
rounded, so neighbours still meet), the window centred, the radios' text drawn larger, and a
change of display scale sent by the test laying the window out again."""
import os
import shutil
import tempfile
import unittest

import qxwine as qw

TITLE = "Quenrix Installer"
SCALES = (120, 192, 144)  # 144 last: its window stays for the change of scale
LABEL = "Sarvek Teknik Servis Programı"


def scaled(value, dpi):
    """value * dpi / 96, halves away from zero: the program's rule."""
    q, r = divmod(abs(value) * dpi, 96)
    q += 1 if 2 * r >= 96 else 0
    return q if value >= 0 else -q


def layout(main):
    """Client size and each child window's rectangle in client coordinates, keyed by class
    and text (a running number for repeats)."""
    cl, ct, cr, cb = main["client"]
    rects, seen = {}, {}
    for w in qw.children(main):
        if not w["visible"]:
            continue
        key = (w["class"], w["text"])
        seen[key] = seen.get(key, 0) + 1
        l, t, r, b = w["rect"]
        rects[key + (seen[key],)] = (l - cl, t - ct, r - cl, b - ct)
    return (cr - cl, cb - ct), rects


def text_height(path):
    """Rows of the cropped radio picture holding pixels far from its background colour (the
    most common one), at the right of the glyph and picture: the label's text height."""
    out = qw.subprocess.run(["/usr/bin/convert", path, "-depth", "8", "txt:"], capture_output=True, text=True,
                            timeout=60).stdout.splitlines()[1:]
    pixels = {}
    for line in out:
        xy, _, rest = line.partition(":")
        x, y = map(int, xy.split(","))
        hexpart = [tok for tok in rest.split() if tok.startswith("#") and len(tok) >= 7][0]
        pixels[(x, y)] = tuple(int(hexpart[i:i + 2], 16) for i in (1, 3, 5))
    width = max(x for x, _ in pixels) + 1
    counts = {}
    for c in pixels.values():
        counts[c] = counts.get(c, 0) + 1
    back = max(counts, key=counts.get)
    rows = sorted({y for (x, y), c in pixels.items()
                   if x > width // 4 and sum(abs(a - b) for a, b in zip(c, back)) > 150})
    return rows[-1] - rows[0] + 1 if rows else 0


class DisplayScale(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.mkdtemp(prefix="qx-e2e-scale-")
        cls.seen = {}
        cls.proc = None
        try:
            for dpi in (96,) + SCALES:
                qw.use_dpi(dpi)
                qw.kill_all()
                cls.proc = qw.start(qw.program("src/app/QuenrixInstaller.exe"))
                main = qw.wait_for(lambda: qw.skinned_top(TITLE), 90, what=f"the main window at {dpi} dpi")
                radio = [w for w in qw.children(main) if w["text"] == LABEL][0]
                shot = os.path.join(cls.scratch, f"radio{dpi}.png")
                qw.screenshot(shot, radio)
                cls.seen[dpi] = {"main": main, "layout": layout(main), "screen": qw.screen_size(),
                                 "text": text_height(shot)}
                if dpi != SCALES[-1]:
                    qw.kill_all()
                    cls.proc.wait(timeout=60)
        except BaseException:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        qw.kill_all()
        if cls.proc:
            cls.proc.wait(timeout=60)
        qw.use_dpi(None)
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def assertScaledFrom96(self, seen_layout, dpi):
        (w96, h96), rects96 = self.seen[96]["layout"]
        (w, h), rects = seen_layout
        self.assertLessEqual(abs(w - scaled(w96, dpi)), 1, f"client width at {dpi}")
        self.assertLessEqual(abs(h - scaled(h96, dpi)), 1, f"client height at {dpi}")
        self.assertEqual(set(rects), set(rects96), f"the same child windows at {dpi}")
        for key, r96 in rects96.items():
            want = tuple(scaled(v, dpi) for v in r96)
            got = rects[key]
            self.assertTrue(all(abs(a - b) <= 1 for a, b in zip(got, want)),
                            f"{key[:2]} at {dpi} dpi: {got}, scaled from 96 dpi {r96}: {want}")

    def test_client_and_child_windows_scale_by_their_edges_and_the_window_is_centred(self):
        self.assertEqual(self.seen[96]["layout"][0], (566, 388))
        for dpi in SCALES:
            with self.subTest(dpi=dpi):
                self.assertScaledFrom96(self.seen[dpi]["layout"], dpi)
                sw, sh = self.seen[dpi]["screen"]
                wl, wt, wr, wb = self.seen[dpi]["main"]["rect"]
                self.assertLessEqual(abs((wl + wr) - sw), 2, "centred horizontally")
                self.assertLessEqual(abs((wt + wb) - sh), 2, "centred vertically")

    def test_the_radio_labels_text_grows_with_the_scale(self):
        heights = {dpi: self.seen[dpi]["text"] for dpi in (96,) + SCALES}
        self.assertGreater(heights[96], 5, heights)
        for dpi in SCALES:
            # Glyphs round differently at each size: the growth is checked loosely.
            self.assertGreaterEqual(heights[dpi], heights[96] * dpi / 96 * 0.8, heights)
        self.assertLess(heights[120], heights[192], heights)

    def test_a_change_of_display_scale_lays_the_window_out_again_in_the_suggested_rectangle(self):
        main = self.seen[SCALES[-1]]["main"]
        l, t, r, b = self.seen[192]["main"]["rect"]
        # As if moved onto a 192-dpi display: the platform suggests a place there of the size
        # the window has when it starts at 192 dpi.
        suggested = (100, 60, 100 + r - l, 60 + b - t)
        self.assertEqual(qw.probe("dpichanged", main["hwnd"], 192, *suggested).returncode, 0)
        moved = qw.wait_for(lambda: [w for w in qw.top_windows(TITLE) if tuple(w["rect"]) == suggested],
                            30, what="the window in the suggested rectangle")[0]
        client, rects = layout(moved)
        client192, rects192 = self.seen[192]["layout"]
        self.assertEqual(client, client192)
        self.assertEqual(set(rects), set(rects192))
        for key, want in rects192.items():
            self.assertTrue(all(abs(a - b) <= 1 for a, b in zip(rects[key], want)),
                            f"{key[:2]}: {rects[key]} after the change, {want} when started at 192 dpi")


if __name__ == "__main__":
    unittest.main()
