#!/bin/bash
# Export in the main window with the example diagram: "Export PNG..." and the
# size dialog make a 2 x 2 picture of the view while a progress bar shows at
# the right of the tool bar; meanwhile every command is drawn greyed out, the
# view settings grey out, and Save settings, Reset view, Copy, Export, Open,
# the diagram dialog's controls and a drag do nothing. The size dialog closed
# by its close box exports nothing; closing the main window in the middle of
# an export ends the program cleanly with the picture complete, the
# description file left as it was.
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

# The view settings in the bottom right corner (its camera fields show
# whether it is active), the diagram dialog beside the view.
rig_keys 300 300 ctrl+1
rig_wait_window '^View settings$'
V=$RIG_WINDOW
xdotool windowmove "$V" 900 600
FIELDS="115x60+5+25"
dlg_wait_dark "$V" export-view-settings "$FIELDS" more >/dev/null
rig_keys 300 300 ctrl+2
rig_wait_window '^Diagram properties$'
D=$RIG_WINDOW
xdotool windowmove "$D" 760 0

# File > Export PNG..., 2 x 2, held at the tool's gate.
rig_keys 300 300 ctrl+e
rig_choose_file "Export as PNG image" "$WORK/fence"
rig_answer_size 2
rig_wait_log '^snap-1-1\.bmp$'
rig_wait_log '\+append snap-0\.bmp$'
# The bar sits at the right end of the tool bar.
_bar_shown() { [ "$(rig_colour_count "$1" "150x10+$((WW - 8 - 170))+42")" -gt 2 ]; }
rig_shot_until "$W" export-window-progress _bar_shown
during=$RIG_SHOT
sat_before=$(icon_saturation "$before") sat_during=$(icon_saturation "$during")
menu_before=$(menu_lightness "$before") menu_during=$(menu_lightness "$during")
awk_true "$sat_during < 0.8 * $sat_before" || rig_fail "tool buttons not greyed: saturation $sat_before -> $sat_during"
awk_true "$menu_during > $menu_before + 0.01" || rig_fail "menu not greyed: lightness $menu_before -> $menu_during"
rig_keys 300 300 ctrl+o
rig_down 1
rig_move "$W" 400 350
rig_up 1
dlg_wait_dark "$V" export-view-settings-waiting "$FIELDS" none >/dev/null
touch "$GATE"
rig_wait_log "^Exported $WORK/fence\\.png \\($((2 * VW)) x $((2 * VH)) pixels\\) with convert"
rig_expect_size fence.png "$((2 * VW))x$((2 * VH))"
dlg_wait_dark "$V" export-view-settings-after "$FIELDS" more >/dev/null
_rig_window_found '^Open fence diagram$' && rig_fail "Open ran during the export"
xdotool windowmove "$V" 1100 0
xdotool windowmove "$D" 1100 0
rig_expect_no_temp
# The picture is the view at twice the size: halved, it is close to the view.
convert fence.png -resize 50% "$RIG_DIR/half.png"
_like_view() {
    convert "$1" -crop "${VW}x$VH+0+67" +repage "$RIG_DIR/view.png" || return 1
    error=$(compare -metric RMSE "$RIG_DIR/half.png" "$RIG_DIR/view.png" null: 2>&1 | sed -E 's/.*\((.*)\)/\1/')
    awk -v e="$error" 'BEGIN { exit !(e < 0.06) }'
}
rig_shot_until "$W" export-window-after _like_view
cp fence.png "$RIG_SHOTS/export-window-2x2.png"

# The export button; the size dialog's close box exports nothing.
rig_tool export
rig_choose_file "Export as PNG image" "$WORK/closed"
rig_wait_window '^Image size$'
"$SENDCLOSE" "$RIG_WINDOW" || rig_fail "cannot close the size dialog"
rig_wait_log '^Export cancelled$'
[ ! -e closed.png ] || rig_fail "the closed dialog exported"

# Save settings, Reset view, Copy, Export and Open, the diagram dialog's
# "Show bounding box" and "Remove white" during an export, then the main
# window's close box: it goes between tiles at the earliest, while the tool
# is still held.
rm "$GATE"
rig_tool export
rig_choose_file "Export as PNG image" "$WORK/last"
rig_answer_size 2
rig_wait_log_count '\+append snap-0\.bmp$' 2
xdotool windowmove "$D" 760 0
rig_tool save now
rig_keys 300 300 Home ctrl+c ctrl+e ctrl+o
dlg_click "$D" 76 57
dlg_click "$D" 76 37
"$SENDCLOSE" "$W" || rig_fail "cannot close the main window"
rig_app_running || rig_fail "the program ended in the middle of the export"
touch "$GATE"
rig_wait_exit || rig_fail "exit status $? after closing during the export"
rig_wait_log "^Exported $WORK/last\\.png \\($((2 * VW)) x $((2 * VH)) pixels\\) with convert"
rig_expect_size last.png "$((2 * VW))x$((2 * VH))"
rig_expect_count '^Exported ' 2 "a third export ran"
rig_expect_count '^Copied the view' 0 "Copy ran during an export"
cmp -s "$WORK/example.fnc" "$RIG_DIR/original.fnc" || rig_fail "the description file was written"
echo "PASS"
