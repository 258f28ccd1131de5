#!/bin/bash
# Copy and export end to end: the clipboard offers the view's picture and
# "snap.bmp" holds its packed bitmap; a 3 x 3 export runs the image tool in a
# private directory, shows its progress and joins the tiles without seams; a
# multiplier of 1 goes through "mortemp.bmp"; Cancel and the close box export
# nothing; without the tool an 8 x 8 export is written by the program itself.
. "$(dirname "$0")/rig.sh"

MENU=24
rig_start_xvfb 1280x1024x24
WORK="$RIG_DIR/work"
export TMPDIR="$RIG_DIR/tmp"
mkdir -p "$WORK" "$TMPDIR"
cd "$WORK" || rig_fail "no work directory"
OUT="$WORK/out.png"

# The image tool behind a gate: it waits for the gate file, so that the test
# can look at the window while the export is under way.
rig_gated_convert

# Sets the size dialog's slider to n (it starts at 1) and presses OK.
answer_size() {
    local n=$1 keys=()
    rig_wait_window 'Image size'
    local dialog=$RIG_WINDOW
    # A press on the knob gives the slider the keyboard without moving it.
    rig_move "$dialog" 50 31
    xdotool click 1
    for ((i = 1; i < n; i++)); do keys+=(Right); done
    [ ${#keys[@]} -gt 0 ] && xdotool key --window "$dialog" "${keys[@]}"
    rig_shot "$dialog" "export-size-$n" >/dev/null
    rig_move "$dialog" 67 59
    xdotool click 1
}

# Red channel of one column of a PNG, top to bottom, must never decrease.
column_rises() {
    convert "$1" -crop "1x$3+$2+0" +repage -depth 8 txt:- | tail -n +2 |
        sed -E 's/^[0-9]+,([0-9]+): \(([0-9]+).*/\1 \2/' | sort -n |
        awk 'NR > 1 && $2 < last { bad = 1; print "row " $1 ": " $2 " after " last } { last = $2 } END { exit bad }'
}

PATH="$GATED:$PATH" rig_start_app "$VIEWTEST" --width 511 --height 379 --background 1 --export "$OUT"
rig_wait_log '^viewtest: ready'
rig_wait_log '^viewtest: frame'
rig_wait_window 'Morvex view test'
MAIN=$RIG_WINDOW

# Copy: 508 x 379 packed bitmap in snap.bmp, the same picture on the clipboard.
rig_key "$MAIN" ctrl+c
rig_wait_log '^Copied the view to the clipboard \(508 x 379 pixels\)'
size=$(stat -c %s snap.bmp)
[ "$size" -eq 577636 ] || rig_fail "snap.bmp has $size bytes, want 577636"
rig_note "snap.bmp: $size bytes"
xclip -selection clipboard -t TARGETS -o | grep -qx 'image/bmp' || rig_fail "the clipboard offers no image/bmp"
xclip -selection clipboard -t image/bmp -o >"$RIG_DIR/clip.bmp"
_view_is_clip() {
    convert "$1" -crop "508x379+0+$MENU" +repage "$RIG_DIR/view.png" &&
        [ "$(compare -metric AE "$RIG_DIR/clip.bmp" "$RIG_DIR/view.png" null: 2>&1)" = "0" ]
}
rig_shot_until "$MAIN" export-view _view_is_clip
rig_note "clipboard equals the view"

# 3 x 3, with the progress bar looked at while the tool waits at its gate.
rig_key "$MAIN" ctrl+e
answer_size 3
rig_wait_log '^snap-2-2\.bmp$'
rig_wait_log '\+append snap-0\.bmp$'
_bar_shown() { [ "$(rig_colour_count "$1" "100x12+$((511 - 120))+6")" -gt 2 ]; }
rig_shot_until "$MAIN" export-progress _bar_shown
rig_note "progress bar shown"
# A drag in the view while the export runs must not move the camera.
rig_move "$MAIN" 250 200
rig_down 1
rig_move "$MAIN" 350 260
rig_up 1
touch "$GATE"
rig_wait_log '^viewtest: export 3 x 3 (done|failed)'
rig_wait_log '^Exported .*out\.png \(1524 x 1137 pixels\) with convert'
for r in 0 1 2; do
    for c in 0 1 2; do
        rig_wait_log "^snap-$r-$c\\.bmp\$"
    done
    rig_wait_log "^snap-$r-0\\.bmp snap-$r-1\\.bmp snap-$r-2\\.bmp \\+append snap-$r\\.bmp\$"
done
[ "$(rig_count_log '\+append')" -eq 3 ] || rig_fail "the tool joined other than three rows"
[ "$(rig_count_log '^viewtest: camera after-drag')" -eq 0 ] || rig_fail "the camera moved during the export"
rig_wait_log "^snap-2\\.bmp snap-1\\.bmp snap-0\\.bmp -append \"$TMPDIR/morvex-export-.*/export\\.png\"\$"
[ "$(identify -format '%wx%h' "$OUT")" = "1524x1137" ] || rig_fail "the export is $(identify -format '%wx%h' "$OUT")"
[ -z "$(ls -A "$TMPDIR")" ] || rig_fail "temporary files left: $(ls -A "$TMPDIR")"
[ "$(ls -A "$WORK" | tr '\n' ' ')" = "out.png snap.bmp " ] || rig_fail "the current directory holds $(ls -A "$WORK")"
# The right edge is background only: its gradient rises through both tile borders.
column_rises "$OUT" 1520 1137 || rig_fail "the gradient has a seam"
cp "$OUT" "$RIG_SHOTS/export-3x3.png"
rig_note "3 x 3: 1524 x 1137, no temporary file left, gradient without seam"

# Multiplier 1: one call of the tool through mortemp.bmp.
rig_key "$MAIN" ctrl+e
answer_size 1
rig_wait_log '^viewtest: export 1 x 1 (done|failed)'
[ "$(rig_count_log '^mortemp\.bmp ')" -eq 1 ] || rig_fail "not one tool call through mortemp.bmp"
rig_wait_log "^mortemp\\.bmp \"$TMPDIR/morvex-export-.*/export\\.png\"\$"
[ "$(identify -format '%wx%h' "$OUT")" = "508x379" ] || rig_fail "the single export is $(identify -format '%wx%h' "$OUT")"
[ -z "$(ls -A "$TMPDIR")" ] || rig_fail "temporary files left: $(ls -A "$TMPDIR")"
rig_note "1 x 1: one tool call through mortemp.bmp"

# Cancel, then the close box: nothing is exported.
rm -f "$OUT"
rig_key "$MAIN" ctrl+e
rig_wait_window 'Image size'
rig_move "$RIG_WINDOW" 137 59
xdotool click 1
rig_wait_log_count '^viewtest: export cancelled' 1
rig_key "$MAIN" ctrl+e
rig_wait_window 'Image size'
"$SENDCLOSE" "$RIG_WINDOW" || rig_fail "cannot close the dialog"
rig_wait_log_count '^viewtest: export cancelled' 2
rig_wait_window_gone 'Image size'
[ ! -e "$OUT" ] || rig_fail "a cancelled export wrote $OUT"
[ "$(rig_count_log '^viewtest: export [0-9]')" -eq 2 ] || rig_fail "a cancelled export ran"
rig_note "Cancel and the close box export nothing"
kill "$RIG_APP_PID"
wait "$RIG_APP_PID" 2>/dev/null

# Without the tool: an 8 x 8 export is written by the program's own writer.
# The program starts in a directory that then goes away, so that "snap.bmp"
# cannot be written: the copy reaches the clipboard all the same.
NOTOOL="$RIG_DIR/notool"
GONE="$RIG_DIR/gone"
mkdir -p "$NOTOOL" "$GONE"
cd "$GONE" || rig_fail "no directory to leave"
PATH="$NOTOOL" rig_start_app "$VIEWTEST" --width 511 --height 379 --background 1 --export "$OUT"
cd "$WORK" && rmdir "$GONE"
rig_wait_log '^viewtest: ready'
rig_wait_window 'Morvex view test'
MAIN=$RIG_WINDOW
xclip -selection clipboard -i </dev/null
rig_key "$MAIN" ctrl+c
rig_wait_log '^The copy goes to the clipboard only: Cannot create snap\.bmp'
rig_wait_log '^Copied the view to the clipboard'
xclip -selection clipboard -t TARGETS -o | grep -qx 'image/bmp' || rig_fail "the clipboard offers no image/bmp"
rig_note "without snap.bmp the copy still reaches the clipboard"
rig_key "$MAIN" ctrl+e
answer_size 8
rig_wait_log '^viewtest: export 8 x 8 (done|failed)'
rig_wait_log '^runCommand\(\): cannot start convert'
rig_wait_log '^Exported .*out\.png \(4064 x 3032 pixels\) with the program.s own PNG writer'
[ "$(identify -format '%wx%h' "$OUT")" = "4064x3032" ] || rig_fail "the export is $(identify -format '%wx%h' "$OUT")"
column_rises "$OUT" 4060 3032 || rig_fail "the gradient has a seam"
[ -z "$(ls -A "$TMPDIR")" ] || rig_fail "temporary files left: $(ls -A "$TMPDIR")"
rig_note "8 x 8 without the tool: 4064 x 3032 by the program's own writer"
echo "PASS"
