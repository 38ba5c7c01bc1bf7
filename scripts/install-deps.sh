#!/usr/bin/env bash
# Installs every Debian package that building, testing and running zdschema needs.
# Safe to run again: packages already present are left alone.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  libsqlite3-dev sqlite3
  # routes (Boost.Graph), names in any script (ICU), vector export and print (Qt SVG)
  libboost-graph-dev libicu-dev qt6-svg-dev
  mdbtools mdbtools-dev
  libx11-dev
  libgtest-dev libgmock-dev
  fonts-dejavu-core
  # the sanitizer build and the fuzz target of `make test`: clang 14 (Debian 12's clang),
  # its sanitizer and libFuzzer runtimes, and llvm-symbolizer for readable reports
  clang clang-14 libclang-rt-14-dev llvm
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
