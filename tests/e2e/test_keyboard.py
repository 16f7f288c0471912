"""The installer without a mouse: keys pressed on the keyboard (xdotool) move the focus, choose a
product and start the install, and the platform's own reports (the focused window, the
accessibility interface) are what is checked."""
import os
import subprocess
import tempfile
import time
import unittest

import qxwine as qw
from test_install_flow import InstallFlowCase, PRODUCTS

ROLE_PUSHBUTTON, ROLE_PROGRESSBAR, ROLE_STATICTEXT, ROLE_GRAPHIC = 43, 48, 41, 40
ROLE_GROUPING, ROLE_CHECKBUTTON, ROLE_RADIOBUTTON, ROLE_PAGETAB, ROLE_PAGETABLIST, ROLE_TOOLBAR = 20, 44, 45, 37, 60, 22
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
        # Padded before it is signed: padding added by the server would break the signature.
        self.serve("Hestra", qw.signed_sample(pad_to=8_000_000))
        self.publisher.control("settings", {"mode": ["slow"], "pace_bytes": 32768, "pace_ms": 60})
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


# Every kind of control in Skin Preview that takes the keyboard, by window class.
PREVIEW_STOPS = {"TRadioButton", "TCheckBox", "TButton", "TBitBtn", "TMenuButton", "TGlyphCheckBox",
                 "TGlyphRadioButton", "TMediaPlayer", "TEdit", "TMemo", "TComboBox", "TTrackBar", "TScrollBar",
                 "TListView", "TTabControl", "TPageControl", "TPageControlEx", "TTabSet"}
# What may differ in a state without the control's being any different.
PASSING_STATES = 0x4 | 0x80 | 0x40000 | 0x100000  # focused, hot, offscreen, focusable


def crop(path, rect, origin):
    l, t, r, b = rect
    return subprocess.run(["/usr/bin/convert", path, "-crop", f"{r - l}x{b - t}+{l - origin[0]}+{t - origin[1]}",
                           "-depth", "8", "rgb:-"], capture_output=True, timeout=60, check=True).stdout


class SkinPreviewKeyboard(unittest.TestCase):
    def setUp(self):
        qw.kill_all()
        self.proc = qw.start(qw.program("src/preview/SkinPreview.exe"))
        self.main = qw.wait_for(lambda: qw.skinned_top("Skin Preview"), 90, what="the skinned Skin Preview")
        time.sleep(1.5)  # the dispatch and the first paints

    def tearDown(self):
        qw.kill_all()
        self.proc.wait(timeout=60)

    def stop_of(self, focus, windows):
        """The preview's control that holds the focused window (a combo box's edit, say)."""
        by_hwnd = {w["hwnd"]: w for w in windows}
        w = by_hwnd.get(focus)
        while w and w["class"] not in PREVIEW_STOPS and w["parent"] in by_hwnd:
            w = by_hwnd[w["parent"]]
        return w

    def test_tab_reaches_every_kind_once_each_showing_its_focus_and_shift_tab_goes_back(self):
        windows = qw.children(self.main)
        shots = tempfile.mkdtemp()
        qw.wait_for(lambda: qw.focus(self.main), 30, what="the first stop to have the focus")
        ring, pictures = [], []
        for i in range(80):
            stop = self.stop_of(qw.focus(self.main), windows)
            self.assertIsNotNone(stop, "the focus is on one of the preview's controls")
            if ring and stop["hwnd"] == ring[0]["hwnd"]:
                break
            ring.append(stop)
            path = os.path.join(shots, f"{i}.png")
            qw.screenshot(path, self.main)
            pictures.append(path)
            qw.keys("Tab")
            time.sleep(0.3)
        classes = [w["class"] for w in ring]
        self.assertEqual(set(classes), PREVIEW_STOPS, classes)
        self.assertEqual(len({w["hwnd"] for w in ring}), len(ring), "each stop once a round")
        self.assertTrue(all(w["enabled"] for w in ring), "no disabled control takes the focus")
        memos = [w["hwnd"] for w in windows if w["class"] == "TMemo"]
        after = {w["hwnd"]: w["text"] for w in qw.children(self.main) if w["hwnd"] in memos}
        self.assertEqual(after, {w["hwnd"]: w["text"] for w in windows if w["hwnd"] in memos},
                         "Tab leaves a memo without typing into it")
        # The radio group is one stop: its checked button.
        grouped = [w for w in ring if w["class"] == "TRadioButton" and w["text"] in ("First", "Second", "Third")]
        self.assertEqual([w["text"] for w in grouped], ["Second"])
        # Each stop looks different with the focus than just before it came (the stop before had
        # it then; a combo box's text stays selected after it leaves, as the platform leaves it).
        origin = self.main["rect"][:2]
        unseen = [w["class"] + " " + w["text"] for i, w in enumerate(ring)
                  if crop(pictures[i], w["rect"], origin) == crop(pictures[i - 1], w["rect"], origin)]
        self.assertEqual(unseen, [], "stops that show no focus cue")
        # Shift+Tab walks the same ring backwards.
        back = []
        for _ in range(len(ring)):
            qw.keys("shift+Tab")
            time.sleep(0.3)
            back.append(self.stop_of(qw.focus(self.main), windows)["hwnd"])
        self.assertEqual(back, [w["hwnd"] for w in reversed(ring)])

    def test_a_skinned_control_reads_as_the_same_control_unskinned(self):
        def flat(node, out):
            if node["name"] not in ("Skin off", "Skin on"):
                out.append((node["role"], node["name"], node["value"], node["state"] & ~PASSING_STATES))
            for child in node.get("children", []):
                flat(child, out)
            return out

        skinned = flat(qw.accessible_tree(self.main), [])
        toggle = [w for w in qw.children(self.main) if w["text"] == "Skin off"][0]
        qw.probe("press", toggle["hwnd"])
        qw.wait_for(lambda: not qw.skinned_top("Skin Preview"), 30, what="skinning to go")
        time.sleep(1.5)
        plain = flat(qw.accessible_tree(self.main), [])
        self.assertGreater(len(plain), 60)
        # Every self-painting kind says what it is.
        roles = {r for r, *_ in plain}
        for role in (ROLE_PUSHBUTTON, ROLE_STATICTEXT, ROLE_GROUPING, ROLE_CHECKBUTTON, ROLE_RADIOBUTTON, ROLE_PAGETAB,
                     ROLE_PAGETABLIST, ROLE_TOOLBAR):
            self.assertIn(role, roles)
        self.assertEqual(sorted(skinned, key=repr), sorted(plain, key=repr))


if __name__ == "__main__":
    unittest.main()
