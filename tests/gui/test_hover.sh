#!/bin/bash
# Tool buttons lie flat; the pointer over one raises it and lightens it, and
# leaving flattens it again.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb 1024x768x24
rig_start_app "$MORVEX"
rig_wait_window '^Morvex - version 1\.0$'
W=$RIG_WINDOW
rig_wait_log '^onInit\(\)$'
rig_close_splash

# The "Save settings" button: 33 x 33 at (40, 29).
BX=40 BY=29
button() {
    local shot
    shot=$(rig_shot "$W" "button-$1")
    convert "$shot" -crop "33x33+$BX+$BY" +repage "$RIG_SHOTS/button-$1-crop.png"
    echo "$RIG_SHOTS/button-$1-crop.png"
}
same() { [ "$(convert "$1" -depth 8 rgb:- | md5sum)" = "$(convert "$2" -depth 8 rgb:- | md5sum)" ]; }

rig_move "$W" 400 400
# The tool bar drawn: the button's face is the window's grey, not black.
_drawn() { flat=$(button flat); [ "$(rig_pixel "$flat" 3 16)" != "0 0 0" ]; }
rig_poll "the tool bar to be drawn" _drawn
# Flat: edge and face in the tool bar's own grey.
face=$(rig_pixel "$flat" 3 16)
rig_expect_colour "flat top edge" "$(rig_pixel "$flat" 16 0)" "$face" 0
rig_expect_colour "flat bottom edge" "$(rig_pixel "$flat" 16 32)" "$face" 0

rig_move "$W" $((BX + 16)) $((BY + 16))
_raised() { raised=$(button raised); ! same "$raised" "$flat"; }
rig_poll "the button to rise" _raised
lit=$(rig_pixel "$raised" 3 16)
top=$(rig_pixel "$raised" 16 0)
bottom=$(rig_pixel "$raised" 16 32)
rig_note "flat face ($face); hovered face ($lit), top edge ($top), bottom edge ($bottom)"
read -r f _ <<<"$face"
read -r l _ <<<"$lit"
read -r t _ <<<"$top"
read -r b _ <<<"$bottom"
[ "$l" -gt "$f" ] || rig_fail "the hovered face is not lighter"
[ "$t" -gt "$l" ] && [ "$b" -lt "$l" ] || rig_fail "the hovered button does not look raised"

rig_move "$W" 400 400
_flat_again() { again=$(button again); same "$again" "$flat"; }
rig_poll "the button to flatten" _flat_again
convert "$flat" "$raised" -filter point -resize 400% +append "$RIG_SHOTS/button-flat-and-raised.png"
echo "PASS"
