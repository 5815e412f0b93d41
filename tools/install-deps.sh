#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests, the package and the tools need, if any
# is missing. Safe to run again: it does nothing when everything is there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev qt6-svg-dev libqcustomplot-dev libgl-dev
  fonts-dejavu-core xvfb xauth openbox
  clang-14 libclang-rt-14-dev
  libbenchmark-dev libfftw3-dev
  scdoc desktop-file-utils appstream bash-completion file groff-base debootstrap lintian
  locales poppler-utils
  python3-pyvisa python3-pyvisa-py python3-numpy
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
