"""The installer's main window, checked from outside on the real program."""
import os
import shutil
import tempfile
import time
import unittest

import qxwine as qw

TITLE = "Quenrix Installer"
RADIOS = {  # caption -> client position
    "Quenrix Drivano Programı": (16, 104),
    "Sarvek Teknik Servis Programı": (16, 128),
    "Lumiqo Güzellik ve Estetik Merkezleri Programı": (16, 162),
    "Hestra Hasta Takip Programı": (16, 186),
    "Partelo IBYS Otomasyonu": (16, 221),
    "Nuvreta Programı": (16, 245),
}
WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_SYSMENU, WS_CAPTION = 0x40000, 0x20000, 0x10000, 0x80000, 0xC00000


class MainWindow(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.mkdtemp(prefix="qx-e2e-main-")
        cls.publisher = qw.Publisher(qw.program("src/samplesetup/SampleSetup.exe"),
                                     os.path.join(cls.scratch, "requests.jsonl"))

    @classmethod
    def tearDownClass(cls):
        cls.publisher.stop()
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def setUp(self):
        self.publisher.control("reset")
        qw.kill_all()
        self.proc = qw.start(qw.program("src/app/QuenrixInstaller.exe"), extra_env=self.extra_env())
        self.main = qw.wait_for(lambda: qw.skinned_top(TITLE), 90, what="the skinned main window")

    def extra_env(self):
        return {"http_proxy": f"http://127.0.0.1:{self.publisher.port}", "no_proxy": "", "NO_PROXY": ""}

    def tearDown(self):
        qw.kill_all()
        self.proc.wait(timeout=60)

    def radios(self):
        ws = qw.windows()
        return {w["text"]: w for w in qw.children(self.main, ws) if w["class"] == "TRadioButton"}

    def client_pos(self, w):
        return (w["rect"][0] - self.main["client"][0], w["rect"][1] - self.main["client"][1])

    def message_box(self, title="Uyarı"):
        boxes = qw.top_windows(title, "#32770")
        return boxes[0] if boxes else None

    def test_window_frame_size_and_position(self):
        self.assertEqual(len(qw.top_windows(TITLE)), 1)
        l, t, r, b = self.main["client"]
        self.assertEqual((r - l, b - t), (566, 388))
        sw, sh = qw.screen_size()
        wl, wt, wr, wb = self.main["rect"]
        self.assertLessEqual(abs((wl + wr) - sw), 2, "centred horizontally")
        self.assertLessEqual(abs((wt + wb) - sh), 2, "centred vertically")
        style = self.main["style"]
        # The skin draws the caption: the system's own is off, its system menu stays.
        self.assertTrue(style & WS_SYSMENU)
        self.assertEqual(style & WS_CAPTION, 0)
        self.assertFalse(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME))

    def test_six_unchecked_enabled_radio_buttons_in_their_places(self):
        radios = self.radios()
        self.assertEqual(set(radios), set(RADIOS))
        for caption, pos in RADIOS.items():
            w = radios[caption]
            self.assertEqual(self.client_pos(w), pos, caption)
            self.assertEqual(w["checked"], 0, caption)
            self.assertTrue(w["enabled"], caption)
        self.assertEqual(radios["Hestra Hasta Takip Programı"]["rect"][2] - radios["Hestra Hasta Takip Programı"]["rect"][0], 362)

    def install_button(self):
        return [w for w in qw.children(self.main) if w["text"].strip() == "Kuruluma Başla"][0]

    def test_install_without_a_choice_asks_for_one_and_changes_nothing(self):
        qw.click_center(self.install_button())
        box = qw.wait_for(self.message_box, 30, what="the 'Uyarı' box")
        texts = [w["text"] for w in qw.children(box)]
        self.assertIn("Lütfen Kurulum Yapmak İstediğiniz Programı Seçiniz.", texts)
        buttons = [w for w in qw.children(box) if w["class"].lower() == "button"]
        self.assertEqual(len(buttons), 1, "one OK button")
        qw.probe("press", buttons[0]["hwnd"])
        qw.wait_for(lambda: self.message_box() is None, 30, what="the box to close")
        for caption, w in self.radios().items():
            self.assertTrue(w["enabled"], caption)
            self.assertEqual(w["checked"], 0, caption)

    def test_a_choice_is_locked_by_the_install_command(self):
        # The install command starts a transfer; the local publisher serves it slowly, so the
        # choice is looked at while the download is under way (and the window still answers).
        self.publisher.control("settings", {"mode": ["slow"], "pad_to": 100_000_000, "pace_bytes": 16384,
                                            "pace_ms": 100})
        radios = self.radios()
        nuvreta = radios["Nuvreta Programı"]
        qw.click(nuvreta["rect"][0] + 30, (nuvreta["rect"][1] + nuvreta["rect"][3]) // 2)
        qw.wait_for(lambda: self.radios()["Nuvreta Programı"]["checked"] == 1, 20, what="the choice")
        qw.click_center(self.install_button())
        qw.wait_for(lambda: not any(w["enabled"] for w in self.radios().values()), 20, what="locked radios")
        drivano = self.radios()["Quenrix Drivano Programı"]
        qw.click(drivano["rect"][0] + 30, (drivano["rect"][1] + drivano["rect"][3]) // 2)
        time.sleep(1)
        radios = self.radios()
        self.assertEqual(radios["Nuvreta Programı"]["checked"], 1)
        self.assertEqual(radios["Quenrix Drivano Programı"]["checked"], 0)
        self.assertIsNone(self.message_box())


if __name__ == "__main__":
    unittest.main()
