#!/bin/bash
# Pointing and measuring in the real window, read back through Edit > Copy
# coordinates (Ctrl+Shift+C): over a fence the clipboard gets the point that
# morvex-render --pick finds at the same pixel of the same view; two clicks
# measure from A to B, both drawn over the view; Escape lets go of them; a
# drag still turns the view and measures nothing.
. "$(dirname "$0")/rig.sh"
rig_work example
export MORVEX_TRACE=$RIG_DIR/trace
rig_start_xvfb
rig_start_morvex example.fnc
rig_wait_opened
rig_wait_drawn example
read -r _ _ VW VH <<<"$(rig_geometry "$W")"
VH=$((VH - TOP))

# copy: Ctrl+Shift+C over view pixel X Y; the clipboard's text in CLIP.
copy() {
    local n
    n=$(rig_count_log '^Copied coordinates to the clipboard:')
    rig_keys "$1" $(($2 + TOP)) ctrl+shift+c
    rig_wait_log_count '^Copied coordinates to the clipboard:' $((n + 1))
    CLIP=$(xclip -o -selection clipboard)
}

# The same view drawn by morvex-render: where its picks meet fences.
mapfile -t PICKS < <("$RENDER" example.fnc -q -o "$RIG_DIR/same.png" --size "${VW}x${VH}" \
    $(for y in $(seq $((VH / 4)) 40 $((VH * 3 / 4))); do
        for x in $(seq $((VW / 4)) 60 $((VW * 3 / 4))); do echo "--pick $x,$y"; done
    done) | grep ' fence ')
[ "${#PICKS[@]}" -ge 2 ] || rig_fail "morvex-render finds too few fences: ${#PICKS[@]}"
P1=${PICKS[0]}
P2=${PICKS[$((${#PICKS[@]} - 1))]}
rig_note "A: $P1; B: $P2"
at() { sed -E 's/^pick ([0-9]+),([0-9]+):.*/\1 \2/' <<<"$1"; }
point() { sed -E 's/^pick [0-9,]+: ([^ ]+ [^ ]+ [^ ]+) .*/\1/' <<<"$1"; }
read -r X1 Y1 <<<"$(at "$P1")"
read -r X2 Y2 <<<"$(at "$P2")"

# The pointer over a fence, nothing measured: X, Y and Z of its point.
rig_traced "^pointer at $X1,$Y1 on fence " rig_move "$W" "$X1" $((Y1 + TOP))
copy "$X1" "$Y1"
read -r E N Z <<<"$(point "$P1")"
[ "$CLIP" = "X $E Y $N Z $Z" ] || rig_fail "pointer: clipboard '$CLIP', want 'X $E Y $N Z $Z'"

# Click A, click B: both points and the distances and angles between them.
rig_traced "^measure A at $X1,$Y1 on " rig_click "$W" "$X1" $((Y1 + TOP))
rig_traced "^measure B at $X2,$Y2 on " rig_click "$W" "$X2" $((Y2 + TOP))
copy "$X2" "$Y2"
mapfile -t LINES <<<"$CLIP"
[ "${#LINES[@]}" -eq 3 ] || rig_fail "measurement: want 3 lines, got '$CLIP'"
[ "${LINES[0]}" = "A $(point "$P1")" ] || rig_fail "A: '${LINES[0]}', want 'A $(point "$P1")'"
[ "${LINES[1]}" = "B $(point "$P2")" ] || rig_fail "B: '${LINES[1]}', want 'B $(point "$P2")'"
[[ "${LINES[2]}" =~ ^distance\ [0-9.]+\ horizontal\ [0-9.]+\ vertical\ -?[0-9.]+\ azimuth\ [0-9.]+\ dip\ -?[0-9.]+$ ]] ||
    rig_fail "distances: '${LINES[2]}'"
rig_note "A to B: ${LINES[2]}"

# The marks: A red, B blue, drawn over the view at the clicked pixels.
_marked() {
    rig_colour_near "$(rig_pixel "$1" "$X1" $((Y1 + TOP)))" "255 64 51" 8 &&
        rig_colour_near "$(rig_pixel "$1" "$X2" $((Y2 + TOP)))" "51 140 255" 8
}
rig_shot_until "$W" measured _marked
convert "$RIG_SHOT" -crop "$((VW - 300))x43+300+24" +repage "$RIG_SHOTS/measured-readout.png"

# Escape lets go of both; the pointer's point is copied again.
rig_traced '^measure cleared' rig_keys "$X1" $((Y1 + TOP)) Escape
copy "$X1" "$Y1"
[ "$CLIP" = "X $E Y $N Z $Z" ] || rig_fail "after Escape: clipboard '$CLIP'"
_unmarked() { ! rig_colour_near "$(rig_pixel "$1" "$X1" $((Y1 + TOP)))" "255 64 51" 8; }
rig_shot_until "$W" cleared _unmarked

# A drag from the fence turns the view and sets no point.
rig_drag 1 "$X1" $((Y1 + TOP)) $((X1 + 30)) $((Y1 + TOP + 5)) "" 1
grep -qE '^measure [AB] at '"$((X1 + 30)),$((Y1 + 5))" "$MORVEX_TRACE" && rig_fail "the drag measured"
[ "$(grep -cE '^measure A at ' "$MORVEX_TRACE")" -eq 1 ] || rig_fail "the drag set a point"
rig_quit
echo "PASS"
