#!/usr/bin/env bash
# The native build with warnings as errors, and every test registered with CTest.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

cmake --preset ci
cmake --build --preset ci
ctest --preset ci
