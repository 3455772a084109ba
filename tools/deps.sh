#!/usr/bin/env bash
# Makes sure the Debian packages the build needs are installed.
# Usage: tools/deps.sh [extra package ...]
# As root, installs what is missing; as another user, names the missing
# packages and the one command that adds them, and fails.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libsdl2-dev libfreetype-dev libfontconfig-dev libcairo2-dev libpng-dev
  libfluidsynth-dev timgm6mb-soundfont
  fonts-ipafont-gothic fonts-ipafont-mincho xfonts-base
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
  python3
  xdotool
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them with:  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
if ! apt-get install -y --no-install-recommends "${missing[@]}" >&2; then
  apt-get update >&2
  apt-get install -y --no-install-recommends "${missing[@]}" >&2
fi
