#!/bin/bash
# Copy and export end to end: the clipboard offers the view's packed picture;
# a 3 x 3 export runs the image tool in a private directory, shows its
# progress and joins the tiles without seams; a multiplier of 1 goes through
# "mortemp.bmp".
# Morvex itself: the clipboard offers the view as PNG and BMP, large enough to
# come in INCR pieces; a 3 x export draws lines three times as wide as 1 x.
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
# Most frequent width of the first black run from the left, over the middle
# fifth of the rows of a picture.
line_width() {
    convert "$1" -depth 8 rgb:- | python3 -c '
import collections, re, sys
w, h = map(int, sys.argv[1:3])
px = sys.stdin.buffer.read()
dark = lambda y: "".join("1" if max(px[(y * w + x) * 3:(y * w + x) * 3 + 3]) < 80 else "0" for x in range(w))
runs = collections.Counter(len(re.match("1*", dark(y).lstrip("0")).group()) for y in range(h * 2 // 5, h * 3 // 5))
print(runs.most_common(1)[0][0])' $(identify -format '%w %h' "$1")
}

# The program starts in a directory that then goes away, so that "snap.bmp"
# cannot be written: the copy reaches the clipboard all the same, and the
# tool must run in a directory of its own.
GONE="$RIG_DIR/gone"
mkdir -p "$GONE" && cd "$GONE" || rig_fail "no directory to leave"
PATH="$GATED:$PATH" rig_start_viewtest --width 511 --height 379 --background 1 --export "$OUT"
cd "$WORK" && rmdir "$GONE"

# Copy: the 508 x 379 packed picture on the clipboard.
rig_key "$W" ctrl+c
rig_wait_log '^The copy goes to the clipboard only: Cannot write snap\.bmp'
rig_wait_log '^Copied the view to the clipboard \(508 x 379 pixels\)'
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
rig_expect_count '^viewtest: mouse up' 0 "the camera moved during the export"
rig_wait_log "^snap-2\\.bmp snap-1\\.bmp snap-0\\.bmp -append \\+repage \"$TMPDIR/morvex-export-.*/export\\.png\"\$"
rig_expect_size "$OUT" 1524x1137
rig_expect_no_temp
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
rig_stop

# A fence of noise, which packs badly, along two sides of a square.
convert -size 512x256 xc: +noise Random "$WORK/noise.png"
printf '%s\n' '#MORVEX1' 1 3 '1000 2000 100' '1100 2000 100' '1100 2100 100' noise.png - 0 '0 0 0' '0 0 0' '0 0 0' \
    >"$WORK/noise.fnc"
rig_start_morvex "$WORK/noise.fnc"
rig_wait_opened
rig_wait_drawn noise-diagram
rig_view_size
rig_tool copy
rig_wait_log "^Copied the view to the clipboard \\(${VW} x ${VH} pixels\\)"
targets=$(xclip -selection clipboard -t TARGETS -o | tr '\n' ' ')
[[ " $targets" == *" image/png image/bmp "* ]] || rig_fail "the clipboard offers $targets"
xclip -selection clipboard -t image/png -o >"$RIG_DIR/clip.png"
xclip -selection clipboard -t image/bmp -o >"$RIG_DIR/clip.bmp"
[ "$(stat -c %s "$RIG_DIR/clip.png")" -gt 262144 ] || rig_fail "the PNG is too small to come in pieces"
rig_expect_size "$RIG_DIR/clip.png" "${VW}x${VH}"
[ "$(compare -metric AE "$RIG_DIR/clip.png" "$RIG_DIR/clip.bmp" null: 2>&1)" = 0 ] ||
    rig_fail "the PNG and the BMP on the clipboard differ"
# The BMP is snap.bmp with the file header before it.
tail -c +15 "$RIG_DIR/clip.bmp" | cmp -s - snap.bmp || rig_fail "the clipboard's BMP is not snap.bmp"

for n in 1 3; do
    rig_tool export
    rig_choose_file "Export as PNG image" "$WORK/lines-$n.png"
    rig_answer_size $n
    rig_wait_log "^Exported .*lines-$n\\.png"
done
rig_expect_size lines-3.png "$((3 * VW))x$((3 * VH))"
# No page size or offset other than the picture's own.
[ "$(identify -format '%g' lines-3.png)" = "$((3 * VW))x$((3 * VH))+0+0" ] ||
    rig_fail "lines-3.png has the page $(identify -format '%g' lines-3.png)"
cp lines-1.png lines-3.png "$RIG_SHOTS/"
[ "$(line_width lines-1.png)" -eq 1 ] || rig_fail "lines of the 1 x export are $(line_width lines-1.png) wide"
[ "$(line_width lines-3.png)" -eq 3 ] || rig_fail "lines of the 3 x export are $(line_width lines-3.png) wide"
echo "PASS"
