#!/usr/bin/env python3
"""The release note of a program: version (from its version record), size, SHA-256, who signed
it, and the DLLs it imports (refused when one is not a known system DLL).

Usage: describe.py PROGRAM.exe [COMMIT] [--signer SUBJECT --unsigned UNSIGNED.exe]"""
import argparse
import hashlib
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "tools"))
from check_pe import ALLOWED_IMPORTS, imports, not_allowed  # noqa: E402

RT_VERSION = 16
SECURITY_DIRECTORY = 4


def sections(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count, opt_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    table = []
    for i in range(count):
        vsize, vaddr, rsize, rptr = struct.unpack_from("<IIII", data, opt + opt_size + 40 * i + 8)
        table.append((vaddr, max(vsize, rsize), rptr))
    return dirs, table


def file_offset(table, rva):
    for vaddr, size, rptr in table:
        if vaddr <= rva < vaddr + size:
            return rva - vaddr + rptr
    raise ValueError("address outside the sections")


def signature_size(data):
    """The size of the Authenticode signature the file carries (0: none)."""
    dirs, _ = sections(data)
    _, size = struct.unpack_from("<II", data, dirs + 8 * SECURITY_DIRECTORY)
    return size


def version(data):
    """FILEVERSION and PRODUCTVERSION of the first version record, as dotted text."""
    dirs, table = sections(data)
    root = file_offset(table, struct.unpack_from("<I", data, dirs + 2 * 8)[0])

    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, directory + 12)
        for i in range(named + ids):
            yield struct.unpack_from("<II", data, directory + 16 + 8 * i)

    def first_leaf(offset):
        while offset & 0x80000000:  # a subdirectory: take its first entry (first name, first language)
            offset = next(entries(root + (offset & 0x7FFFFFFF)))[1]
        return root + offset

    for name, offset in entries(root):
        if name == RT_VERSION:
            rva, size = struct.unpack_from("<II", data, first_leaf(offset))
            record = data[file_offset(table, rva):][:size]
            fixed = record.find(struct.pack("<I", 0xFEEF04BD))
            if fixed < 0:
                break
            fms, fls, pms, pls = struct.unpack_from("<IIII", record, fixed + 8)
            dotted = lambda ms, ls: f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
            return dotted(fms, fls), dotted(pms, pls)
    raise ValueError("no version record")


def main():
    parser = argparse.ArgumentParser(description="The release note of a program.")
    parser.add_argument("program")
    parser.add_argument("commit", nargs="?")
    parser.add_argument("--signer", help="the signing certificate's subject")
    parser.add_argument("--unsigned", help="the program before it was signed")
    a = parser.parse_args()
    path = a.program
    with open(path, "rb") as f:
        data = f.read()
    try:
        file_version, product_version = version(data)
        signed = signature_size(data) > 0
    except (ValueError, struct.error) as e:
        print(f"{path}: {e}", file=sys.stderr)
        return 1
    _, _, _, dlls = imports(data)
    foreign = not_allowed(dlls)
    if foreign:
        print(f"{path}: imports {', '.join(foreign)}, not among the known system DLLs "
              f"({', '.join(sorted(ALLOWED_IMPORTS))})", file=sys.stderr)
        return 1
    if signed != bool(a.signer):
        print(f"{path}: {'signed, but no signer was named' if signed else 'not signed, yet a signer was named'}",
              file=sys.stderr)
        return 1
    lines = [
        f"{os.path.basename(path)}",
        f"Version:  {file_version} (product {product_version})",
    ]
    if a.commit:
        lines.append(f"Commit:   {a.commit}")
    lines += [
        f"Size:     {len(data):,} bytes",
        f"SHA-256:  {hashlib.sha256(data).hexdigest()}",
    ]
    if signed:
        lines.append(f"Signed:   {a.signer} (Authenticode, SHA-256)")
        if a.unsigned:
            with open(a.unsigned, "rb") as f:
                lines.append(f"Unsigned: SHA-256 {hashlib.sha256(f.read()).hexdigest()} "
                             "(the reproducible build; osslsigncode remove-signature gives it back)")
    else:
        lines.append("Signed:   no (unsigned release)")
    lines.append(f"Imports:  {', '.join(dlls)} (known system DLLs only)")
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
