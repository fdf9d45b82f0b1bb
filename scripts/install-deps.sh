#!/usr/bin/env bash
# Installs the Debian packages Pellam needs to build, test and run.
# Does nothing (and asks for no privileges) when every package is already present.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev libgl-dev
  # lupdate, lrelease and their CMake package: the English translation
  qt6-tools-dev qt6-l10n-tools
  libgtest-dev libgmock-dev
  libftdi1-dev
  nlohmann-json3-dev
  xvfb xauth imagemagick x11-utils
  fonts-wqy-microhei
)
# The fuzz targets need clang and its libFuzzer runtime.
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
# The Debian package: manual pages, the dependency list and its check.
if [ "${1:-}" = "--package" ]; then
  packages+=(help2man dpkg-dev lintian)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
