#!/usr/bin/env bash
# Installs the Debian 12 packages Shiftlet needs, only those that are missing; prints nothing when
# all are there. Runs apt-get as root, through sudo when not root already.
#
#   tools/install-deps.sh            every group below
#   tools/install-deps.sh GROUP...   only these groups (build, test, format, bench)
#
# To add packages, add a function packages_<group> that prints them and list the group in
# all_groups.
set -euo pipefail

packages_build() { echo cmake ninja-build g++ libcli11-dev; }  # CLI11 parses the command line
# googletest: its sources, for the cross-builds; RapidCheck: the sequence test of the native build
packages_test() { echo libgtest-dev googletest librapidcheck-dev; }
packages_format() { echo clang-format; }
packages_bench() { echo libbenchmark-dev; }  # tools/bench.sh
# clang, its sanitizer and libFuzzer runtimes, and valgrind: for the hardening stages
packages_hardening() { echo clang libclang-rt-14-dev valgrind; }

# The Windows builds and their tests under Wine: the 64-bit and 32-bit cross compilers (POSIX
# threads, for GoogleTest), Wine for both (wineboot is in wine; wine32 comes from the i386
# architecture, added below when missing), and the virtual display, keyboard and screenshots of the
# e2e tests; locales, for the Japanese locale below; and osslsigncode and openssl, which sign a
# release (and the signing test, with a certificate it makes).
packages_windows() {
  echo g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 wine32:i386 \
    xvfb xdotool imagemagick python3 locales osslsigncode openssl
}
# Locales the group's tests run programs in, generated when missing: under ja_JP.UTF-8 Wine takes
# code page 932 and reads non-ASCII Unix file names right (without it, it still says 932 but
# misreads them).
locales_windows() { echo ja_JP.UTF-8; }

all_groups=(build test format bench hardening windows)

is_installed() {
  dpkg -s "$1" 2>/dev/null | grep -q '^Status: install ok installed$'
}

# Runs a command as root: directly, or through sudo.
as_root() {
  if ((EUID == 0)); then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "install-deps: run as root or install sudo to run: $*" >&2
    return 1
  fi
}

# Generates the locales the groups need (after their packages are in), only those missing.
generate_locales() {
  local group locale wanted=()
  for group in "$@"; do
    if declare -F "locales_$group" >/dev/null; then
      for locale in $("locales_$group"); do
        # locale -a lists ja_JP.UTF-8 as ja_JP.utf8.
        if ! locale -a 2>/dev/null | grep -qix "${locale/UTF-8/utf8}"; then
          wanted+=("$locale")
        fi
      done
    fi
  done
  ((${#wanted[@]} == 0)) && return 0
  echo "install-deps: generating the locales ${wanted[*]}" >&2
  for locale in "${wanted[@]}"; do
    as_root sed -i "s/^# *\(${locale} \)/\1/" /etc/locale.gen
    grep -q "^${locale} " /etc/locale.gen || echo "${locale} ${locale#*.}" | as_root tee -a /etc/locale.gen >/dev/null
  done
  as_root locale-gen >/dev/null
}

main() {
  local groups=("$@")
  if ((${#groups[@]} == 0)); then
    groups=("${all_groups[@]}")
  fi
  install_packages "${groups[@]}"
  generate_locales "${groups[@]}"
}

install_packages() {
  local groups=("$@")

  local group package missing=()
  for group in "${groups[@]}"; do
    if ! declare -F "packages_$group" >/dev/null; then
      echo "install-deps: unknown group '$group' (known: ${all_groups[*]})" >&2
      return 2
    fi
    for package in $("packages_$group"); do
      if ! is_installed "$package"; then
        missing+=("$package")
      fi
    done
  done
  if ((${#missing[@]} == 0)); then
    return 0
  fi

  local as_root=()
  if ((EUID != 0)); then
    if ! command -v sudo >/dev/null; then
      echo "install-deps: missing ${missing[*]}; run as root or install sudo" >&2
      return 1
    fi
    as_root=(sudo)
  fi
  # Packages of another architecture (name:arch) need it added to dpkg before apt-get update.
  local arch foreign
  foreign=$(dpkg --print-foreign-architectures)
  for package in "${missing[@]}"; do
    arch=${package##*:}
    if [[ $package == *:* && $arch != "$(dpkg --print-architecture)" ]] &&
      ! grep -qx "$arch" <<<"$foreign"; then
      echo "install-deps: adding the $arch architecture" >&2
      "${as_root[@]}" dpkg --add-architecture "$arch"
      foreign+=$'\n'"$arch"
    fi
  done
  echo "install-deps: installing ${missing[*]}" >&2
  "${as_root[@]}" apt-get update
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
}

main "$@"
