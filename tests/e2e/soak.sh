#!/usr/bin/env bash
# Soak run: the real game under a display, driven for SECONDS by a bounded, reproducible random
# stream of keys, pointer moves and clicks (soak_input.py). It passes when the game stays alive,
# ends with status 0 on Escape, its resident memory (VmRSS) grows by less than
# SOAK_MAX_GROWTH_KB from the baseline sample to the end, some response ran a script, and its
# console holds no error line that the shipped scripts and the input could not have caused.
#
# Usage: soak.sh SECONDS GAME ROOT [SEED]
# Environment: SOAK_BASELINE (seconds; default 20 for runs up to two minutes, else 60: start-up
# work settles first), SOAK_RATE (default 15: mean pause 1/SOAK_RATE s, never below 20 ms),
# SOAK_SAMPLE (seconds between RSS samples, default 2), SOAK_MAX_GROWTH_KB (default 1024),
# SOAK_OUT (a folder that receives the RSS samples, the console log and the summary).
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
BASELINE=${SOAK_BASELINE:-$([ "$TOTAL" -le 120 ] && echo 20 || echo 60)}
MAX_GROWTH_KB=${SOAK_MAX_GROWTH_KB:-1024}
RSS="$WORK/rss.txt"

# Lines no input can cause with the shipped data: script failures, missing files, refused
# script calls, sanitizer and crash reports.
check_console() {
    ! grep -nE 'Lua Error|Could not|cannot open|called with|Insufficient Arguments|Aborting|Sanitizer|runtime error|Segmentation|[Ee]rror' \
        "$LOG" >&2 || e2e_fail "the console reports an error"
}

e2e_start
e2e_wait_line "Begin primary game loop"
e2e_find_window
eval "$(xdotool getwindowgeometry --shell "$WIN")" || e2e_fail "no geometry for the window"
e2e_log "seed $SEED, $TOTAL s, baseline at $BASELINE s"
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

# Growth from the baseline sample (the first one at or after BASELINE seconds) to the last.
read -r BASE_T BASE_KB < <(awk -v b="$BASELINE" '$1 >= b { print; exit }' "$RSS")
[ -n "$BASE_KB" ] || e2e_fail "no RSS sample after $BASELINE s"
GROWTH_KB=$((END_KB - BASE_KB))
SCRIPT_RUNS=$(grep -c '^Calling Script: ' "$LOG")
{
    echo "seed $SEED, $TOTAL s: $(paste -sd' ' "$WORK/counts.txt"), responses that ran a script $SCRIPT_RUNS," \
        "conversations closed $(grep -c '^Line response was -3$' "$LOG")"
    echo "VmRSS kB: baseline at $BASE_T s $BASE_KB, end $END_KB, growth $GROWTH_KB (limit $MAX_GROWTH_KB)"
    echo "samples (s kB): $(tr '\n' ' ' <"$RSS")"
} | tee "$WORK/summary.txt" >&2
if [ -n "${SOAK_OUT:-}" ]; then
    mkdir -p "$SOAK_OUT" && cp "$WORK/summary.txt" "$RSS" "$LOG" "$SOAK_OUT/"
fi
[ "$GROWTH_KB" -lt "$MAX_GROWTH_KB" ] || e2e_fail "VmRSS grew by $GROWTH_KB kB after $BASELINE s"
[ "$SCRIPT_RUNS" -gt 0 ] || e2e_fail "no response ran a script: the stream missed the chat box"
e2e_pass
