#!/usr/bin/env python3
"""The release note of a program: version (from its version record), size, SHA-256 and the
DLLs it imports.

Usage: describe.py PROGRAM.exe [COMMIT]"""
import hashlib
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "tools"))
from check_pe import imports  # noqa: E402

RT_VERSION = 16


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
    path = sys.argv[1]
    with open(path, "rb") as f:
        data = f.read()
    try:
        file_version, product_version = version(data)
    except (ValueError, struct.error) as e:
        print(f"{path}: {e}", file=sys.stderr)
        return 1
    _, _, _, dlls = imports(data)
    lines = [
        f"{os.path.basename(path)}",
        f"Version:  {file_version} (product {product_version})",
    ]
    if len(sys.argv) > 2:
        lines.append(f"Commit:   {sys.argv[2]}")
    lines += [
        f"Size:     {len(data):,} bytes",
        f"SHA-256:  {hashlib.sha256(data).hexdigest()}",
        f"Imports:  {', '.join(dlls)}",
    ]
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
