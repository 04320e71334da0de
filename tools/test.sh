#!/usr/bin/env bash
# Builds Shiftlet with the ci preset (warnings as errors), runs every test, and checks that all C++
# sources are formatted as .clang-format says. Exits non-zero when any of it fails.
#
#   tools/test.sh      (from any folder)
#
# To fix the formatting: clang-format -i <file>...
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

tools/install-deps.sh

# Formatting first, as it is quick; its result is reported at the end so the tests still run.
format_status=0
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # Tracked files, and new ones not yet added (ignored ones such as build/ left out).
  mapfile -d '' listed < <(git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h')
else
  mapfile -d '' listed < <(find src tests -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
fi
sources=()
for file in "${listed[@]}"; do
  if [[ -f $file ]]; then  # a tracked file deleted in the work tree is not checked
    sources+=("$file")
  fi
done
if ((${#sources[@]} > 0)) && ! clang-format --dry-run --Werror "${sources[@]}"; then
  format_status=1
fi

cmake --preset ci
cmake --build --preset ci
ctest --preset ci

if ((format_status != 0)); then
  echo "test.sh: some sources are not formatted; see the clang-format messages above" >&2
  exit 1
fi
