#!/bin/bash
# Help window: shown with its three pictures and texts; Close hides it.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb
rig_start_app "$VIEWTEST" --help-window
rig_wait_log '^viewtest: help shown'
rig_wait_window 'Help Window'
W=$RIG_WINDOW
# The pressed left button of the first picture is in the accent blue.
_accent() { rig_colour_near "$(rig_pixel "$1" 19 27)" "40 104 214" 2; }
rig_shot_until "$W" help-window _accent
shot=$RIG_SHOT
rig_expect_colour "rotate picture, left button" "$(rig_pixel "$shot" 19 27)" "40 104 214" 2
rig_move "$W" 132 265
xdotool click 1
rig_wait_window_gone 'Help Window'
echo "PASS"
