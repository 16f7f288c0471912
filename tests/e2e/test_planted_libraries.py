"""A library placed beside the installer under the name of a system library is never loaded,
at start or during a whole install, even with the loader told to prefer such libraries over
its own (as Windows does for every library that is not one of its known DLLs)."""
import os
import shutil
import unittest

import qxwine as qw
from test_install_flow import PROGRAM_NAME, InstallFlowCase

# The libraries the installer uses, or the platform loads on its behalf, that a folder of
# downloads could hold a copy of.
PLANTED = ["COMCTL32", "MSIMG32", "gdiplus", "oleacc", "WININET", "urlmon", "WINTRUST", "CRYPT32", "UxTheme",
           "dwmapi"]


class PlantedLibraries(InstallFlowCase):
    def test_a_whole_install_loads_none_of_the_libraries_beside_the_program(self):
        planted = qw.program("tests/tools/planted_library.dll")
        marks = os.path.join(self.tmp, "marks")
        os.makedirs(marks)
        for name in PLANTED:
            shutil.copy2(planted, os.path.join(self.folder, name + ".dll"))
        self.extra = {"WINEDLLOVERRIDES": ",".join(n.lower() for n in PLANTED) + "=n,b", "QX_PLANT_LOG": marks}

        def loaded_by_installer():
            return sorted(m.split(".loaded-by.")[0] for m in os.listdir(marks)
                          if m.lower().endswith(".loaded-by." + PROGRAM_NAME.lower()))

        started = os.path.join(self.folder, "HestraKur.exe.started")
        try:
            self.start_installer()
        except AssertionError:
            self.assertEqual(loaded_by_installer(), [], "planted libraries loaded at start")
            raise
        self.assertEqual(loaded_by_installer(), [], "planted libraries loaded at start")
        self.choose_and_install("Hestra")
        qw.wait_for(lambda: os.path.exists(started) or loaded_by_installer(), 120,
                    what="the setup program to start")
        self.assertEqual(loaded_by_installer(), [], "planted libraries loaded during the install")
        self.proc.wait(timeout=60)
        self.assertTrue(os.path.exists(started), "the install completes")
        self.assertEqual(loaded_by_installer(), [])


if __name__ == "__main__":
    unittest.main()
