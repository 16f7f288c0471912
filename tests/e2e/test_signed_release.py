"""The release signing: the installer as built, signed with a test publisher certificate the
way scripts/release signs it, is accepted by the platform's trust service, and with its
signature taken off again is the unsigned build byte for byte."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import qxwine as qw

SIGN = os.path.join(qw.ROOT, "tools", "release", "sign.py")
DESCRIBE = os.path.join(qw.ROOT, "tools", "release", "describe.py")
TRUST_E_BAD_DIGEST = "0x80096010"


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class SignedRelease(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.certs = os.path.join(qw.build_dir(), "test-certs")
        subprocess.run([os.path.join(qw.ROOT, "scripts", "test-certs"), cls.certs], check=True,
                       stdout=subprocess.DEVNULL, timeout=120)
        cls.tmp = tempfile.mkdtemp(prefix="qx-e2e-sign-")
        cls.unsigned = qw.program("src/app/QuenrixInstaller.exe")
        with open(cls.unsigned, "rb") as f:
            cls.unsigned_bytes = f.read()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def sign(self, name, *how):
        signed = os.path.join(self.tmp, name)
        done = subprocess.run([sys.executable, SIGN, self.unsigned, signed, *how], capture_output=True, text=True,
                              timeout=120)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stdout.strip(), "CN=Quenrix", "the signer is named")
        return signed

    def verdict(self, path):
        report = qw.run(qw.program("tests/tools/testtrust.exe"), ["report", winpath(path)], timeout=120).stdout
        # The trust provider's own answer is the report's first line: "verify 0x...".
        words = report.split()
        return words[1].lower() if len(words) >= 2 and words[0] == "verify" else report

    def test_signed_release_verifies_names_its_signer_and_unsigns_to_the_build(self):
        c = self.certs
        for name, how in (("with-key.exe", ("--cert", f"{c}/quenrix.crt", "--key", f"{c}/quenrix.key")),
                          ("with-pkcs12.exe", ("--pkcs12", f"{c}/quenrix.p12"))):
            with self.subTest(name):
                signed = self.sign(name, *how)
                self.assertEqual(self.verdict(signed), "0x00000000")
                stripped = signed + ".stripped"
                subprocess.run(["osslsigncode", "remove-signature", "-in", signed, "-out", stripped], check=True,
                               capture_output=True, timeout=60)
                with open(stripped, "rb") as f:
                    self.assertTrue(f.read() == self.unsigned_bytes, "without its signature: the unsigned build")
                note = subprocess.run([sys.executable, DESCRIBE, signed, "--signer", "CN=Quenrix", "--unsigned",
                                       self.unsigned], capture_output=True, text=True, timeout=60)
                self.assertEqual(note.returncode, 0, note.stderr)
                self.assertIn("Signed:   CN=Quenrix", note.stdout)

        # The trust service looks at the bytes: one changed byte of code is refused.
        with open(os.path.join(self.tmp, "with-key.exe"), "rb") as f:
            changed = bytearray(f.read())
        changed[len(changed) // 3] ^= 0x01
        tampered = os.path.join(self.tmp, "changed.exe")
        with open(tampered, "wb") as f:
            f.write(changed)
        self.assertEqual(self.verdict(tampered), TRUST_E_BAD_DIGEST)

    def test_an_unsigned_program_is_described_as_unsigned_and_a_signer_without_signature_refused(self):
        note = subprocess.run([sys.executable, DESCRIBE, self.unsigned], capture_output=True, text=True, timeout=60)
        self.assertEqual(note.returncode, 0, note.stderr)
        self.assertIn("Signed:   no (unsigned release)", note.stdout)
        wrong = subprocess.run([sys.executable, DESCRIBE, self.unsigned, "--signer", "CN=Quenrix"],
                               capture_output=True, text=True, timeout=60)
        self.assertNotEqual(wrong.returncode, 0)


if __name__ == "__main__":
    unittest.main()
