#!/bin/bash
# Commands during a tiled export of the example: Save settings, Reset view,
# Copy, a second Export, Open and a dialog's controls do nothing to the
# picture, and closing the main window in the middle ends the program cleanly
# with the picture complete; the description file is left as it was.
. "$(dirname "$0")/rig.sh"
rig_work example
cp "$WORK/example.fnc" "$RIG_DIR/original.fnc"
rig_gated_convert

rig_start_xvfb
PATH="$GATED:$PATH" rig_start_morvex "$WORK/example.fnc"
rig_wait_log '^legendImage size = '
rig_wait_opened
rig_view_size
# Mean colour saturation of the tool buttons and mean lightness of the menu
# titles: both show whether the commands are drawn greyed out.
icon_saturation() { convert "$1" -crop 260x33+5+29 -colorspace HSL -channel G -separate +channel -format '%[fx:mean]' info:; }
menu_lightness() { convert "$1" -crop 220x20+0+2 -colorspace Gray -format '%[fx:mean]' info:; }
awk_true() { awk "BEGIN { exit !($1) }"; }
before=$(rig_shot "$W" commands-before-export)

# The diagram dialog beside the view, then a 2 x 2 export held by the gate.
rig_keys 300 300 ctrl+2
rig_wait_window '^Diagram properties$'
D=$RIG_WINDOW
xdotool windowmove "$D" 760 0
rig_keys 300 300 ctrl+e
rig_choose_file "Export as PNG image" "$WORK/fence"
rig_answer_size 2
rig_wait_log '\+append snap-0\.bmp$'
# Every command is drawn greyed out while the export runs.
during=$(rig_shot "$W" commands-during-export)
sat_before=$(icon_saturation "$before") sat_during=$(icon_saturation "$during")
menu_before=$(menu_lightness "$before") menu_during=$(menu_lightness "$during")
awk_true "$sat_during < 0.8 * $sat_before" || rig_fail "tool buttons not greyed: saturation $sat_before -> $sat_during"
awk_true "$menu_during > $menu_before + 0.01" || rig_fail "menu not greyed: lightness $menu_before -> $menu_during"

# Save settings, then Reset view, Copy, Export and Open from the keyboard,
# "Show bounding box" and "Remove white" of the dialog, and the close box.
rig_tool save
rig_keys 300 300 Home ctrl+c ctrl+e ctrl+o
dlg_click "$D" 76 57
dlg_click "$D" 76 37
"$SENDCLOSE" "$W" || rig_fail "cannot close the main window"
# The window goes between tiles at the earliest; the tool is still held.
rig_app_running || rig_fail "the program ended in the middle of the export"
touch "$GATE"
rig_wait_exit || rig_fail "exit status $? after closing during the export"
rig_wait_log "^Exported $WORK/fence\\.png \\($((2 * VW)) x $((2 * VH)) pixels\\) with convert"
rig_expect_size fence.png "$((2 * VW))x$((2 * VH))"
rig_expect_count '^Exported ' 1 "a second export ran"
rig_expect_count '^Copied the view' 0 "Copy ran during the export"
cmp -s "$WORK/example.fnc" "$RIG_DIR/original.fnc" || rig_fail "the description file was written"
echo "PASS"
