#!/bin/bash
# Drag and drop and File > Open Recent: a description file dropped from a file
# manager (a text/uri-list with percent-encoding) opens; two files, a picture,
# a file of another computer and plain text are refused with a line in the
# log. After a restart Open Recent lists the diagrams opened, most recent
# first, reopens one, and takes a file that is gone off the list with a
# message.
. "$(dirname "$0")/rig.sh"
rig_work example
SPACED="survey 100%.fnc"
cp example.fnc "$SPACED"
mkdir other && cp example.fnc other/second.fnc && ln -s ../images other/images
PREFERENCES=$XDG_CONFIG_HOME/morvex/preferences
rig_start_xvfb
rig_start_morvex other/second.fnc
rig_wait_log "^Opened $WORK/other/second\.fnc: "

# drop URI...: the drop helper over the view; the drag source must hear that
# the drop is over whether it was taken or not.
drop() {
    "$DROPFILES" "$W" 400 300 "$@" >"$RIG_DIR/drop.out" || rig_fail "no answer to the drop of $*"
    [ "$(cat "$RIG_DIR/drop.out")" = "$(printf 'accepted\nfinished')" ] || rig_fail "drop: $(cat "$RIG_DIR/drop.out")"
}
drop "file://$WORK/survey%20100%25.fnc"
rig_wait_log "^Opened $WORK/$SPACED: "
rig_wait_window '^survey 100%\.fnc - Morvex - version 1\.0$'

refused=0
refuse() {
    drop "${@:2}"
    rig_wait_log_count '^Drop refused: ' $((++refused))
    [ "$(rig_last_log '^Drop refused: ')" = "Drop refused: $1." ] || rig_fail "$(rig_last_log '^Drop refused: ')"
}
refuse "2 files were dropped; Morvex opens one diagram at a time" "file://$WORK/example.fnc" "file://$WORK/$SPACED"
refuse "$WORK/images/legend.png is not a Morvex description file (.fnc)" "file://$WORK/images/legend.png"
refuse "\"file://elsewhere.example/x.fnc\" is not a file on this computer" "file://elsewhere.example/x.fnc"
refuse "\"just some text\" is not a file on this computer" "just some text"
rig_expect_count '^Loading file' 2 "a refused drop was opened"
rig_quit
grep -qx "recent.1 = $WORK/$SPACED" "$PREFERENCES" && grep -qx "recent.2 = $WORK/other/second.fnc" "$PREFERENCES" ||
    rig_fail "recent diagrams kept: $(cat "$PREFERENCES")"

rig_start_morvex
rig_close_splash
rig_wait_log '^onInit\(\)$'
rig_file_menu r 2
rig_wait_log "^Opened $WORK/other/second\.fnc: "
rig_wait_window '^second\.fnc - Morvex - version 1\.0$'
# Now second.fnc is first; the file at 2 is gone.
rm "$SPACED"
rig_file_menu r 2
rig_dismiss_alert recent-gone
rig_wait_log "^$WORK/$SPACED no longer exists; it is taken off the recent list\.\$"
grep -q '^recent\.2' "$PREFERENCES" && rig_fail "the file that is gone stayed on the list: $(cat "$PREFERENCES")"
grep -qx "recent.1 = $WORK/other/second.fnc" "$PREFERENCES" || rig_fail "recent diagrams now: $(cat "$PREFERENCES")"

# Save As into another folder: the copy names the same pictures from there,
# becomes the open diagram, and reopens with its pictures.
mkdir "$WORK/elsewhere"
rig_command ctrl+shift+s
rig_choose_file "Save settings as" "$WORK/elsewhere/copy"
rig_wait_log "^Saved settings to $WORK/elsewhere/copy\.fnc\.\$"
rig_wait_window '^copy\.fnc - Morvex - version 1\.0$'
grep -qx '\.\./other/images/section-a\.png' "$WORK/elsewhere/copy.fnc" || rig_fail "picture names: $(grep png "$WORK/elsewhere/copy.fnc")"
rig_quit
rig_start_morvex "$WORK/elsewhere/copy.fnc"
rig_wait_log "^Opened $WORK/elsewhere/copy\.fnc: 9 fences"
rig_wait_drawn saved-as-copy
rig_quit
echo "PASS"
