#!/usr/bin/env bash
# Installs the Debian packages that building, testing and playing need.
# Does nothing when everything is already present; uses sudo when not root.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  liballegro5-dev liballegro-image5-dev liballegro-ttf5-dev libpng-dev
  liblua5.1-0-dev lua5.1
  libgtest-dev googletest libbenchmark-dev nlohmann-json3-dev
  libpugixml-dev zlib1g-dev libzstd-dev tiled
  clang libclang-rt-14-dev clang-format
  xvfb xauth xdotool imagemagick x11-apps
  fonts-freefont-ttf fonts-dejavu-core
  valgrind
  python3
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
