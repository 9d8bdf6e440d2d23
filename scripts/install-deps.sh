#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Does nothing when all of them are already there.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libgtk-3-dev libx11-dev
  libfreetype-dev libfontconfig-dev fonts-ipafont-gothic
  libgdk-pixbuf-2.0-dev libzstd-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  libcli11-dev libtomlplusplus-dev parallel rsync
  xvfb xauth xdotool x11-utils imagemagick desktop-file-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
