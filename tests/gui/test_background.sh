#!/bin/bash
# Background end to end: the gradient runs from light blue at the top row of
# the view to white at the bottom row; the solid default is white.
. "$(dirname "$0")/rig.sh"

MENU=24
near() { rig_colour_near "$(rig_pixel "$4" 390 $((MENU + $1)))" "$2" "$3"; }
rig_start_xvfb

rig_start_viewtest --width 400 --height 300 --background 1
rig_shot_until "$W" background-gradient near 0 "127 127 255" 1
rig_expect_colour "gradient, top row left" "$(rig_pixel "$RIG_SHOT" 5 $MENU)" "127 127 255" 1
rig_expect_colour "gradient, bottom row" "$(rig_pixel "$RIG_SHOT" 390 $((MENU + 299)))" "255 255 255" 1
rig_expect_colour "gradient, middle" "$(rig_pixel "$RIG_SHOT" 390 $((MENU + 150)))" "191 191 255" 3
rig_stop

rig_start_viewtest --width 400 --height 300 --background 0
rig_shot_until "$W" background-solid near 299 "255 255 255" 0
rig_expect_colour "solid, top row" "$(rig_pixel "$RIG_SHOT" 390 $MENU)" "255 255 255" 0
echo "PASS"
