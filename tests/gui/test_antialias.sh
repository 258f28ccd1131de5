#!/bin/bash
# Antialiasing end to end: with level 2 the triangle's diagonal edge shows
# colours between the triangle's and the background's; a single pass shows
# only the two. A drag draws in one pass and the antialiased frame follows
# at the release (judged from the view's trace). Without an accumulation
# buffer the view says so and draws one pass.
. "$(dirname "$0")/rig.sh"

# Around the long edge of the blue triangle, away from the red one.
AREA="60x40+70+$((24 + 60))"
colours() { [ "$(rig_colour_count "$2" "$AREA")" "$1" 2 ]; }
rig_start_xvfb

rig_start_viewtest --width 400 --height 300
rig_shot_until "$W" antialias-off colours -eq
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
