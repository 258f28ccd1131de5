#!/bin/bash
# Mouse navigation end to end, judged from the view's trace (MORVEX_TRACE) of
# the events it received: left drag turns, right or middle drag pans,
# Shift+right drag zooms, by the handler's scales; Home and Alt+F4 over the
# view reach the menu.
. "$(dirname "$0")/rig.sh"
export MORVEX_TRACE=$RIG_DIR/trace
rig_start_xvfb
rig_start_viewtest --width 400 --height 300
rig_wait_log '^viewtest: ready 400x300'

# Home with the pointer over the view (the view has the keyboard focus).
reset_view() {
    local before
    before=$(rig_count_log '^viewtest: menu Reset View')
    rig_keys 200 $((150 + TOP)) Home
    rig_wait_log_count '^viewtest: menu Reset View' $((before + 1))
}

# check NAME CONDITION: an awk condition on the camera at the press, e[1..3]
# and t[1..3] (eye and target), at the release, E and T, and the pointer's
# way between them as the view received it, dx and dy: from the press to
# the last drag. The eye moved by m, the target by mt, along the view
# direction by along; d is the distance moved by dy pixels of pan or zoom.
check() {
    local way
    way=$(awk '/^push / { split($4, p, ",") } /^drag / { split($3, d, ",") } END { print d[1] - p[1], d[2] - p[2] }' \
        "$MORVEX_TRACE")
    awk -v values="$(camera "$RIG_PUSHED") $(camera "$RIG_TRACED") $way" "BEGIN {
        n = split(values, v, \" \"); for (i = 1; i <= 3; i++) { e[i] = v[i]; t[i] = v[i + 3]; E[i] = v[i + 6]; T[i] = v[i + 9] }
        dx = v[13]; dy = v[14]; l = sqrt((t[1] - e[1])^2 + (t[2] - e[2])^2 + (t[3] - e[3])^2); d = l * dy / 400
        m = sqrt((E[1] - e[1])^2 + (E[2] - e[2])^2 + (E[3] - e[3])^2); mt = sqrt((T[1] - t[1])^2 + (T[2] - t[2])^2 + (T[3] - t[3])^2)
        for (i = 1; i <= 3; i++) along += (E[i] - e[i]) * (t[i] - e[i]) / l
        exit !($2) }" || rig_fail "$1: $RIG_PUSHED / $RIG_TRACED / $way"
    rig_note "$1: ok"
}
camera() { sed -E 's/.* -> eye //; s/ target / /' <<<"$1"; }
AT_RESET='e[1] == 0 && e[2] == 3 && e[3] == 5 && t[1] == 0 && t[2] == 0 && t[3] == 0'

# Left drag 100 pixels right in a 400-pixel view: 4 / 400 radians a pixel
# about the target, around the vertical; height and distance stay.
reset_view
rig_drag 1 150 $((150 + TOP)) 250 $((150 + TOP))
check "left drag turns by 1.0 radian" "$AT_RESET && dx == 100 && (E[2] - 3)^2 < 1e-10 &&
    (sqrt(E[1]^2 + E[3]^2) - 5)^2 < 1e-8 && (atan2(E[1], E[3])^2 - (4 * dx / 400)^2)^2 < 1e-10 &&
    T[1]^2 + T[2]^2 + T[3]^2 < 1e-12"

# Right or middle drag 10 pixels down: a pan by distance * 10 / 400 across
# the view direction, camera and target together.
for button in 3 2; do
    reset_view
    rig_drag $button 200 $((150 + TOP)) 200 $((160 + TOP))
    check "button $button drag pans" "$AT_RESET && dy == 10 && (m - d)^2 < 1e-10 && (mt - d)^2 < 1e-10 && along^2 < 1e-10"
done

# Shift + right drag 10 pixels down in one step: along the view direction by
# the same amount (zoom scale = distance / width with the default speed).
reset_view
rig_drag 3 200 $((150 + TOP)) 200 $((160 + TOP)) shift 1
check "Shift+right drag zooms" "$AT_RESET && dy == 10 && (m - d)^2 < 1e-10 && (along^2 - d^2)^2 < 1e-10 && mt == 0"

# Alt+F4 over the view reaches the menu as well; the program then ends.
rig_quit 200 $((150 + TOP))
rig_expect_count '^viewtest: menu Exit' 1
echo "PASS"
