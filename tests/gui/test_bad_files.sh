#!/bin/bash
# Malformed files opened one after the other in the real program: each one is
# refused with its message from tests/data/bad/expected.txt in an alert
# centred over the main window, the view stays empty (the title names no
# file) and the program goes on; a good diagram opens after them, and a text
# file opened then is refused while the diagram stays in view.
. "$(dirname "$0")/rig.sh"
rig_work example
BAD=$RIG_DIR/bad
cp -r "$(dirname "$0")/../data/bad" "$BAD"
# Images are opened through a one-fence description, as the corpus test does.
for image in too-large.png bomb.jpg truncated.bmp; do
    printf '#MORVEX1\n1\n2\n0 0 0\n10 0 0\n%s\n-\n0\n0 0 0\n0 0 0\n45 1 100\n' "$image" >"$BAD/open-$image.fnc"
done

# Waits for the log lines of MESSAGE (the COUNTth time) and its alert, and
# closes the alert.
expect_message() {
    local line
    while IFS= read -r line; do
        rig_wait_log_count "^$(printf '%s' "$line" | sed 's/[][\.*^$?+(){}|]/\\&/g')\$" "${2:-1}"
    done <<<"$1"
    rig_dismiss_alert "${3:-}"
}

# The message expected.txt lists for NAME, expected as expect_message does.
expect_refused() {
    local message
    message=$(awk -F '\t' -v name="$1" '$1 == name { print $2 }' "$BAD/expected.txt")
    [ -n "$message" ] || rig_fail "no expected message for $1"
    message=${message//\{dir\}/$BAD}
    expect_message "${message//\\n/$'\n'}" "${2:-1}"
    rig_note "refused: $1"
}

rig_start_xvfb
rig_start_morvex "$BAD/truncated-camera.fnc"
expect_refused truncated-camera.fnc
[ "$(xdotool getwindowname "$W")" = "Morvex - version 1.0" ] || rig_fail "title: $(xdotool getwindowname "$W")"
for name in point-nan.fnc binary.fnc; do
    rig_open "$BAD/$name"
    expect_refused "$name"
done
for image in too-large.png bomb.jpg truncated.bmp; do
    rig_open "$BAD/open-$image.fnc"
    expect_refused "$image"
done
# The same bad file twice in a row.
rig_open "$BAD/point-nan.fnc"
expect_refused point-nan.fnc 2

rig_open "$WORK/example.fnc"
rig_wait_log "^Positioning using values from file\.$"
rig_wait_log '^legendImage size = 512, 512$'
rig_wait_drawn good-after-bad-files
rig_wait_window '^example\.fnc - Morvex - version 1\.0$'
rig_expect_count '^description = ' 9

# A text file opened over the diagram: refused, and the diagram stays.
README=$(cd "$(dirname "$0")/../.." && pwd)/README.md
rig_open "$README"
expect_message "$README is not a Morvex description file (it begins with \"#\").
$README, line 1: the number of fences must be a whole number, not \"Morvex\"." 1 alert-not-a-description
dlg_wait_picture "$W" diagram-kept-after-failed-open "$RIG_SHOT" equals 400x300+250+150 >/dev/null
echo "PASS"
