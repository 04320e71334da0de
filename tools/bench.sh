#!/usr/bin/env bash
# Builds the benchmarks (preset bench: optimised) and runs them; arguments go to the benchmark
# program, e.g. --benchmark_filter=FieldReader. Then it measures the check's peak memory against
# the quiet run's. The figures of a run on the reference machine are in bench/README.md.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

tools/install-deps.sh build bench
cmake --preset bench
cmake --build --preset bench
build/bench/bench/shiftlet_bench "$@"
build/bench/bench/check_memory
