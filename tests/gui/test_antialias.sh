#!/bin/bash
# Antialiasing end to end: with level 2 the triangle's diagonal edge shows
# colours between the triangle's and the background's; a single pass shows
# only the two. Without an accumulation buffer the view says so and draws
# one pass.
. "$(dirname "$0")/rig.sh"

MENU=24
# Around the long edge of the blue triangle, away from the red one.
AREA="60x40+70+$((MENU + 60))"
rig_start_xvfb

rig_start_app "$VIEWTEST" --width 400 --height 300
rig_wait_log '^viewtest: ready'
rig_wait_log '^viewtest: frame'
rig_wait_window 'Morvex view test'
_two_colours() { [ "$(rig_colour_count "$1" "$AREA")" -eq 2 ]; }
rig_shot_until "$RIG_WINDOW" antialias-off _two_colours
shot=$RIG_SHOT
single=$(rig_colour_count "$shot" "$AREA")
rig_note "single pass: $single colours"
[ "$single" -eq 2 ] || rig_fail "a single pass should show exactly two colours, not $single"
kill "$RIG_APP_PID"
wait "$RIG_APP_PID" 2>/dev/null

rig_start_app "$VIEWTEST" --width 400 --height 300 --antialias 2
rig_wait_log '^viewtest: ready'
rig_wait_log '^viewtest: frame'
rig_wait_window 'Morvex view test'
if rig_last_log '^viewtest: ready' | grep -q 'accumulation yes'; then
    _blended() { [ "$(rig_colour_count "$1" "$AREA")" -gt 2 ]; }
    rig_shot_until "$RIG_WINDOW" antialias-2 _blended
    shot=$RIG_SHOT
else
    shot=$(rig_shot "$RIG_WINDOW" antialias-2)
fi
smooth=$(rig_colour_count "$shot" "$AREA")
rig_note "level 2: $smooth colours"
if rig_last_log '^viewtest: ready' | grep -q 'accumulation yes'; then
    [ "$smooth" -gt 2 ] || rig_fail "antialiasing shows no intermediate colours"
else
    rig_wait_log '^Antialiasing needs an accumulation buffer'
    [ "$(rig_count_log '^Antialiasing needs')" -eq 1 ] || rig_fail "the fallback should be told once"
fi
echo "PASS"
