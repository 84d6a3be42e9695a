#!/usr/bin/env bash
# The soak's leak check still catches a slow leak: a one-minute soak of a game that loses 1 kB
# a second (leak_shim.c, preloaded into the game alone) must fail on its steady climb, with the
# figure, at the ten-minute run's limit.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
cc -shared -fPIC -pthread -o "$WORK/leak.so" "$ROOT/tests/e2e/leak_shim.c" ||
    e2e_fail "could not build the leak shim"
SOAK_GAME_PRELOAD="$WORK/leak.so" SOAK_SAMPLE=1 SOAK_MAX_SLOPE_KB_MIN=30 \
    bash "$ROOT/tests/e2e/soak.sh" 60 "$GAME" "$ROOT" >"$WORK/soak.out" 2>&1 &&
    e2e_fail "the soak passed a game that leaks: $(tail -n 5 "$WORK/soak.out")"
grep -q "climbs steadily over the second half: [0-9.]* kB/min" "$WORK/soak.out" ||
    e2e_fail "the soak failed for another reason: $(tail -n 8 "$WORK/soak.out")"
e2e_log "$(grep -o 'VmRSS trend.*' "$WORK/soak.out")"
e2e_pass
