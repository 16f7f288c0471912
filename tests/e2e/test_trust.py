"""The installer starts only a setup program signed by the publisher under a root the machine
trusts. A changed, unsigned, foreign or self-signed program is refused with one box, is not
started and leaves nothing, and an earlier good file of the same name stays. The programs are
signed on the machine with the test certificates of scripts/test-certs, whose root is trusted
in the build's Wine prefix only."""
import os
import unittest

import qxwine as qw
import test_install_flow as flow

FIRST = "İndirilen dosya doğrulanamadı ve silindi. "
REFUSALS = {  # variant -> the box's whole text
    "changed": FIRST + "Dosya imzalandıktan sonra değiştirilmiş.",
    "unsigned": FIRST + "Dosyada dijital imza yok.",
    "other": FIRST + "Dosya başka bir yayıncı tarafından imzalanmış.",
    "selfsigned": FIRST + "İmzanın sertifikası güvenilen bir kök sertifikaya bağlanmıyor ya da zinciri eksik.",
}


class Trust(flow.InstallFlowCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        with open(cls.sample, "rb") as f:
            changed = bytearray(f.read())
        # One byte of the program's code, well before the signature at the end.
        changed[len(changed) // 3] ^= 0x01
        changed_path = os.path.join(cls.scratch, "changed.exe")
        with open(changed_path, "wb") as f:
            f.write(changed)
        cls.variants = {
            "changed": changed_path,
            "unsigned": qw.program("src/samplesetup/SampleSetup.exe"),
            "other": qw.signed_sample("other"),
            "selfsigned": qw.signed_sample("selfsigned"),
        }

    def test_an_untrusted_program_is_refused_deleted_and_not_started(self):
        for number, (variant, text) in enumerate(REFUSALS.items()):
            with self.subTest(variant):
                if number:
                    self.restart()
                self.serve("Drivano", self.variants[variant])
                target = os.path.join(self.folder, "DrivanoKur.exe")
                # Every other run finds a good file of the same name from an earlier install.
                earlier = number % 2 == 1
                if earlier:
                    with open(target, "wb") as f:
                        f.write(self.sample_bytes)
                self.start_installer()
                self.choose_and_install("Drivano")
                self.expect_box_once(text, "the refusal box")
                self.assertEqual(len(self.publisher.setup_gets()), 1)
                expected = [flow.PROGRAM_NAME, "DrivanoKur.exe"] if earlier else [flow.PROGRAM_NAME]
                self.assertEqual(self.files_beside(), sorted(expected), "nothing of the download is left")
                if earlier:
                    with open(target, "rb") as f:
                        self.assertEqual(f.read(), self.sample_bytes, "the earlier file stays")


if __name__ == "__main__":
    unittest.main()
