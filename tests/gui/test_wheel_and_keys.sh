#!/bin/bash
# The wheel, the keys and Back/Forward on the example diagram, judged from the
# view's trace (MORVEX_TRACE) of what it received and where it left the
# camera: the wheel zooms towards the point under the pointer, which stays
# under it, and towards the target over the background; after a click, arrows
# turn, Shift+arrows pan, + and keypad - zoom like a 20-pixel drag; Alt+Left
# and Alt+Right walk the recorded positions.
. "$(dirname "$0")/rig.sh"
rig_work example
export MORVEX_TRACE=$RIG_DIR/trace
rig_start_xvfb
rig_start_morvex example.fnc
rig_wait_opened
rig_wait_drawn example
read -r _ _ VW VH <<<"$(rig_geometry "$W")"
VH=$((VH - TOP))

last() { grep -E -- "$1" "$MORVEX_TRACE" | tail -n 1; }
# act PATTERN COMMAND...: rig_traced; BEFORE and AFTER are the cameras (eye,
# target) around it, LINE the trace line.
act() {
    BEFORE=$(camera "$(last ' -> eye ')")
    rig_traced "$@"
    LINE=$RIG_TRACED
    AFTER=$(camera "$LINE")
}
camera() { sed -E 's/.* -> eye //; s/ target / /' <<<"$1"; }
point() { sed -E 's/.* on (.*) -> eye .*/\1/' <<<"$1"; }
# check NAME CONDITION [VALUES...]: an awk condition on v[1..6] (BEFORE),
# v[7..12] (AFTER) and v[13...] (VALUES).
check() {
    awk -v values="$BEFORE $AFTER ${*:3}" "function abs(x) { return x < 0 ? -x : x }
        function len(x, y, z) { return sqrt(x * x + y * y + z * z) }
        BEGIN { split(values, v, \" \"); exit !($2) }" || rig_fail "$1: $BEFORE / $AFTER / ${*:3}"
    rig_note "$1: ok"
}
SAME_TARGET='v[4] == v[10] && v[5] == v[11] && v[6] == v[12]'
wheel() { rig_move "$W" "$2" $(($3 + TOP)) && xdotool click "$1"; }

# The strongly coloured pixel (a section picture) nearest the view's middle.
X0=$((VW / 2 - 150))
read -r FX FY < <(convert "$RIG_SHOT" -crop 300x200+$X0+$((TOP + 200)) +repage -depth 8 txt:- |
    awk -F'[,:() ]+' -v x0=$X0 'NR > 1 {
        max = $3 > $4 ? $3 : $4; max = max > $5 ? max : $5; min = $3 < $4 ? $3 : $4; min = min < $5 ? min : $5
        d = ($1 - 150)^2 + ($2 - 100)^2
        if (max - min > 60 && max > 120 && (best == "" || d < best)) { best = d; found = ($1 + x0) " " ($2 + 200) }
    } END { print found }')
[ -n "$FY" ] || rig_fail "no section picture near the middle of the view"

act '^wheel -1 at ' wheel 4 "$FX" "$FY"
P=$(point "$LINE")
[ "$P" != background ] || rig_fail "no point under the section picture: $LINE"
check "wheel up scales eye and target about the point by 0.85" 'abs(v[13] + (v[1] - v[13]) * 0.85 - v[7]) < 1e-3 &&
    abs(v[14] + (v[2] - v[14]) * 0.85 - v[8]) < 1e-3 && abs(v[15] + (v[6] - v[15]) * 0.85 - v[12]) < 1e-3' "$P"
# The point, seen through the new camera (45 degrees, up the vertical), lies
# under the pointer's pixel.
awk -v values="$AFTER $P" -v w="$VW" -v h="$VH" -v x="$FX" -v y="$FY" 'BEGIN {
    split(values, v, " "); for (i = 1; i <= 3; i++) { d[i] = v[i + 6] - v[i]; f[i] = v[i + 3] - v[i] }
    n = sqrt(f[1]^2 + f[2]^2 + f[3]^2); for (i = 1; i <= 3; i++) f[i] /= n
    n = sqrt(f[1]^2 + f[3]^2); s1 = -f[3] / n; s3 = f[1] / n                   # side: forward x vertical
    u1 = -s3 * f[2]; u2 = s3 * f[1] - s1 * f[3]; u3 = s1 * f[2]                 # up: side x forward
    depth = d[1] * f[1] + d[2] * f[2] + d[3] * f[3]; t = sin(3.14159265 / 8) / cos(3.14159265 / 8)
    px = ((d[1] * s1 + d[3] * s3) / depth / (t * w / h) + 1) / 2 * w
    py = (1 - (d[1] * u1 + d[2] * u2 + d[3] * u3) / depth / t) / 2 * h
    exit !((px - x - 0.5)^2 + (py - y - 0.5)^2 < 4) }' || rig_fail "the point is not under the pointer"
for step in "4 -1 0.85" "5 1 1/0.85"; do
    read -r button steps factor <<<"$step"
    act "^wheel $steps at 30,30 on background" wheel "$button" 30 30
    check "wheel $steps over the background" "$SAME_TARGET &&
        abs(v[4] + (v[1] - v[4]) * $factor - v[7]) < 1e-3 && abs(v[6] + (v[3] - v[6]) * $factor - v[9]) < 1e-3"
done

# The keys once a click has given the view the keyboard.
act '^release at ' rig_click "$W" 30 $((30 + TOP))
act '^key Left ' xdotool key Left
check "Left turns by 4 / width * 20 radians" "$SAME_TARGET && abs(v[8] - v[2]) < 1e-5 &&
    abs(atan2(v[3] - v[6], v[1] - v[4]) - atan2(v[9] - v[6], v[7] - v[4]) - 80 / $VW) < 1e-6"
act '^key Shift\+Up ' xdotool key shift+Up
check "Shift+Up pans by distance * 20 / width" "abs(v[10] - v[4] - (v[7] - v[1])) < 1e-5 &&
    abs(len(v[7] - v[1], v[8] - v[2], v[9] - v[3]) - len(v[4] - v[1], v[5] - v[2], v[6] - v[3]) * 20 / $VW) < 1e-3"
for key in "plus + -1" "KP_Subtract - 1"; do
    read -r name sign direction <<<"$key"
    act "^key \\$sign " xdotool key "$name"
    check "$name zooms by distance * 20 / width" "$SAME_TARGET &&
        abs(len(v[10] - v[7], v[11] - v[8], v[12] - v[9]) - len(v[4] - v[1], v[5] - v[2], v[6] - v[3]) * (1 + $direction * 20 / $VW)) < 1e-3"
done

# Back and Forward walk the positions recorded since the open, once the keys'
# burst has been recorded; moving on from a step back drops what lay ahead.
_recorded() { [ "$(camera "$(last '^record ')")" = "$AFTER" ]; }
rig_poll "the keys' position to be recorded" _recorded
mapfile -t H < <(awk '/^open / { n = 0 } /^(open|record) / { h[n++] = $0 } END { for (i = 0; i < n; i++) print h[i] }' \
    "$MORVEX_TRACE" | sed -E 's/.* -> eye //; s/ target / /')
N=${#H[@]}
[ "$N" -ge 3 ] || rig_fail "want 3 positions at least, recorded: $N"
walk() {
    act "^$1" rig_keys 30 $((30 + TOP)) "$2"
    [ "$AFTER" = "${H[$3]}" ] || rig_fail "$1 to position $3: $LINE"
}
walk 'back ' alt+Left $((N - 2))
walk 'back ' alt+Left $((N - 3))
walk 'forward ' alt+Right $((N - 2))
act '^key Right ' xdotool key Right
rig_poll "the new position to be recorded" _recorded
act '^forward: none' rig_keys 30 $((30 + TOP)) alt+Right
walk 'back ' alt+Left $((N - 2))
rig_quit
echo "PASS"
