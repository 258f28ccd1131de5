#!/bin/bash
# Export and copy in the main window with the example diagram: the copy
# button puts the view on the clipboard; "Export PNG..." and the size dialog
# make a 2 x 2 picture of the view while a progress bar shows at the right of
# the tool bar and the commands and the view settings wait; the export
# button's size dialog closed by its close box exports nothing.
. "$(dirname "$0")/rig.sh"
rig_work
rig_gated_convert

rig_start_xvfb
PATH="$GATED:$PATH" rig_start_morvex "$EXAMPLE"
rig_wait_log '^legendImage size = '
rig_wait_opened
rig_view_size

# The copy button: the view's picture on the clipboard and in snap.bmp.
rig_tool copy
rig_wait_log "^Copied the view to the clipboard \\($VW x $VH pixels\\)"
[ "$(stat -c %s snap.bmp)" -eq $((40 + VW * 3 * VH)) ] || rig_fail "snap.bmp has $(stat -c %s snap.bmp) bytes"
rig_wait_clip_is_view "${VW}x$VH+0+67" export-window-view

# The view settings in the bottom right corner; its camera fields show
# whether it is active.
rig_keys 300 300 ctrl+1
rig_wait_window '^View settings$'
V=$RIG_WINDOW
xdotool windowmove "$V" 900 600
FIELDS="115x60+5+25"
dlg_wait_dark "$V" export-view-settings "$FIELDS" more >/dev/null

# File > Export PNG..., 2 x 2.
rig_keys 300 300 ctrl+e
rig_choose_file "Export as PNG image" "$WORK/fence"
rig_answer_size 2
rig_wait_log '^snap-1-1\.bmp$'
rig_wait_log '\+append snap-0\.bmp$'
# The bar sits at the right end of the tool bar.
_bar_shown() { [ "$(rig_colour_count "$1" "150x10+$((WW - 8 - 170))+42")" -gt 2 ]; }
rig_shot_until "$W" export-window-progress _bar_shown
# Commands wait while the export runs: Open does nothing, a drag moves nothing.
rig_keys 300 300 ctrl+o
rig_down 1
rig_move "$W" 400 350
rig_up 1
dlg_wait_dark "$V" export-view-settings-waiting "$FIELDS" none >/dev/null
touch "$GATE"
rig_wait_log "^Exported $WORK/fence\\.png \\($((2 * VW)) x $((2 * VH)) pixels\\) with convert"
rig_expect_size fence.png "$((2 * VW))x$((2 * VH))"
_rig_window_found '^Open fence diagram$' && rig_fail "Open ran during the export"
dlg_wait_dark "$V" export-view-settings-after "$FIELDS" more >/dev/null
xdotool windowmove "$V" 1100 0
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
echo "PASS"
