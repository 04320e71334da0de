#!/usr/bin/env python3
"""Fails when a program imports a DLL that Windows might load from the program's folder.

Windows looks for an imported DLL in the program's folder first, unless it is one of the
KnownDLLs, which always come from System32; a DLL with the same name beside a program in a
Downloads folder would otherwise run inside it, elevated for shiftlet.exe. The programs' own
loads later on are kept to System32 at start (src/platform/win32/process_start.cpp), but the
imports are loaded before any of the program's code runs. Lists each program's imports with
objdump -p and accepts only:

- the KnownDLLs below: each is one in Windows Vista's list and in Windows 10's and 11's;
- comctl32.dll, which the manifest binds to the side-by-side Common Controls 6, found in WinSxS;
- api-ms-win-* API sets, which Windows resolves through its API set schema, not through files.

  check_imports.py --objdump OBJDUMP PROGRAM.exe...
"""

import argparse
import os
import subprocess
import sys

KNOWN_DLLS = {
  "advapi32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll",
  "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
}
SIDE_BY_SIDE = {"comctl32.dll"}


def imported_dlls(objdump, program):
  dump = subprocess.run([objdump, "-p", program], capture_output=True, text=True,
                        check=True).stdout
  return [line.split(":", 1)[1].strip().lower() for line in dump.splitlines()
          if line.strip().startswith("DLL Name:")]


def refused(dlls):
  return sorted({dll for dll in dlls if dll not in KNOWN_DLLS and dll not in SIDE_BY_SIDE and
                 not dll.startswith("api-ms-win-")})


def main():
  parser = argparse.ArgumentParser()
  parser.add_argument("--objdump", required=True)
  parser.add_argument("programs", nargs="+")
  args = parser.parse_args()
  failed = False
  for program in args.programs:
    dlls = imported_dlls(args.objdump, program)
    if not dlls:
      print("check_imports.py: objdump lists no import of %s" % program, file=sys.stderr)
      failed = True
    for dll in refused(dlls):
      print("check_imports.py: %s imports %s, which Windows may load from the program's folder "
            "(not a KnownDLL)" % (os.path.basename(program), dll), file=sys.stderr)
      failed = True
  return 1 if failed else 0


if __name__ == "__main__":
  sys.exit(main())
