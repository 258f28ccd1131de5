#!/bin/bash
# File > Import section lines...: GeoJSON section lines in longitude and
# latitude, made by ogr2ogr, become a description that opens at once and
# draws; File > Export section lines... writes the open diagram's lines back
# as GeoJSON; a refused import shows the importer's reason in an alert and
# writes nothing.
. "$(dirname "$0")/rig.sh"
rig_work example
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
rig_start_morvex
rig_close_splash
rig_wait_log '^onInit\(\)$'

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
echo "PASS"
