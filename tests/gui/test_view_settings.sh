#!/bin/bash
# The "View settings" dialog end to end: once a file is open it wakes up with
# the mouse moving in the view; the camera fields show the stored camera and
# follow a drag; "Gradient" brings the second colour button to life and shows
# the upper colour in the first; the "vert." middle button gives the same
# light as the middle-left one; "Lighting" off greys out "Direction" and draws
# the fences unlit; the colour chooser's cancel changes nothing; "Antialias"
# with "66". The settings are kept for the next start.
. "$(dirname "$0")/rig.sh"
rig_work
export MORVEX_TRACE=$RIG_DIR/trace
DIAGRAM=$(dlg_copy_example survey)
rig_start_xvfb 1400x800x24
rig_start_morvex
rig_close_splash
rig_wait_log '^onInit\(\)$'

# The dialog, shown before any file is open, out of the way of the view for
# the pictures below: windows that overlap spoil each other's screenshots.
CLOSE_VIEW="64x20+153+494"
rig_keys 300 400 ctrl+1
rig_wait_window '^View settings$'
V=$RIG_WINDOW
xdotool windowmove "$V" 1025 0
VIEW="900x600+20+80"

rig_open "$DIAGRAM"
rig_wait_log "^Absolute filename $DIAGRAM\$"
rig_wait_log '^legendImage size = '
rig_wait_opened

# The view dialog wakes up with the first mouse movement in the view.
rig_move "$W" 300 400
rig_move "$W" 320 420
dlg_wait_dark "$V" view-settings-active "$CLOSE_VIEW" more >/dev/null

# The camera fields show the stored camera.
fields() { echo "$(dlg_read_field "$V" 68 41) $(dlg_read_field "$V" 68 66) $(dlg_read_field "$V" 68 91)"; }
shown=$(fields)
[ "$shown" = "510605 3814 6537410" ] || rig_fail "camera fields show $shown, not the stored camera"

# A drag turns the camera; the fields follow it.
dlg_raise "$W"
rig_drag 1 400 400 450 420 "" 2
[ "$(fields)" != "$shown" ] || rig_fail "the camera fields did not follow the drag"
drawn=$(dlg_shot "$W" view-after-drag)

# Gradient: second colour button alive, the first shows the upper colour.
solid=$(dlg_shot "$V" view-settings-solid)
rig_expect_colour "first colour, solid" "$(rig_pixel "$solid" 210 314)" "255 255 255" 0
inactive=$(rig_pixel "$solid" 210 340)
dlg_click "$V" 63 337
gradient=$(dlg_wait_picture "$V" view-settings-gradient "$solid" differs)
rig_expect_colour "first colour, gradient" "$(rig_pixel "$gradient" 210 314)" "127 127 255" 0
rig_expect_colour "second colour, gradient" "$(rig_pixel "$gradient" 210 340)" "255 255 255" 0
[ "$inactive" != "255 255 255" ] || rig_fail "the second colour button looked active under a solid background"
shot=$(dlg_wait_picture "$W" view-gradient "$drawn" differs "$VIEW")
rig_expect_colour "view top row, gradient" "$(rig_pixel "$shot" 5 68)" "127 127 255" 2

# The colour chooser, cancelled, changes nothing.
dlg_click "$V" 210 314
rig_wait_window '^Select first/upper color$'
dlg_shot "$RIG_WINDOW" colour-chooser >/dev/null
rig_move "$RIG_WINDOW" 20 20 && xdotool key Escape
rig_wait_window_gone '^Select first/upper color$'
dlg_raise "$V"
rig_wait_colour "first colour after cancel" "$V" view-settings-after-cancel 210 314 "127 127 255" 0

# Lighting: the fences start unlit with "Direction" greyed out.
DIRECTION="129x96+122+154"
unlit=$(dlg_shot "$W" view-unlit)
[ "$(dlg_dark_count "$(dlg_shot "$V" view-settings-unlit)" "$DIRECTION")" -eq 0 ] ||
    rig_fail "Direction active while the fences are unlit"
dlg_click "$V" 172 121
dlg_wait_dark "$V" view-settings-lit "$DIRECTION" more >/dev/null
lit=$(dlg_wait_picture "$W" view-lit "$unlit" differs "$VIEW")
# "vert." middle = direction 5 = the grid's middle left.
dlg_click "$V" 233 213
vertical=$(dlg_wait_picture "$W" view-light-vertical-middle "$lit" differs "$VIEW")
dlg_click "$V" 194 191
dlg_wait_picture "$W" view-light-top-right "$lit" equals "$VIEW" >/dev/null
dlg_click "$V" 140 213
dlg_wait_picture "$W" view-light-middle-left "$vertical" equals "$VIEW" >/dev/null
# Lighting off: Direction greyed, the unlit picture back.
dlg_click "$V" 172 121
dlg_wait_dark "$V" view-settings-unlit-again "$DIRECTION" none >/dev/null
dlg_wait_picture "$W" view-unlit-again "$unlit" equals "$VIEW" >/dev/null

# Antialias with 66 passes.
plain=$(dlg_shot "$W" view-single-pass)
dlg_click "$V" 172 370
dlg_click "$V" 228 417
shot=$(dlg_wait_picture "$V" view-settings-antialias-66 "$gradient" differs)
smooth=$(dlg_wait_picture "$W" view-antialias-66 "$plain" differs "$VIEW")
if grep -q '^Antialiasing needs an accumulation buffer' "$RIG_APP_OUT"; then
    rig_note "no accumulation buffer on this display: one pass"
else
    a=$(rig_colour_count "$plain" "$VIEW")
    b=$(rig_colour_count "$smooth" "$VIEW")
    [ "$b" -gt "$a" ] || rig_fail "66 passes show no more colours ($b) than one ($a)"
fi
rig_quit

# Each change in the dialog became the user's default at once: the next start
# draws on the gradient in 66 passes.
PREFERENCES=$XDG_CONFIG_HOME/morvex/preferences
for line in 'background = gradient' 'lighting = off' 'antialias = on' 'antialias-level = 6'; do
    grep -qx "$line" "$PREFERENCES" || rig_fail "no '$line' among the preferences: $(cat "$PREFERENCES")"
done
frames=$(grep -c '^frame 66 passes' "$MORVEX_TRACE")
rig_start_morvex "$DIAGRAM"
rig_wait_log "^Opened $DIAGRAM: "
_antialiased() { [ "$(grep -c '^frame 66 passes' "$MORVEX_TRACE")" -gt "$frames" ]; }
rig_poll "a frame of 66 passes" _antialiased
_gradient() { rig_colour_near "$(rig_pixel "$1" 5 68)" "127 127 255" 2; }
rig_shot_until "$W" view-after-restart _gradient
rig_quit
echo "PASS"
