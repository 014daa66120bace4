#!/usr/bin/env bash
# Installs what building, running and testing Quorvane need on Debian 12, if it is missing.
set -euo pipefail

packages=(cmake make g++ libgtest-dev libgmock-dev python3 mingw-w64 wine wine64 xvfb xdotool imagemagick
          x11-utils nsis clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
