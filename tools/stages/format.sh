#!/usr/bin/env bash
# Every C++ source is formatted as .clang-format says. To fix: clang-format -i <file>...
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # Tracked files, and new ones not yet added (ignored ones such as build/ left out).
  mapfile -d '' listed < <(git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h')
else
  mapfile -d '' listed < <(find src tests fuzz bench -type f \( -name '*.cpp' -o -name '*.h' \) \
    -print0 2>/dev/null)
fi
sources=()
for file in "${listed[@]}"; do
  [[ -f $file ]] && sources+=("$file")  # a tracked file deleted in the work tree is not checked
done
((${#sources[@]} == 0)) || clang-format --dry-run --Werror "${sources[@]}"
