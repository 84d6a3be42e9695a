#!/usr/bin/env bash
# Soak run: the real game under a display, driven for SECONDS by a bounded, reproducible random
# stream of key presses and releases (arrows, shifts), pointer moves and clicks on the two farm
# characters, on chat-box lines, on the speed buttons and on open ground (soak_input.py). It
# passes when the game stays alive, ends with status 0 on Escape, its resident memory (VmRSS)
# grows by less than SOAK_MAX_GROWTH_KB from the baseline sample to the end, and its console
# holds no error line that the shipped scripts and the input could not have caused.
#
# Usage: soak.sh SECONDS GAME ROOT [SEED]
# Environment: SOAK_BASELINE (seconds; default 20 for runs up to two minutes, else 60),
# SOAK_RATE (default 15: the mean pause between actions is 1/SOAK_RATE s and never below
# 20 ms, so at most 50 actions a second; clicks take some more time of their own), SOAK_SAMPLE
# (seconds between RSS samples, default 2), SOAK_MAX_GROWTH_KB (default 1024), SOAK_OUT (a
# folder that receives the RSS samples, the console log and the summary).
if [ -z "${DISPLAY:-}" ] && [ -z "${E2E_UNDER_XVFB:-}" ] && command -v xvfb-run >/dev/null; then
    export E2E_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
SECONDS_TOTAL=${1:?usage: soak.sh SECONDS GAME ROOT [SEED]}
shift
SEED=${3:-20261206}
HERE=$(dirname "$(readlink -f "$0")")
source "$HERE/lib.sh"
e2e_init "$1" "$2"
E2E_NAME=soak
e2e_link_data

if [ "$SECONDS_TOTAL" -le 120 ]; then
    BASELINE=${SOAK_BASELINE:-20}
else
    BASELINE=${SOAK_BASELINE:-60}
fi
RATE=${SOAK_RATE:-15}
SAMPLE=${SOAK_SAMPLE:-2}
MAX_GROWTH_KB=${SOAK_MAX_GROWTH_KB:-1024}
RSS_FILE="$WORK/rss.txt"
COUNTS="$WORK/counts.txt"

# Lines no input can cause with the shipped data: script failures, missing files, refused
# script calls, sanitizer and crash reports.
check_console() {
    if grep -nE 'Lua Error|Could not|cannot open|called with|Insufficient Arguments|Aborting|AddressSanitizer|LeakSanitizer|runtime error|Segmentation|[Ee]rror' \
        "$LOG" >"$WORK/errors.txt"; then
        head -n 20 "$WORK/errors.txt" >&2
        e2e_fail "the console reports an error"
    fi
}

command -v python3 >/dev/null || e2e_fail "python3 is needed for the input stream"
e2e_start
e2e_wait_line "Begin primary game loop"
e2e_find_window
eval "$(xdotool getwindowgeometry --shell "$WIN")" || e2e_fail "no geometry for the window"
e2e_log "seed $SEED, $SECONDS_TOTAL s, mean pause 1/$RATE s, baseline at $BASELINE s"

python3 "$HERE/soak_input.py" "$GAME_PID" "$X" "$Y" "$SECONDS_TOTAL" "$SEED" "$RATE" "$SAMPLE" \
    "$RSS_FILE" >"$COUNTS"
status=$?
[ $status -eq 3 ] && e2e_fail "the game ended during the soak"
[ $status -eq 0 ] || e2e_fail "the input stream failed ($status)"
e2e_running || e2e_fail "the game ended during the soak"

# Let the game settle, take the last sample and quit.
sleep 1
END_T=$(awk 'END { printf "%d", $1 + 1 }' "$RSS_FILE")
END_KB=$(awk '/^VmRSS:/ { print $2 }' "/proc/$GAME_PID/status")
[ -n "$END_KB" ] || e2e_fail "could not read the game's VmRSS"
echo "$END_T $END_KB" >>"$RSS_FILE"
check_console
e2e_key Escape
e2e_wait_exit 60
e2e_expect_status 0
e2e_wait_line "== Cleanup Completed ==" 1
check_console

# Growth from the baseline sample (the first one at or after BASELINE seconds) to the last.
read -r BASE_T BASE_KB < <(awk -v b="$BASELINE" '$1 >= b { print; exit }' "$RSS_FILE")
[ -n "$BASE_KB" ] || e2e_fail "no RSS sample after $BASELINE s"
read -r MIN_KB MAX_KB < <(awk -v b="$BASELINE" '$1 >= b { if (min == "" || $2 < min) min = $2;
    if ($2 > max) max = $2 } END { print min, max }' "$RSS_FILE")
GROWTH_KB=$((END_KB - BASE_KB))
count() { awk -v k="$1" '$1 == k { print $2 }' "$COUNTS"; }
SCRIPT_RUNS=$(grep -c '^Calling Script: ' "$LOG")
{
    echo "seed $SEED, $SECONDS_TOTAL s of input, mean pause 1/$RATE s:" \
        "$(awk -v n="$(count actions)" -v t="$SECONDS_TOTAL" 'BEGIN { printf "%.1f", n / t }') actions/s"
    echo "actions $(count actions): key presses and releases $(count key_events), pointer moves $(count moves)," \
        "clicks on characters $(count character_clicks), on chat lines $(count chat_line_clicks)," \
        "on speed buttons $(count button_clicks), on open ground $(count ground_clicks)," \
        "press-here-release-there $(count drags); right or middle button $(count other_buttons)"
    echo "X events sent $(count x_events)"
    echo "conversation steps: responses that ran a script $SCRIPT_RUNS," \
        "conversations closed $(grep -c '^Line response was -3$' "$LOG")," \
        "releases handed to the world $(grep -c '^Mouse up event thrown to Environment$' "$LOG")"
    echo "VmRSS kB: start $(head -n 1 "$RSS_FILE" | cut -d' ' -f2), baseline at $BASE_T s $BASE_KB," \
        "end at $END_T s $END_KB, min $MIN_KB, max $MAX_KB from the baseline on"
    echo "growth $GROWTH_KB kB (limit $MAX_GROWTH_KB kB), exit status $EXIT_STATUS"
    echo "samples (s kB): $(tr '\n' ' ' <"$RSS_FILE")"
} >"$WORK/summary.txt"
cat "$WORK/summary.txt" >&2
if [ -n "${SOAK_OUT:-}" ]; then
    mkdir -p "$SOAK_OUT"
    cp "$WORK/summary.txt" "$RSS_FILE" "$LOG" "$SOAK_OUT/"
fi
[ "$GROWTH_KB" -lt "$MAX_GROWTH_KB" ] || e2e_fail "VmRSS grew by $GROWTH_KB kB after $BASELINE s"
[ "$SCRIPT_RUNS" -gt 0 ] || e2e_fail "no response ran a script: the stream missed the chat box"
e2e_pass
