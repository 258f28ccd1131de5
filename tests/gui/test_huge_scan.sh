#!/bin/bash
# A scan of 300 million pixels (20000 x 15000, written row by row): the
# headless renderer and the viewer open it at full detail within 600 MiB,
# cut into a pyramid of tiles, and stand the fence with the scan's
# proportions; the renderer's second open reads the tiles the viewer cached.
. "$(dirname "$0")/rig.sh"
rig_work
"$MAKE_SCAN" "$WORK" 20000 15000 || rig_fail "the scan could not be written"
BUILT="^Tiles of $WORK/scan\.png: 20000 x 15000 pixels in 9 levels, written to the cache\.\$"
CACHED="^Tiles of $WORK/scan\.png: 20000 x 15000 pixels in 9 levels, read from the cache\.\$"
LIMIT_KIB=$((600 * 1024))

# Peak resident memory in KiB from a /usr/bin/time -v report.
peak() { sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$1"; }
expect_within_limit() {
    local kib
    kib=$(peak "$2")
    [ -n "$kib" ] || rig_fail "$1: no memory figure in $(cat "$2")"
    rig_note "$1: peak $((kib / 1024)) MiB"
    [ "$kib" -lt "$LIMIT_KIB" ] || rig_fail "$1 took $((kib / 1024)) MiB"
}
# The section is everything in the view (below the window's first ROWS) that
# is neither background white nor the black of box, axes and label: its
# extent must keep the scan's 4 : 3.
expect_scan_proportions() {
    local size
    size=$(convert "$2" -crop "+0+$3" +repage -fuzz 20% -fill white -opaque black -fuzz 0 -trim -format '%w %h' info:)
    rig_note "$1: section drawn $size"
    awk -v s="$size" 'BEGIN { split(s, d, " "); r = d[1] / d[2]; exit !(r > 4 / 3 * 0.98 && r < 4 / 3 * 1.02) }' ||
        rig_fail "$1: the section is drawn $size, not 4 : 3"
}

mkdir -p "$RIG_SHOTS"
/usr/bin/time -v -o "$RIG_DIR/render.time" "$RENDER" scan.fnc -o "$RIG_SHOTS/huge-scan-rendered.png" \
    >"$RIG_DIR/render.log" 2>&1 || rig_fail "morvex-render: $(tail -n 3 "$RIG_DIR/render.log")"
grep -qE "$BUILT" "$RIG_DIR/render.log" || rig_fail "morvex-render did not make the scan's tiles"
expect_within_limit morvex-render "$RIG_DIR/render.time"
expect_scan_proportions morvex-render "$RIG_SHOTS/huge-scan-rendered.png" 0

rig_start_xvfb
rig_start_app /usr/bin/time -v -o "$RIG_DIR/viewer.time" "$MORVEX" scan.fnc
rig_wait_window 'Morvex - version 1\.0$'
W=$RIG_WINDOW
rig_wait_log "$CACHED"
rig_wait_log "^Opened $WORK/scan\.fnc: 1 fences"
rig_wait_drawn huge-scan
# Below the menu and the tool bar.
expect_scan_proportions viewer "$RIG_SHOT" 70
rig_quit
expect_within_limit viewer "$RIG_DIR/viewer.time"
echo "PASS"
