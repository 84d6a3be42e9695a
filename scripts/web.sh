#!/usr/bin/env bash
# Builds the game for a web browser into build-web/: index.html, fennow-online.js, .wasm and
# .data (Data/ inside). The libraries come from source archives, built once into a cache
# (web/build-deps.sh says where from and where to).
#
#   scripts/web.sh            build
#   scripts/web.sh --serve    build, then serve build-web/ on 127.0.0.1 and print the address
#                             (FENNOW_WEB_PORT picks the port, 8080 by default; 0 for any free one)
#
# BUILD_DIR (build-web) and FENNOW_WEB_LOOP (callback, the default, or asyncify) change what is
# built (docs/performance.md says why callback).
set -euo pipefail
cd "$(dirname "$0")/.."
serve=0
for arg in "$@"; do
    case $arg in
    --serve) serve=1 ;;
    *) echo "usage: scripts/web.sh [--serve]" >&2; exit 2 ;;
    esac
done
BUILD_DIR=${BUILD_DIR:-build-web}
scripts/setup.sh
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
deps=$(web/build-deps.sh)
emcmake cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DFENNOW_WEB_DEPS="$deps" \
    -DFENNOW_WEB_LOOP="${FENNOW_WEB_LOOP:-callback}" >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
if [ "$serve" = 1 ]; then
    exec python3 web/serve.py "$BUILD_DIR" "${FENNOW_WEB_PORT:-8080}"
fi
