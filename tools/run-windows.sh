#!/usr/bin/env bash
# Builds shiftlet.exe (windows preset) and runs it under Wine, for anyone without Windows: its
# message boxes and open-file dialogs open on your desktop like any other window.
#
#   tools/run-windows.sh    uses a Wine prefix of its own, build/windows/wine, where it lays out
#                           C:\Velmora\menu.qof and C:\Program Files\Velmora\default.qcf from
#                           examples/ (only if they are not there yet, so results stay for a look)
#
# Needs a display (DISPLAY set). The exit status is the program's: 0 converted, 1 failure
# message, 2 declined, 3 startup error.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [[ -z ${DISPLAY:-} ]]; then
  echo "run-windows.sh: no display (DISPLAY is not set); run it from a desktop session" >&2
  exit 64
fi

"$repo/tools/install-deps.sh" build windows

mkdir -p "$repo/build"
log="$repo/build/run-windows-build.log"
if ! (cd "$repo" && cmake --preset windows && cmake --build --preset windows --target shiftlet) \
  >"$log" 2>&1; then
  cat "$log" >&2
  echo "run-windows.sh: the build failed (log: $log)" >&2
  exit 1
fi

export WINEPREFIX="$repo/build/windows/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -d $WINEPREFIX/drive_c ]]; then
  echo "run-windows.sh: making the Wine prefix $WINEPREFIX (once)" >&2
  # The 64-bit loader, as for the program: Debian's wineboot takes the 32-bit one when installed.
  "$(command -v wine64 || echo /usr/lib/wine/wine64)" wineboot --init >/dev/null 2>&1
fi
old="$WINEPREFIX/drive_c/Velmora"
new="$WINEPREFIX/drive_c/Program Files/Velmora"
mkdir -p "$old" "$new"
[[ -e $old/menu.qof ]] || cp "$repo/examples/menu.qof" "$old/"
[[ -e $new/default.qcf ]] || cp "$repo/examples/default.qcf" "$new/"

echo "run-windows.sh: running shiftlet.exe; its files are in $WINEPREFIX/drive_c" >&2
status=0
wine="$(command -v wine64 || echo /usr/lib/wine/wine64)"  # Debian 12 keeps it off PATH
"$wine" "$repo/build/windows/src/shiftlet.exe" || status=$?
echo "run-windows.sh: shiftlet.exe ended with status $status" >&2
exit "$status"
