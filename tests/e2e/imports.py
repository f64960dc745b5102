"""Fails when Quimbro.exe imports a DLL that is not a KnownDLL: Windows would look for such a
DLL beside the program first, where anyone can put one. The allowed names, in
tests/data/e2e/known-dlls.txt, are Windows 10's KnownDLLs and the common controls, which the
manifest binds side by side.  Usage: imports.py OBJDUMP Quimbro.exe"""
import pathlib
import re
import subprocess
import sys

KNOWN = pathlib.Path(__file__).resolve().parent.parent / "data" / "e2e" / "known-dlls.txt"
dump = subprocess.run([sys.argv[1], "-p", sys.argv[2]], check=True, capture_output=True, text=True)
names = re.findall(r"DLL Name: (\S+)", dump.stdout)
print("imports:", ", ".join(names))
foreign = [n for n in names if n.lower().removesuffix(".dll") not in KNOWN.read_text().split()]
if not names or foreign:
    sys.exit("FAILED: not KnownDLLs: " + (", ".join(foreign) or "(no imports read)"))
