"""The main window's self-painting components on the real program, seen on the screen."""
import os
import tempfile
import time
import unittest

import qxwine as qw

TITLE = "Quenrix Installer"


def near(a, b, tolerance):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


class Components(unittest.TestCase):
    def setUp(self):
        qw.kill_all()
        self.proc = qw.start(qw.program("src/app/QuenrixInstaller.exe"))
        self.main = qw.wait_for(lambda: qw.skinned_top(TITLE), 90, what="the skinned main window")
        self.dir = tempfile.mkdtemp()

    def tearDown(self):
        qw.kill_all()
        self.proc.wait(timeout=60)

    def button(self):
        return [w for w in qw.children(self.main) if w["text"].strip() == "Kuruluma Başla"][0]

    def shot(self, name):
        path = os.path.join(self.dir, name + ".png")
        qw.screenshot(path)
        return path

    def test_cloud_and_header_and_a_glowing_install_button(self):
        client = self.main["client"]
        button = self.button()
        l, t, r, b = button["rect"]
        qw.xdotool("mousemove", 5, 5)
        time.sleep(0.5)
        rest = self.shot("rest")
        # the cloud picture: its arrow is white, its corner shows the window's face
        self.assertEqual(qw.pixel(rest, client[0] + 428 + 64, client[1] + 118 + 64), (255, 255, 255))
        face = qw.pixel(rest, client[0] + 428 + 1, client[1] + 118 + 1)
        self.assertEqual(face, qw.pixel(rest, client[0] + 420, client[1] + 110))
        # the install button at rest: grey border, white upper half
        self.assertTrue(near(qw.pixel(rest, (l + r) // 2, t), (0xC0, 0xC0, 0xC0), 8))
        self.assertTrue(near(qw.pixel(rest, l + 10, t + 8), (255, 255, 255), 4))

        qw.xdotool("mousemove", (l + r) // 2, b - 5)
        time.sleep(0.6)  # five 30 ms ticks and then some
        hot = self.shot("hot")
        self.assertTrue(near(qw.pixel(hot, (l + r) // 2, t), (0, 0, 255), 8), qw.pixel(hot, (l + r) // 2, t))

        qw.xdotool("mousemove", 5, 5)
        time.sleep(0.6)
        away = self.shot("away")
        self.assertTrue(near(qw.pixel(away, (l + r) // 2, t), (0xC0, 0xC0, 0xC0), 8))


if __name__ == "__main__":
    unittest.main()
