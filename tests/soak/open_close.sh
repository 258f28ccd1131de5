#!/bin/bash
# One viewer opens the example with File > Open and closes it with File >
# Close (Ctrl+W) SOAK_CYCLES times (500). After each close its resident memory
# and its open file descriptors are read from /proc; after the first
# SOAK_WARMUP cycles neither may grow by more than 10 %. The figures are
# written to the test's output and to RIG_SHOTS/open_close.txt.
. "$(dirname "$0")/../gui/rig.sh"
CYCLES=${SOAK_CYCLES:-500}
WARMUP=${SOAK_WARMUP:-5}
rig_work example
rig_start_xvfb
rig_start_morvex
rig_close_splash
FIGURES=$RIG_DIR/figures.txt
START=$SECONDS

resident() { awk '/^VmRSS:/ { print $2 }' "/proc/$RIG_APP_PID/status"; }
descriptors() { ls "/proc/$RIG_APP_PID/fd" | wc -l; }

for ((i = 1; i <= CYCLES; i++)); do
    rig_open "$WORK/example.fnc"
    rig_wait_log_count '^Opened ' "$i"
    rig_wait_window "^example\\.fnc - Morvex - version 1\\.0\$"
    rig_keys 300 300 ctrl+w
    rig_wait_log_count '^Closed ' "$i"
    rig_wait_window '^Morvex - version 1\.0$'
    echo "$i $(resident) $(descriptors)" >>"$FIGURES"
done
DURATION=$((SECONDS - START))
"$PING" "$W" 10 >/dev/null || rig_fail "the viewer does not answer after $CYCLES cycles"

mkdir -p "$RIG_SHOTS" && cp "$FIGURES" "$RIG_SHOTS/open_close.txt"
# Cycle, resident kB, descriptors: at the end of the warm-up, the largest
# after it, and the last.
awk -v warmup="$WARMUP" -v cycles="$CYCLES" -v seconds="$DURATION" '
    $1 == warmup { rss0 = $2; fd0 = $3 }
    $1 > warmup { if ($2 > rssmax) rssmax = $2; if ($3 > fdmax) fdmax = $3; rss = $2; fd = $3 }
    END {
        printf "soak: %d open/close cycles in %d s; after cycle %d: %d kB resident, %d descriptors; ", cycles, seconds, warmup, rss0, fd0
        printf "largest after it %d kB, %d; last %d kB, %d\n", rssmax, fdmax, rss, fd
        exit !(rssmax <= 1.10 * rss0 && fdmax <= 1.10 * fd0)
    }' "$FIGURES" || rig_fail "resident memory or descriptors grew by more than 10 % after cycle $WARMUP"
echo "PASS"
