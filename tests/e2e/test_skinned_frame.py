"""The skinned frame seen from outside on the real programs: the installer's frame and caption
are the skin's own pieces, its corners are cut by its region, its close button behaves as a
button does, its caption drags the window, its message box wears the skin too, and Skin Preview
stops and starts skinning on request."""
import os
import struct
import subprocess
import tempfile
import time
import unittest

import qxwine as qw

TITLE = "Quenrix Installer"
SKINNED_QUERY = 0x3523
CAPTION, EDGE = 28, 4


def skin_file():
    return os.path.join(qw.build_dir(), "quenrix-blue.skin")


def skintool():
    return os.path.join(qw.build_dir(), "host-tools", "skintool", "skintool")


class Bitmap:
    """A 24-bit bitmap of the skin, read from the packed skin file."""

    def __init__(self, name):
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, name)
            subprocess.run([skintool(), "extract", skin_file(), name, out], check=True, capture_output=True, timeout=60)
            with open(out, "rb") as f:
                data = f.read()
        offset, = struct.unpack_from("<I", data, 10)
        self.width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
        assert bits == 24, name
        self.height = abs(height)
        self.bottom_up = height > 0
        self.stride = (self.width * 3 + 3) // 4 * 4
        self.data, self.offset = data, offset

    def at(self, x, y):
        row = self.height - 1 - y if self.bottom_up else y
        i = self.offset + row * self.stride + x * 3
        b, g, r = self.data[i:i + 3]
        return (r, g, b)


class InstallerFrame(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.top = Bitmap("FrameTop.bmp")        # two stacked pictures: active, inactive
        cls.left = Bitmap("FrameLeft.bmp")      # two pictures side by side
        cls.bottom = Bitmap("FrameBottom.bmp")
        cls.close = Bitmap("CloseButton.bmp")   # six cells: normal, pressed, hot, inactive, ...

    def setUp(self):
        qw.kill_all()
        self.proc = qw.start(qw.program("src/app/QuenrixInstaller.exe"))
        self.main = qw.wait_for(self.skinned_main, 90, what="the skinned main window")
        time.sleep(1)

    def tearDown(self):
        qw.kill_all()
        self.proc.wait(timeout=60)

    def skinned_main(self):
        return qw.skinned_top(TITLE)

    def answer(self, window):
        return int(qw.probe("send", window["hwnd"], SKINNED_QUERY, 0, 0).stdout.strip() or "-1")

    def shot(self):
        path = os.path.join(tempfile.mkdtemp(), "screen.png")
        qw.screenshot(path)
        return path

    def window_pixel(self, shot, window, x, y):
        return qw.pixel(shot, window["rect"][0] + x, window["rect"][1] + y)

    def close_centre(self):
        l, t, r, _ = self.main["rect"]
        cell = self.close.width // 6
        return l + (r - l) - 34 + cell // 2, t + 6 + self.close.height // 2

    def close_sample(self):
        """A point of the close button where its pressed and hot cells differ, and what the
        normal, pressed and hot states show there (the caption where a cell is transparent)."""
        w = self.close.width // 6
        for y in range(self.close.height):
            for x in range(w):
                normal, pressed, hot = (self.close.at(c * w + x, y) for c in range(3))
                if (255, 0, 255) not in (pressed, hot) and pressed != hot and normal != hot:
                    if normal == (255, 0, 255):
                        normal = self.top.at(400, 6 + y)
                    return (x, y), (normal, pressed, hot)
        self.fail("the close button's pressed and hot cells do not differ")

    def test_frame_caption_and_corners_are_the_skins_pieces(self):
        w = self.main
        width, height = w["rect"][2] - w["rect"][0], w["rect"][3] - w["rect"][1]
        self.assertEqual((w["client"][2] - w["client"][0], w["client"][3] - w["client"][1]), (566, 388))
        self.assertEqual((width, height), (566 + 2 * EDGE, 388 + CAPTION + EDGE))
        self.assertEqual(self.answer(w), 1)
        shot = self.shot()
        # The caption strip row by row, between the title and the buttons; the sides and bottom.
        for y in range(CAPTION):
            self.assertEqual(self.window_pixel(shot, w, 300, y), self.top.at(400, y), f"caption row {y}")
        for y in (CAPTION + 5, height // 2, height - EDGE - 1):
            for x in range(EDGE):
                self.assertEqual(self.window_pixel(shot, w, x, y), self.left.at(x, 100), f"left edge {x},{y}")
        for y in range(EDGE):
            self.assertEqual(self.window_pixel(shot, w, 300, height - EDGE + y), self.bottom.at(300, y))
        # The corners the pieces leave transparent show what lies under the window.
        background = qw.pixel(shot, 2, 2)
        self.assertEqual(self.window_pixel(shot, w, 0, 0), background)
        self.assertEqual(self.window_pixel(shot, w, width - 1, 0), background)
        self.assertNotEqual(self.window_pixel(shot, w, 3, 0), background)
        # The six products are drawn from the skin's radio cells: no system circle is left.
        radios = [c for c in qw.children(w) if c["class"] == "TRadioButton"]
        self.assertEqual(len(radios), 6)
        self.assertEqual(qw.query(SKINNED_QUERY, radios), [1] * 6)

    def test_the_close_button_is_hot_pressed_and_acts_only_when_released_on_it(self):
        (dx, dy), (normal, pressed, hot) = self.close_sample()
        cx, cy = self.close_centre()
        cell = self.close.width // 6
        left, top = cx - cell // 2, cy - self.close.height // 2
        qw.xdotool("mousemove", cx, cy)
        time.sleep(0.5)
        self.assertEqual(qw.pixel(self.shot(), left + dx, top + dy), hot)
        qw.xdotool("mousedown", "1")
        time.sleep(0.5)
        self.assertEqual(qw.pixel(self.shot(), left + dx, top + dy), pressed)
        # Released elsewhere: nothing happens and the button comes back to normal.
        qw.xdotool("mousemove", cx - 200, cy)
        time.sleep(0.3)
        qw.xdotool("mouseup", "1")
        time.sleep(1)
        self.assertEqual(qw.pixel(self.shot(), left + dx, top + dy), normal)
        self.assertIsNotNone(self.skinned_main(), "still open")
        # A click on it closes the program.
        qw.click(cx, cy)
        qw.wait_for(lambda: self.proc.poll() is not None or not qw.top_windows(TITLE), 30, what="the program to end")

    def test_the_caption_drags_the_window(self):
        l, t = self.main["rect"][:2]
        qw.xdotool("mousemove", l + 300, t + 14)
        qw.xdotool("mousedown", "1")
        for step in range(1, 5):
            time.sleep(0.15)
            qw.xdotool("mousemove", l + 300 + 10 * step, t + 14 + 8 * step)
        time.sleep(0.2)
        qw.xdotool("mouseup", "1")
        moved = qw.wait_for(lambda: (lambda w: w if w and w["rect"][0] != l else None)(self.skinned_main()), 10,
                            what="the window to move")
        self.assertEqual((moved["rect"][0] - l, moved["rect"][1] - t), (40, 32))

    def test_the_message_box_is_skinned_and_the_main_window_shows_its_inactive_look(self):
        region = self.main["region"]
        button = [c for c in qw.children(self.main) if c["text"].strip() == "Kuruluma Başla"][0]
        qw.click_center(button)
        box = qw.wait_for(lambda: qw.skinned_top("Uyarı", "#32770"), 30, what="the skinned 'Uyarı' box")
        time.sleep(1)
        self.assertEqual(self.answer(box), 1)
        ok = [c for c in qw.children(box) if c["class"].lower() == "button"][0]
        self.assertEqual(self.answer(ok), 1, "its OK button is skinned too")
        shot = self.shot()
        box_width = box["rect"][2] - box["rect"][0]
        for y in (3, 14, CAPTION - 1):
            self.assertEqual(self.window_pixel(shot, box, box_width // 2 + 40, y), self.top.at(400, y))
        # The main window is inactive now: its pieces' second pictures, its region unchanged.
        main = self.skinned_main()
        for y in (3, 14, CAPTION - 1):
            self.assertEqual(self.window_pixel(shot, main, 300, y), self.top.at(400, CAPTION + y))
        self.assertEqual(self.window_pixel(shot, main, 1, 200), self.left.at(self.left.width // 2 + 1, 100))
        self.assertEqual(main["region"], region)
        qw.probe("press", ok["hwnd"])
        qw.wait_for(lambda: not qw.top_windows("Uyarı", "#32770"), 30, what="the box to close")


class PreviewSwitch(unittest.TestCase):
    def setUp(self):
        qw.kill_all()
        self.proc = qw.start(qw.program("src/preview/SkinPreview.exe"))
        self.main = qw.wait_for(lambda: qw.skinned_top("Skin Preview"), 90, what="the skinned preview")

    def tearDown(self):
        qw.kill_all()
        self.proc.wait(timeout=60)

    def answer(self, window):
        return int(qw.probe("send", window["hwnd"], SKINNED_QUERY, 0, 0).stdout.strip() or "-1")

    def skinned(self, windows):
        return [w for w, a in zip(windows, qw.query(SKINNED_QUERY, windows)) if a == 1]

    def test_skin_off_gives_every_window_back_and_skin_on_skins_it_again(self):
        def state():
            # While skinning starts, the window draws nothing and is not listed as visible.
            tops = qw.top_windows("Skin Preview")
            if not tops:
                return None
            kids = qw.children(tops[0])
            toggle = [k for k in kids if k["text"] in ("Skin off", "Skin on")]
            return (tops[0], kids, toggle[0]) if toggle else None

        def when(test):
            return lambda: (lambda s: s if s and test(s[0]) else None)(state())

        main, kids, toggle = state()
        client = main["client"]
        skinned_kids = self.skinned(kids)
        self.assertGreater(len(skinned_kids), 10)
        for round in range(2):
            qw.click_center(toggle)
            main, kids, toggle = qw.wait_for(when(lambda m: m["region"] is None), 20, what="skinning to stop")
            self.assertEqual(toggle["text"], "Skin on")
            self.assertEqual(self.answer(main), 0)
            self.assertEqual([k["text"] for k in self.skinned(kids)], [], "every procedure given back")
            self.assertEqual(main["client"][2] - main["client"][0], client[2] - client[0], "client width kept")
            qw.click_center(toggle)
            main, kids, toggle = qw.wait_for(when(lambda m: m["region"] is not None), 20, what="skinning again")
            self.assertEqual(toggle["text"], "Skin off")
            self.assertEqual(self.answer(main), 1)
            self.assertEqual(len(self.skinned(kids)), len(skinned_kids), f"round {round}")


if __name__ == "__main__":
    unittest.main()
