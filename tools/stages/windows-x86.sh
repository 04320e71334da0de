#!/usr/bin/env bash
# The windows stage for the 32-bit build (windows-x86 presets), under 32-bit Wine.
set -euo pipefail
exec bash "$(dirname "${BASH_SOURCE[0]}")/windows.sh" windows-x86
