#!/usr/bin/env bash
# shiftlet.exe and the tests cross-built for 64-bit Windows (or, with the argument windows-x86, for
# 32-bit Windows, as the windows-x86 stage does) and run under Wine, one at a time: the unit tests
# on the Windows C runtime and file system, then the real program driven through its boxes and
# dialogs on a virtual X display (label wine-e2e). Screenshots of every box and dialog are kept in
# build/<preset>-tests/e2e-artifacts/. Ends by making the zip users download, twice, in two
# folders: the two must be the same bytes, with stripped programs naming no folder of this machine.
# Each build of the programs checks that THIRD-PARTY-NOTICES.txt covers what they link, and each
# zip that they import only DLLs Windows takes from System32; the release_signing test signs a
# zip of its own with a throwaway certificate.
#
#   tools/stages/windows.sh [windows|windows-x86]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

preset=${1:-windows}
tests=build/$preset-tests
again=build/$preset-again  # made afresh each time: nothing cached from an older build

tools/install-deps.sh build test windows

# The zips are compared byte for byte, and a signature holds the time it was made: nothing made
# here is signed, whatever the machine's environment says.
unset SHIFTLET_SIGN_PKCS12 SHIFTLET_SIGN_PASSWORD_FILE SHIFTLET_SIGN_TIMESTAMP_URL

cmake --preset "$preset-tests"
cmake --build --preset "$preset-tests"
# 32-bit Wine needs a kernel that runs 32-bit programs (IA-32 emulation); some virtual machines'
# kernels are built without it. There, only the tests that need no Wine run (label host); the
# build, the zip and its checks below are the same.
only_host=()
if [[ $preset == windows-x86 ]] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "windows.sh: this kernel cannot run 32-bit programs, so 32-bit Wine cannot start: the" \
    "tests under Wine are skipped here (they run where the kernel has IA-32 emulation)" >&2
  only_host=(-L host)
fi
ctest --preset "$preset-tests" "${only_host[@]}"
cmake --build --preset "$preset-tests" --target package

rm -rf "$again"
cmake --preset "$preset" -B "$again" >/dev/null
cmake --build "$again" --target package

zips=("$tests"/Shiftlet-*.zip)
zip=$(basename "${zips[0]}")
failed=0
for file in "$zip" SHA256SUMS; do
  if ! cmp "$tests/$file" "$again/$file"; then
    echo "windows.sh: $file differs between $tests and $again: the release is not reproducible" >&2
    failed=1
  fi
done

# What users get: programs with no debug sections and no path of this machine in them.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
python3 -m zipfile -e "$tests/$zip" "$unpacked"
case $preset in
  windows-x86) objdump=i686-w64-mingw32-objdump ;;
  *) objdump=x86_64-w64-mingw32-objdump ;;
esac
for program in "$unpacked"/*.exe; do
  if "$objdump" -h "$program" | grep -q '\.debug'; then
    echo "windows.sh: $(basename "$program") in $zip is not stripped" >&2
    failed=1
  fi
  if strings -a "$program" | grep -F -e "$PWD" -e "$tests" -e "$again"; then
    echo "windows.sh: $(basename "$program") in $zip names the folders above" >&2
    failed=1
  fi
done
((failed == 0))
echo "windows.sh: $tests/$zip and $again/$zip are the same bytes; $tests/SHA256SUMS:" >&2
cat "$tests/SHA256SUMS" >&2
