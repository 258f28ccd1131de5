#!/bin/bash
# Antialiasing end to end: with level 2 the triangle's diagonal edge shows
# colours between the triangle's and the background's; a single pass shows
# only the two. Without an accumulation buffer the view says so and draws
# one pass.
. "$(dirname "$0")/rig.sh"

# Around the long edge of the blue triangle, away from the red one.
AREA="60x40+70+$((24 + 60))"
colours() { [ "$(rig_colour_count "$2" "$AREA")" "$1" 2 ]; }
rig_start_xvfb

rig_start_viewtest --width 400 --height 300
rig_shot_until "$W" antialias-off colours -eq
rig_stop

rig_start_viewtest --width 400 --height 300 --antialias 2
if rig_last_log '^viewtest: ready' | grep -q 'accumulation yes'; then
    rig_shot_until "$W" antialias-2 colours -gt
else
    rig_wait_log '^Antialiasing needs an accumulation buffer'
    rig_expect_count '^Antialiasing needs' 1 "the fallback should be told once"
fi
echo "PASS"
