#!/usr/bin/env bash
# Soak run: the real game under a display, driven for SECONDS by a bounded, reproducible random
# stream of keys, pointer moves and clicks (soak_input.py). It passes when the game stays alive,
# ends with status 0 on Escape, its resident memory (VmRSS) does not climb steadily over the
# run's second half, some response ran a script, and its console holds no error line that the
# shipped scripts and the input could not have caused.
#
# A leak is judged by the trend, not by one early sample: caches and Lua's collector grow in a
# few steps while they find their size, then stay flat. The run fails when the slope of the
# samples of its second half (the median of the slopes between every two of them, which a
# step hardly moves) passes SOAK_MAX_SLOPE_KB_MIN and the memory rose from each quarter of
# that half to the next, as a leak does and a step does not. The fitted line is reported too.
#
# Usage: soak.sh SECONDS GAME ROOT [SEED]
# Environment: SOAK_RATE (default 15: mean pause 1/SOAK_RATE s, never below 20 ms),
# SOAK_SAMPLE (seconds between RSS samples, default 2), SOAK_MAX_SLOPE_KB_MIN (default 30, half
# of a 1 kB/s leak), SOAK_GAME_PRELOAD (a library the game alone is started with, for the
# planted-leak test), SOAK_OUT (a folder that receives the RSS samples, the console log and the
# summary).
if [ -z "${DISPLAY:-}" ] && [ -z "${E2E_UNDER_XVFB:-}" ] && command -v xvfb-run >/dev/null; then
    export E2E_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$0" "$@"
fi
TOTAL=${1:?usage: soak.sh SECONDS GAME ROOT [SEED]}
SEED=${4:-20261206}
HERE=$(dirname "$(readlink -f "$0")")
source "$HERE/lib.sh"
E2E_NAME=soak
e2e_init "$2" "$3"
e2e_link_data
MAX_SLOPE=${SOAK_MAX_SLOPE_KB_MIN:-30}
RSS="$WORK/rss.txt"

# Lines no input can cause with the shipped data: script failures, missing files, refused
# script calls, sanitizer and crash reports.
check_console() {
    ! grep -nE 'Lua Error|Could not|cannot open|called with|Insufficient Arguments|Aborting|Sanitizer|runtime error|Segmentation|[Ee]rror' \
        "$LOG" >&2 || e2e_fail "the console reports an error"
}

if [ -n "${SOAK_GAME_PRELOAD:-}" ]; then
    e2e_start "$WORK" env LD_PRELOAD="$SOAK_GAME_PRELOAD"
else
    e2e_start
fi
e2e_wait_line "Begin primary game loop"
e2e_find_window
eval "$(xdotool getwindowgeometry --shell "$WIN")" || e2e_fail "no geometry for the window"
e2e_log "seed $SEED, $TOTAL s, trend over the second half"
python3 "$HERE/soak_input.py" "$GAME_PID" "$X" "$Y" "$TOTAL" "$SEED" "${SOAK_RATE:-15}" \
    "${SOAK_SAMPLE:-2}" "$RSS" >"$WORK/counts.txt"
status=$?
[ $status -ne 3 ] && e2e_running || e2e_fail "the game ended during the soak"
[ $status -eq 0 ] || e2e_fail "the input stream failed ($status)"
END_KB=$(awk '/^VmRSS:/ { print $2 }' "/proc/$GAME_PID/status")
[ -n "$END_KB" ] || e2e_fail "could not read the game's VmRSS"
echo "$TOTAL $END_KB" >>"$RSS"
check_console
e2e_quit
e2e_has_line "== Cleanup Completed ==" || e2e_fail "no cleanup line"
check_console

# The trend over the second half (scripts/rss-trend.py).
read -r SLOPE MEDIAN RISES HALF_KB < <(python3 "$ROOT/scripts/rss-trend.py" "$TOTAL" "$RSS")
[ "$SLOPE" != none ] || e2e_fail "fewer than four RSS samples in the second half"
SCRIPT_RUNS=$(grep -c '^Calling Script: ' "$LOG")
{
    echo "seed $SEED, $TOTAL s: $(paste -sd' ' "$WORK/counts.txt"), responses that ran a script $SCRIPT_RUNS," \
        "conversations closed $(grep -c '^Line response was -3$' "$LOG")"
    echo "VmRSS trend over the second half: $MEDIAN kB/min (limit $MAX_SLOPE; fitted line $SLOPE)," \
        "rising in $RISES of 3 quarters, $HALF_KB kB from its first sample to the end ($END_KB kB)"
    echo "samples (s kB): $(tr '\n' ' ' <"$RSS")"
} | tee "$WORK/summary.txt" >&2
if [ -n "${SOAK_OUT:-}" ]; then
    mkdir -p "$SOAK_OUT" && cp "$WORK/summary.txt" "$RSS" "$LOG" "$SOAK_OUT/"
fi
if awk -v s="$MEDIAN" -v m="$MAX_SLOPE" 'BEGIN { exit !(s > m) }' && [ "$RISES" -eq 3 ]; then
    e2e_fail "VmRSS climbs steadily over the second half: $MEDIAN kB/min (limit $MAX_SLOPE)"
fi
[ "$SCRIPT_RUNS" -gt 0 ] || e2e_fail "no response ran a script: the stream missed the chat box"
e2e_pass
