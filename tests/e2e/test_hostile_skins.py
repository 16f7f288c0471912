"""Skin Preview pointed at broken and hostile skins, made here by tools/winbench/hostile_skins.py:
each one is either refused, leaving every window its system look (with a message for the skins
beyond a ceiling or of another archive version), or loads; none crashes or hangs the program.
And a skin without button pictures leaves the buttons looking as they do without any skin."""
import os
import subprocess
import sys
import tempfile
import unittest

import qxwine as qw

GENERATOR = os.path.join(qw.ROOT, "tools", "winbench", "hostile_skins.py")
PREVIEW = "src/preview/SkinPreview.exe"

# Files whose refusal says why; every other refused file is refused silently.
MESSAGES = {
    "refused-older-version": "This is Older Skin File",
    "refused-250mib-file": "This skin file is too large",
    "refused-60mib-of-noise": "This skin file is too large",
    "refused-2-million-lines": "This skin's description is too large",
    "refused-8192-glyph": "This skin's pictures are too large",
    "refused-3000-picture-every-key": "This skin's pictures are too large",
}


def skintool():
    for path in (os.path.join(qw.build_dir(), "host-tools", "skintool", "skintool"),
                 os.path.join(qw.build_dir(), "tools", "skintool", "skintool")):
        if os.path.exists(path):
            return path
    raise unittest.SkipTest("no skintool in the build folder")


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class HostileSkins(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="hostile-skins-")
        subprocess.run([sys.executable, GENERATOR, cls.folder, "--skintool", skintool()], check=True,
                       stdout=subprocess.DEVNULL, timeout=600)

    def setUp(self):
        qw.kill_all()

    def tearDown(self):
        qw.kill_all()

    def report(self, skin):
        out = os.path.join(self.folder, "report.txt")
        if os.path.exists(out):
            os.remove(out)
        qw.run(qw.program(PREVIEW), ["--report", winpath(out), winpath(skin)], timeout=240)
        self.assertTrue(os.path.exists(out), "no report: the preview did not get to paint its window")
        values, messages = {}, []
        with open(out, encoding="utf-8", errors="replace") as f:
            for line in f:
                key, _, rest = line.rstrip("\n").partition(" ")
                if key == "message":
                    messages.append(rest)
                else:
                    values[key] = int(rest)
        return values, messages

    def test_every_skin_is_refused_or_loads_and_none_brings_the_window_down(self):
        names = sorted(n[:-5] for n in os.listdir(self.folder) if n.endswith(".skin"))
        self.assertGreaterEqual(len(names), 15)
        for name in names:
            with self.subTest(skin=name):
                values, messages = self.report(os.path.join(self.folder, name + ".skin"))
                if name.startswith("refused-"):
                    self.assertEqual(values["skinned"], 0)
                    self.assertEqual(values["systemframe"], 1)
                else:
                    self.assertEqual(values["skinned"], 1)
                    self.assertEqual(values["systemframe"], 1 if name == "loads-no-frame" else 0)
                expected = MESSAGES.get(name)
                if expected:
                    self.assertEqual(len(messages), 1, messages)
                    self.assertTrue(messages[0].startswith(expected), messages)
                else:
                    self.assertEqual(messages, [])

    def test_buttons_without_their_pictures_look_as_they_do_without_a_skin(self):
        def shot(skin):
            qw.kill_all()
            proc = qw.start(qw.program(PREVIEW), [winpath(os.path.join(self.folder, skin + ".skin"))])
            try:
                main = qw.wait_for(lambda: ([w for w in qw.top_windows("Skin Preview")] or [None])[0], 90,
                                   what="the preview window")
                qw.wait_for(lambda: {w["text"] for w in qw.children(main)} >= {"Normal", "Default"}, 60,
                            what="its buttons")
                import time
                time.sleep(2)  # the skin starts after the first activation
                main = qw.top_windows("Skin Preview")[0]
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
