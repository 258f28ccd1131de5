#!/bin/bash
# Commands while a large diagram loads: every line the load writes lets the
# toolkit handle events, so Open, Save settings, Reset view, Export, Copy, a
# dialog's controls and mouse drags reach the program in the middle of the
# load. The commands are refused and say so; the load finishes, no file is
# written, and Exit during a load ends the program cleanly.
. "$(dirname "$0")/rig.sh"
rig_work example
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

rig_start_xvfb
rig_start_morvex "$SMALL"
rig_wait_log '^legendImage size = 512, 512$'
rig_wait_opened
rig_open "$LARGE"
rig_wait_log '^description = F3$'
# KEY:NAME, "save" for the tool button.
for command in ctrl+o:Open "save:Save settings" "Home:Reset view" ctrl+e:Export ctrl+c:Copy; do
    if [ "${command%%:*}" = save ]; then rig_tool save; else rig_keys 100 600 "${command%%:*}"; fi
    rig_wait_log "^${command#*:} refused: a diagram is being loaded\\.\$"
done
# The diagram dialog beside the view: "Show bounding box" and "Remove white".
rig_keys 100 600 ctrl+2
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
rig_expect_count "^Loading file " 2 "a second load started inside the first"
cmp -s "$SMALL" "$RIG_DIR/small.fnc" || rig_fail "the first diagram's file was written"
cmp -s "$LARGE" "$RIG_DIR/large.fnc" || rig_fail "the loading diagram's file was written"
# Now that the load is over, Save settings writes the large diagram.
rig_wait_window '^large\.fnc - Morvex - version 1\.0$'
rig_tool save
rig_wait_log '^large\.fnc$'
rig_stop

# Exit in the middle of a load.
cp "$LARGE" "$RIG_DIR/large-saved.fnc"
rig_start_morvex "$LARGE"
rig_wait_log '^description = F3$'
rig_quit 100 600
rig_wait_log '^Morvex ends when the diagram has been loaded\.$'
cmp -s "$LARGE" "$RIG_DIR/large-saved.fnc" || rig_fail "the file changed"
echo "PASS"
