#!/bin/bash
# Start-up without arguments: the main window fills the work area less 50
# pixels on every side, the splash shows centred over it and hides itself
# after 4 seconds; the window carries the program icon; Exit (Alt+F4) hides
# the windows and ends the program.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb
rig_start_morvex
rig_wait_window_size 402x302
SPLASH=$RIG_WINDOW
seen=$(date +%s.%N)
[ "$(rig_geometry "$W")" = "50 50 924 668" ] || rig_fail "main window at $(rig_geometry "$W"), want 50 50 924 668"
icons=$(xprop -id "$W" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
[ "$icons" = "Icon (16 x 16) Icon (32 x 32) Icon (48 x 48) " ] || rig_fail "program icons: $icons"
rig_expect_at "$SPLASH" "$((50 + 924 / 2 - 402 / 2)) $((50 + 668 / 2 - 302 / 2))" splash
rig_shot root startup-with-splash >/dev/null

rig_wait_window_size_gone 402x302
shown=$(awk -v a="$seen" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }')
awk -v s="$shown" 'BEGIN { exit !(s >= 3.5) }' || rig_fail "the splash went after $shown s"

# The program's own name is the one command-line parameter.
rig_expect_count '^addCommandLineParam\(\): Adding command line param ' 1
grep -qxF "addCommandLineParam(): Adding command line param $MORVEX" "$RIG_APP_OUT" ||
    rig_fail "no addCommandLineParam line for argv[0]"
rig_wait_log '^onInit\(\)$'

# The log window is among the windows Exit hides.
rig_keys 400 300 ctrl+l
rig_wait_window '^Log output window$'
rig_quit 400 300
echo "PASS"
