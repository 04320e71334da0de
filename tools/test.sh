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

for stage in "${stages[@]}"; do
  if [[ ! -f tools/stages/$stage.sh ]]; then
    echo "test.sh: unknown stage '$stage' (known: ${all_stages[*]})" >&2
    exit 2
  fi
done

# The two Windows stages run side by side when both are asked for: much of each is waiting on Wine
# and on windows to appear, which leaves the cores to the other stage's compiler. The 32-bit one
# starts with the 64-bit one, at a lower priority, and its output is shown when it is done.
beside=""
if [[ " ${stages[*]} " == *" windows "* && " ${stages[*]} " == *" windows-x86 "* ]]; then
  beside=windows-x86
  beside_log=$(mktemp)
fi

failed=()
for stage in "${stages[@]}"; do
  [[ $stage == "$beside" ]] && continue
  if [[ $stage == windows && -n $beside ]]; then
    echo "=== test.sh: stage $beside, beside the windows stage (its output when done)" >&2
    beside_start=$SECONDS
    nice -n 10 bash "tools/stages/$beside.sh" >"$beside_log" 2>&1 &
    beside_pid=$!
  fi
  echo "=== test.sh: stage $stage" >&2
  start=$SECONDS
  if bash "tools/stages/$stage.sh"; then
    echo "=== test.sh: stage $stage passed in $((SECONDS - start)) s" >&2
  else
    echo "=== test.sh: stage $stage FAILED after $((SECONDS - start)) s" >&2
    failed+=("$stage")
  fi
done

if [[ -n $beside ]]; then
  if wait "$beside_pid"; then beside_status=0; else beside_status=$?; fi
  cat "$beside_log" >&2
  rm -f "$beside_log"
  if ((beside_status == 0)); then
    echo "=== test.sh: stage $beside passed in $((SECONDS - beside_start)) s" >&2
  else
    echo "=== test.sh: stage $beside FAILED after $((SECONDS - beside_start)) s" >&2
    failed+=("$beside")
  fi
fi

if ((${#failed[@]} > 0)); then
  echo "test.sh: failed stages: ${failed[*]}" >&2
  exit 1
fi
echo "test.sh: all stages passed: ${stages[*]}" >&2
