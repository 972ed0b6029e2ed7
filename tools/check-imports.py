#!/usr/bin/env python3
"""Fails when the executable imports a library that Windows may look for
beside it.

A library that the program imports by name is loaded before the program's
first line runs, and Windows looks for it in the program's folder first
unless it is one of the system's known libraries (or the manifest names it
as a side-by-side assembly). A file of that name planted beside the program
(in a downloads folder) would run its code. Every other library is loaded
at run time, from the system's folder only.

    check-imports.py OBJDUMP EXECUTABLE
"""
import re
import subprocess
import sys

# The libraries the program may import, and why Windows never takes them
# from the program's folder.
ALLOWED = {
    "kernel32.dll": "a known library",
    "user32.dll": "a known library",
    "gdi32.dll": "a known library",
    "comdlg32.dll": "a known library",
    "shell32.dll": "a known library",
    "ole32.dll": "a known library",
    "advapi32.dll": "a known library",
    "msvcrt.dll": "a known library",
    "comctl32.dll": "the manifest names version 6, which the loader takes from the side-by-side store",
}


def imports(objdump, executable):
    listing = subprocess.run([objdump, "-p", executable], check=True, capture_output=True, text=True).stdout
    return re.findall(r"^\s*DLL Name:\s*(\S+)", listing, re.MULTILINE)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: check-imports.py OBJDUMP EXECUTABLE")
    names = imports(sys.argv[1], sys.argv[2])
    if not names:
        sys.exit(f"{sys.argv[2]}: no import table found")
    unknown = [name for name in names if name.lower() not in ALLOWED]
    for name in unknown:
        print(f"{sys.argv[2]}: imports {name}, which Windows may load from the program's folder; "
              f"load it at run time from the system's folder instead", file=sys.stderr)
    sys.exit(1 if unknown else 0)


if __name__ == "__main__":
    main()
