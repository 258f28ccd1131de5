#!/bin/bash
# Background end to end: the gradient runs from light blue at the top row of
# the view to white at the bottom row; the solid default is white.
. "$(dirname "$0")/rig.sh"

MENU=24
rig_start_xvfb

rig_start_app "$VIEWTEST" --width 400 --height 300 --background 1
rig_wait_log '^viewtest: ready'
rig_wait_log '^viewtest: frame'
rig_wait_window 'Morvex view test'
_top_blue() { rig_colour_near "$(rig_pixel "$1" 390 $MENU)" "127 127 255" 1; }
rig_shot_until "$RIG_WINDOW" background-gradient _top_blue
shot=$RIG_SHOT
rig_expect_colour "gradient, top row" "$(rig_pixel "$shot" 390 $MENU)" "127 127 255" 1
rig_expect_colour "gradient, top row left" "$(rig_pixel "$shot" 5 $MENU)" "127 127 255" 1
rig_expect_colour "gradient, bottom row" "$(rig_pixel "$shot" 390 $((MENU + 299)))" "255 255 255" 1
rig_expect_colour "gradient, middle" "$(rig_pixel "$shot" 390 $((MENU + 150)))" "191 191 255" 3
kill "$RIG_APP_PID"
wait "$RIG_APP_PID" 2>/dev/null

rig_start_app "$VIEWTEST" --width 400 --height 300 --background 0
rig_wait_log '^viewtest: ready'
rig_wait_log '^viewtest: frame'
rig_wait_window 'Morvex view test'
_bottom_white() { rig_colour_near "$(rig_pixel "$1" 390 $((MENU + 299)))" "255 255 255" 0; }
rig_shot_until "$RIG_WINDOW" background-solid _bottom_white
shot=$RIG_SHOT
rig_expect_colour "solid, top row" "$(rig_pixel "$shot" 390 $MENU)" "255 255 255" 0
rig_expect_colour "solid, bottom row" "$(rig_pixel "$shot" 390 $((MENU + 299)))" "255 255 255" 0
echo "PASS"
