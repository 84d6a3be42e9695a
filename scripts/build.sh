#!/usr/bin/env bash
# Configures and builds the game, its tools, tests and benchmarks into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} \
    -DFENNOW_TOOLS=ON -DFENNOW_TESTS=ON -DFENNOW_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
