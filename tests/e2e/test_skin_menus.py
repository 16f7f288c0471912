"""Skin Preview's menus on the screen: the menu bar drawn by the skin inside the skinned frame
(no system menu bar while skinned, the menu back with skinning off), drop-downs under their
items with the skin's background and selected-item picture, the keyboard, the skinned system
menu per window state, the context menu, double-click-to-close, and the MDI demo's
maximize, close and restore cycle."""
import importlib.util
import os
import tempfile
import time
import unittest

import qxwine as qw

TITLE = "Skin Preview"
WM_SYSCOMMAND = 0x0112
SC_MAXIMIZE = 0xF030
SB_GETTEXTLENGTHW = 0x040C


def load_skin_maker():
    path = os.path.join(qw.ROOT, "skins", "quenrix-blue", "make_skin.py")
    found = importlib.util.spec_from_file_location("make_skin", path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


SKIN = load_skin_maker()
BACKGROUND = SKIN.menu_background()
# The bar shows the first of the two stacked pictures (the active one).
BAR_COLOURS = {BACKGROUND.get(x, y) for x in range(BACKGROUND.width) for y in range(BACKGROUND.height // 2)}
INK = SKIN.INK          # the items' text
SELECTED_EDGE = SKIN.BLUE  # the border of the MenuItem element's selected picture


class SkinMenus(unittest.TestCase):
    def setUp(self):
        qw.kill_all()
        self.proc = qw.start(qw.program("src/preview/SkinPreview.exe"))
        self.main = qw.wait_for(lambda: (qw.top_windows(TITLE) or [None])[0], 90, what="the preview window")
        time.sleep(1.5)
        self.main = qw.top_windows(TITLE)[0]
        self.dir = tempfile.mkdtemp()

    def tearDown(self):
        qw.kill_all()
        self.proc.wait(timeout=60)

    # ---- helpers ----
    def shot(self, name="shot"):
        path = os.path.join(self.dir, name + ".png")
        qw.screenshot(path)
        return path

    def popups(self):
        return [w for w in qw.windows() if w["class"] == "#32768" and w["visible"]]

    def wait_popup(self, what):
        return qw.wait_for(lambda: (self.popups() or [None])[0], 20, 0.3, what)

    def wait_no_popup(self):
        qw.wait_for(lambda: not self.popups(), 20, 0.3, "the menu to close")

    def menu_bar(self, window):
        return int(qw.probe("menu", window["hwnd"]).stdout.strip() or "-1")

    def band(self, window):
        """The menu band under the caption: screen rows and its left edge."""
        cl, ct, cr, _ = window["client"]
        return cl, ct - 19, cr, ct

    def ink_pixels(self, path, left, top, right, bottom):
        crop = os.path.join(self.dir, "crop.txt")
        os.system(f"/usr/bin/convert {path} -crop {right - left}x{bottom - top}+{left}+{top} -depth 8 txt:{crop}")
        wanted = "#%02X%02X%02X" % INK
        with open(crop) as f:
            return sum(1 for line in f if wanted in line)

    def free_spot(self, window, room=(240, 220), margin=8):
        """A point of the client area on no child window, with room for a menu right and below."""
        cl, ct, cr, cb = window["client"]
        kids = [w["rect"] for w in qw.children(window) if w["visible"]]
        for y in range(ct + margin, cb - room[1], 4):
            for x in range(cr - room[0], cl + margin, -4):
                if not any(l - margin <= x < r + margin and t - margin <= y < b + margin for l, t, r, b in kids):
                    return x, y
        self.fail("no free spot in the client area")

    def click_caption(self, window, double=False):
        l, t, r, _ = window["rect"]
        qw.xdotool("mousemove", (l + r) // 2, t + 12)
        time.sleep(0.2)
        qw.xdotool("click", "--repeat", "2" if double else "1", "--delay", "80", "1")

    # ---- tests ----
    def test_menu_bar_is_skinned_opens_under_its_item_and_comes_back_with_skinning_off(self):
        self.assertEqual(self.menu_bar(self.main), 0, "no system menu bar while skinned")
        left, top, right, bottom = self.band(self.main)
        shot = self.shot("bar")
        # The band's free end (past the last item) shows the skin's menu bar picture.
        for y in (top + 2, (top + bottom) // 2, bottom - 2):
            self.assertIn(qw.pixel(shot, right - 40, y), BAR_COLOURS, y)

        # Pointing at File shows it hot; a click opens its drop-down right under it, skinned.
        file_edge = (left + 5, (top + bottom) // 2)
        self.assertNotEqual(qw.pixel(shot, *file_edge), SELECTED_EDGE)
        qw.xdotool("mousemove", left + 14, (top + bottom) // 2)
        time.sleep(0.6)
        self.assertEqual(qw.pixel(self.shot("hotbar"), *file_edge), SELECTED_EDGE, "the hot bar item")
        qw.click(left + 14, (top + bottom) // 2)
        popup = self.wait_popup("the File drop-down")
        pl, pt, pr, pb = popup["rect"]
        self.assertEqual(pt, bottom - 1, "the drop-down starts under the item")
        self.assertTrue(left <= pl <= left + 12, popup["rect"])
        shot = self.shot("drop")
        self.assertEqual(qw.pixel(shot, pl, pt), BACKGROUND.get(0, 0), "the frame band from MenuBackground")
        self.assertEqual(qw.pixel(shot, pr - 1, pb - 1), BACKGROUND.get(BACKGROUND.width - 1, BACKGROUND.height - 1))
        self.assertEqual(qw.pixel(shot, pl + 1, (pt + pb) // 2)[2], 255, "a bluish band, not a grey border")
        self.assertEqual(qw.pixel(shot, pl, (top + bottom) // 2), SELECTED_EDGE, "the pressed bar item")
        # Pointing at the first item selects it with the skin's MenuItem picture.
        item_y = pt + 3 + 10
        self.assertNotEqual(qw.pixel(shot, pl + 3, item_y), SELECTED_EDGE)
        qw.xdotool("mousemove", pl + 50, item_y)
        time.sleep(0.8)
        self.assertEqual(qw.pixel(self.shot("hot"), pl + 3, item_y), SELECTED_EDGE)
        qw.xdotool("key", "Escape")
        self.wait_no_popup()

        # Skinning off: the system's menu bar with the same client area; on again: the skin's.
        client = self.main["client"]
        toggle = [w for w in qw.children(self.main) if w["text"] == "Skin off"][0]
        qw.click_center(toggle)
        off = qw.wait_for(lambda: self.menu_bar(self.main) != 0 and qw.top_windows(TITLE)[0], 20, 0.5, "the menu back")
        self.assertEqual(off["client"][2] - off["client"][0], client[2] - client[0])
        self.assertEqual(off["client"][3] - off["client"][1], client[3] - client[1])
        # The menus work with the system look while skinning is off.
        ol, ot, orr, ob = self.band(off)
        qw.click(ol + 14, ot + 9)
        popup = self.wait_popup("the system's File drop-down")
        self.assertNotEqual(qw.pixel(self.shot("sysdrop"), popup["rect"][0], popup["rect"][1]), BACKGROUND.get(0, 0))
        qw.xdotool("key", "Escape")
        self.wait_no_popup()
        toggle = [w for w in qw.children(off) if w["text"] == "Skin on"][0]
        qw.click_center(toggle)
        on = qw.wait_for(lambda: self.menu_bar(self.main) == 0 and qw.top_windows(TITLE)[0], 20, 0.5, "the skin back")
        time.sleep(1)
        self.assertEqual(on["client"], client)
        left, top, right, bottom = self.band(on)
        self.assertIn(qw.pixel(self.shot("again"), right - 40, (top + bottom) // 2), BAR_COLOURS)

    def test_keyboard_and_the_skinned_system_menu(self):
        # Focus inside the window, away from every sample.
        cl, ct, cr, cb = self.main["client"]
        qw.click(*self.free_spot(self.main))
        time.sleep(0.3)
        # Alt+F opens File under its item.
        qw.xdotool("key", "alt+f")
        popup = self.wait_popup("File from the keyboard")
        self.assertEqual(popup["rect"][1], ct - 1)
        qw.xdotool("key", "Escape")
        self.wait_no_popup()

        # Alt+Space: the skinned system menu at the client's origin, Restore disabled while normal.
        def restore_ink():
            qw.xdotool("key", "alt+space")
            popup = self.wait_popup("the system menu")
            pl, pt, pr, pb = popup["rect"]
            self.assertEqual((pl, pt), (cl, ct))
            shot = self.shot("sys")
            self.assertEqual(qw.pixel(shot, pl, pt), BACKGROUND.get(0, 0), "skinned")
            ink = self.ink_pixels(shot, pl + 24, pt + 4, pr - 40, pt + 20)
            qw.xdotool("key", "Escape")
            self.wait_no_popup()
            return ink

        self.assertEqual(restore_ink(), 0, "Restore is disabled while the window is normal")
        self.click_caption(self.main, double=True)
        maximized = qw.wait_for(lambda: (lambda w: w if w["rect"][0] <= 0 else None)(qw.top_windows(TITLE)[0]), 20,
                                0.5, "the window maximized")
        cl, ct, cr, cb = maximized["client"]
        self.assertGreater(restore_ink(), 0, "Restore is enabled while the window is maximized")

        # A right click on the caption opens it as well, at the pointer.
        qw.xdotool("mousemove", 300, maximized["rect"][1] + 12)
        time.sleep(0.2)
        qw.xdotool("click", "3")
        popup = self.wait_popup("the system menu from the caption")
        self.assertEqual(popup["rect"][0], 300)
        qw.xdotool("key", "Escape")
        self.wait_no_popup()

    def test_context_menu_runs_its_item_and_a_double_click_on_the_icon_closes(self):
        x, y = self.free_spot(self.main)
        qw.xdotool("mousemove", x, y)
        time.sleep(0.2)
        qw.xdotool("click", "3")
        popup = self.wait_popup("the context menu")
        pl, pt, _, _ = popup["rect"]
        self.assertEqual((pl, pt), (x, y))
        self.assertEqual(qw.pixel(self.shot("context"), pl, pt), BACKGROUND.get(0, 0))
        qw.click(pl + 50, pt + 3 + 10)
        self.wait_no_popup()
        # The item writes into the status bar's first panel.
        status = [w for w in qw.children(self.main) if w["class"] == "TStatusBar"][0]
        length = lambda: int(qw.probe("send", status["hwnd"], SB_GETTEXTLENGTHW, 0, 0).stdout.strip() or "0") & 0xFFFF
        qw.wait_for(lambda: length() == len("Open was chosen"), 10, 0.5, "the item's work")

        # Two clicks on the system-menu button (the window icon) close the window.
        l, t, _, _ = self.main["rect"]
        qw.xdotool("mousemove", l + 16, t + 14)
        time.sleep(0.3)
        qw.xdotool("click", "--repeat", "2", "--delay", "120", "1")
        qw.wait_for(lambda: not qw.top_windows(TITLE), 20, 0.5, "the window to close")

    def test_mdi_children_maximize_into_the_frame_menu_bar_and_restore(self):
        qw.click(*self.free_spot(self.main))
        time.sleep(0.3)
        qw.xdotool("key", "alt+w")
        self.wait_popup("the Window menu")
        qw.xdotool("key", "Return")
        frame = qw.wait_for(lambda: (qw.top_windows("MDI Demo") or [None])[0], 30, 0.5, "the MDI demo")
        all_windows = qw.windows()
        client = [w for w in all_windows if w["top"] == frame["hwnd"] and w["class"].lower() == "mdiclient"][0]

        def children():
            return [w for w in qw.windows() if w["parent"] == client["hwnd"] and w["class"] == "TForm"]

        kids = qw.wait_for(lambda: (lambda k: k if len(k) == 3 else None)(children()), 20, 0.5, "three children")
        for kid in kids:
            self.assertEqual(int(qw.probe("send", kid["hwnd"], 0x3523, 0, 0).stdout.strip()), 1, "skinned frame")

        left, top, right, bottom = self.band(frame)
        row = (top + bottom) // 2

        def buttons(shot):
            """Runs of columns at the band's end that are not the bar's picture (the MDI buttons)."""
            runs, inside = [], False
            for x in range(right - 2, right - 80, -1):
                foreign = qw.pixel(shot, x, row) not in BAR_COLOURS
                if foreign and not inside:
                    runs.append([x, x])
                elif foreign:
                    runs[-1][1] = x
                inside = foreign
            return runs

        self.assertEqual(buttons(self.shot("plain")), [], "no buttons while no child is maximized")
        active = [k for k in kids if k["text"] == "Child 3"][0]
        qw.probe("send", active["hwnd"], WM_SYSCOMMAND, SC_MAXIMIZE, 0)
        covers = lambda k: k["rect"][0] <= client["client"][0] and k["rect"][2] >= client["client"][2]
        qw.wait_for(lambda: any(covers(k) for k in children()), 20, 0.5, "the child maximized")
        time.sleep(1)
        runs = qw.wait_for(lambda: (lambda r: r if len(r) == 3 else None)(buttons(self.shot("max"))), 10, 0.5,
                           "three MDI buttons in the frame's menu bar")

        # Closing the maximized child: the next one is active and stays maximized.
        close = runs[0]
        qw.click((close[0] + close[1]) // 2, row)
        qw.wait_for(lambda: len(children()) == 2, 20, 0.5, "the child closed")
        time.sleep(1)
        self.assertTrue(any(covers(k) for k in children()), "another child is maximized")
        runs = qw.wait_for(lambda: (lambda r: r if len(r) == 3 else None)(buttons(self.shot("still"))), 10, 0.5,
                           "the buttons still there")

        # The restore button gives the child its frame back and takes the buttons away.
        restore = runs[1]
        qw.click((restore[0] + restore[1]) // 2, row)
        qw.wait_for(lambda: not any(covers(k) for k in children()), 20, 0.5, "the child restored")
        time.sleep(1)
        self.assertEqual(buttons(self.shot("restored")), [])
        for kid in children():
            self.assertEqual(int(qw.probe("send", kid["hwnd"], 0x3523, 0, 0).stdout.strip()), 1)


if __name__ == "__main__":
    unittest.main()
