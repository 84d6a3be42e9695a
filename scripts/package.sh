#!/usr/bin/env bash
# Builds the Debian package fennow-online_<version>_amd64.deb from the install tree (CPack's
# DEB generator) in build-package/, and prints its path.
#   scripts/package.sh [OUT_DIR]    the package is written to OUT_DIR (default build-package/)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${PACKAGE_BUILD_DIR:-build-package}
out=$(readlink -f "${1:-$BUILD_DIR}")
# The game and the tools alone, with the linker's hardening that Debian expects.
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFENNOW_TOOLS=ON -DFENNOW_TESTS=OFF -DFENNOW_BENCH=OFF -DFENNOW_FUZZ=OFF -DFENNOW_SANITIZE=OFF \
    -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro -Wl,-z,now" >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)" >/dev/null
mkdir -p "$out"
(cd "$BUILD_DIR" && cpack -G DEB -B "$out" >cpack.log 2>&1) || {
    cat "$BUILD_DIR/cpack.log" >&2
    exit 1
}
rm -rf "$out/_CPack_Packages"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$BUILD_DIR/CPackConfig.cmake")
deb="$out/fennow-online_${version}_amd64.deb"
[ -f "$deb" ] || {
    echo "package.sh: CPack did not write $deb" >&2
    exit 1
}
echo "$deb"
