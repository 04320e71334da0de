#!/usr/bin/env python3
"""Fails when a program links code that THIRD-PARTY-NOTICES.txt does not cover.

Reads the linker's map file (-Wl,-Map): every archive a member was taken from, and every object
file loaded by name, outside the build folder (ours are inside it). Each must have a row in
COVERAGE naming the section of the notices that covers it, or None for the import library of a
Windows system DLL, which puts no one else's code in the program. A new library then cannot
ship until its notice is added.

  check_notices.py --map PROGRAM.exe.map --notices THIRD-PARTY-NOTICES.txt --build-dir DIR
"""

import argparse
import os
import re
import sys

# The file name of each library or object the toolchain may link -> the notices' section title.
COVERAGE = {
  # mingw-w64's start-up code and C support library. libmsvcrt.a is an import library with
  # mingw-w64 code in it too; libuuid.a holds GUIDs from mingw-w64's sources.
  "crt2.o": "mingw-w64 runtime",
  "libmingw32.a": "mingw-w64 runtime",
  "libmingwex.a": "mingw-w64 runtime",
  "libmsvcrt.a": "mingw-w64 runtime",
  "libmoldname.a": "mingw-w64 runtime",
  "libuuid.a": "mingw-w64 runtime",
  # Debian installs winpthreads under both names.
  "libwinpthread.a": "winpthreads",
  "libpthread.a": "winpthreads",
  "libstdc++.a": "GCC runtime libraries",
  "libgcc.a": "GCC runtime libraries",
  "libgcc_eh.a": "GCC runtime libraries",
  "crtbegin.o": "GCC runtime libraries",
  "crtend.o": "GCC runtime libraries",
  # Import libraries of Windows' own DLLs: calls into Windows, no one else's code.
  "libkernel32.a": None,
  "libuser32.a": None,
  "libgdi32.a": None,
  "libcomdlg32.a": None,
  "libadvapi32.a": None,
  "libshell32.a": None,
  "libole32.a": None,
  "liboleaut32.a": None,
  "libwinspool.a": None,
}


def linked_files(map_text):
  """Paths of the archives members were taken from and of the objects loaded by name."""
  found = set()
  members, _, script = map_text.partition("\nDiscarded input sections")
  # "archive(member)" at the start of a line, what it was taken for after it or on the next line.
  for line in members.splitlines():
    match = re.match(r"(\S[^(]*\.a)\(", line)
    if match:
      found.add(match.group(1))
  for line in script.splitlines():
    match = re.match(r"LOAD (\S+\.o)$", line)
    if match:
      found.add(match.group(1))
  return found


def notice_sections(notices_text):
  """The section titles of the notices: lines underlined with '=' to their length."""
  lines = notices_text.splitlines()
  return {title for title, rule in zip(lines, lines[1:])
          if title and rule == "=" * len(title)}


def uncovered(paths, build_dir, sections):
  """One line for each linked file the notices do not cover."""
  problems = []
  for path in sorted(paths):
    full = os.path.normpath(os.path.join(build_dir, path))
    if os.path.commonpath([full, build_dir]) == build_dir:
      continue  # built here from our own sources
    name = os.path.basename(path)
    if name not in COVERAGE:
      problems.append("links %s, and no row of COVERAGE in %s says which notice covers it "
                      "(None for the import library of a Windows system DLL)" %
                      (name, os.path.basename(__file__)))
    elif COVERAGE[name] is not None and COVERAGE[name] not in sections:
      problems.append("links %s, and the notices have no section \"%s\" for it" %
                      (name, COVERAGE[name]))
  return problems


def main():
  parser = argparse.ArgumentParser()
  parser.add_argument("--map", required=True)
  parser.add_argument("--notices", required=True)
  parser.add_argument("--build-dir", required=True)
  args = parser.parse_args()
  with open(args.map, encoding="utf-8", errors="replace") as f:
    paths = linked_files(f.read())
  with open(args.notices, encoding="utf-8") as f:
    sections = notice_sections(f.read())
  program = os.path.basename(args.map).removesuffix(".map")
  if not paths:
    print("check_notices.py: %s lists nothing linked: not a map file?" % args.map,
          file=sys.stderr)
    return 1
  problems = uncovered(paths, os.path.abspath(args.build_dir), sections)
  for problem in problems:
    print("check_notices.py: %s %s" % (program, problem), file=sys.stderr)
  return 1 if problems else 0


if __name__ == "__main__":
  sys.exit(main())
