#!/usr/bin/env bash
# Builds the game and runs a short session of it under valgrind's leak checker, under Xvfb
# when there is no display: see tests/e2e/valgrind.sh. It takes several minutes (the game
# runs some fifty times slower under valgrind), so it is not part of ctest. Valgrind's log
# and the game's console land in VALGRIND_OUT (default build/valgrind).
# Usage: scripts/valgrind.sh
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build build --target fennow-online -j "$(nproc)" >/dev/null
export VALGRIND_OUT=${VALGRIND_OUT:-$PWD/build/valgrind}
exec bash tests/e2e/valgrind.sh build/fennow-online .
