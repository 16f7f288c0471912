"""The installer without a mouse: keys pressed on the keyboard (xdotool) move the focus, choose a
product and start the install, and the platform's own reports (the focused window, the
accessibility interface) are what is checked."""
import os
import time
import unittest

import qxwine as qw
from test_install_flow import InstallFlowCase, PRODUCTS

ROLE_PUSHBUTTON, ROLE_PROGRESSBAR, ROLE_STATICTEXT, ROLE_GRAPHIC = 43, 48, 41, 40
STATE_UNAVAILABLE, STATE_FOCUSED, STATE_PRESSED, STATE_INVISIBLE, STATE_FOCUSABLE = 0x1, 0x4, 0x8, 0x8000, 0x100000
# The products in tab order (the layout's), which the arrow keys follow.
TAB_ORDER = ["Sarvek", "Lumiqo", "Partelo", "Hestra", "Drivano", "Nuvreta"]


class Keyboard(InstallFlowCase):
    def focused(self):
        return qw.focus(self.main)

    def expect_focus(self, window, what):
        qw.wait_for(lambda: self.focused() == window["hwnd"], 20, 0.3, what)

    def product(self, word):
        return self.radio(PRODUCTS[word])

    def checked(self):
        return sorted(word for word in PRODUCTS if self.product(word)["checked"] == 1)

    def choose_fourth_by_keyboard(self):
        """From the install button: back into the group, then down to its fourth product."""
        qw.keys("shift+Tab")
        self.expect_focus(self.product("Sarvek"), "the group's first product (none is checked)")
        self.assertEqual(self.checked(), [], "the focus alone chooses nothing")
        qw.keys("Down", "Down", "Down")
        self.expect_focus(self.product("Hestra"), "the fourth product")
        self.assertEqual(self.checked(), ["Hestra"])
        qw.keys("Tab")
        self.expect_focus(self.install_button(), "the install button")

    def expect_installed(self, word):
        marker = os.path.join(self.folder, word + "Kur.exe.started")
        qw.wait_for(lambda: os.path.exists(marker), 90, what="the setup program to start")
        self.proc.wait(timeout=60)
        self.assertEqual([g["path"] for g in self.publisher.setup_gets()], [f"/Kur/{word}Setup.exe"])

    def test_tab_arrows_and_space_install_the_fourth_product(self):
        self.start_installer()
        self.expect_focus(self.product("Sarvek"), "the first tab stop at start")
        self.assertEqual(self.checked(), [])
        qw.keys("Tab")
        self.expect_focus(self.install_button(), "the install button")
        qw.keys("Tab")
        self.expect_focus(self.product("Sarvek"), "round to the group")
        qw.keys("Down", "Down", "Down")
        self.expect_focus(self.product("Hestra"), "the fourth product")
        self.assertEqual(self.checked(), ["Hestra"])
        qw.keys("Tab")
        self.expect_focus(self.install_button(), "the install button")
        qw.keys("shift+Tab")
        self.expect_focus(self.product("Hestra"), "Shift+Tab back to the checked product")
        qw.keys("Up", "Down")
        self.assertEqual(self.checked(), ["Hestra"])
        qw.keys("Tab")
        self.expect_focus(self.install_button(), "the install button")
        qw.keys("space")
        self.expect_installed("Hestra")

    def test_enter_after_the_warning_box_and_the_same_install_with_enter(self):
        self.start_installer()
        qw.keys("Tab")
        self.expect_focus(self.install_button(), "the install button")
        for press in ("Return", "space"):
            with self.subTest(press):
                qw.keys(press)
                box = qw.wait_for(lambda: (self.boxes() or [None])[0], 30, what="the warning box")
                qw.wait_for(lambda: qw.focus(box) in [w["hwnd"] for w in qw.children(box)], 20, 0.3,
                            "the box's button to have the focus")
                qw.keys("Return")
                qw.wait_for(lambda: not self.boxes(), 30, what="the box to close")
                self.expect_focus(self.install_button(), "the focus back on the install button")
                self.assertEqual(self.checked(), [])
        self.choose_fourth_by_keyboard()
        qw.keys("Return")
        self.expect_installed("Hestra")

    def test_a_screen_reader_reads_the_install_button_and_the_progress_of_the_download(self):
        self.publisher.control("settings", {"mode": ["slow"], "pad_to": 8_000_000, "pace_bytes": 32768, "pace_ms": 60})
        self.start_installer()
        button = qw.accessible(self.install_button())
        self.assertEqual(button["role"], ROLE_PUSHBUTTON)
        self.assertEqual(button["name"], "Kuruluma Başla")
        self.assertEqual(button["state"] & (STATE_FOCUSABLE | STATE_FOCUSED | STATE_UNAVAILABLE), STATE_FOCUSABLE)
        qw.keys("Tab")
        self.expect_focus(self.install_button(), "the install button")
        self.assertTrue(qw.accessible(self.install_button())["state"] & STATE_FOCUSED)
        window = qw.accessible(self.main)
        by_role = {}
        for child in window["children"]:
            by_role.setdefault(child["role"], []).append(child)
        self.assertEqual([c["name"] for c in by_role[ROLE_GRAPHIC]], ["Buluttan indirme"])
        self.assertIn("Kuruluma Başla", [c["name"] for c in by_role[ROLE_PUSHBUTTON]])
        header = [c for c in by_role[ROLE_STATICTEXT] if c["name"].startswith("Quenrix Kurulum Sihirbazı")]
        self.assertEqual(len(header), 1, "the header panel reads as static text")
        bar = by_role[ROLE_PROGRESSBAR][0]
        self.assertTrue(bar["state"] & STATE_INVISIBLE, "the bar is hidden before the download")

        self.choose_fourth_by_keyboard()
        qw.keys("Return")
        values = []

        def percent():
            # While the transfer runs, the window answers between pieces of data only.
            bars = (qw.accessible(self.main, ROLE_PROGRESSBAR) or {"children": []})["children"]
            if bars and not bars[0]["state"] & STATE_INVISIBLE and bars[0]["value"].endswith("%"):
                value = int(bars[0]["value"][:-1])
                if not values or value != values[-1]:
                    values.append(value)
            return len(values) >= 2

        qw.wait_for(percent, 90, 0.2, "the bar's value to move during the download")
        self.assertEqual(values, sorted(values), "the value only grows")
        self.assertTrue(0 <= values[0] < values[-1] <= 100)
        self.expect_installed("Hestra")


class SkinPreviewReader(unittest.TestCase):
    def setUp(self):
        qw.kill_all()
        self.proc = qw.start(qw.program("src/preview/SkinPreview.exe"))

    def tearDown(self):
        qw.kill_all()
        self.proc.wait(timeout=60)

    def test_its_controls_tell_a_screen_reader_their_role_name_and_state(self):
        window = qw.wait_for(lambda: qw.skinned_top("Skin Preview"), 90, what="the skinned Skin Preview")
        children = qw.accessible(window)["children"]
        self.assertTrue(all(c["role"] > 0 for c in children))
        names = {c["name"] for c in children}
        for caption in ("Check", "Check indeterminate (disabled)", "Normal", "Bit Default", "Menu Disabled",
                        "Skin off", "Panel", "Group box"):
            self.assertIn(caption, names)
        # The windowless speed buttons, painted by the window itself, are told by it.
        speed = {c["name"]: c for c in children if c["role"] == ROLE_PUSHBUTTON and c["name"].startswith("Speed ")}
        self.assertEqual(sorted(speed), ["Speed Default", "Speed Disabled", "Speed Normal"])
        self.assertEqual(speed["Speed Normal"]["state"] & (STATE_UNAVAILABLE | STATE_PRESSED), 0)
        self.assertTrue(speed["Speed Disabled"]["state"] & STATE_UNAVAILABLE)
        self.assertTrue(speed["Speed Default"]["state"] & STATE_PRESSED, "a speed button held down reads as pressed")


if __name__ == "__main__":
    unittest.main()
