#!/bin/bash
# Start-up without arguments, the tool buttons' hover, and the main window's
# commands: the help window (with its pictures) as a utility window of the
# main window, help and about centred, closed by their buttons; Ctrl+1 and
# Ctrl+2 show the parameter dialogs centred; the title names the diagram
# Open opened; Copy and Export on that diagram, with one file-dialog title
# for both Export commands, and the question before an existing picture is
# replaced, whatever name is typed; Export 3-D; Close. Escape over the view
# leaves the program running; closing the main window with the help, about
# and log windows open ends it.
. "$(dirname "$0")/rig.sh"
rig_work
rig_start_xvfb
rig_start_morvex
# Centred over the main window (50 50 924 668) for a window of w x h.
centre() { echo "$((50 + 924 / 2 - $1 / 2)) $((50 + 668 / 2 - $2 / 2))"; }

# Start-up: the main window fills the work area less 50 pixels on every side
# and carries the program icon; the splash shows centred over it and hides
# itself after 4 seconds; the program's own name is the one command-line
# parameter.
rig_wait_window_size 402x302
SPLASH=$RIG_WINDOW
seen=$SECONDS
[ "$(rig_geometry "$W")" = "50 50 924 668" ] || rig_fail "main window at $(rig_geometry "$W"), want 50 50 924 668"
icons=$(xprop -id "$W" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
[ "$icons" = "Icon (16 x 16) Icon (32 x 32) Icon (48 x 48) " ] || rig_fail "program icons: $icons"
rig_expect_at "$SPLASH" "$(centre 402 302)" splash
rig_shot root startup-with-splash >/dev/null
rig_wait_window_size_gone 402x302
[ $((SECONDS - seen)) -ge 3 ] || rig_fail "the splash went after $((SECONDS - seen)) s"
rig_expect_count '^addCommandLineParam\(\): Adding command line param ' 1
grep -qxF "addCommandLineParam(): Adding command line param $MORVEX" "$RIG_APP_OUT" ||
    rig_fail "no addCommandLineParam line for argv[0]"
rig_wait_log '^onInit\(\)$'

# Tool buttons lie flat; the pointer over one ("Open fence diagram", 33 x 33
# at 4, 29) raises it and lightens it, and leaving flattens it again.
button() {
    convert "$(rig_shot "$W" "button-$1")" -crop 33x33+4+29 +repage "$RIG_SHOTS/button-$1-crop.png"
    echo "$RIG_SHOTS/button-$1-crop.png"
}
same() { [ "$(convert "$1" -depth 8 rgb:- | md5sum)" = "$(convert "$2" -depth 8 rgb:- | md5sum)" ]; }
red() { rig_pixel "$1" "$2" "$3" | cut -d' ' -f1; }
rig_move "$W" 400 400
# The tool bar drawn: the button's face is the window's grey, not black.
_drawn() { flat=$(button flat); [ "$(rig_pixel "$flat" 3 16)" != "0 0 0" ]; }
rig_poll "the tool bar to be drawn" _drawn
face=$(rig_pixel "$flat" 3 16)
rig_expect_colour "flat top edge" "$(rig_pixel "$flat" 16 0)" "$face" 0
rig_expect_colour "flat bottom edge" "$(rig_pixel "$flat" 16 32)" "$face" 0
rig_move "$W" $((4 + 16)) $((29 + 16))
_raised() { raised=$(button raised); ! same "$raised" "$flat"; }
rig_poll "the button to rise" _raised
f=$(red "$flat" 3 16) l=$(red "$raised" 3 16) t=$(red "$raised" 16 0) b=$(red "$raised" 16 32)
rig_note "red of flat face $f; hovered face $l, top edge $t, bottom edge $b"
[ "$l" -gt "$f" ] || rig_fail "the hovered face is not lighter"
[ "$t" -gt "$l" ] && [ "$b" -lt "$l" ] || rig_fail "the hovered button does not look raised"
rig_move "$W" 400 400
_flat_again() { same "$(button again)" "$flat"; }
rig_poll "the button to flatten" _flat_again

[ "$(xdotool getwindowname "$W")" = "Morvex - version 1.0" ] || rig_fail "title without a diagram: $(xdotool getwindowname "$W")"
[ "$(xprop -id "$W" WM_CLASS)" = 'WM_CLASS(STRING) = "morvex", "Morvex"' ] || rig_fail "$(xprop -id "$W" WM_CLASS)"

# Help window: a utility window, transient for the main window, off the task bar.
rig_keys 100 600 alt+h z
rig_wait_window '^Help Window$'
HELP=$RIG_WINDOW
rig_expect_at "$HELP" "$(centre 266 284)" "help window"
props=$(xprop -id "$HELP")
grep -q '_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_UTILITY' <<<"$props" || rig_fail "help is no utility window"
grep -q '_NET_WM_STATE_SKIP_TASKBAR' <<<"$props" || rig_fail "help window on the task bar"
owner=$(grep 'WM_TRANSIENT_FOR' <<<"$props" | awk '{ print $NF }')
[ "$((owner))" -eq "$W" ] || rig_fail "help window transient for $owner, not the main window $W"
# Its pictures drawn: the pressed left button of the first is in the accent blue.
_accent() { rig_colour_near "$(rig_pixel "$1" 19 27)" "40 104 214" 2; }
rig_shot_until "$HELP" help-window _accent

# About: centred over the main window; both close with their own buttons.
rig_keys 100 600 alt+h a
rig_wait_window_size 402x302
rig_expect_at "$RIG_WINDOW" "$(centre 402 302)" "about window"
rig_shot root about-and-help >/dev/null
rig_click "$RIG_WINDOW" $((335 + 27)) $((265 + 12))
rig_wait_window_size_gone 402x302
# Without a window manager nothing keeps it above the main window.
xdotool windowraise "$HELP"
rig_click "$HELP" $((100 + 32)) $((255 + 10))
rig_wait_window_gone '^Help Window$'

# Shortcuts: Ctrl+1 and Ctrl+2 show the two dialogs as utility windows
# centred over the main window.
for dialog in "ctrl+1:View settings:375:522" "ctrl+2:Diagram properties:280:692"; do
    IFS=: read -r key title dw dh <<<"$dialog"
    rig_keys 100 600 "$key"
    rig_wait_window "^$title\$"
    rig_expect_at "$RIG_WINDOW" "$(centre "$dw" "$dh")" "$title"
    xprop -id "$RIG_WINDOW" | grep -q '_NET_WM_WINDOW_TYPE_UTILITY' || rig_fail "$title is no utility window"
done

# Open: cancelled, then an existing file, which the title names.
rig_open ""
rig_open "$EXAMPLE"
rig_wait_log "^Loading file $EXAMPLE\$"
rig_wait_log '^Positioning using values from file\.$'
rig_expect_count '^Loading file' 1 "the cancelled Open reached the view"
rig_wait_window '^example\.fnc - Morvex - version 1\.0$'
rig_command ctrl+c
rig_wait_log '^Copied the view to the clipboard'

# Export: a new name from the menu and from the tool button.
mkdir -p "$RIG_DIR/out"
rig_command ctrl+e
rig_choose_file "Export as PNG image" "$RIG_DIR/out/tiled"
rig_answer_size 0
rig_wait_log '^Export cancelled$'
[ ! -e "$RIG_DIR/out/tiled.png" ] || rig_fail "a cancelled export wrote a picture"
rig_tool export
# A bare name lands in the working folder and gets the extension.
rig_choose_file "Export as PNG image" "noext"
rig_answer_size 1
rig_wait_log "^Exported $WORK/noext\.png \([0-9]+ x [0-9]+ pixels\)"
[ -s noext.png ] || rig_fail "no noext.png in the working folder"
# The same bare name again: asked once, with the extension added; No keeps
# the file and ends the command, Yes replaces it.
echo old >noext.png
rig_command ctrl+e
rig_choose_file "Export as PNG image" "noext"
rig_answer_question no
[ "$(cat noext.png)" = old ] || rig_fail "No replaced the picture"
rig_command ctrl+e
rig_choose_file "Export as PNG image" "noext"
rig_answer_question yes
rig_answer_size 1
rig_wait_log_count "^Exported $WORK/noext\.png " 2
[ "$(identify -format %m noext.png)" = PNG ] || rig_fail "Yes did not replace the file"

# Export 3-D: a bare name gets ".glb" and is written as binary glTF, a page
# name as a page holding the model; the log tells each file's size; a name of
# another kind is refused in an alert and writes nothing.
rig_command ctrl+shift+e
rig_choose_file "Export 3-D" "scene"
rig_wait_log "^Exported the diagram in 3-D to $WORK/scene\\.glb: .* \\([0-9]+ bytes\\)"
[ "$(head -c 4 scene.glb)" = glTF ] || rig_fail "scene.glb is no binary glTF"
rig_wait_log "scene\\.glb: .* \\($(stat -c %s scene.glb) bytes\\)"
rig_command ctrl+shift+e
rig_choose_file "Export 3-D" "$WORK/page.html"
rig_wait_log "^Exported the diagram in 3-D to $WORK/page\\.html: "
grep -q 'id="morvex-model"' page.html || rig_fail "page.html holds no model"
rig_command ctrl+shift+e
rig_choose_file "Export 3-D" "$WORK/scene.obj"
rig_dismiss_alert export-3d-refused
rig_wait_log '^The 3-D export failed: Cannot tell the 3-D format of .*scene\.obj'
[ ! -e scene.obj ] || rig_fail "scene.obj was written"

# Close: the view empties, the title loses the name, and both dialogs, which
# have nothing left to change, grey out.
rig_command ctrl+w
rig_wait_log "^Closed $EXAMPLE\$"
rig_wait_window '^Morvex - version 1\.0$'
_rig_view_blank() { [ "$(rig_colour_count "$1" 900x500+10+80)" -eq 1 ]; }
rig_shot_until "$W" closed _rig_view_blank
rig_wait_window '^View settings$'
dlg_wait_dark "$RIG_WINDOW" closed-view-settings "115x60+5+25" none >/dev/null
rig_wait_window '^Diagram properties$'
dlg_wait_dark "$RIG_WINDOW" closed-diagram-properties "64x20+108+583" none >/dev/null

# Keys are handled in order: the log window shows only if Escape left the
# program running.
rig_keys 100 600 Escape ctrl+l
rig_wait_window '^Log output window$'
rig_keys 100 600 alt+h z
rig_wait_window '^Help Window$'
rig_keys 100 600 alt+h a
rig_wait_window_size 402x302
rig_shot root close-with-help-about-log >/dev/null
rig_quit 100 600
echo "PASS"
