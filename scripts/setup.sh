#!/usr/bin/env bash
# Installs the Debian packages a job needs; does nothing when they are all present, and uses
# sudo when not root.
#   scripts/setup.sh game    building and playing the game (scripts/play.sh)
#   scripts/setup.sh tools   the game and the authors' tools: fennow-check, fennow-maptool, fennow-artgen
#   scripts/setup.sh [all]   everything: the tests, the sanitizers, the benchmarks and the package
set -euo pipefail

GAME=(
  build-essential cmake pkg-config
  liballegro5-dev liballegro-image5-dev liballegro-ttf5-dev libpng-dev
  liblua5.1-0-dev nlohmann-json3-dev
  fonts-freefont-ttf
)
TOOLS=(
  libtiled-dev qtbase5-dev
  fonts-dejavu-core
)
ALL=(
  git lua5.1 python3
  libgtest-dev googletest libbenchmark-dev tiled
  clang libclang-rt-14-dev clang-format
  xvfb xauth xdotool imagemagick x11-apps
  valgrind
  dpkg-dev file lintian desktop-file-utils appstream
  emscripten chromium
)

case ${1:-all} in
game) PACKAGES=("${GAME[@]}") ;;
tools) PACKAGES=("${GAME[@]}" "${TOOLS[@]}") ;;
all) PACKAGES=("${GAME[@]}" "${TOOLS[@]}" "${ALL[@]}") ;;
*)
  echo "usage: scripts/setup.sh [game|tools|all]" >&2
  exit 2
  ;;
esac
# The browser test drives Chromium from Node; a Node that came with its own npm needs no other.
if [ "${1:-all}" = all ] && ! command -v npm >/dev/null 2>&1; then
  PACKAGES+=(npm)
fi

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
