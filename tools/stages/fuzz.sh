#!/usr/bin/env bash
# Each libFuzzer target for a bounded time (FUZZ_SECONDS, 30 by default: a check of each change;
# longer runs are made by hand, as docs/testing.md says), starting from the committed seeds. Any
# crash, sanitizer report or broken property fails the stage; the input that caused it is kept
# under build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

seconds=${FUZZ_SECONDS:-30}
cmake --preset fuzz
cmake --build --preset fuzz

findings=build/fuzz/findings
mkdir -p "$findings"
status=0
for target in field_reader conversion configuration check; do
  # New inputs go to a scratch corpus, so the committed seeds stay as they are.
  scratch=$(mktemp -d)
  echo "fuzz: $target for $seconds s" >&2
  if ! "build/fuzz/fuzz/${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/${target}-" "$scratch" "fuzz/corpus/$target" 2>"$findings/$target.log"; then
    tail -n 40 "$findings/$target.log" >&2
    echo "fuzz: $target FAILED; the input is in $findings" >&2
    status=1
  fi
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$findings/$target.log" >&2 || true
  rm -rf "$scratch"
done
exit $status
