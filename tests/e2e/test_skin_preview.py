"""Skin Preview on the screen: every control kind is there and the button family answers as
skinned (the other kinds are tested in test_skin_controls)."""
import os
import tempfile
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


if __name__ == "__main__":
    unittest.main()
