#!/bin/bash
# The "Diagram properties" dialog end to end: a file without a legend section
# shows "Relative margin size" 0.5; the example shows its stored 0.22 with the
# top-right corner button pressed; the bottom-right button moves the legend at
# once; 12.9 typed as the horizontal legend margin is saved as 12; "Label
# interval Y", text size and margin re-lay the picture (the labels' sizes are
# logged); the bounding box and the axes hide and come back; "Line width"
# thickens the lines.
. "$(dirname "$0")/rig.sh"

NOLEGEND=$(dlg_copy_example plain nolegend)
DIAGRAM=$(dlg_copy_example survey)
rig_start_xvfb 1400x800x24

# start_with FILE LAST: the program with FILE, once the log line LAST says
# that the file is read the dialog opened with Ctrl+2 and moved off the view;
# leaves W and D.
start_with() {
    rig_start_morvex "$1"
    rig_wait_log "^Absolute filename $1\$"
    rig_wait_log "$2"
    rig_wait_opened
    rig_keys 300 400 ctrl+2
    rig_wait_window '^Diagram properties$'
    D=$RIG_WINDOW
    xdotool windowmove "$D" 1120 0
    dlg_wait_dark "$D" diagram-properties-active "64x20+108+665" more >/dev/null
}
VIEW="1000x600+20+80"

start_with "$NOLEGEND" '^Positioning using values from file\.$'
size=$(dlg_read_field "$D" 183 446)
[ "$size" = 0.5 ] || rig_fail "without a legend section the legend size shows $size, not 0.5"
rig_quit

start_with "$DIAGRAM" '^legendImage size = '
size=$(dlg_read_field "$D" 183 446)
[ "$size" = 0.22 ] || rig_fail "the stored legend size 0.22 shows as $size"
# A pressed radio button is drawn sunken: its top edge is dark.
shot=$(dlg_shot "$D" diagram-properties-example)
pressed() { [ "$(dlg_dark_count "$shot" "21x1+$(($1 + 2))+$(($2 + 1))")" -gt 10 ]; }
pressed 154 490 || rig_fail "the top-right corner button is not pressed"
pressed 154 513 && rig_fail "the bottom-right corner button is pressed"

# Bottom-right: the legend leaves the top right corner for the bottom right.
drawn=$(dlg_shot "$W" diagram-legend-top-right)
dlg_click "$D" 166 523
moved=$(dlg_wait_picture "$W" diagram-legend-bottom-right "$drawn" differs)
top_right="300x150+1000+70"
bottom_right="300x150+1000+545"
[ "$(dlg_difference "$drawn" "$moved" "$top_right")" -gt 1000 ] || rig_fail "the legend did not leave the top right"
[ "$(dlg_difference "$drawn" "$moved" "$bottom_right")" -gt 1000 ] || rig_fail "the legend did not reach the bottom right"

# 12.9 as the horizontal margin: the description saves 12 (and the corner).
dlg_type_field "$D" 183 396 12.9
cp "$DIAGRAM" "$RIG_DIR/before-save"
rig_tool save
_saved() { ! cmp -s "$DIAGRAM" "$RIG_DIR/before-save"; }
rig_poll "the description to be saved" _saved
margins=$(tail -n 3 "$DIAGRAM" | head -n 1)
corner=$(tail -n 2 "$DIAGRAM" | head -n 1)
[ "$margins" = "12 10" ] || rig_fail "saved legend margins $margins, want 12 10"
[ "$corner" = "2 0" ] || rig_fail "saved legend corner $corner, want 2 0 (right, bottom)"

# Label interval Y 3: the vertical axis keeps every third label.
drawn=$(dlg_shot "$W" diagram-intervals-1)
dlg_click "$D" 175 319
xdotool key ctrl+a BackSpace 3 Return
dlg_wait_picture "$W" diagram-interval-y-3 "$drawn" differs "$VIEW" >/dev/null

# Text size and margin re-lay the labels; each label's new size is logged.
SIZES='^-?[0-9.e+-]+, -?[0-9.e+-]+, -?[0-9.e+-]+$'
logged=$(rig_count_log "$SIZES")
drawn=$(dlg_shot "$W" diagram-text-before)
dlg_type_field "$D" 183 225 0.04
rig_wait_log_count "$SIZES" $((logged + 9))
larger=$(dlg_wait_picture "$W" diagram-text-larger "$drawn" differs "$VIEW")
dlg_type_field "$D" 183 250 0.1
dlg_wait_picture "$W" diagram-margin-larger "$larger" differs "$VIEW" >/dev/null

# Bounding box and axes off, then on again: the same picture back.
drawn=$(dlg_shot "$W" diagram-with-box)
dlg_click "$D" 79 57
nobox=$(dlg_wait_picture "$W" diagram-without-box "$drawn" differs "$VIEW")
dlg_click "$D" 79 77
dlg_wait_picture "$W" diagram-without-box-and-axes "$nobox" differs "$VIEW" >/dev/null
dlg_click "$D" 79 57
dlg_click "$D" 79 77
dlg_wait_picture "$W" diagram-box-and-axes-again "$drawn" equals "$VIEW" >/dev/null

# Line width: thicker lines, more dark pixels.
thin=$(dlg_dark_count "$drawn" "$VIEW")
dlg_click "$D" 200 132
thick=$(dlg_wait_picture "$W" diagram-line-width "$drawn" differs "$VIEW")
wide=$(dlg_dark_count "$thick" "$VIEW")
[ "$wide" -gt $((thin * 3 / 2)) ] || rig_fail "the lines did not get thicker: $thin dark pixels, then $wide"
rig_quit
echo "PASS"
