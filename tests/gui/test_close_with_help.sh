#!/bin/bash
# Closing the main window while the help window is open leaves the program
# running until the help window is closed too.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb
rig_start_morvex
rig_wait_log '^onInit\(\)$'
rig_close_splash
rig_keys 100 600 alt+h z
rig_wait_window '^Help Window$'
HELP=$RIG_WINDOW

# Escape runs the window's callback, as its close box does.
rig_keys 100 600 Escape
rig_wait_window_gone '^Morvex - version 1\.0$'
_rig_window_found '^Help Window$' || rig_fail "the help window was closed"

# The loop still runs: pressing Close draws it sunken; releasing it ends all.
xdotool windowraise "$HELP"
rig_move "$HELP" $((100 + 32)) $((255 + 10))
button() { convert "$(rig_shot "$HELP" help-close-button)" -crop 64x20+100+255 +repage -depth 8 rgb:- | md5sum; }
up=$(button)
xdotool mousedown 1
_pressed() { [ "$(button)" != "$up" ]; }
rig_poll "the Close button to show pressed" _pressed
rig_app_running || rig_fail "the program ended with the help window open"
xdotool mouseup 1
rig_wait_exit || rig_fail "exit status $?"
echo "PASS"
