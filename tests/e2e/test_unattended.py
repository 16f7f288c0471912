"""The installer run from the command line, as deployment tools run it: /quiet shows nothing at
any time and ends with an exit code and a log; /passive shows the window and no box; /wait
returns the setup program's own code; a bad line ends with 87. And the window's own way out:
closing it during a download asks, Evet stops the transfer, Hayır carries on; after a failure
the same window installs once the server answers."""
import os
import threading
import time
import unittest

import qxwine as qw
from test_install_flow import FAILURE, PROGRAM_NAME, TITLE, InstallFlowCase

QUESTION = "İndirme iptal edilsin mi?"
STAMP = 25  # "YYYY-MM-DD HH:MM:SS.mmm  " before each line's text


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


class WindowWatch:
    """Records every visible top-level window (but the sample setup program's) while it runs."""

    def __init__(self):
        self.seen = []
        self.stop = threading.Event()
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def run(self):
        while not self.stop.is_set():
            self.seen += [(w["class"], w["text"]) for w in qw.top_windows() if w["class"] != "QuenrixSampleSetup"]

    def finish(self):
        self.stop.set()
        self.thread.join(60)
        return self.seen


class Unattended(InstallFlowCase):
    program = "src/app/QuenrixInstallerTestBuild.exe"

    def run_installer(self, *args, env=None, timeout=120, watch=True):
        """Runs the installer with the switches to its end: its exit status (the low byte of its
        code, as the launcher passes it on), the log's lines (time stamps checked and cut off)
        and the windows it showed."""
        log = os.path.join(self.tmp, "kurulum.log")
        extra = {"http_proxy": f"http://127.0.0.1:{self.publisher.port}", "QX_SAMPLE_MARKER": "1",
                 "QX_SAMPLE_CLOSE_MS": "1000", "no_proxy": "", "NO_PROXY": "", **(env or {})}
        watcher = WindowWatch() if watch else None
        proc = qw.start(os.path.join(self.folder, PROGRAM_NAME), [*args, "/log:" + windows_path(log)],
                        cwd=self.elsewhere, extra_env=extra)
        try:
            status = proc.wait(timeout=timeout)
        finally:
            seen = watcher.finish() if watcher else []
        with open(log, encoding="utf-8", newline="") as f:
            text = f.read()
        lines = text.split("\r\n")
        self.assertEqual(lines.pop(), "", "each line ends with CR LF")
        for line in lines:
            self.assertRegex(line[:STAMP], r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  $")
        os.remove(log)
        return status, [line[STAMP:] for line in lines], seen

    def expect_run(self, lines, word, code, last):
        """The steps every run that reaches the network logs, its failure (or launch) line and
        its exit code."""
        self.assertRegex(lines[0], r"^Quenrix Installer \d+\.\d+\.\d+\.\d+$")
        self.assertTrue(lines[1].startswith("Command line: "))
        self.assertEqual(lines[2], f"Product {word}, address http://www.quenrix.com.tr/Kur/{word}Setup.exe")
        self.assertEqual(lines[3:5], ["Connection test: online", "URL cache emptied"])
        received = [line for line in lines if line.startswith("Received ")]
        self.assertEqual(len(received), 1, lines)
        self.assertRegex(received[0], r"^Received \d+ bytes in \d+\.\d\d s$")
        self.assertRegex(lines[-2], last)
        self.assertEqual(lines[-1], f"Exit code {code}")

    def test_quiet_runs_show_nothing_and_end_with_their_code_and_log(self):
        cases = [  # word, publisher settings, exit code, last step
            ("Hestra", {}, 0, r"^Setup program started: .*HestraKur\.exe, process id \d+$"),
            ("Partelo", {"mode": ["404"]}, 2002, r"^The server answered with HTTP status 404$"),
            ("Nuvreta", {"mode": ["html"]}, 2002, r"^The answer is no program \(a page or an empty file\)$"),
            ("Lumiqo", {"mode": ["drop", "slow"]}, 2002, r"^The answer was cut off: \d+ of \d+ bytes$"),
            ("Sarvek", {"mode": ["stall"], "pad_to": 400_000, "stall_seconds": 60}, 2003,
             r"^The transfer stalled: no data for 3\.00 s$"),
            ("Drivano", "other", 2004,
             r"^Verification failed: .*the signer is someone else \(Other Publisher\)$"),
        ]
        for word, settings, code, last in cases:
            with self.subTest(word):
                self.restart()
                self.publisher.control("reset")
                if settings == "other":
                    self.serve(word, qw.signed_sample("other"))
                elif settings:
                    self.publisher.control("settings", settings)
                status, lines, seen = self.run_installer(f"/product:{word}", "-QUIET",
                                                         env={"QX_STALL_TIMEOUT_MS": "3000"})
                print(f"\n/quiet {word}: exit {status}\n  " + "\n  ".join(lines))
                self.assertEqual(seen, [], "no window and no box of the installer at any time")
                self.assertEqual(status, code & 0xFF)
                self.expect_run(lines, word, code, last)
                http = [line for line in lines if line.startswith("HTTP ")]
                self.assertEqual(len(http), 1, lines)
                if code == 0:
                    self.assertIn("Verification: trusted, signer Quenrix", lines)
                    self.assertTrue(os.path.exists(os.path.join(self.folder, word + "Kur.exe.started")))
                else:
                    self.assertEqual(self.files_beside(), [PROGRAM_NAME], "nothing left, nothing started")

    def test_bad_command_lines_end_with_87(self):
        status, lines, seen = self.run_installer("/product:Zentra", "/quiet")
        self.assertEqual((status, seen), (87, []))
        self.assertEqual(lines[2:], ['Bad command line: "Zentra" is no product', "Exit code 87"])
        # Without /quiet the switches and the products are listed in a box.
        proc = qw.start(os.path.join(self.folder, PROGRAM_NAME), ["-?"], cwd=self.elsewhere)
        box = qw.wait_for(lambda: (qw.top_windows(TITLE, "#32770") or [None])[0], 60, what="the list of switches")
        text = " ".join(w["text"] for w in qw.children(box))
        for word in ("/product:", "/passive", "/quiet", "/wait", "/log:", "/args:", "Drivano", "Hestra", "Partelo",
                     "Lumiqo", "Sarvek", "Nuvreta"):
            self.assertIn(word, text)
        qw.probe("press", [w for w in qw.children(box) if w["class"].lower() == "button"][0]["hwnd"])
        self.assertEqual(proc.wait(timeout=60), 87)

    def test_wait_returns_the_setup_programs_code_and_hands_it_the_arguments(self):
        status, lines, _ = self.run_installer("/product:Drivano", "/quiet", "/wait", '/args:/exitcode:7 "iki kelime"',
                                              watch=False)
        print(f"\n/quiet /wait /args: exit {status}\n  " + "\n  ".join(lines))
        self.assertEqual(status, 7)
        self.expect_run(lines, "Drivano", 7, r"^Setup program ended with exit code 7$")
        with open(os.path.join(self.folder, "DrivanoKur.exe.started"), encoding="utf-8") as f:
            self.assertIn('/exitcode:7 "iki kelime"', f.read())

    def test_passive_shows_the_window_and_no_box(self):
        # A paced transfer, long enough for the window to be seen with the product chosen.
        self.serve("Lumiqo", qw.signed_sample(pad_to=3_000_000))
        self.publisher.control("settings", {"mode": ["slow"], "pace_bytes": 32768, "pace_ms": 30})
        status, lines, seen = self.run_installer("/product:lumiqo", "/passive")
        print(f"\n/passive Lumiqo: exit {status}\n  " + "\n  ".join(lines))
        self.assertEqual(status, 0)
        self.expect_run(lines, "Lumiqo", 0, r"^Setup program started: .*LumiqoKur\.exe, process id \d+$")
        self.assertIn(TITLE, [text for _, text in seen], "the window is shown")
        self.assertNotIn("#32770", [cls for cls, _ in seen], "no box")
        # A failure ends the run with its code, and still no box.
        self.restart()
        self.publisher.control("settings", {"mode": ["404"]})
        status, lines, seen = self.run_installer("-product=Lumiqo", "-passive")
        self.assertEqual(status, 2002 & 0xFF)
        self.assertEqual(lines[-1], "Exit code 2002")
        self.assertNotIn("#32770", [cls for cls, _ in seen], "no box")


class WindowClose(InstallFlowCase):
    """Closing the window during a paced download."""

    def paced(self, word):
        # Padded before signing, so that the program stays verifiable.
        self.serve(word, qw.signed_sample(pad_to=8_000_000))
        self.publisher.control("settings", {"mode": ["slow"], "pace_bytes": 32768, "pace_ms": 60})

    def question(self):
        return next((b for b in self.boxes() if QUESTION in [w["text"] for w in qw.children(b)]), None)

    def answer(self, box, caption):
        button = [w for w in qw.children(box) if w["class"].lower() == "button" and w["text"].replace("&", "") == caption]
        self.assertEqual(len(button), 1, [w["text"] for w in qw.children(box)])
        qw.probe("press", button[0]["hwnd"])

    def close_during_download(self, word):
        self.paced(word)
        self.start_installer()
        self.choose_and_install(word)
        qw.wait_for(lambda: not self.install_button()["visible"], 30, what="the transfer to begin")
        time.sleep(1)
        qw.probe("close", self.main["hwnd"])
        return qw.wait_for(self.question, 30, what="the question")

    def test_evet_stops_the_transfer_removes_it_and_starts_nothing(self):
        box = self.close_during_download("Partelo")
        self.answer(box, "Evet")
        answered = time.time()
        status = self.proc.wait(timeout=30)
        self.assertLess(time.time() - answered, 2.0, "the program ends within 2 s")
        self.proc = None
        self.assertEqual(status, 1602 & 0xFF)
        time.sleep(1)
        self.assertEqual(self.files_beside(), [PROGRAM_NAME], "no file left, no setup program started")

    def test_hayir_carries_on_and_the_setup_program_starts(self):
        box = self.close_during_download("Hestra")
        self.answer(box, "Hayır")
        marker = os.path.join(self.folder, "HestraKur.exe.started")
        qw.wait_for(lambda: os.path.exists(marker), 120, what="the setup program to start")
        self.assertEqual(self.proc.wait(timeout=60), 0)
        self.proc = None

    def test_after_a_404_the_same_window_installs_once_the_server_answers(self):
        self.publisher.control("settings", {"mode": ["404"]})
        self.start_installer()
        self.choose_and_install("Hestra")
        box = qw.wait_for(lambda: (self.boxes() or [None])[0], 120, what="the failure box")
        self.assertIn(FAILURE, [w["text"] for w in qw.children(box)])
        qw.probe("press", [w for w in qw.children(box) if w["class"].lower() == "button"][0]["hwnd"])
        qw.wait_for(lambda: self.install_button()["visible"], 30, what="the install button again")
        self.assertTrue(all(w["enabled"] for w in self.children() if w["class"] == "TRadioButton"))
        self.assertEqual(self.radio("Hestra Hasta Takip Programı")["checked"], 1, "the choice is kept")
        self.publisher.control("reset")
        self.choose_and_install("Sarvek")
        marker = os.path.join(self.folder, "SarvekKur.exe.started")
        qw.wait_for(lambda: os.path.exists(marker), 90, what="the setup program to start")
        self.assertEqual(self.proc.wait(timeout=60), 0)
        self.proc = None
        self.assertEqual([g["path"] for g in self.publisher.setup_gets()], ["/Kur/HestraSetup.exe", "/Kur/SarvekSetup.exe"])


if __name__ == "__main__":
    unittest.main()
