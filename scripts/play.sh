#!/usr/bin/env bash
# Sets up, builds and starts the game from the repository root, where Data/ lives. Only what
# the game needs is installed and built: a build/ made here holds the game alone, and one that
# scripts/build.sh (the test command) made keeps its tools and tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh game
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DFENNOW_TOOLS=OFF -DFENNOW_TESTS=OFF -DFENNOW_BENCH=OFF >/dev/null
fi
cmake --build build -j "$(nproc)" --target fennow-online
exec ./build/fennow-online "$@"
