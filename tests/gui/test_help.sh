#!/bin/bash
# Help window: shown with its three pictures and texts; Close hides it.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb
rig_start_app "$VIEWTEST" --help-window
rig_wait_log '^viewtest: help shown'
rig_wait_window 'Help Window'
W=$RIG_WINDOW
# The pressed left button of the first picture is in the accent blue; the
# window may be mapped a moment before it is drawn.
_help_drawn() {
    shot=$(rig_shot "$W" help-window)
    rig_colour_near "$(rig_pixel "$shot" 19 27)" "40 104 214" 2
}
rig_poll "the help window drawn" _help_drawn
rig_expect_colour "rotate picture, left button" "$(rig_pixel "$shot" 19 27)" "40 104 214" 2
rig_move "$W" 132 265
xdotool click 1
rig_wait_window_gone 'Help Window'
echo "PASS"
