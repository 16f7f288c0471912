#!/usr/bin/env python3
"""Checks that a program is a GUI program of the expected machine that imports only libraries
that Windows always takes from its own folder (its known DLLs). Any other library, imported,
is looked for first in the program's folder, before the program's first instruction: a
downloads folder holding a file of that name would run inside the installer. Such libraries
are delay-loaded or loaded by name from the system folder instead.

Usage: check_pe.py PROGRAM.exe i386|amd64"""
import struct
import sys

# The known DLLs of every supported Windows (the loader maps them from the system folder
# whatever the search order). Nothing else may be imported.
ALLOWED_IMPORTS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "ole32.dll", "oleaut32.dll", "msvcrt.dll", "shell32.dll",
    "shlwapi.dll", "advapi32.dll",
}
MACHINES = {"i386": (0x14C, 0x10B), "amd64": (0x8664, 0x20B)}


def imports(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    machine, sections, _, _, _, opt_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    subsystem = struct.unpack_from("<H", data, opt + 68)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    import_rva = struct.unpack_from("<I", data, dirs + 8)[0]
    table = []
    sec = opt + opt_size
    for i in range(sections):
        vsize, vaddr, rsize, rptr = struct.unpack_from("<IIII", data, sec + 40 * i + 8)
        table.append((vaddr, max(vsize, rsize), rptr))

    def offset(rva):
        for vaddr, size, rptr in table:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + rptr
        raise ValueError("address outside the sections")

    names = []
    at = offset(import_rva)
    while True:
        entry = struct.unpack_from("<IIIII", data, at)
        if entry == (0, 0, 0, 0, 0):
            break
        name_at = offset(entry[3])
        names.append(data[name_at:data.index(b"\0", name_at)].decode("ascii"))
        at += 20
    return machine, magic, subsystem, names


def not_allowed(names):
    return [n for n in names if n.lower() not in ALLOWED_IMPORTS]


def main():
    path, arch = sys.argv[1], sys.argv[2]
    with open(path, "rb") as f:
        data = f.read()
    machine, magic, subsystem, names = imports(data)
    problems = []
    if (machine, magic) != MACHINES[arch]:
        problems.append(f"machine {machine:#x}/{magic:#x}, expected {arch}")
    if subsystem != 2:
        problems.append(f"subsystem {subsystem}, expected the Windows GUI (2)")
    foreign = not_allowed(names)
    if foreign:
        problems.append("imports DLLs that are not known system DLLs (delay-load them): " + ", ".join(foreign))
    print(f"{path}: {arch}, imports {', '.join(names)}")
    for p in problems:
        print("FAIL: " + p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
