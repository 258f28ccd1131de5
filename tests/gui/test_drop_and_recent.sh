#!/bin/bash
# Drag and drop and File > Open Recent: a description file dropped from a file
# manager (a text/uri-list with percent-encoding) opens; two files, a picture,
# a file of another computer and plain text are refused with a line in the
# log. After a restart Open Recent lists the diagrams opened, most recent
# first, reopens one, and takes a file that is gone off the list with a
# message. Save As, and the import and export of section lines.
. "$(dirname "$0")/rig.sh"
rig_work example
SPACED="survey 100%.fnc"
cp example.fnc "$SPACED"
mkdir other && cp example.fnc other/second.fnc && ln -s ../images other/images
PREFERENCES=$XDG_CONFIG_HOME/morvex/preferences
cat >source.csv <<'EOF2'
WKT,image,label
"LINESTRING Z (15.10 50.20 300,15.16 50.22 310)",images/section-a.png,A-A'
"LINESTRING Z (15.12 50.18 300,15.14 50.24 290)",images/section-b.jpg,B-B'
EOF2
printf 'WKT,image,label\n"LINESTRING (15.1 50.2,15.2 50.25)",lost.png,L\n' >lost.csv
for name in source lost; do
    ogr2ogr -f GeoJSON -a_srs EPSG:4326 -oo KEEP_GEOM_COLUMNS=NO "$name.geojson" "$name.csv" ||
        rig_fail "ogr2ogr could not make $name.geojson"
done
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

# File > Import section lines...: GeoJSON section lines in longitude and
# latitude, made by ogr2ogr, become a description that opens at once and
# draws; File > Export section lines... writes the open diagram's lines back
# as GeoJSON; a refused import shows the importer's reason in an alert and
# writes nothing.
import_lines() {
    rig_file_menu i
    rig_choose_file "Import section lines" "$WORK/$1.geojson"
    rig_choose_file "Save imported diagram as" "$WORK/$1.fnc"
}
import_lines source
rig_wait_log "^Running .*/morvex-import -o $WORK/source\\.fnc -- $WORK/source\\.geojson\$"
rig_wait_log '^CRS used: EPSG:32633 \(WGS 84 / UTM zone 33N\), the UTM zone of the centre of the lines'
rig_wait_log "^Opened $WORK/source\\.fnc: 2 fences"
rig_wait_window '^source\.fnc - Morvex - version 1\.0$'
rig_wait_drawn imported
grep -qx 'crs EPSG:32633' source.fnc || rig_fail "the description names no CRS: $(head -n 4 source.fnc)"

rig_file_menu l
rig_choose_file "Export section lines" "$WORK/back.geojson"
rig_wait_log "^Exported the section lines of $WORK/source\\.fnc to $WORK/back\\.geojson\\.\$"
ogrinfo -ro -al -so back.geojson | grep -q '^Feature Count: 2$' || rig_fail "back.geojson: $(ogrinfo -ro -al -so back.geojson)"

import_lines lost
rig_dismiss_alert import-refused
rig_wait_log "^morvex-import: Feature 0 \\(\"L\"\\): its picture $WORK/lost\\.png does not exist\\.\$"
[ ! -e lost.fnc ] || rig_fail "a refused import wrote lost.fnc"
# The diagram shown stays.
[ "$(xdotool getwindowname "$W")" = "source.fnc - Morvex - version 1.0" ] || rig_fail "title $(xdotool getwindowname "$W")"
rig_quit
rig_start_morvex "$WORK/elsewhere/copy.fnc"
rig_wait_log "^Opened $WORK/elsewhere/copy\.fnc: 9 fences"
rig_wait_drawn saved-as-copy
rig_quit
echo "PASS"
