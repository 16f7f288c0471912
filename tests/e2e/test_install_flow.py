"""Installing a product with the real program: it downloads the setup program from the local
publisher server (reached as the HTTP proxy), shows the transfer, starts the setup program and
ends; a failed transfer is reported once, leaves nothing behind and the window goes back to
the choice. Each run uses a copy of
the program in a folder of its own, so what lands beside it can be checked."""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import qxwine as qw

TITLE = "Quenrix Installer"
FAILURE = "Dosya Düzgün Bir Şekilde İndirilemedi.daha Sonra Tekrar Deneyiniz."
PRODUCTS = {  # product word -> radio caption
    "Drivano": "Quenrix Drivano Programı",
    "Hestra": "Hestra Hasta Takip Programı",
    "Partelo": "Partelo IBYS Otomasyonu",
    "Lumiqo": "Lumiqo Güzellik ve Estetik Merkezleri Programı",
    "Sarvek": "Sarvek Teknik Servis Programı",
    "Nuvreta": "Nuvreta Programı",
}
PROGRAM_NAME = "QuenrixInstaller.exe"
BAR = (16, 320, 531, 33)  # the progress bar (and the label's row) in client coordinates


class InstallFlowCase(unittest.TestCase):
    program = "src/app/QuenrixInstaller.exe"
    extra = {}

    @classmethod
    def setUpClass(cls):
        # The installer starts only a program signed by the publisher, as the real ones are.
        cls.sample = qw.signed_sample()
        with open(cls.sample, "rb") as f:
            cls.sample_bytes = f.read()
        cls.scratch = tempfile.mkdtemp(prefix="qx-e2e-install-")
        cls.served = os.path.join(cls.scratch, "publisher")
        os.makedirs(cls.served)
        cls.publisher = qw.Publisher(cls.sample, os.path.join(cls.scratch, "requests.jsonl"), root=cls.served)

    @classmethod
    def tearDownClass(cls):
        cls.publisher.stop()
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def setUp(self):
        qw.kill_all()
        self.publisher.control("reset")
        self.publisher.control("clear")
        for word in PRODUCTS:
            self.serve(word, self.sample)
        self.proc = None
        self.fresh_folders()

    def serve(self, word, path):
        """The publisher answers for word's setup program with the file at path."""
        shutil.copyfile(path, os.path.join(self.served, word + "Setup.exe"))

    def restart(self):
        """A new run of the program in new folders, within one test."""
        qw.kill_all()
        if self.proc:
            self.proc.wait(timeout=60)
            self.proc = None
        self.publisher.control("clear")
        self.fresh_folders()

    def fresh_folders(self):
        self.tmp = tempfile.mkdtemp(prefix="run-", dir=self.scratch)
        # A user's folder with Turkish letters; the program must reach it with wide paths.
        self.folder = os.path.join(self.tmp, "Şule Masaüstü")
        self.elsewhere = os.path.join(self.tmp, "başka klasör")
        os.makedirs(self.folder)
        os.makedirs(self.elsewhere)
        shutil.copy2(qw.program(self.program), os.path.join(self.folder, PROGRAM_NAME))

    def tearDown(self):
        qw.kill_all()
        if self.proc:
            try:
                self.proc.wait(timeout=60)
            except subprocess.TimeoutExpired:
                self.proc.kill()

    def start_installer(self):
        env = {"http_proxy": f"http://127.0.0.1:{self.publisher.port}", "QX_SAMPLE_MARKER": "1",
               "QX_SAMPLE_CLOSE_MS": "1500", "no_proxy": "", "NO_PROXY": ""}
        env.update(self.extra)
        # Started from another current folder: the download still goes beside the program.
        self.proc = qw.start(os.path.join(self.folder, PROGRAM_NAME), cwd=self.elsewhere, extra_env=env)
        self.main = qw.wait_for(lambda: qw.skinned_top(TITLE), 90, what="the skinned main window")

    def children(self):
        return qw.children(self.main)

    def radio(self, caption):
        return [w for w in self.children() if w["class"] == "TRadioButton" and w["text"] == caption][0]

    def install_button(self):
        return [w for w in self.children() if w["text"].strip() == "Kuruluma Başla"][0]

    def choose_and_install(self, word):
        caption = PRODUCTS[word]
        r = self.radio(caption)
        qw.click(r["rect"][0] + 30, (r["rect"][1] + r["rect"][3]) // 2)
        qw.wait_for(lambda: self.radio(caption)["checked"] == 1, 20, what="the choice")
        qw.click_center(self.install_button())

    def files_beside(self):
        return sorted(os.listdir(self.folder))

    def boxes(self):
        return qw.top_windows("Uyarı", "#32770")

    def installer_running(self):
        return bool(qw.top_windows(TITLE))

    def expect_box_once(self, text, what):
        """One box saying text, answered with its one button; it does not come again and the
        installer stays open."""
        box = qw.wait_for(lambda: (self.boxes() or [None])[0], 120, what=what)
        self.assertEqual(len(self.boxes()), 1)
        self.assertIn(text, [w["text"] for w in qw.children(box)])
        buttons = [w for w in qw.children(box) if w["class"].lower() == "button"]
        self.assertEqual(len(buttons), 1)
        qw.probe("press", buttons[0]["hwnd"])
        qw.wait_for(lambda: not self.boxes(), 30, what="the box to close")
        time.sleep(2)
        self.assertEqual(self.boxes(), [], "the box comes once")
        self.assertTrue(self.installer_running(), "the installer stays open")

    def expect_failure_reported_once(self, word):
        self.expect_box_once(FAILURE, "the failure box")
        self.assertNotIn(word + "Kur.exe.started", self.files_beside(), "nothing was started")
        self.main = qw.top_windows(TITLE)[0]
        # The choice comes back as the box returns; a busy window may answer the probe's
        # questions a moment later.
        qw.wait_for(lambda: any(w["text"].strip() == "Kuruluma Başla" and w["visible"] for w in self.children()),
                    30, what="back at the choice")
        self.assertTrue(all(w["enabled"] for w in self.children() if w["class"] == "TRadioButton"))
        self.assertEqual(self.radio(PRODUCTS[word])["checked"], 1, "the choice is kept")
        self.assertEqual(self.files_beside(), [PROGRAM_NAME], "no broken file beside the program")
        self.assertEqual(os.listdir(self.elsewhere), [])


class Install(InstallFlowCase):
    def test_each_product_is_downloaded_beside_the_program_started_and_the_installer_ends(self):
        for word in PRODUCTS:
            with self.subTest(word):
                if word != "Drivano":
                    self.restart()
                self.start_installer()
                self.choose_and_install(word)
                marker = os.path.join(self.folder, word + "Kur.exe.started")
                qw.wait_for(lambda: os.path.exists(marker), 90, what="the setup program to start")
                self.proc.wait(timeout=60)
                self.assertFalse(self.installer_running())
                gets = self.publisher.setup_gets()
                self.assertEqual([g["path"] for g in gets], [f"/Kur/{word}Setup.exe"])
                with open(os.path.join(self.folder, word + "Kur.exe"), "rb") as f:
                    self.assertEqual(f.read(), self.sample_bytes)
                self.assertEqual(self.files_beside(), sorted([PROGRAM_NAME, word + "Kur.exe", word + "Kur.exe.started"]))
                self.assertEqual(os.listdir(self.elsewhere), [], "nothing in the current folder")

    def test_during_a_slow_transfer_the_window_repaints_and_can_be_moved(self):
        padded = qw.signed_sample(pad_to=6_000_000)
        self.serve("Sarvek", padded)
        self.publisher.control("settings", {"mode": ["slow"], "pace_bytes": 32768, "pace_ms": 60})
        self.start_installer()
        self.choose_and_install("Sarvek")
        qw.wait_for(lambda: not self.install_button()["visible"], 30, what="the transfer to begin")
        for _ in range(3):
            self.assertEqual(qw.probe("ping", self.main["hwnd"], 2000).returncode, 0, "the window answers")
            time.sleep(0.5)
        wl, wt = self.main["rect"][0], self.main["rect"][1]
        target = (40, 30) if wl > 100 else (wl + 120, wt + 60)
        self.assertEqual(qw.probe("move", self.main["hwnd"], *target).returncode, 0)
        self.main = qw.wait_for(lambda: next((w for w in qw.top_windows(TITLE) if tuple(w["rect"][:2]) == target), None),
                                20, what="the window at its new place")
        fills = []
        for _ in range(2):
            fills.append(self.bar_fill())
            time.sleep(2.5)
        self.assertFalse(os.path.exists(os.path.join(self.folder, "SarvekKur.exe.started")), "still transferring")
        self.assertGreater(fills[0], 0, "the bar is painted at the new place")
        self.assertGreater(fills[1], fills[0], "and grows as data comes")
        marker = os.path.join(self.folder, "SarvekKur.exe.started")
        qw.wait_for(lambda: os.path.exists(marker), 120, what="the setup program to start")
        self.assertEqual(os.path.getsize(os.path.join(self.folder, "SarvekKur.exe")), os.path.getsize(padded))

    def bar_fill(self):
        """Pixels of the bar's upper row that are filled (they differ from its unfilled end)."""
        shot = os.path.join(self.tmp, "bar.png")
        qw.screenshot(shot)
        left, top = self.main["client"][0], self.main["client"][1]
        x, y, w, _ = BAR
        row = subprocess.run(["/usr/bin/convert", shot, "-crop", f"{w - 8}x1+{left + x + 4}+{top + y + 5}", "-depth", "8",
                              "txt:"], capture_output=True, text=True, timeout=60).stdout.splitlines()[1:]
        colours = [line.split()[2] for line in row if len(line.split()) > 2]
        empty = colours[-1]
        return sum(1 for c in colours if c != empty)


class Failures(InstallFlowCase):
    def failing_install(self, word, settings):
        self.publisher.control("settings", settings)
        self.start_installer()
        self.choose_and_install(word)
        self.expect_failure_reported_once(word)
        self.assertEqual(len(self.publisher.setup_gets()), 1, "one request, no retry")

    def test_http_errors(self):
        for status, word in (("404", "Hestra"), ("500", "Partelo")):
            with self.subTest(status):
                if status != "404":
                    self.restart()
                self.failing_install(word, {"mode": [status]})

    def test_connection_dropped_mid_body(self):
        self.failing_install("Lumiqo", {"mode": ["drop", "slow"], "pad_to": 600_000})

    def test_html_page_with_status_200(self):
        self.failing_install("Nuvreta", {"mode": ["html"]})

    def test_target_held_open_by_a_running_program(self):
        # The setup program of an earlier run is still running under the target's name.
        running = os.path.join(self.folder, "DrivanoKur.exe")
        shutil.copy2(self.sample, running)
        holder = qw.start(running, cwd=self.elsewhere)
        qw.wait_for(lambda: qw.top_windows("Drivano Kurulumu"), 60, what="the earlier setup program")
        self.serve("Drivano", qw.signed_sample(pad_to=len(self.sample_bytes) + 4096))
        self.start_installer()
        self.choose_and_install("Drivano")
        box = qw.wait_for(lambda: (self.boxes() or [None])[0], 120, what="the failure box")
        self.assertIn(FAILURE, [w["text"] for w in qw.children(box)])
        self.assertEqual(len(self.boxes()), 1)
        self.assertEqual(self.files_beside(), sorted([PROGRAM_NAME, "DrivanoKur.exe"]), "no piece left")
        with open(running, "rb") as f:
            self.assertEqual(f.read(), self.sample_bytes, "the earlier file is kept")
        qw.probe("press", [w for w in qw.children(box) if w["class"].lower() == "button"][0]["hwnd"])
        qw.wait_for(lambda: not self.boxes(), 30, what="the box to close")
        self.assertTrue(self.installer_running())
        qw.kill_all()
        holder.wait(timeout=60)


class Stall(InstallFlowCase):
    program = "src/app/QuenrixInstallerTestBuild.exe"
    extra = {"QX_STALL_TIMEOUT_MS": "4000"}

    def test_a_transfer_without_data_is_given_up(self):
        self.publisher.control("settings", {"mode": ["stall"], "pad_to": 400_000, "stall_seconds": 120})
        self.start_installer()
        self.choose_and_install("Sarvek")
        self.expect_failure_reported_once("Sarvek")


class Namespace:
    """A process holding new Linux namespaces, and the prefix of a Wine session of its own
    inside them: the wineserver and Wine's services must run where the program does."""

    def __init__(self, flags, scratch):
        self.holder = subprocess.Popen(["unshare", *flags, "sleep", "3600"])
        kinds = {"-n": "net", "-m": "mnt"}
        self.kinds = [kinds[f] for f in flags]
        qw.wait_for(lambda: all(os.readlink(f"/proc/{self.holder.pid}/ns/{k}") != os.readlink(f"/proc/self/ns/{k}")
                                for k in self.kinds), 10, 0.05, "the namespaces")
        self.prefix = os.path.join(scratch, "wineprefix")
        subprocess.run(["cp", "-a", qw.prefix(), self.prefix], check=True, timeout=300)
        self.wrap = ["nsenter", "-t", str(self.holder.pid)] + ["-n" if k == "net" else "-m" for k in self.kinds]

    def enter(self):
        qw.WRAP, qw.PREFIX = self.wrap, self.prefix

    def leave(self):
        qw.kill_all()
        qw.WRAP, qw.PREFIX = [], None

    def run(self, *command):
        return subprocess.run([*self.wrap, *command], capture_output=True, text=True, timeout=60)

    def close(self):
        self.holder.kill()
        self.holder.wait()


def namespaces_work():
    return shutil.which("unshare") and shutil.which("nsenter") and \
        subprocess.run(["unshare", "-n", "-m", "true"], capture_output=True).returncode == 0


@unittest.skipUnless(namespaces_work(), "no Linux namespaces here (the seam's unit tests still cover it)")
class Isolated(InstallFlowCase):
    def setUp(self):
        super().setUp()
        self.space = None

    def tearDown(self):
        if self.space:
            self.space.leave()
            self.space.close()
        super().tearDown()

    def test_offline_nothing_changes_and_the_button_stays(self):
        # Only loopback exists in the network namespace: the platform reports no connection.
        self.space = Namespace(["-n"], self.tmp)
        self.space.enter()
        self.start_installer()
        self.choose_and_install("Partelo")
        qw.wait_for(lambda: all(not w["enabled"] for w in self.children() if w["class"] == "TRadioButton"), 20,
                    what="the locked choice")
        time.sleep(3)
        self.assertEqual(self.boxes(), [])
        self.assertTrue(self.install_button()["visible"], "the button stays for a retry")
        qw.click_center(self.install_button())
        time.sleep(3)
        self.assertEqual(self.boxes(), [])
        self.assertTrue(self.installer_running())
        self.assertEqual(self.publisher.setup_gets(), [])
        self.assertEqual(self.files_beside(), [PROGRAM_NAME])

    def test_read_only_folder(self):
        self.space = Namespace(["-m"], self.tmp)
        for command in (["mount", "--bind", self.folder, self.folder],
                        ["mount", "-o", "remount,ro,bind", self.folder]):
            result = self.space.run(*command)
            self.assertEqual(result.returncode, 0, result.stderr)
        self.space.enter()
        self.start_installer()
        self.choose_and_install("Drivano")
        self.expect_failure_reported_once("Drivano")


if __name__ == "__main__":
    unittest.main()
