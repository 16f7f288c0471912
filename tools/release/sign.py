#!/usr/bin/env python3
"""Signs a program with the publisher's code-signing certificate: a SHA-256 Authenticode
signature, with an RFC 3161 time stamp when a time-stamp server is given. Checks that taking
the signature off again gives back the unsigned program byte for byte, so that the signed
release stays the reproducible build plus a signature. Prints the signer's subject.

Usage: sign.py UNSIGNED.exe SIGNED.exe (--cert CERT.pem --key KEY.pem | --pkcs12 FILE.p12)
               [--timestamp URL]
The key's or the PKCS#12 file's password, if any, comes from QX_SIGN_PASSWORD; nothing given
is stored."""
import argparse
import os
import subprocess
import sys
import tempfile


class SigningError(Exception):
    pass


def run(command, what):
    done = subprocess.run(command, capture_output=True, text=True)
    if done.returncode != 0:
        raise SigningError(f"{what} failed:\n{(done.stdout + done.stderr).strip()}")
    return done.stdout


def signer_subject(cert=None, pkcs12=None, password=""):
    """The subject of the signing certificate itself (the first of a PEM file, the one with the
    key in a PKCS#12 file), as RFC 2253 text."""
    if pkcs12:
        pem = subprocess.run(["openssl", "pkcs12", "-in", pkcs12, "-nokeys", "-clcerts", "-passin", "env:QX_SIGN_PASSWORD"],
                             capture_output=True, text=True, env={**os.environ, "QX_SIGN_PASSWORD": password})
        if pem.returncode != 0:
            raise SigningError(f"cannot read {pkcs12}:\n{pem.stderr.strip()}")
        source = ["-in", "/dev/stdin"]
        text = pem.stdout
    else:
        source, text = ["-in", cert], None
    subject = subprocess.run(["openssl", "x509", "-noout", "-subject", "-nameopt", "RFC2253", *source],
                             input=text, capture_output=True, text=True)
    if subject.returncode != 0 or not subject.stdout.startswith("subject="):
        raise SigningError(f"cannot read the signing certificate:\n{subject.stderr.strip()}")
    return subject.stdout[len("subject="):].strip()


def sign(unsigned, signed, cert=None, key=None, pkcs12=None, timestamp=None, password=""):
    if bool(pkcs12) == bool(cert and key) or (cert and not key) or (key and not cert):
        raise SigningError("give either a certificate and its key, or a PKCS#12 file")
    subject = signer_subject(cert, pkcs12, password)
    with tempfile.TemporaryDirectory(prefix="qx-sign-") as work:
        command = ["osslsigncode", "sign", "-h", "sha256", "-in", unsigned, "-out", os.path.join(work, "signed.exe")]
        command += ["-pkcs12", pkcs12] if pkcs12 else ["-certs", cert, "-key", key]
        if password:
            # Read from a private file, not the command line, where other users could see it.
            secret = os.path.join(work, "password")
            with open(os.open(secret, os.O_WRONLY | os.O_CREAT, 0o600), "w") as f:
                f.write(password)
            command += ["-readpass", secret]
        elif pkcs12:
            command += ["-pass", ""]
        if timestamp:
            command += ["-ts", timestamp]
        run(command, "signing")
        stripped = os.path.join(work, "stripped.exe")
        run(["osslsigncode", "remove-signature", "-in", os.path.join(work, "signed.exe"), "-out", stripped],
            "removing the signature again")
        with open(unsigned, "rb") as a, open(stripped, "rb") as b:
            if a.read() != b.read():
                raise SigningError("the signed program without its signature is not the unsigned one")
        os.replace(os.path.join(work, "signed.exe"), signed)
    return subject


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("unsigned")
    parser.add_argument("signed")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--pkcs12")
    parser.add_argument("--timestamp")
    a = parser.parse_args()
    try:
        print(sign(a.unsigned, a.signed, a.cert, a.key, a.pkcs12, a.timestamp, os.environ.get("QX_SIGN_PASSWORD", "")))
    except (SigningError, OSError) as e:
        print(f"sign.py: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
