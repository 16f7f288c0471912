"""The whole window, pixel for pixel, against a reference picture made on purpose with
scripts/update-reference. A small tolerance absorbs anti-aliasing noise; anything that moves,
recolours or loses a component fails."""
import os
import subprocess
import tempfile
import unittest

import qxwine as qw

REFERENCE = os.path.join(os.path.dirname(__file__), "reference", "main_window.png")
SCREENSHOT = os.path.join(qw.ROOT, "scripts", "screenshot.py")
# Channels may differ by this much before a pixel counts as different ...
FUZZ = "6%"
# ... and this share of the window's pixels may differ.
MAX_DIFFERENT = 0.003


class Appearance(unittest.TestCase):
    def test_window_matches_the_reference_picture(self):
        with tempfile.TemporaryDirectory() as tmp:
            shot = os.path.join(tmp, "window.png")
            subprocess.run(["python3", SCREENSHOT, shot, qw.build_dir()], check=True, timeout=300,
                           stdout=subprocess.DEVNULL)
            size = lambda p: subprocess.run(["/usr/bin/identify", "-format", "%w %h", p], capture_output=True,
                                            text=True, check=True).stdout
            self.assertEqual(size(shot), size(REFERENCE), "the window's size changed")
            diff = subprocess.run(["/usr/bin/compare", "-metric", "AE", "-fuzz", FUZZ, shot, REFERENCE,
                                   os.path.join(tmp, "diff.png")], capture_output=True, text=True)
            different = float(diff.stderr.split()[0])
            w, h = map(int, size(shot).split())
            share = different / (w * h)
            if share > MAX_DIFFERENT:
                kept = os.path.join(qw.build_dir(), "appearance-failure")
                os.makedirs(kept, exist_ok=True)
                for name in ("window.png", "diff.png"):
                    if os.path.exists(os.path.join(tmp, name)):
                        os.replace(os.path.join(tmp, name), os.path.join(kept, name))
                self.fail(f"{different:.0f} pixels ({share:.2%}) differ from the reference; see {kept}")


if __name__ == "__main__":
    unittest.main()
