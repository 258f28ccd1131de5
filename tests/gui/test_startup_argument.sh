#!/bin/bash
# Start-up with one argument: no splash, and every argument, the program's
# own name first, handed to the view in order.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb
rig_start_morvex survey.fnc
rig_wait_log '^onInit\(\)$'
grep -E '^addCommandLineParam\(\): Adding command line param ' "$RIG_APP_OUT" >"$RIG_DIR/params"
printf 'addCommandLineParam(): Adding command line param %s\n' "$MORVEX" survey.fnc | cmp -s - "$RIG_DIR/params" ||
    rig_fail "command-line lines: $(cat "$RIG_DIR/params")"
# The first frame (onInit) comes only after the map requests of everything
# shown before the loop, a splash included.
[ -z "$(rig_windows_of_size 402x302)" ] || rig_fail "a splash shows although a file was named"
echo "PASS"
