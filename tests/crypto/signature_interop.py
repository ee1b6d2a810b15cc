"""Signatures between eiftool and another implementation (Python's `cryptography`).

Run with the tool of one build: natively its verifier is Crypto++, under Wine (--runner) it is
the platform's CryptoAPI. A signature made in Python must verify with `eiftool check --verify`;
one made by `eiftool pack --sign` must verify in Python; the tool's keys must load there.
"""
import argparse
import hashlib
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

from cryptography.exceptions import InvalidSignature
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import padding, rsa

PLAIN = (b"[Files to download]\r\n/downloads/Demo/Real Setup.exe -> Real Setup.exe\r\n"
         b"[File Hashes]\r\n" + hashlib.sha256(b"MZ").hexdigest().encode() + b"  Real Setup.exe\r\n\r\n"
         b"[Download Sites]\r\n127.0.0.1:18083\r\n[Program to run]\r\nReal Setup.exe\r\n"
         b"[User Info Filename]\r\nUser Info.txt\r\n[End]\r\nEnd\r\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--eiftool", required=True)
    parser.add_argument("--runner", default=None)
    parser.add_argument("--source", required=True)
    args = parser.parse_args()
    keys = pathlib.Path(args.source) / "keys"
    work = pathlib.Path(tempfile.mkdtemp(prefix="signature-interop-"))
    failures = []

    def tool(*words, expect=0):
        """Standard output as bytes; a wrong exit status is a failure."""
        command = ([args.runner] if args.runner else []) + [args.eiftool] + [str(w) for w in words]
        done = subprocess.run(command, capture_output=True, timeout=300)
        if done.returncode != expect:
            failures.append(f"eiftool {' '.join(map(str, words))}: exit {done.returncode}, expected {expect}\n"
                            f"{done.stdout.decode(errors='replace')}{done.stderr.decode(errors='replace')}")
        return done.stdout

    def text(out):
        return out.replace(b"\r\n", b"\n").decode(errors="replace")

    def expect(condition, what):
        if not condition:
            failures.append(what)

    try:
        # Signed in Python, lower-case digits, LF line ends around the section: eiftool verifies.
        key = rsa.generate_private_key(public_exponent=65537, key_size=3072)
        (work / "py-public.der").write_bytes(key.public_key().public_bytes(
            serialization.Encoding.DER, serialization.PublicFormat.SubjectPublicKeyInfo))
        section = b"[Signature]\n" + key.sign(PLAIN, padding.PKCS1v15(), hashes.SHA256()).hex().encode() + b"\n"
        (work / "py.txt").write_bytes(PLAIN + section)
        (work / "tampered.txt").write_bytes(PLAIN.replace(b"18083", b"18084") + section)
        # A build with the key also refuses a listed file without a hash line: check says so.
        unhashed = PLAIN.replace(b"  Real Setup.exe\r\n", b"  Other.exe\r\n")
        (work / "unhashed.txt").write_bytes(
            unhashed + b"[Signature]\n" + key.sign(unhashed, padding.PKCS1v15(), hashes.SHA256()).hex().encode() + b"\n")
        for name, code, words in (("py", 0, "OK"), ("tampered", 1, "does not match"),
                                  ("unhashed", 1, "target 'Real Setup.exe' has no line in [File Hashes]")):
            tool("pack", keys / "public.der", work / f"{name}.txt", work / f"{name}.eif")
            out = text(tool("check", keys / "private.hex", work / f"{name}.eif", "--verify", work / "py-public.der",
                            expect=code))
            expect(words in out, f"check --verify of the {name} description printed:\n{out}")

        # Signed by eiftool: Python loads its keys and verifies the signature over the bytes
        # before the header, which include the line end the tool added.
        tool("signkey", work / "keys")
        private = serialization.load_der_private_key((work / "keys" / "signing-private.der").read_bytes(), None)
        public = serialization.load_der_public_key((work / "keys" / "signing-public.der").read_bytes())
        expect(private.key_size == 3072, f"signkey made a {private.key_size}-bit key")
        expect(private.public_key().public_numbers() == public.public_numbers(), "the key files do not pair")
        (work / "plain.txt").write_bytes(PLAIN.rstrip(b"\r\n"))
        tool("pack", keys / "public.der", work / "plain.txt", work / "signed.eif",
             "--sign", work / "keys" / "signing-private.der", "--any-application")
        raw = tool("unpack", keys / "private.hex", work / "signed.eif")
        signed, _, value = raw.partition(b"[Signature]\r\n")
        # The text, its line end, then the expiry that pack --sign writes.
        expect(signed.startswith(PLAIN) and re.fullmatch(rb"\[Valid Until\]\r\n\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\r\n\r\n",
                                                         signed[len(PLAIN):]),
               f"the signed bytes are not the text plus its line end and [Valid Until]:\n{signed!r}")
        expect(len(value.strip()) == 768, f"the signature has {len(value.strip())} digits")
        try:
            public.verify(bytes.fromhex(value.strip().decode()), signed, padding.PKCS1v15(), hashes.SHA256())
        except (InvalidSignature, ValueError) as error:
            failures.append(f"Python refuses eiftool's signature: {error!r}")
        tool("check", keys / "private.hex", work / "signed.eif", "--verify", work / "keys" / "signing-public.der")
        (work / "signed.txt").write_bytes(raw)
        tool("pack", keys / "public.der", work / "signed.txt", work / "twice.eif",
             "--sign", work / "keys" / "signing-private.der", "--any-application", expect=1)
        out = text(tool("check", keys / "private.hex", work / "py.eif", "--verify",
                        work / "keys" / "signing-public.der", expect=1))
        expect("does not match" in out, f"a signature of another key passed:\n{out}")

        # eiftool hash: the section Python's own hashing gives.
        (work / "Real Setup.exe").write_bytes(b"MZ" + bytes(range(256)) * 40)
        (work / "Data.cab").write_bytes(b"")
        out = text(tool("hash", work / "Real Setup.exe", work / "Data.cab"))
        wanted = "[File Hashes]\n" + "".join(
            f"{hashlib.sha256((work / n).read_bytes()).hexdigest()} {(work / n).stat().st_size} {n}\n"
            for n in ("Real Setup.exe", "Data.cab"))
        expect(out == wanted + "\n", f"eiftool hash printed:\n{out}")
        tool("hash", work / "missing.bin", expect=1)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    for failure in failures:
        print("FAIL:", failure)
    print(f"signature interop: {len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
