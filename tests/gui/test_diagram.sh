#!/bin/bash
# A description file end to end: opened from the command line with its stored
# camera and legend; turned with the mouse and saved, the fences stay
# bit-identical and the camera comes back; a missing image and an unsupported
# extension are reported in an alert and the program goes on to open a good file.
. "$(dirname "$0")/rig.sh"
export HOME=$RIG_DIR/home
mkdir -p "$HOME"
WORK=$RIG_DIR/work
mkdir -p "$WORK"
cp -r "$(dirname "$EXAMPLE")"/. "$WORK/"
COPY=$WORK/example.fnc
cp "$COPY" "$RIG_DIR/original.fnc"

VIEW_Y=67
rig_start_xvfb 1024x768x24

# Waits until the view shows more than a blank background.
_view_drawn() {
    local shot
    shot=$(rig_shot "$W" "$1") && [ "$(rig_colour_count "$shot" 400x300+250+150)" -gt 20 ]
}
start() {
    rig_start_app "$MORVEX" "$1"
    rig_wait_window '^Morvex - version 1\.0$'
    W=$RIG_WINDOW
}

start "$COPY"
rig_wait_log "^Positioning using values from file\.$"
first() { grep -nE -- "$1" "$RIG_APP_OUT" | head -n 1 | cut -d: -f1; }
[ "$(first '^onInit\(\)$')" -lt "$(first "^Loading file $COPY\$")" ] || rig_fail "onInit() should come first"
[ "$(first "^Loading file $COPY\$")" -lt "$(first "^Absolute filename $COPY\$")" ] || rig_fail "absolute path line"
[ "$(rig_count_log '^description = ')" -eq 9 ] || rig_fail "nine descriptions expected"
rig_wait_log '^legendImage size = 512, 512$'
# The load ends with one line that tells how long it took, after the legend.
rig_wait_log "^Opened $COPY: 9 fences in [0-9]+\.[0-9]{3} s\$"
[ "$(first '^legendImage size')" -lt "$(first '^Opened ')" ] || rig_fail "the Opened line should come last"
rig_poll "the diagram to be drawn" _view_drawn example-diagram

# Turn the view, then "Save settings" (the second tool button).
rig_move "$W" 460 $((VIEW_Y + 300))
rig_down 1
for dx in 10 20 30 40 50 60; do rig_move "$W" $((460 + dx)) $((VIEW_Y + 300)); done
rig_up 1
rig_move "$W" $((40 + 16)) $((29 + 16))
xdotool click 1
rig_wait_log "^$WORK\$"
rig_wait_log '^example\.fnc$'
cmp -s "$COPY" "$RIG_DIR/original.fnc" && rig_fail "the turned camera was not saved"
cp "$COPY" "$RIG_DIR/saved.fnc"
# Every token but the camera lines reads back as the same number or word.
python3 - "$RIG_DIR/original.fnc" "$COPY" <<'PY' || rig_fail "the saved file changed more than the camera"
import sys
a = open(sys.argv[1]).read().split()
b = open(sys.argv[2]).read().split()
assert len(a) == len(b), (len(a), len(b))
camera = len(a) - 6 - 9
for i, (x, y) in enumerate(zip(a, b)):
    if camera <= i < camera + 6:
        continue
    try:
        same = float(x) == float(y)
    except ValueError:
        same = x == y
    assert same, (i, x, y)
PY
kill "$RIG_APP_PID"
wait "$RIG_APP_PID" 2>/dev/null

# Opened again and saved without moving: the same file, byte for byte.
start "$COPY"
rig_wait_log "^Positioning using values from file\.$"
rig_move "$W" $((40 + 16)) $((29 + 16))
xdotool click 1
rig_wait_log '^example\.fnc$'
cmp "$COPY" "$RIG_DIR/saved.fnc" || rig_fail "saving the reopened camera changed the file"
kill "$RIG_APP_PID"
wait "$RIG_APP_PID" 2>/dev/null

# A missing section image: an alert, an empty view, and the program goes on.
sed 's|images/section-c.png|sub/none.png|' "$COPY" >"$WORK/missing.fnc"
sed 's|images/section-c.png|images/section-c.Png|' "$COPY" >"$WORK/mixed.fnc"
cp "$WORK/images/section-c.png" "$WORK/images/section-c.Png"
start "$WORK/missing.fnc"
rig_wait_log "^File $WORK/sub/none\.png not found\.$"
rig_wait_window '^Morvex$'
rig_shot "$RIG_WINDOW" alert-missing-image >/dev/null
rig_move "$RIG_WINDOW" 20 20
xdotool key Return
rig_wait_window_gone '^Morvex$'
rig_app_running || rig_fail "the program ended after the alert"

# Open from the menu: first the unsupported extension, then the good file.
over_main() { rig_move "$W" 100 600; }
over_main
xdotool key ctrl+o
rig_choose_file "Open fence diagram" "$WORK/mixed.fnc"
rig_wait_log '^Unsupported file format\.$'
rig_wait_window '^Morvex$'
rig_move "$RIG_WINDOW" 20 20
xdotool key Return
rig_wait_window_gone '^Morvex$'
over_main
xdotool key ctrl+o
rig_choose_file "Open fence diagram" "$COPY"
rig_wait_log_count "^Positioning using values from file\.$" 1
rig_poll "the diagram to be drawn" _view_drawn reopened-after-failure
echo "PASS"
