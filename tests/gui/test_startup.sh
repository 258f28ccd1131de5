#!/bin/bash
# Start-up without arguments: the main window fills the work area less 50
# pixels on every side, the splash shows centred over it and hides itself
# after 4 seconds; the window carries the program icon; Exit (Alt+F4) hides
# the windows and ends the program.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb 1024x768x24
rig_start_app "$MORVEX"
rig_wait_window '^Morvex - version 1\.0$'
W=$RIG_WINDOW
rig_wait_window_size 402x302
SPLASH=$RIG_WINDOW
seen=$(date +%s.%N)
rig_note "splash seen"

read -r x y w h <<<"$(rig_geometry "$W")"
[ "$x $y $w $h" = "50 50 924 668" ] || rig_fail "main window at $x $y $w $h, want 50 50 924 668"
rig_note "main window: $x $y ${w}x$h"
icons=$(xprop -id "$W" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
[ "$icons" = "Icon (16 x 16) Icon (32 x 32) Icon (48 x 48) " ] || rig_fail "program icons: $icons"
read -r sx sy sw sh <<<"$(rig_geometry "$SPLASH")"
[ "$sx $sy" = "$((50 + 924 / 2 - 402 / 2)) $((50 + 668 / 2 - 302 / 2))" ] ||
    rig_fail "splash at $sx $sy, not centred over the main window"
rig_shot root startup-with-splash >/dev/null

rig_wait_window_size_gone 402x302
shown=$(awk -v a="$seen" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }')
rig_note "splash hidden after at least $shown s"
awk -v s="$shown" 'BEGIN { exit !(s >= 3.5) }' || rig_fail "the splash went after $shown s"

# The program's own name is the one command-line parameter.
[ "$(rig_count_log '^addCommandLineParam\(\): Adding command line param ')" -eq 1 ] ||
    rig_fail "want one addCommandLineParam line"
grep -qxF "addCommandLineParam(): Adding command line param $MORVEX" "$RIG_APP_OUT" ||
    rig_fail "no addCommandLineParam line for argv[0]"
rig_wait_log '^onInit\(\)$'

rig_shot "$W" main-window >/dev/null

# The log window is among the windows Exit hides.
rig_move "$W" 400 300
xdotool key ctrl+l
rig_wait_window '^Log output window$'
rig_move "$W" 400 300
xdotool key alt+F4
rig_wait_exit || rig_fail "exit status $?"
echo "PASS"
