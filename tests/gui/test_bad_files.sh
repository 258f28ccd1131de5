#!/bin/bash
# Malformed files opened one after the other in the real program: each one is
# refused with its message from tests/data/bad/expected.txt in an alert, the
# view stays empty and the program goes on; a good diagram opens after them.
. "$(dirname "$0")/rig.sh"
export HOME=$RIG_DIR/home
mkdir -p "$HOME"
BAD=$RIG_DIR/bad
cp -r "$(dirname "$0")/../data/bad" "$BAD"
WORK=$RIG_DIR/work
mkdir -p "$WORK"
cp -r "$(dirname "$EXAMPLE")"/. "$WORK/"
# Images are opened through a one-fence description, as the corpus test does.
for image in too-large.png bomb.jpg truncated.bmp; do
    printf '#MORVEX1\n1\n2\n0 0 0\n10 0 0\n%s\n-\n0\n0 0 0\n0 0 0\n45 1 100\n' "$image" >"$BAD/open-$image.fnc"
done

# The message expected.txt lists for a file, as an exact-line regex.
expected_line() {
    local message
    message=$(awk -F '\t' -v name="$1" '$1 == name { print $2 }' "$BAD/expected.txt")
    [ -n "$message" ] || rig_fail "no expected message for $1"
    message=${message//\{dir\}/$BAD}
    printf '^%s$' "$(printf '%s' "$message" | sed 's/[][\.*^$?+(){}|]/\\&/g')"
}

# Waits for the message and its alert, and closes the alert.
expect_refused() {
    local line
    line=$(expected_line "$1")
    rig_wait_log_count "$line" "${2:-1}"
    rig_wait_window '^Morvex$'
    rig_move "$RIG_WINDOW" 20 20
    xdotool key Return
    rig_wait_window_gone '^Morvex$'
    rig_app_running || rig_fail "the program ended after $1"
    rig_note "refused: $1"
}

_view_drawn() {
    local shot
    shot=$(rig_shot "$W" "$1") && [ "$(rig_colour_count "$shot" 400x300+250+150)" -gt 20 ]
}

rig_start_xvfb 1024x768x24
rig_start_app "$MORVEX" "$BAD/truncated-camera.fnc"
rig_wait_window '^Morvex - version 1\.0$'
W=$RIG_WINDOW
expect_refused truncated-camera.fnc

over_main() { rig_move "$W" 100 600; }
open_file() {
    over_main
    xdotool key ctrl+o
    rig_choose_file "Open fence diagram" "$1"
}
for name in point-nan.fnc binary.fnc image-is-directory.fnc; do
    open_file "$BAD/$name"
    expect_refused "$name"
done
for image in too-large.png bomb.jpg truncated.bmp; do
    open_file "$BAD/open-$image.fnc"
    expect_refused "$image"
done
# The same bad file twice in a row.
open_file "$BAD/point-nan.fnc"
expect_refused point-nan.fnc 2

open_file "$WORK/example.fnc"
rig_wait_log "^Positioning using values from file\.$"
rig_wait_log '^legendImage size = 512, 512$'
rig_poll "the diagram to be drawn" _view_drawn good-after-bad-files
[ "$(rig_count_log '^description = ')" -eq 9 ] || rig_fail "nine descriptions expected"
rig_app_running || rig_fail "the program ended"
echo "PASS"
