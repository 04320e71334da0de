#!/usr/bin/env bash
# Builds Shiftlet (release preset) and runs it in this terminal: answer its questions by typing.
#
#   tools/run.sh           copies examples/ into a new temporary folder and runs there, so the
#                          samples in the repository stay as they are; the folder is kept for a
#                          look at the results and its path is printed first
#   tools/run.sh FOLDER    runs in FOLDER instead, on your own files (menu.qof, default.qcf); the
#                          program writes the new menu file there and rewrites default.qcf
#
# The build's own output goes to build/run-build.log and is shown only when the build fails.
# The exit status is the program's: 0 converted, 1 failure message, 2 declined, 3 startup error.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if (($# > 1)); then
  echo "usage: tools/run.sh [FOLDER]" >&2
  exit 64
fi
if (($# == 1)); then
  if [[ ! -d $1 ]]; then
    echo "run.sh: no such folder: $1" >&2
    exit 64
  fi
  work="$(cd "$1" && pwd)"
fi

"$repo/tools/install-deps.sh" build

mkdir -p "$repo/build"
log="$repo/build/run-build.log"
if ! (cd "$repo" && cmake --preset release && cmake --build --preset release --target shiftlet) \
  >"$log" 2>&1; then
  cat "$log" >&2
  echo "run.sh: the build failed (log: $log)" >&2
  exit 1
fi

if [[ -z ${work:-} ]]; then
  work="$(mktemp -d "${TMPDIR:-/tmp}/shiftlet-run.XXXXXX")"
  cp -R "$repo/examples/." "$work/"
fi
echo "run.sh: running Shiftlet in $work" >&2
cd "$work"
exec "$repo/build/release/src/shiftlet"
