#!/bin/bash
# Commands during a tiled export of the example: Save settings, Reset view,
# Copy, a second Export, Open and a dialog's controls do nothing to the
# picture, and closing the main window in the middle ends the program cleanly
# with the picture complete; the description file is left as it was.
. "$(dirname "$0")/rig.sh"
. "$(dirname "$0")/dialogs.sh"
export HOME=$RIG_DIR/home
export TMPDIR=$RIG_DIR/tmp
WORK=$RIG_DIR/work
mkdir -p "$HOME" "$TMPDIR" "$WORK"
cp -r "$(dirname "$EXAMPLE")"/. "$WORK/"
cp "$WORK/example.fnc" "$RIG_DIR/original.fnc"
cd "$WORK" || rig_fail "no folder to work in"

# The image tool waits for a gate file: the export is held in the middle.
rig_gated_convert

rig_start_xvfb 1024x768x24
PATH="$GATED:$PATH" rig_start_app "$MORVEX" "$WORK/example.fnc"
rig_wait_window '^Morvex - version 1\.0$'
W=$RIG_WINDOW
rig_wait_log '^legendImage size = '
read -r _ _ WW WH <<<"$(rig_geometry "$W")"
VW=$((WW - WW % 4))
VH=$((WH - 67))
over_view() { rig_move "$W" 300 300; }
# Mean colour saturation of the tool buttons and mean lightness of the menu
# titles: both show whether the commands are drawn greyed out.
icon_saturation() { convert "$1" -crop 260x33+5+29 -colorspace HSL -channel G -separate +channel -format '%[fx:mean]' info:; }
menu_lightness() { convert "$1" -crop 220x20+0+2 -colorspace Gray -format '%[fx:mean]' info:; }
awk_true() { awk "BEGIN { exit !($1) }"; }

before=$(rig_shot "$W" commands-before-export)

# The diagram dialog, beside the view.
over_view
xdotool key ctrl+2
rig_wait_window '^Diagram properties$'
D=$RIG_WINDOW
xdotool windowmove "$D" 760 0
over_view
xdotool key ctrl+e
rig_choose_file "Export as tiled PNG image" "$WORK/fence"
rig_wait_window '^Image size$'
SIZE=$RIG_WINDOW
rig_move "$SIZE" 50 31
xdotool click 1
xdotool key --window "$SIZE" Right
rig_move "$SIZE" $((34 + 33)) $((48 + 11))
xdotool click 1
rig_wait_log '\+append snap-0\.bmp$'
# Every command is drawn greyed out while the export runs.
during=$(rig_shot "$W" commands-during-export)
sat_before=$(icon_saturation "$before") sat_during=$(icon_saturation "$during")
menu_before=$(menu_lightness "$before") menu_during=$(menu_lightness "$during")
awk_true "$sat_during < 0.8 * $sat_before" || rig_fail "tool buttons not greyed: saturation $sat_before -> $sat_during"
awk_true "$menu_during > $menu_before + 0.01" || rig_fail "menu not greyed: lightness $menu_before -> $menu_during"
rig_note "greyed: icon saturation $sat_before -> $sat_during, menu lightness $menu_before -> $menu_during"

# Save settings, then Reset view, Copy, Export and Open from the keyboard.
rig_move "$W" $((40 + 16)) $((29 + 16))
xdotool click 1
over_view
xdotool key Home ctrl+c ctrl+e ctrl+o
# "Show bounding box" and "Remove white" of the dialog.
dlg_click "$D" 76 57
dlg_click "$D" 76 37
"$SENDCLOSE" "$W" || rig_fail "cannot close the main window"
# The window goes between tiles at the earliest; the tool is still held.
rig_app_running || rig_fail "the program ended in the middle of the export"
touch "$GATE"
rig_wait_exit || rig_fail "exit status $? after closing during the export"
rig_wait_log "^Exported $WORK/fence\\.png \\($((2 * VW)) x $((2 * VH)) pixels\\) with convert"
[ "$(identify -format '%wx%h' fence.png)" = "$((2 * VW))x$((2 * VH))" ] || rig_fail "fence.png is $(identify -format '%wx%h' fence.png)"
[ "$(rig_count_log '^Exported ')" -eq 1 ] || rig_fail "a second export ran"
[ "$(rig_count_log '^Copied the view')" -eq 0 ] || rig_fail "Copy ran during the export"
cmp -s "$WORK/example.fnc" "$RIG_DIR/original.fnc" || rig_fail "the description file was written"
rig_note "commands during the export did nothing; closing waited for the picture"
echo "PASS"
