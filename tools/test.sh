#!/usr/bin/env bash
# Builds everything and runs every test: the stages below, in order, each a script of its own
# (tools/stages/NAME.sh). Exits non-zero when any stage fails; later stages still run, so one
# run shows every failure.
#
#   tools/test.sh              every stage (this is what CI runs)
#   tools/test.sh STAGE...     only these stages
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

all_stages=(format native sanitizers valgrind fuzz windows windows-x86)

stages=("$@")
if ((${#stages[@]} == 0)); then
  stages=("${all_stages[@]}")
fi

tools/install-deps.sh || exit 1

failed=()
for stage in "${stages[@]}"; do
  script="tools/stages/$stage.sh"
  if [[ ! -f $script ]]; then
    echo "test.sh: unknown stage '$stage' (known: ${all_stages[*]})" >&2
    exit 2
  fi
  echo "=== test.sh: stage $stage" >&2
  start=$SECONDS
  if bash "$script"; then
    echo "=== test.sh: stage $stage passed in $((SECONDS - start)) s" >&2
  else
    echo "=== test.sh: stage $stage FAILED after $((SECONDS - start)) s" >&2
    failed+=("$stage")
  fi
done

if ((${#failed[@]} > 0)); then
  echo "test.sh: failed stages: ${failed[*]}" >&2
  exit 1
fi
echo "test.sh: all stages passed: ${stages[*]}" >&2
