#!/usr/bin/env bash
# Builds the game and plays it at random for SECONDS (default 600) under Xvfb, with a fixed
# seed (default 20261206): see tests/e2e/soak.sh. The RSS samples, the console log and the
# summary land in SOAK_OUT (default build/soak).
# Usage: scripts/soak.sh [SECONDS] [SEED]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build build --target fennow-online -j "$(nproc)" >/dev/null
export SOAK_OUT=${SOAK_OUT:-$PWD/build/soak}
exec bash tests/e2e/soak.sh "${1:-600}" build/fennow-online . "${2:-20261206}"
