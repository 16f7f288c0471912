#!/usr/bin/env python3
"""Checks that a program fits its size ceiling and carries no debugging sections: every byte
of the installer is waited for by the customer before the real download starts.

Usage: check_size.py PROGRAM.exe CEILING_BYTES"""
import os
import struct
import sys


def section_names(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    _, sections, _, symbols_at, symbols, opt_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    strings_at = symbols_at + 18 * symbols if symbols_at else 0
    names = []
    for i in range(sections):
        raw = data[pe + 24 + opt_size + 40 * i:][:8].rstrip(b"\0").decode("ascii", "replace")
        # Names longer than eight characters live in the string table: "/<offset>".
        if raw.startswith("/") and raw[1:].isdigit() and strings_at:
            at = strings_at + int(raw[1:])
            raw = data[at:data.index(b"\0", at)].decode("ascii", "replace")
        names.append(raw)
    return names


def main():
    path, ceiling = sys.argv[1], int(sys.argv[2])
    with open(path, "rb") as f:
        data = f.read()
    size = os.path.getsize(path)
    problems = []
    if size > ceiling:
        problems.append(f"{size:,} bytes, over the ceiling of {ceiling:,} bytes by {size - ceiling:,}")
    debug = [n for n in section_names(data) if n.startswith((".debug", ".zdebug"))]
    if debug:
        problems.append("carries debugging sections: " + ", ".join(debug))
    print(f"{path}: {size:,} bytes, ceiling {ceiling:,} ({size / ceiling:.0%})")
    for p in problems:
        print("FAIL: " + p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
