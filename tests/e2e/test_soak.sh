#!/usr/bin/env bash
# Twenty seconds of random play (soak.sh with a fixed seed): the game stays alive, quits with
# status 0 on Escape, reports no error and its VmRSS grows by less than 2 MB from 10 s to the
# end. Before 10 s the first conversations load the portraits; after it, steps of up to 1 MB
# still come as caches (glyphs, Lua's collector) find their size, so this short run catches
# gross leaks only. The ten-minute run with a 1 MB limit is scripts/soak.sh, outside ctest.
SOAK_BASELINE=${SOAK_BASELINE:-10} SOAK_MAX_GROWTH_KB=${SOAK_MAX_GROWTH_KB:-2048} \
    exec bash "$(dirname "$0")/soak.sh" 20 "$1" "$2"
