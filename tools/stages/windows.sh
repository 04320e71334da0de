#!/usr/bin/env bash
# shiftlet.exe and the tests cross-built for 64-bit Windows and run under Wine, one at a time: the
# unit tests on the Windows C runtime and file system, then the real program driven through its
# boxes and dialogs on a virtual X display (label wine-e2e). Screenshots of every box and dialog
# are kept in build/windows-tests/e2e-artifacts/. Ends by making the zip users download.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

tools/install-deps.sh build test windows

cmake --preset windows-tests
cmake --build --preset windows-tests
ctest --preset windows-tests
cmake --build --preset windows-tests --target package
