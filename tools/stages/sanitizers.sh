#!/usr/bin/env bash
# Every test again, built with clang under AddressSanitizer and UndefinedBehaviorSanitizer; any
# report fails the test that caused it. The long resource tests are left to the native stage.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake --preset asan
cmake --build --preset asan
ctest --preset asan --label-exclude resources
