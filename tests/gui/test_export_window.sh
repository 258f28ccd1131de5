#!/bin/bash
# Export and copy in the main window with the example diagram: the copy
# button puts the view on the clipboard; "Export PNG..." (file dialog "Export
# as tiled PNG image") and the size dialog make a 2 x 2 picture of the view
# while a progress bar shows at the right of the tool bar and the commands
# and the view settings wait; the export button's dialog ("Export as PNG image") closed by its close
# box exports nothing.
. "$(dirname "$0")/rig.sh"
. "$(dirname "$0")/dialogs.sh"
export HOME=$RIG_DIR/home
export TMPDIR=$RIG_DIR/tmp
WORK=$RIG_DIR/work
mkdir -p "$HOME" "$TMPDIR" "$WORK"
cd "$WORK" || rig_fail "no folder to work in"

# The image tool waits for a gate file, so that the window can be looked at
# during the export.
rig_gated_convert

rig_start_xvfb 1024x768x24
PATH="$GATED:$PATH" rig_start_app "$MORVEX" "$EXAMPLE"
rig_wait_window '^Morvex - version 1\.0$'
W=$RIG_WINDOW
rig_wait_log '^legendImage size = '
read -r _ _ WW WH <<<"$(rig_geometry "$W")"
VW=$((WW - WW % 4))
VH=$((WH - 67))
over_view() { rig_move "$W" 300 300; }

# The copy button: the view's picture on the clipboard and in snap.bmp.
rig_move "$W" $((125 + 16)) $((29 + 16))
xdotool click 1
rig_wait_log "^Copied the view to the clipboard \\($VW x $VH pixels\\)"
[ "$(stat -c %s snap.bmp)" -eq $((40 + VW * 3 * VH)) ] || rig_fail "snap.bmp has $(stat -c %s snap.bmp) bytes"
xclip -selection clipboard -t image/bmp -o >"$RIG_DIR/clip.bmp"
_view_is_clip() {
    convert "$1" -crop "${VW}x$VH+0+67" +repage "$RIG_DIR/view.png" &&
        [ "$(compare -metric AE "$RIG_DIR/clip.bmp" "$RIG_DIR/view.png" null: 2>&1)" = "0" ]
}
rig_shot_until "$W" export-window-view _view_is_clip
rig_note "copy button: $VW x $VH on the clipboard, equal to the view"

# The view settings, in the bottom right corner; its camera fields show
# whether it is active.
over_view
xdotool key ctrl+1
rig_wait_window '^View settings$'
V=$RIG_WINDOW
xdotool windowmove "$V" 900 600
FIELDS="115x60+5+25"
dlg_wait_dark "$V" export-view-settings "$FIELDS" more >/dev/null

# File > Export PNG..., 2 x 2.
over_view
xdotool key ctrl+e
rig_choose_file "Export as tiled PNG image" "$WORK/fence"
rig_wait_window '^Image size$'
SIZE=$RIG_WINDOW
read -r sx sy _ _ <<<"$(rig_geometry "$SIZE")"
[ "$sx $sy" = "$((50 + WW / 2 - 104)) $((50 + (WH + 0) / 2 - 39))" ] || rig_note "size dialog at $sx $sy"
rig_move "$SIZE" 50 31
xdotool click 1
xdotool key --window "$SIZE" Right
rig_move "$SIZE" $((34 + 33)) $((48 + 11))
xdotool click 1
rig_wait_log '^snap-1-1\.bmp$'
rig_wait_log '\+append snap-0\.bmp$'
# The bar sits at the right end of the tool bar.
_bar_shown() { [ "$(rig_colour_count "$1" "150x10+$((WW - 8 - 170))+42")" -gt 2 ]; }
rig_shot_until "$W" export-window-progress _bar_shown
# Commands wait while the export runs: Open does nothing, a drag moves nothing.
over_view
xdotool key ctrl+o
rig_down 1
rig_move "$W" 400 350
rig_up 1
dlg_wait_dark "$V" export-view-settings-waiting "$FIELDS" none >/dev/null
touch "$GATE"
rig_wait_log "^Exported $WORK/fence\\.png \\($((2 * VW)) x $((2 * VH)) pixels\\) with convert"
[ "$(identify -format '%wx%h' fence.png)" = "$((2 * VW))x$((2 * VH))" ] || rig_fail "fence.png is $(identify -format '%wx%h' fence.png)"
_rig_window_found '^Open fence diagram$' && rig_fail "Open ran during the export"
dlg_wait_dark "$V" export-view-settings-after "$FIELDS" more >/dev/null
xdotool windowmove "$V" 1100 0
[ -z "$(ls -A "$TMPDIR")" ] || rig_fail "temporary files left: $(ls -A "$TMPDIR")"
# The picture is the view at twice the size: halved, it is close to the view.
convert fence.png -resize 50% "$RIG_DIR/half.png"
_like_view() {
    convert "$1" -crop "${VW}x$VH+0+67" +repage "$RIG_DIR/view.png" || return 1
    error=$(compare -metric RMSE "$RIG_DIR/half.png" "$RIG_DIR/view.png" null: 2>&1 | sed -E 's/.*\((.*)\)/\1/')
    awk -v e="$error" 'BEGIN { exit !(e < 0.06) }'
}
rig_shot_until "$W" export-window-after _like_view
cp fence.png "$RIG_SHOTS/export-window-2x2.png"
rig_note "2 x 2 export: $((2 * VW)) x $((2 * VH)), like the view (RMSE $error), progress bar shown"

# The export button; the size dialog's close box exports nothing.
rig_move "$W" $((76 + 16)) $((29 + 16))
xdotool click 1
rig_choose_file "Export as PNG image" "$WORK/closed"
rig_wait_window '^Image size$'
"$SENDCLOSE" "$RIG_WINDOW" || rig_fail "cannot close the size dialog"
rig_wait_log '^Export cancelled$'
[ ! -e closed.png ] || rig_fail "the closed dialog exported"
rig_note "size dialog closed: nothing exported"
echo "PASS"
