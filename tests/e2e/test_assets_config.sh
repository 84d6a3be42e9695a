#!/usr/bin/env bash
# FennowOnline.cfg broken in turn: binary garbage, one line far longer than the reader's
# buffer, a directory in its place, and a working directory where it cannot be created. The
# game says what is wrong, keeps the default keys (Escape quits) and ends with status 0.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/assets_lib.sh"
cases_init "$@"

BAD_FILE='Something is wrong with your CFG file.'

case_begin FennowOnline.cfg "4096 random bytes"
LC_ALL=C awk 'BEGIN { srand(7); for (i = 0; i < 4096; i++) printf "%c", int(rand() * 256) }' >"$CASE/FennowOnline.cfg"
case_run '~(Something is wrong with your CFG file\.|There is no scancode named .*)'

case_begin FennowOnline.cfg "one line of 100000 letters"
head -c 100000 /dev/zero | tr '\0' 'A' >"$CASE/FennowOnline.cfg"
case_run "$BAD_FILE"

case_begin FennowOnline.cfg "a directory"
mkdir "$CASE/FennowOnline.cfg"
case_run 'CFG File: FennowOnline.cfg could not be read.  Using the defaults.'

# As root the directory's mode alone does not stop writing: drop the capability that lets
# root ignore it.
case_begin FennowOnline.cfg "working directory not writable"
chmod 555 "$CASE"
if [ "$(id -u)" = 0 ]; then
    CASE_WRAPPER=(setpriv --bounding-set=-dac_override,-dac_read_search --)
fi
case_run 'CFG File: FennowOnline.cfg not found.  Creating a new one - failed' \
    'CFG File: FennowOnline.cfg could not be created.  Using the defaults.'

cases_end
