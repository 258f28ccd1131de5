#!/bin/bash
# Mouse navigation end to end: left drag turns, right or middle drag pans,
# Shift+right drag zooms, by the handler's scales; Home and Alt+F4 over the
# view reach the menu.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb
rig_start_viewtest --width 400 --height 300
rig_wait_log '^viewtest: ready 400x300'
MENU=24

# Fields 5-7 position, 9-11 target of the last camera line of a kind.
camera() { rig_last_log "^viewtest: camera $1 "; }

# Drags from (x0, y0) to (x1, y1) in view pixels with a button, optionally
# holding a key, in a number of steps; waits for the camera line of the release.
drag() {
    local button=$1 x0=$2 y0=$3 x1=$4 y1=$5 key=${6:-} steps=${7:-4}
    local before
    before=$(rig_count_log '^viewtest: camera after-drag')
    rig_move "$W" "$x0" $((y0 + MENU))
    [ -n "$key" ] && rig_keydown "$key"
    rig_down "$button"
    local i
    for i in $(seq "$steps"); do
        rig_move "$W" $((x0 + (x1 - x0) * i / steps)) $((y0 + MENU + (y1 - y0) * i / steps))
    done
    rig_up "$button"
    [ -n "$key" ] && rig_keyup "$key"
    rig_wait_log_count '^viewtest: camera after-drag' $((before + 1))
}

reset_view() {
    local before
    before=$(rig_count_log '^viewtest: menu Reset View')
    rig_keys 200 $((150 + MENU)) Home
    rig_wait_log_count '^viewtest: menu Reset View' $((before + 1))
}

check() {
    awk -v line="$1" -v want="$2" "BEGIN { split(line, f, \" \"); $3 }" ||
        rig_fail "$2: $1"
    rig_note "$2: ok"
}

# Home with the pointer over the view (the view has the keyboard focus).
reset_view
check "$(camera reset)" "Home resets the camera" \
    'exit !(f[5] == 0 && f[6] == 3 && f[7] == 5)'

# Left drag 100 pixels right in a 400-pixel view: 1.0 radian about the
# target, around the vertical; height and distance stay.
drag 1 150 150 250 150
check "$(camera after-drag)" "left drag turns by 1.0 radian" '
    x = f[5]; y = f[6]; z = f[7]
    turn = atan2(x, z); if (turn < 0) turn = -turn
    exit !(sqrt(x*x + z*z) - 5 < 1e-4 && 5 - sqrt(x*x + z*z) < 1e-4 &&
           (y - 3)^2 < 1e-8 && (turn - 1.0)^2 < 1e-8 && f[9]^2 + f[10]^2 + f[11]^2 < 1e-12)'

# Right or middle drag 10 pixels down: a pan by distance * 10 / 400 across
# the view direction, camera and target together.
for button in 3 2; do
    reset_view
    drag $button 200 150 200 160
    check "$(camera after-drag)" "button $button drag pans" '
        d = sqrt(34) * 10 / 400
        dx = f[5] - 0; dy = f[6] - 3; dz = f[7] - 5
        moved = sqrt(dx*dx + dy*dy + dz*dz)
        tmoved = sqrt(f[9]^2 + f[10]^2 + f[11]^2)
        along = (dx * 0 + dy * -3 + dz * -5) / sqrt(34)
        exit !((moved - d)^2 < 1e-10 && (tmoved - d)^2 < 1e-10 && along^2 < 1e-10)'
done

# Shift + right drag 10 pixels down in one step: along the view direction by
# the same amount (zoom scale = distance / width with the default speed). In
# several steps the scale follows the shrinking distance.
reset_view
drag 3 200 150 200 160 shift 1
check "$(camera after-drag)" "Shift+right drag zooms" '
    d = sqrt(34) * 10 / 400
    dx = f[5] - 0; dy = f[6] - 3; dz = f[7] - 5
    moved = sqrt(dx*dx + dy*dy + dz*dz)
    along = (dx * 0 + dy * -3 + dz * -5) / sqrt(34)
    exit !((moved - d)^2 < 1e-10 && (along^2 - d^2)^2 < 1e-10)'

# Alt+F4 over the view reaches the menu as well; the program then ends.
rig_quit 200 $((150 + MENU))
rig_expect_count '^viewtest: menu Exit' 1
echo "PASS"
