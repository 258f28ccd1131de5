#!/bin/bash
# Copy and export end to end: the clipboard offers the view's picture and
# "snap.bmp" holds its packed bitmap; a 3 x 3 export runs the image tool in a
# private directory, shows its progress and joins the tiles without seams; a
# multiplier of 1 goes through "mortemp.bmp"; Cancel and the close box export
# nothing; without the tool an 8 x 8 export is written by the program itself.
. "$(dirname "$0")/rig.sh"
rig_work
OUT="$WORK/out.png"
rig_gated_convert
rig_start_xvfb 1280x1024x24

# Red channel of one column of a PNG, top to bottom, must never decrease.
column_rises() {
    convert "$1" -crop "1x$3+$2+0" +repage -depth 8 txt:- | tail -n +2 |
        sed -E 's/^[0-9]+,([0-9]+): \(([0-9]+).*/\1 \2/' | sort -n |
        awk 'NR > 1 && $2 < last { bad = 1; print "row " $1 ": " $2 " after " last } { last = $2 } END { exit bad }'
}
has_bmp() { xclip -selection clipboard -t TARGETS -o | grep -qx 'image/bmp' || rig_fail "the clipboard offers no image/bmp"; }

PATH="$GATED:$PATH" rig_start_viewtest --width 511 --height 379 --background 1 --export "$OUT"

# Copy: 508 x 379 packed bitmap in snap.bmp, the same picture on the clipboard.
rig_key "$W" ctrl+c
rig_wait_log '^Copied the view to the clipboard \(508 x 379 pixels\)'
[ "$(stat -c %s snap.bmp)" -eq 577636 ] || rig_fail "snap.bmp has $(stat -c %s snap.bmp) bytes, want 577636"
has_bmp
rig_wait_clip_is_view 508x379+0+24 export-view

# 3 x 3, with the progress bar looked at while the tool waits at its gate.
rig_key "$W" ctrl+e
rig_answer_size 3
rig_wait_log '^snap-2-2\.bmp$'
rig_wait_log '\+append snap-0\.bmp$'
_bar_shown() { [ "$(rig_colour_count "$1" "100x12+$((511 - 120))+6")" -gt 2 ]; }
rig_shot_until "$W" export-progress _bar_shown
# A drag in the view while the export runs must not move the camera.
rig_move "$W" 250 200
rig_down 1
rig_move "$W" 350 260
rig_up 1
touch "$GATE"
rig_wait_log '^viewtest: export 3 x 3 (done|failed)'
rig_wait_log '^Exported .*out\.png \(1524 x 1137 pixels\) with convert'
for r in 0 1 2; do
    for c in 0 1 2; do rig_wait_log "^snap-$r-$c\\.bmp\$"; done
    rig_wait_log "^snap-$r-0\\.bmp snap-$r-1\\.bmp snap-$r-2\\.bmp \\+append snap-$r\\.bmp\$"
done
rig_expect_count '\+append' 3 "the tool joined other than three rows"
rig_expect_count '^viewtest: camera after-drag' 0 "the camera moved during the export"
rig_wait_log "^snap-2\\.bmp snap-1\\.bmp snap-0\\.bmp -append \"$TMPDIR/morvex-export-.*/export\\.png\"\$"
rig_expect_size "$OUT" 1524x1137
rig_expect_no_temp
[ "$(ls -A "$WORK" | tr '\n' ' ')" = "out.png snap.bmp " ] || rig_fail "the current directory holds $(ls -A "$WORK")"
# The right edge is background only: its gradient rises through both tile borders.
column_rises "$OUT" 1520 1137 || rig_fail "the gradient has a seam"
cp "$OUT" "$RIG_SHOTS/export-3x3.png"

# Multiplier 1: one call of the tool through mortemp.bmp.
rig_key "$W" ctrl+e
rig_answer_size 1
rig_wait_log '^viewtest: export 1 x 1 (done|failed)'
rig_expect_count '^mortemp\.bmp ' 1 "not one tool call through mortemp.bmp"
rig_wait_log "^mortemp\\.bmp \"$TMPDIR/morvex-export-.*/export\\.png\"\$"
rig_expect_size "$OUT" 508x379
rig_expect_no_temp

# Cancel, then the close box: nothing is exported.
rm -f "$OUT"
rig_key "$W" ctrl+e
rig_answer_size 0
rig_wait_log_count '^viewtest: export cancelled' 1
rig_key "$W" ctrl+e
rig_wait_window 'Image size'
"$SENDCLOSE" "$RIG_WINDOW" || rig_fail "cannot close the dialog"
rig_wait_log_count '^viewtest: export cancelled' 2
rig_wait_window_gone 'Image size'
[ ! -e "$OUT" ] || rig_fail "a cancelled export wrote $OUT"
rig_expect_count '^viewtest: export [0-9]' 2 "a cancelled export ran"
rig_stop

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
W=$RIG_WINDOW
xclip -selection clipboard -i </dev/null
rig_key "$W" ctrl+c
rig_wait_log '^The copy goes to the clipboard only: Cannot create snap\.bmp'
rig_wait_log '^Copied the view to the clipboard'
has_bmp
rig_key "$W" ctrl+e
rig_answer_size 8
rig_wait_log '^viewtest: export 8 x 8 (done|failed)'
rig_wait_log '^runCommand\(\): cannot start convert'
rig_wait_log '^Exported .*out\.png \(4064 x 3032 pixels\) with the program.s own PNG writer'
rig_expect_size "$OUT" 4064x3032
column_rises "$OUT" 4060 3032 || rig_fail "the gradient has a seam"
rig_expect_no_temp
echo "PASS"
