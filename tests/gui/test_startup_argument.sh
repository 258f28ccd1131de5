#!/bin/bash
# Start-up with one argument: no splash, and every argument, the program's
# own name first, handed to the view in order.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb 1024x768x24
rig_start_app "$MORVEX" survey.fnc
rig_wait_window '^Morvex - version 1\.0$'
rig_wait_log '^onInit\(\)$'

grep -E '^addCommandLineParam\(\): Adding command line param ' "$RIG_APP_OUT" >"$RIG_DIR/params"
printf 'addCommandLineParam(): Adding command line param %s\n' "$MORVEX" survey.fnc | cmp -s - "$RIG_DIR/params" ||
    rig_fail "command-line lines: $(cat "$RIG_DIR/params")"
# The view draws its first frame (onInit) only after the toolkit has sent the
# map requests of everything main showed before its loop, splash included.
[ -z "$(rig_windows_of_size 402x302)" ] || rig_fail "a splash shows although a file was named"
rig_note "no splash"
echo "PASS"
