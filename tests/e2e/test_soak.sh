#!/usr/bin/env bash
# Twenty seconds of random play (soak.sh with a fixed seed): the game stays alive, quits with
# status 0 on Escape, reports no error and its VmRSS does not climb steadily by 3 MB a minute
# over the last ten seconds. Caches still find their size in steps of up to 1 MB this early, so
# this short run catches gross leaks only; the ten-minute run with its 30 kB/min limit is
# scripts/soak.sh, outside ctest, and test_soak_leak.sh shows that a slow leak fails it.
SOAK_MAX_SLOPE_KB_MIN=${SOAK_MAX_SLOPE_KB_MIN:-3072} \
    exec bash "$(dirname "$0")/soak.sh" 20 "$1" "$2"
