#!/usr/bin/env bash
# Every test program of the native build once under valgrind's memcheck, the program that the
# black-box tests start included: any error or leak fails. The programs are those CTest runs (less
# the long resource tests), so a new one is checked without a word here, and one that is
# registered but missing fails the stage. Runs after the native stage.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

build=build/ci
cmake --preset ci >/dev/null
cmake --build --preset ci

memcheck=(valgrind -q --error-exitcode=99 --leak-check=full --show-leak-kinds=all
  --errors-for-leak-kinds=all)
export SHIFTLET_PROGRAM_WRAPPER="${memcheck[*]}"

mapfile -t programs < <(ctest --preset ci --label-exclude resources --show-only=json-v1 |
  python3 -c 'import json, sys
for p in sorted({t["command"][0] for t in json.load(sys.stdin)["tests"] if t.get("command")}):
    print(p)')
if ((${#programs[@]} == 0)); then
  echo "valgrind: CTest lists no test program" >&2
  exit 1
fi

status=0
for program in "${programs[@]}"; do
  if [[ ! -x $program ]]; then
    echo "valgrind: $program is registered with CTest but was not built" >&2
    status=1
    continue
  fi
  echo "valgrind: $program" >&2
  if ! "${memcheck[@]}" "$program" --gtest_brief=1; then
    echo "valgrind: $program FAILED" >&2
    status=1
  fi
done
exit $status
