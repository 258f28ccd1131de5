#!/bin/bash
# The main window's commands under Xvfb: the File menu with its two
# separators; Ctrl+L, the help window as a utility window of the main window,
# the about window centred and closed by its button; the shortcuts (Ctrl+1 and
# Ctrl+2 show the parameter dialogs centred) and the file dialogs of Open and
# both Export commands, which take a new file name.
. "$(dirname "$0")/rig.sh"
# The file dialog keeps a list of recent files in the home folder.
export HOME=$RIG_DIR/home
mkdir -p "$HOME"
# Copy writes snap.bmp into the working folder.
cd "$RIG_DIR" || rig_fail "no folder to work in"

rig_start_xvfb 1024x768x24
rig_start_app "$MORVEX"
rig_wait_window '^Morvex - version 1\.0$'
W=$RIG_WINDOW
rig_wait_log '^onInit\(\)$'
rig_close_splash

# Keys reach the window under the pointer (no window manager): a place the
# help and about windows do not cover.
over_main() { rig_move "$W" 100 600; }
# File menu: four items, separators below the second and the third.
over_main
xdotool key alt+f
_rig_menu_shown() {
    MENU=""
    local id
    for id in $(xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null); do
        set -- $(rig_geometry "$id")
        [ "$2" -gt 60 ] && [ "$2" -lt 100 ] && [ "$4" -gt 40 ] && [ "$4" -lt 200 ] && MENU=$id
    done
    [ -n "$MENU" ]
}
rig_poll "the File menu" _rig_menu_shown
menu_shot=$(rig_shot "$MENU" file-menu)
read -r mw mh <<<"$(identify -format '%w %h' "$menu_shot")"
# Rows of one colour that is not the menu's background are separator lines.
background=$(rig_pixel "$menu_shot" 3 3)
dividers=$(for y in $(seq 2 $((mh - 3))); do
    n=$(rig_colour_count "$menu_shot" "$((mw - 20))x1+10+$y")
    [ "$n" -eq 1 ] && [ "$(rig_pixel "$menu_shot" 10 "$y")" != "$background" ] && echo "$y"
done | awk 'NR == 1 || $1 != last + 1 { printf "%s ", $1 } { last = $1 }')
rig_note "separator lines start at rows: $dividers (menu height $mh)"
set -- $dividers
[ $# -eq 2 ] || rig_fail "want two separators, found: $dividers"
awk -v a="$1" -v b="$2" -v h="$mh" 'BEGIN { exit !(a > h * 0.4 && a < h * 0.6 && b > h * 0.65 && b < h * 0.85) }' ||
    rig_fail "separators not below the second and third items"
xdotool key Escape

# Help window: a utility window, transient for the main window, off the task bar.
over_main
xdotool key alt+h z
rig_wait_window '^Help Window$'
HELP=$RIG_WINDOW
props=$(xprop -id "$HELP")
grep -q '_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_UTILITY' <<<"$props" || rig_fail "help is no utility window"
grep -q '_NET_WM_STATE_SKIP_TASKBAR' <<<"$props" || rig_fail "help window on the task bar"
owner=$(grep 'WM_TRANSIENT_FOR' <<<"$props" | awk '{ print $NF }')
[ "$((owner))" -eq "$W" ] || rig_fail "help window transient for $owner, not the main window $W"
rig_note "help window: utility, transient for the main window"

# About: centred over the main window.
over_main
xdotool key alt+h a
rig_wait_window_size 402x302
read -r ax ay _ <<<"$(rig_geometry "$RIG_WINDOW")"
[ "$ax $ay" = "$((50 + 924 / 2 - 201)) $((50 + 668 / 2 - 151))" ] || rig_fail "about window at $ax $ay"
ABOUT=$RIG_WINDOW
rig_shot root about-and-help >/dev/null
# Both close with their own buttons, uncovering the tool bar.
rig_move "$ABOUT" $((335 + 27)) $((265 + 12))
xdotool click 1
rig_wait_window_size_gone 402x302
# Without a window manager nothing keeps it above the main window.
xdotool windowraise "$HELP"
rig_move "$HELP" $((100 + 32)) $((255 + 10))
xdotool click 1
rig_wait_window_gone '^Help Window$'

# Shortcuts: Ctrl+C reaches its handler; Ctrl+1 and Ctrl+2 show the two
# dialogs as utility windows centred over the main window.
over_main
xdotool key ctrl+c
rig_wait_log '^Copied the view to the clipboard'
for dialog in "ctrl+1:View settings:375:494" "ctrl+2:Diagram properties:264:552"; do
    IFS=: read -r key title dw dh <<<"$dialog"
    over_main
    xdotool key "$key"
    rig_wait_window "^$title\$"
    read -r dx dy _ <<<"$(rig_geometry "$RIG_WINDOW")"
    [ "$dx $dy" = "$((50 + 924 / 2 - dw / 2)) $((50 + 668 / 2 - dh / 2))" ] || rig_fail "$title at $dx $dy, not centred"
    xprop -id "$RIG_WINDOW" | grep -q '_NET_WM_WINDOW_TYPE_UTILITY' || rig_fail "$title is no utility window"
    rig_note "$title: centred utility window"
done

# The image-size dialog that follows the file dialog: Cancel.
cancel_size() {
    rig_wait_window '^Image size$'
    rig_move "$RIG_WINDOW" $((104 + 33)) $((48 + 11))
    xdotool click 1
    rig_wait_log_count '^Export cancelled$' "${1:-1}"
}
# The file dialogs: a new name for both exports, an existing file or cancel
# for Open.
mkdir -p "$RIG_DIR/out"
over_main
xdotool key ctrl+e
rig_choose_file "Export as tiled PNG image" "$RIG_DIR/out/tiled"
cancel_size
[ ! -e "$RIG_DIR/out/tiled.png" ] || rig_fail "a cancelled export wrote a picture"
# The export tool button.
rig_move "$W" $((76 + 16)) $((29 + 16))
xdotool click 1
# A bare name lands in the working folder and gets the extension.
rig_choose_file "Export as PNG image" "single"
rig_wait_window '^Image size$'
rig_move "$RIG_WINDOW" $((34 + 33)) $((48 + 11))
xdotool click 1
rig_wait_log "^Exported $(pwd)/single\.png \([0-9]+ x [0-9]+ pixels\)"
[ -s single.png ] || rig_fail "no single.png in the working folder"
over_main
xdotool key ctrl+o
rig_choose_file "Open fence diagram" ""
rig_note "Open cancelled"
over_main
xdotool key ctrl+o
rig_choose_file "Open fence diagram" "$EXAMPLE"
rig_wait_log "^Loading file $EXAMPLE\$"
rig_wait_log '^Positioning using values from file\.$'
[ "$(rig_count_log '^Loading file')" -eq 1 ] || rig_fail "the cancelled Open reached the view"

over_main
xdotool key ctrl+l
rig_wait_window '^Log output window$'
echo "PASS"
