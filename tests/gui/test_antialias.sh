#!/bin/bash
# Background and antialiasing end to end. The gradient runs from light blue at
# the top row of the view to white at the bottom; the solid default is white.
# With level 2 the triangle's diagonal edge shows colours between the
# triangle's and the background's; a single pass shows only the two. A drag
# draws in one pass and the antialiased frame follows at the release (judged
# from the view's trace). Without an accumulation buffer the view says so and
# draws one pass.
. "$(dirname "$0")/rig.sh"

near() { rig_colour_near "$(rig_pixel "$4" 390 $((TOP + $1)))" "$2" "$3"; }
# Around the long edge of the blue triangle, away from the red one.
colours() { [ "$(rig_colour_count "$2" "60x40+70+$((TOP + 60))")" "$1" 2 ]; }
solid_single_pass() { near 299 "255 255 255" 0 "$1" && near 0 "255 255 255" 0 "$1" && colours -eq "$1"; }
rig_start_xvfb

rig_start_viewtest --width 400 --height 300 --background 1
rig_shot_until "$W" background-gradient near 0 "127 127 255" 1
rig_expect_colour "gradient, top row left" "$(rig_pixel "$RIG_SHOT" 5 "$TOP")" "127 127 255" 1
rig_expect_colour "gradient, bottom row" "$(rig_pixel "$RIG_SHOT" 390 $((TOP + 299)))" "255 255 255" 1
rig_expect_colour "gradient, middle" "$(rig_pixel "$RIG_SHOT" 390 $((TOP + 150)))" "191 191 255" 3
rig_stop

rig_start_viewtest --width 400 --height 300
rig_shot_until "$W" background-solid-antialias-off solid_single_pass
rig_stop

export MORVEX_TRACE=$RIG_DIR/trace
rig_start_viewtest --width 400 --height 300 --antialias 2
if rig_last_log '^viewtest: ready' | grep -q 'accumulation yes'; then
    rig_shot_until "$W" antialias-2 colours -gt
    rig_drag 1 100 150 160 150 "" 3
    # Lines after the last drag, and from the press to the last drag.
    after() { awk '/^drag / { n = 0 } { l[n++] = $0 } END { for (i = 1; i < n; i++) print l[i] }' "$MORVEX_TRACE"; }
    _full_frame_after_drag() { after | grep -q '^frame 4 passes$'; }
    rig_poll "the antialiased frame after the drag" _full_frame_after_drag
    during=$(sed -n '/^push /,$p' "$MORVEX_TRACE" | awk '/^drag / { drags++ } drags > 0 && drags < 3 && /^frame /')
    grep -q '^frame 1 pass$' <<<"$during" || rig_fail "no frame in one pass during the drag: $during"
else
    rig_wait_log '^Antialiasing needs an accumulation buffer'
    rig_expect_count '^Antialiasing needs' 1 "the fallback should be told once"
fi
echo "PASS"
