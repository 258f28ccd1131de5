#!/bin/bash
# A description file end to end: opened from the command line (no splash,
# every argument handed to the view in order) with its stored camera and
# legend; turned with the mouse and saved, the fences stay
# bit-identical and the camera comes back (saved by the tool button, then by
# Ctrl+S, each saying where it saved); a missing image is asked about and
# drawn as an outline, an unsupported extension is reported in an alert with
# the diagram kept, and the program goes on to open a good file; raised
# exaggeration is saved in format 2 and reopens as it was.
. "$(dirname "$0")/rig.sh"
rig_work example
export MORVEX_TRACE=$RIG_DIR/trace
COPY=$WORK/example.fnc
cp "$COPY" "$RIG_DIR/original.fnc"
cd "$HOME" || exit 1 # Saving must log the file's folder, not the current one.
rig_start_xvfb

rig_start_morvex "$COPY"
rig_wait_log "^Positioning using values from file\.$"
# The first frame comes only after the map requests of everything shown
# before the loop, a splash included.
[ -z "$(rig_windows_of_size 402x302)" ] || rig_fail "a splash shows although a file was named"
printf 'addCommandLineParam(): Adding command line param %s\n' "$MORVEX" "$COPY" |
    cmp -s - <(grep '^addCommandLineParam(): ' "$RIG_APP_OUT") || rig_fail "command-line lines: $(grep '^addCom' "$RIG_APP_OUT")"
first() { grep -nE -- "$1" "$RIG_APP_OUT" | head -n 1 | cut -d: -f1; }
[ "$(first '^onInit\(\)$')" -lt "$(first "^Loading file $COPY\$")" ] || rig_fail "onInit() should come first"
[ "$(first "^Loading file $COPY\$")" -lt "$(first "^Absolute filename $COPY\$")" ] || rig_fail "absolute path line"
rig_expect_count '^description = ' 9
rig_wait_log '^legendImage size = 512, 512$'
# The load ends with one line that tells how long it took, after the legend.
rig_wait_log "^Opened $COPY: 9 fences in [0-9]+\.[0-9]{3} s\$"
[ "$(first '^legendImage size')" -lt "$(first '^Opened ')" ] || rig_fail "the Opened line should come last"
rig_wait_drawn example-diagram

# Turn the view, then "Save settings".
rig_drag 1 460 367 520 367
rig_tool save
rig_wait_log "^$WORK\$"
rig_wait_log '^example\.fnc$'
rig_wait_log "^Saved settings to $COPY\.\$"
cmp -s "$COPY" "$RIG_DIR/original.fnc" && rig_fail "the turned camera was not saved"
cp "$COPY" "$RIG_DIR/saved.fnc"
# Every token but the camera lines reads back as the same number or word.
python3 - "$RIG_DIR/original.fnc" "$COPY" <<'PY' || rig_fail "the saved file changed more than the camera"
import sys
def token(t):
    try:
        return float(t)
    except ValueError:
        return t
a, b = ([token(t) for t in open(name).read().split()] for name in sys.argv[1:])
camera = len(a) - 6 - 9
assert len(a) == len(b) and a[:camera] + a[camera + 6:] == b[:camera] + b[camera + 6:], "tokens differ"
PY
rig_stop

# Opened again and saved without moving: the same file, byte for byte.
rig_start_morvex "$COPY"
rig_wait_opened
rig_keys 100 600 ctrl+s
rig_wait_log "^Saved settings to $COPY\.\$"
cmp "$COPY" "$RIG_DIR/saved.fnc" || rig_fail "saving the reopened camera changed the file"
rig_stop

# A missing section image: one question; yes opens the diagram with that fence
# as a grey outline and logs it.
sed 's|images/section-c.png|sub/none.png|' "$COPY" >"$WORK/missing.fnc"
sed 's|images/section-c.png|images/section-c.gif|' "$COPY" >"$WORK/unsupported.fnc"
cp "$WORK/images/section-c.png" "$WORK/images/section-c.gif"
rig_start_morvex "$WORK/missing.fnc"
rig_answer_question yes
rig_wait_log "^Picture $WORK/sub/none\.png is missing; fence 3 is drawn as an outline\.$"
rig_wait_log "^Opened $WORK/missing\.fnc: 9 fences"
# Pixels of the outlines' grey in the view.
grey() {
    convert "$1" -crop 400x300+250+150 +repage -fill black +opaque 'rgb(128,128,128)' \
        -fill white -opaque 'rgb(128,128,128)' -format '%[fx:round(mean * w * h)]' info:
}
_outline_shown() { [ "$(grey "$1")" -gt $(($(grey "$RIG_SHOTS/example-diagram.png") + 100)) ]; }
rig_shot_until "$W" outline-for-missing-picture _outline_shown
OUTLINED=$RIG_SHOT

# Open from the menu: the unsupported extension is refused and the diagram
# stays; no to the question keeps it too, without an alert; then the good file.
rig_open "$WORK/unsupported.fnc"
rig_wait_log '^Unsupported file format\.$'
rig_dismiss_alert
dlg_wait_picture "$W" outline-kept "$OUTLINED" equals 400x300+250+150 >/dev/null
rig_open "$WORK/missing.fnc"
rig_answer_question no
rig_wait_log "^Not opened: $WORK/missing\.fnc \(pictures are missing\)\.$"
rig_open "$COPY"
rig_wait_log_count "^Positioning using values from file\.$" 2
rig_wait_window '^example\.fnc - Morvex - version 1\.0$'
rig_wait_drawn reopened-after-failure
FLAT=$RIG_SHOT

# Two steps up the View menu's exaggeration: the picture grows, Save settings
# writes format 2 and says so, and the file reopens to the same picture.
rig_keys 100 600 ctrl+Up
rig_wait_log '^Vertical exaggeration 1\.5\.$'
rig_keys 100 600 ctrl+Up
rig_wait_log '^Vertical exaggeration 2\.$'
TALL=$(dlg_wait_picture "$W" exaggerated "$FLAT" differs)
rig_keys 100 600 ctrl+s
rig_wait_log "^Saved $COPY in format 2: it holds settings format 1 cannot\.\$"
[ "$(head -n 3 "$COPY" | tr '\n' ' ')" = "#MORVEX2 vertical-exaggeration 2 end " ] || rig_fail "saved: $(head -n 3 "$COPY")"
rig_stop
rig_start_morvex "$COPY"
rig_wait_log "^Positioning using values from file\.$"
dlg_wait_picture "$W" reopened-exaggerated "$TALL" equals >/dev/null
echo "PASS"
