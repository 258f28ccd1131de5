#!/bin/bash
# Escape over the view leaves the program running (it cancels, it never
# quits); closing the main window (Alt+F4) with the help, about and log
# windows open ends the program.
. "$(dirname "$0")/rig.sh"
rig_work example

rig_start_xvfb
rig_start_morvex example.fnc
rig_wait_log '^legendImage size = 512, 512$'
rig_wait_opened
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
