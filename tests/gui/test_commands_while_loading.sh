#!/bin/bash
# Commands while a large diagram loads: every line the load writes lets the
# toolkit handle events, so Open, Save settings, Reset view, Export, Copy, a
# dialog's controls and mouse drags reach the program in the middle of the load. The commands are
# refused and say so; the load finishes, no file is written, and Exit during
# a load ends the program cleanly.
. "$(dirname "$0")/rig.sh"
. "$(dirname "$0")/dialogs.sh"
export HOME=$RIG_DIR/home
mkdir -p "$HOME"
WORK=$RIG_DIR/work
mkdir -p "$WORK"
cp -r "$(dirname "$EXAMPLE")"/. "$WORK/"
SMALL=$WORK/example.fnc
LARGE=$WORK/large.fnc
# 300 fences of 150 points: tens of thousands of log lines.
python3 - "$LARGE" <<'PY'
import sys
out = ["#MORVEX1", "300"]
for f in range(300):
    out.append("150")
    out += ["%g %g %g" % (512000 + 20 * p, 6541000 + 15 * f, 300 + (p % 7)) for p in range(150)]
    out += ["images/section-a.png", "F%d" % f, "0"]
out += ["514000 4000 6545000", "514000 0 6543000", "45 10 20000"]
open(sys.argv[1], "w").write("\n".join(out) + "\n")
PY
cp "$SMALL" "$RIG_DIR/small.fnc"
cp "$LARGE" "$RIG_DIR/large.fnc"

rig_start_xvfb 1024x768x24
rig_start_app "$MORVEX" "$SMALL"
rig_wait_window '^Morvex - version 1\.0$'
W=$RIG_WINDOW
rig_wait_log '^legendImage size = 512, 512$'

over_main() { rig_move "$W" 100 600; }
over_main
xdotool key ctrl+o
rig_choose_file "Open fence diagram" "$LARGE"
rig_wait_log '^description = F3$'
over_main
xdotool key ctrl+o
rig_wait_log '^Open refused: a diagram is being loaded\.$'
# Save settings is the second tool button.
rig_move "$W" $((40 + 16)) $((29 + 16))
xdotool click 1
rig_wait_log '^Save settings refused: a diagram is being loaded\.$'
over_main
xdotool key Home
rig_wait_log '^Reset view refused: a diagram is being loaded\.$'
over_main
xdotool key ctrl+e
rig_wait_log '^Export refused: a diagram is being loaded\.$'
over_main
xdotool key ctrl+c
rig_wait_log '^Copy refused: a diagram is being loaded\.$'
# The diagram dialog, opened beside the view: "Show bounding box" and
# "Remove white".
over_main
xdotool key ctrl+2
rig_wait_window '^Diagram properties$'
D=$RIG_WINDOW
xdotool windowmove "$D" 760 0
dlg_click "$D" 76 57
dlg_click "$D" 76 37
rig_move "$W" 400 300
rig_down 1
rig_move "$W" 450 320
rig_up 1
grep -q '^description = F299$' "$RIG_APP_OUT" && rig_fail "the load ended before the commands were refused; make it larger"
rig_wait_log '^description = F299$'
rig_wait_log "^Positioning using values from file\.$"
rig_app_running || rig_fail "the program ended"
[ "$(rig_count_log "^Loading file ")" -eq 2 ] || rig_fail "a second load started inside the first"
cmp -s "$SMALL" "$RIG_DIR/small.fnc" || rig_fail "the first diagram's file was written"
cmp -s "$LARGE" "$RIG_DIR/large.fnc" || rig_fail "the loading diagram's file was written"
# Now that the load is over, Save settings writes the large diagram.
rig_move "$W" $((40 + 16)) $((29 + 16))
xdotool click 1
rig_wait_log '^large\.fnc$'
rig_note "commands during the load refused; saving after it works"
kill "$RIG_APP_PID"
wait "$RIG_APP_PID" 2>/dev/null

# Exit in the middle of a load.
cp "$LARGE" "$RIG_DIR/large-saved.fnc"
rig_start_app "$MORVEX" "$LARGE"
rig_wait_window '^Morvex - version 1\.0$'
W=$RIG_WINDOW
rig_wait_log '^description = F3$'
over_main
xdotool key alt+F4
rig_wait_exit || rig_fail "Exit during a load: exit status $?"
rig_wait_log '^Morvex ends when the diagram has been loaded\.$'
cmp -s "$LARGE" "$RIG_DIR/large-saved.fnc" || rig_fail "the file changed"
echo "PASS"
