#!/bin/bash
# Opens a diagram in the viewer under a private Xvfb, through File > Open as a
# user does, with the log window shown or hidden, and prints the viewer's own
# measure of the load ("viewer-open SECONDS"). A measurement, not a test.
# Usage: viewer-open.sh MORVEX DIAGRAM.fnc shown|hidden
MORVEX=$1
DIAGRAM=$2
LOG=$3
. "$(dirname "$0")/../tests/gui/rig.sh"
export HOME=$RIG_DIR/home
mkdir -p "$HOME"

rig_start_xvfb 1280x1024x24
rig_start_app "$MORVEX"
rig_close_splash
rig_wait_window 'Morvex - version 1\.0$'
MAIN=$RIG_WINDOW
rig_move "$MAIN" 100 600
if [ "$LOG" = shown ]; then
    xdotool key ctrl+l
    rig_wait_window '^Log output window$'
    rig_move "$MAIN" 100 600
fi
xdotool key ctrl+o
rig_choose_file "Open fence diagram" "$DIAGRAM"
rig_wait_log '^Opened .*: [0-9]+ fences in [0-9.]+ s$'
seconds=$(rig_last_log '^Opened ' | sed -E 's/.* fences in ([0-9.]+) s$/\1/')
echo "viewer-open $seconds"
