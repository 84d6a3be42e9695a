#!/usr/bin/env bash
# Without any X display the Allegro set-up fails: its message follows the init frame, no
# stage after it is printed, and the game ends with status -1 (255).
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

(cd "$WORK" && exec env -u DISPLAY "$GAME") 2>"$LOG" &
GAME_PID=$!
e2e_wait_exit
e2e_expect_status 255
[ "$(sed -n 1p "$LOG")" = "== Begin Init ==" ] || e2e_fail "first line is not the init frame"
case "$(sed -n 2p "$LOG")" in
"Allegro failed to initialize" | "Allegro could not install the keyboard" | \
    "Allegro could not install the mouse" | "Allegro could not create an Event Queue") ;;
*) e2e_fail "unexpected second line" ;;
esac
[ "$(wc -l <"$LOG")" -eq 2 ] || e2e_fail "more lines after the failure"
[ -e "$WORK/FennowOnline.cfg" ] && e2e_fail "the key-binding file was written"
e2e_pass
