#!/usr/bin/env python3
"""Starts the installer under Wine, waits for its window and saves a picture of it.
Usage: screenshot.py OUTPUT.png [BUILD_DIR]   (QX_DPI=N: in the prefix of system dpi N)"""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import qxwine as qw  # noqa: E402


def main():
    out = os.path.abspath(sys.argv[1])
    if len(sys.argv) > 2:
        os.environ["QX_BUILD_DIR"] = os.path.abspath(sys.argv[2])
    qw.use_dpi(int(os.environ.get("QX_DPI", "96")))
    qw.kill_all()
    proc = qw.start(qw.program("src/app/QuenrixInstaller.exe"))
    try:
        window = qw.wait_for(lambda: qw.skinned_top("Quenrix Installer"), 90, what="the skinned window")
        time.sleep(2)  # let the first paint and any start-up animation settle
        window = qw.top_windows("Quenrix Installer")[0]
        qw.xdotool("mousemove", 0, 0)
        time.sleep(0.5)
        qw.screenshot(out, window)
        print(out)
    finally:
        qw.kill_all()
        proc.wait(timeout=60)


if __name__ == "__main__":
    main()
