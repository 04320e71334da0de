#!/usr/bin/env bash
# Every test program of the native build once under valgrind's memcheck, the program that the
# black-box tests start included: any error or leak fails. Runs after the native stage.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

build=build/ci
cmake --preset ci >/dev/null
cmake --build --preset ci

memcheck=(valgrind -q --error-exitcode=99 --leak-check=full --show-leak-kinds=all
  --errors-for-leak-kinds=all)
export SHIFTLET_PROGRAM_WRAPPER="${memcheck[*]}"

status=0
for test in textfile menu driver platform console blackbox real_fault; do
  program="$build/tests/${test}_tests"
  [[ -x $program ]] || continue
  echo "valgrind: $program" >&2
  if ! "${memcheck[@]}" "$program" --gtest_brief=1; then
    echo "valgrind: $program FAILED" >&2
    status=1
  fi
done
exit $status
