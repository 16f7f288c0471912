#!/usr/bin/env python3
"""Makes a delay-import library from the toolchain's import library of a system DLL: the same
functions, but the DLL is loaded on the first call to one of them instead of at start.

Usage: delay_import_library.py NM DLLTOOL MACHINE IMPORT_LIB DLL_NAME OUTPUT"""
import os
import re
import subprocess
import sys
import tempfile


def exported_names(nm, import_lib):
    listing = subprocess.run([nm, import_lib], capture_output=True, text=True, check=True).stdout
    names = set()
    for line in listing.splitlines():
        m = re.match(r"^[0-9a-f]+ I __imp_(\S+)$", line)
        if m:
            names.add(m.group(1))
    return sorted(names)


def main():
    nm, dlltool, machine, import_lib, dll, output = sys.argv[1:7]
    names = exported_names(nm, import_lib)
    if not names:
        print(f"{import_lib}: no imports found", file=sys.stderr)
        return 1
    # 32-bit symbols carry the C prefix "_" (stdcall ones also "@bytes", which --kill-at drops
    # from the name the DLL is asked for); 64-bit ones are plain.
    if machine == "i386":
        names = [n[1:] for n in names if n.startswith("_")]
    with tempfile.TemporaryDirectory() as work:
        definition = os.path.join(work, "exports.def")
        with open(definition, "w") as f:
            f.write(f"LIBRARY {dll}\nEXPORTS\n")
            f.writelines(f"    {n}\n" for n in names)
        # Run in the scratch folder with a plain name: dlltool builds its symbol names from the
        # output's path, which must not carry the build folder into the program.
        plain = os.path.basename(output)
        subprocess.run([dlltool, "--machine", machine, "--kill-at", "--input-def", "exports.def", "--dllname", dll,
                        "--output-delaylib", plain, "--temp-prefix", "d"], check=True, cwd=work)
        os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
        os.replace(os.path.join(work, plain), output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
