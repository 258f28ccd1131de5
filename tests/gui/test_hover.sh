#!/bin/bash
# Tool buttons lie flat; the pointer over one raises it and lightens it, and
# leaving flattens it again.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb
rig_start_morvex
rig_wait_log '^onInit\(\)$'
rig_close_splash

# The "Open fence diagram" button: 33 x 33 at (4, 29).
button() {
    convert "$(rig_shot "$W" "button-$1")" -crop 33x33+4+29 +repage "$RIG_SHOTS/button-$1-crop.png"
    echo "$RIG_SHOTS/button-$1-crop.png"
}
same() { [ "$(convert "$1" -depth 8 rgb:- | md5sum)" = "$(convert "$2" -depth 8 rgb:- | md5sum)" ]; }
red() { rig_pixel "$1" "$2" "$3" | cut -d' ' -f1; }

rig_move "$W" 400 400
# The tool bar drawn: the button's face is the window's grey, not black.
_drawn() { flat=$(button flat); [ "$(rig_pixel "$flat" 3 16)" != "0 0 0" ]; }
rig_poll "the tool bar to be drawn" _drawn
# Flat: edge and face in the tool bar's own grey.
face=$(rig_pixel "$flat" 3 16)
rig_expect_colour "flat top edge" "$(rig_pixel "$flat" 16 0)" "$face" 0
rig_expect_colour "flat bottom edge" "$(rig_pixel "$flat" 16 32)" "$face" 0

rig_move "$W" $((4 + 16)) $((29 + 16))
_raised() { raised=$(button raised); ! same "$raised" "$flat"; }
rig_poll "the button to rise" _raised
f=$(red "$flat" 3 16) l=$(red "$raised" 3 16) t=$(red "$raised" 16 0) b=$(red "$raised" 16 32)
rig_note "red of flat face $f; hovered face $l, top edge $t, bottom edge $b"
[ "$l" -gt "$f" ] || rig_fail "the hovered face is not lighter"
[ "$t" -gt "$l" ] && [ "$b" -lt "$l" ] || rig_fail "the hovered button does not look raised"

rig_move "$W" 400 400
_flat_again() { same "$(button again)" "$flat"; }
rig_poll "the button to flatten" _flat_again
echo "PASS"
