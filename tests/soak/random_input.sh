#!/bin/bash
# Random input with a fixed seed (SOAK_SEED): SOAK_EVENTS (5000) pointer and
# key events — clicks, drags with every button, the wheel, navigation keys,
# menu shortcuts, clicks and typing in the dialogs — go to the real window
# while a diagram of many fences loads, while a tiled export waits for the
# image tool, and in between. Exit (Alt+F4) is never sent; file dialogs are
# dismissed with Escape. After every batch the program must answer the window
# manager's ping within 10 s; at the end it must still end cleanly.
. "$(dirname "$0")/../gui/rig.sh"
EVENTS=${SOAK_EVENTS:-5000}
SEED=${SOAK_SEED:-24}
BATCH=50
rig_work example
rig_gated_convert
RANDOM=$SEED

# The example's fences twenty times over, each copy further north: long
# enough a load for events to arrive during it.
awk -v copies=20 '
    { line[NR] = $0 }
    END {
        n = line[2]; i = 3
        for (f = 0; f < n; f++) { start[f] = i; size[f] = line[i] + 4; i += size[f] }
        print line[1]; print n * copies
        for (k = 0; k < copies; k++)
            for (f = 0; f < n; f++)
                for (j = 0; j < size[f]; j++) {
                    l = line[start[f] + j]
                    if (j >= 1 && j <= line[start[f]]) { split(l, p, " "); l = p[1] " " p[2] + 4000 * k " " p[3] }
                    print l
                }
        print "0 0 0"; print "0 0 0"; print "0 0 0"
        for (j = i + 3; j <= NR; j++) print line[j]
    }' example.fnc >many.fnc

rig_start_xvfb
PATH="$GATED:$PATH" rig_start_morvex "$WORK/many.fnc"
rig_wait_log '^Opened '
START=$SECONDS
read -r WX WY WW WH <<<"$(rig_geometry "$W")"

# Random numbers come from this shell alone (a subshell's would not follow
# the seed): pick sets R, point sets X and Y in screen coordinates.
pick() { R=$((RANDOM % $1)); }
# Pointer events stay below the menu bar, whose open menus would take the next
# click as a choice (Exit among them); drags stay in the view.
point() {
    local top=${1:-26}
    pick "$WW"; X=$((WX + R))
    pick $((WH - top)); Y=$((WY + top + R))
}
# Over the tool buttons that open a file dialog.
on_dialog_button() { [ $((Y - WY)) -ge 29 ] && [ $((Y - WY)) -lt 62 ] && { [ $((X - WX)) -lt 37 ] || { [ $((X - WX)) -ge 76 ] && [ $((X - WX)) -lt 109 ]; }; }; }
KEYS=(Left Right Up Down shift+Left shift+Right shift+Up shift+Down plus minus KP_Add KP_Subtract Home
    alt+Left alt+Right ctrl+1 ctrl+2 ctrl+l ctrl+c ctrl+s Escape Tab Return ctrl+o ctrl+e)
QUIET_KEYS=$((${#KEYS[@]} - 2))
TYPED=(0 1 5 -3 0.25 1e9 -1e-9 x 999999 360 . - e)
# Appends one random event to the array EVENT; DIALOG=1 when it may open a
# file dialog, which is then put away before anything else is sent. Without
# dialogs ($1 = 0) nothing that opens one is chosen.
event() {
    local dialogs=${1:-1} button i
    DIALOG=0
    pick 3; button=$((1 + R))
    pick 100
    if [ "$R" -lt 25 ]; then
        if [ "$dialogs" -eq 1 ]; then point; else point 67; fi
        on_dialog_button && DIALOG=1
        EVENT=(mousemove "$X" "$Y" click "$button")
    elif [ "$R" -lt 45 ]; then
        point 67
        EVENT=(mousemove "$X" "$Y" keydown shift mousedown "$button")
        pick 3; [ "$R" -eq 0 ] || EVENT=(mousemove "$X" "$Y" mousedown "$button")
        pick 6
        for ((i = 0; i <= R; i++)); do point 67; EVENT+=(mousemove "$X" "$Y"); done
        EVENT+=(mouseup "$button" keyup shift)
    elif [ "$R" -lt 60 ]; then
        point 67
        pick 2
        EVENT=(mousemove "$X" "$Y" click --repeat "$button" --delay 5 $((4 + R)))
    elif [ "$R" -lt 90 ]; then
        if [ "$dialogs" -eq 1 ]; then pick ${#KEYS[@]}; else pick "$QUIET_KEYS"; fi
        [ "$R" -ge "$QUIET_KEYS" ] && DIALOG=1
        EVENT=(key --delay 2 "${KEYS[$R]}")
    elif [ "$R" -lt 99 ]; then
        pick ${#TYPED[@]}
        EVENT=(type --delay 2 -- "${TYPED[$R]}")
    else
        # Rarely: the diagram closed; a later load brings one back.
        EVENT=(key ctrl+w)
    fi
}

# Sends n random events ($2 = 0: none that opens a file dialog), in chains
# of xdotool commands, and puts away each file dialog one of them opened.
SENT=0
send() {
    local n=$1 dialogs=${2:-1} i commands=()
    for ((i = 0; i < n; i++)); do
        event "$dialogs"
        commands+=("${EVENT[@]}")
        if [ "$DIALOG" -eq 1 ] || [ "$i" -eq $((n - 1)) ]; then
            xdotool "${commands[@]}" 2>/dev/null
            xdotool keyup shift ctrl alt mouseup 1 mouseup 2 mouseup 3 2>/dev/null
            commands=()
            [ "$DIALOG" -eq 1 ] && dismiss 1
        fi
    done
    SENT=$((SENT + n))
}
# Closes file dialogs and the image-size question with Escape, answers
# message boxes and colour choosers the same way; waits up to a second for
# one to appear when told ($1 = 1) that one may come.
DIALOGS=('^Open fence diagram$' '^Export as PNG image$' '^Export as tiled PNG image$' '^Image size$' '^Morvex$'
    '^Select .* color$')
dismiss() {
    local waits=$((${1:-0} * 6)) round name id found
    for round in $(seq $((waits + 20))); do
        found=0
        for name in "${DIALOGS[@]}"; do
            for id in $(xdotool search --onlyvisible --name "$name" 2>/dev/null); do
                found=1
                xdotool windowraise "$id" 2>/dev/null
                read -r x y w h <<<"$(rig_geometry "$id")"
                xdotool mousemove $((x + w / 2)) $((y + h / 2)) key Escape 2>/dev/null
            done
        done
        if [ $found -eq 0 ]; then
            [ "$waits" -le 0 ] && return 0
            waits=$((waits - 1))
        fi
        sleep 0.1
    done
    rig_fail "a dialog would not go away"
}
PROBES=0
SLOWEST=0
# Puts dialogs away and asks the program for an answer.
probe() {
    dismiss
    rig_app_running || rig_fail "the program ended after $SENT events"
    local ms
    ms=$("$PING" "$W" 10) || rig_fail "no answer within 10 s after $SENT events ($1)"
    PROBES=$((PROBES + 1))
    [ "$ms" -gt "$SLOWEST" ] && SLOWEST=$ms
}
# Keys go to the window under the pointer: the main window comes to the top.
to_main() { dismiss && xdotool windowraise "$W" && rig_keys 300 300 Escape; }

# Rounds of: a load of the big diagram with events while it loads; a 2 x 2
# export held at its first tool call with events meanwhile; events at rest.
ROUND=0
while [ "$SENT" -lt "$EVENTS" ]; do
    ROUND=$((ROUND + 1))
    opened=$(rig_count_log '^Opened ')
    to_main
    rig_command ctrl+o
    rig_choose_file "Open fence diagram" "$WORK/many.fnc" >/dev/null
    while [ "$(rig_count_log '^Opened ')" -eq "$opened" ]; do
        send 10
        rig_app_running || rig_fail "the program ended while loading after $SENT events"
    done
    probe "after a load"

    rm -f "$GATE"
    to_main
    rig_command ctrl+e
    rig_choose_file "Export as PNG image" "$WORK/export-$ROUND.png" >/dev/null
    rig_answer_size 2
    rig_wait_log_count '\+append snap-0\.bmp$' "$ROUND"
    # The program waits for the tool: the events queue up meanwhile; none
    # may open a file dialog, which would come up once the export is over.
    send $BATCH 0
    touch "$GATE"
    rig_wait_log_count '^Exported ' "$ROUND"
    probe "after an export"

    for i in 1 2 3 4 5 6; do
        send $BATCH
        probe "at rest"
    done
done
DURATION=$((SECONDS - START))
rig_expect_count '^Exported ' "$ROUND" "not every export was written"
dismiss
xdotool windowraise "$W"
rig_quit 300 300
rig_note "random input: seed $SEED, $SENT events in $ROUND rounds and $DURATION s, $PROBES pings answered, the slowest in $SLOWEST ms"
echo "PASS"
