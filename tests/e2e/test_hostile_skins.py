"""Skin Preview pointed at broken and hostile skins, made here by tools/winbench/hostile_skins.py:
each one is refused, leaving every window its system look, or used, with its frame where its
caption can serve and the system frame where it cannot; none crashes or keeps the program busy,
and whatever is refused, left out or clamped is told in the words `skintool check` prints.
And a skin without button pictures leaves the buttons looking as they do without any skin."""
import os
import subprocess
import sys
import tempfile
import time
import unittest

import qxwine as qw

GENERATOR = os.path.join(qw.ROOT, "tools", "winbench", "hostile_skins.py")
PREVIEW = "src/preview/SkinPreview.exe"
TITLE = "Skin Preview"

# (skinned, system frame) by the file name's first word.
OUTCOMES = {"refused": (0, 1), "loads": (1, 0), "caption": (1, 1)}
EXCEPTIONS = {"loads-no-frame": (1, 1)}
# Words the loading message must hold.
MESSAGES = {
    "refused-older-version": "This is Older Skin File",
    "refused-250mib-file": "This skin file is too large",
    "refused-60mib-of-noise": "This skin file is too large",
    "refused-2-million-lines": "This skin's description is too large",
    "refused-8192-glyph": "This skin's pictures are too large",
    "refused-3000-picture-every-key": "This skin's pictures are too large",
    "refused-utf16-description": "is saved as UTF-16",
    "refused-sizes-too-large": "entry sizes add up to",
    "refused-sizes-too-small": "entry sizes add up to",
    "refused-negative-size": "declares a negative size",
    "refused-nul-in-entry-name": "NUL byte",
    "refused-backup-description-first": "\"quenrix-blue.ini\" is not read",
    "caption-transparent": "transparent everywhere",
    "caption-1-pixel-high": "too low to hold its title and buttons",
    "caption-close-button-far-away": "the close button",
    "caption-no-close-button": "has no close button",
    "loads-huge-title-offsets": "[Personality] TextShift: -2147483647",
    "caption-1x1-pictures": "too small for its 23 frames",
    "loads-menu-offset-2-31": "[Personality] TileLeftMenu",
}
SILENT = {"loads-own-skin", "loads-byte-order-mark", "loads-checkered-frame", "loads-no-frame"}
# Made to cost time at the first paint (a fine window region, a caption judged from its
# pixels): processor time within a second of the bare start.
TIMED_PREFIXES = ("caption-", "loads-checkered", "loads-byte-order", "loads-menu-offset")
# Driven from the keyboard after their report: closed and moved without a caption of the skin's.
DRIVEN = ("loads-checkered-frame", "caption-close-button-far-away")


def skintool():
    for path in (os.path.join(qw.build_dir(), "host-tools", "skintool", "skintool"),
                 os.path.join(qw.build_dir(), "tools", "skintool", "skintool")):
        if os.path.exists(path):
            return path
    raise unittest.SkipTest("no skintool in the build folder")


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def read_report(path):
    values, messages = {}, []
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            key, _, rest = line.rstrip("\n").partition(" ")
            if key == "message":
                messages.append(rest)
            else:
                values[key] = int(rest)
    return values, messages


class HostileSkins(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="hostile-skins-")
        subprocess.run([sys.executable, GENERATOR, cls.folder, "--skintool", skintool()], check=True,
                       stdout=subprocess.DEVNULL, timeout=600)
        qw.kill_all()
        values, _ = cls.report(None)
        cls.bare_cpu = values["cpu"]

    def setUp(self):
        qw.kill_all()

    def tearDown(self):
        qw.kill_all()

    @classmethod
    def report(cls, skin):
        out = os.path.join(cls.folder, "report.txt")
        if os.path.exists(out):
            os.remove(out)
        qw.run(qw.program(PREVIEW), ["--report", winpath(out)] + ([winpath(skin)] if skin else []), timeout=240)
        assert os.path.exists(out), "no report: the preview did not get to paint its window"
        return read_report(out)

    def names(self):
        return sorted(n[:-5] for n in os.listdir(self.folder) if n.endswith(".skin"))

    def judge(self, name, values, messages):
        """The outcome, the message and the time of one file, against what skintool says of it."""
        expected = EXCEPTIONS.get(name, OUTCOMES[name.split("-")[0]])
        self.assertEqual((values["skinned"], values["systemframe"]), expected)
        check = subprocess.run([skintool(), "check", os.path.join(self.folder, name + ".skin")],
                               capture_output=True, text=True, timeout=120)
        lines = check.stdout.splitlines()
        self.assertEqual(check.returncode, 1 if name.startswith("refused-") else 0, check.stdout + check.stderr)
        told = " ".join(lines if check.returncode else lines[:-1])
        self.assertEqual(messages, [told] if told else [], "the loading message says what skintool check says")
        if name in SILENT:
            self.assertEqual(told, "")
        if name in MESSAGES:
            self.assertIn(MESSAGES[name], told)
        if name.startswith(TIMED_PREFIXES):
            self.assertLess(values["cpu"] - self.bare_cpu, 1000, "processor time to the first paint")

    def test_every_skin_is_refused_or_used_with_a_frame_that_serves_and_says_what_it_left_out(self):
        names = self.names()
        self.assertGreaterEqual(len(names), 30)
        for name in names:
            if name in DRIVEN:
                continue
            with self.subTest(skin=name):
                values, messages = self.report(os.path.join(self.folder, name + ".skin"))
                self.judge(name, values, messages)

    def test_a_window_without_the_skins_caption_or_with_a_fine_region_closes_and_moves_from_the_keyboard(self):
        for name in DRIVEN:
            with self.subTest(skin=name):
                qw.kill_all()
                out = os.path.join(self.folder, name + ".txt")
                proc = qw.start(qw.program(PREVIEW), ["--report", winpath(out), "--stay",
                                                      winpath(os.path.join(self.folder, name + ".skin"))])
                try:
                    qw.wait_for(lambda: os.path.exists(out) and os.path.getsize(out) > 0, 120, what="the report")
                    time.sleep(0.5)
                    self.judge(name, *read_report(out))
                    main = qw.wait_for(lambda: (qw.top_windows(TITLE) or [None])[0], 60, what="the window")
                    if main.get("region"):
                        self.assertLessEqual(main["region"]["rects"], 4096)
                    l, t, r, b = main["rect"]
                    qw.click((l + r) // 2, t + 8)  # the top edge, on the caption of either frame
                    time.sleep(0.5)
                    qw.xdotool("key", "alt+space")
                    qw.wait_for(lambda: [w for w in qw.windows() if w["class"] == "#32768" and w["visible"]], 20,
                                what="the system menu")
                    qw.xdotool("key", "Escape")
                    time.sleep(0.5)
                    qw.xdotool("key", "alt+F4")
                    qw.wait_for(lambda: not qw.top_windows(TITLE), 30, what="the window closed by Alt+F4")
                finally:
                    qw.kill_all()
                    proc.wait(timeout=60)

    def test_buttons_without_their_pictures_look_as_they_do_without_a_skin(self):
        def shot(skin):
            qw.kill_all()
            # Kept on screen after its report, so that no message box covers the window.
            out = os.path.join(self.folder, skin + ".txt")
            proc = qw.start(qw.program(PREVIEW), ["--report", winpath(out), "--stay",
                                                  winpath(os.path.join(self.folder, skin + ".skin"))])
            try:
                main = qw.wait_for(lambda: ([w for w in qw.top_windows(TITLE)] or [None])[0], 90,
                                   what="the preview window")
                qw.wait_for(lambda: {w["text"] for w in qw.children(main)} >= {"Normal", "Default"}, 60,
                            what="its buttons")
                qw.wait_for(lambda: os.path.exists(out) and os.path.getsize(out) > 0, 60, what="the report")
                time.sleep(2)  # the skin starts after the first activation
                main = qw.top_windows(TITLE)[0]
                kids = {w["text"]: w for w in qw.children(main)}
                path = os.path.join(self.folder, skin + ".png")
                qw.screenshot(path)
                # Inside each push button, away from its caption and focus rectangle.
                return [qw.pixel(path, kids[t]["rect"][0] + 4, (kids[t]["rect"][1] + kids[t]["rect"][3]) // 2)
                        for t in ("Normal", "Disabled", "Default", "Bit Normal")]
            finally:
                qw.kill_all()
                proc.wait(timeout=60)

        without_skin = shot("refused-text")
        without_pictures = shot("loads-no-button-pictures")
        self.assertEqual(without_pictures, without_skin)
        self.assertNotIn((0, 0, 0), without_pictures)


if __name__ == "__main__":
    unittest.main()
