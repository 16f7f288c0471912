"""The keyboard and screen-reader cases of the installer at 150 % (144 dpi), in the prefix of
that scale: the focus order, the radio group's arrows, the install by keyboard and what the
accessibility interface reads hold at any scale. The warning-box case adds nothing the other
two do not cover at this scale and is left to the 96-dpi run."""
import unittest

import qxwine as qw
import test_keyboard


class KeyboardAt144(test_keyboard.Keyboard):
    test_enter_after_the_warning_box_and_the_same_install_with_enter = None

    @classmethod
    def setUpClass(cls):
        qw.use_dpi(144)
        super().setUpClass()

    @classmethod
    def tearDownClass(cls):
        try:
            super().tearDownClass()
        finally:
            qw.use_dpi(None)

    def start_installer(self):
        super().start_installer()
        # The window is the scaled one, or this says nothing about the scale.
        l, t, r, b = self.main["client"]
        self.assertEqual((r - l, b - t), (849, 582))


if __name__ == "__main__":
    unittest.main()
