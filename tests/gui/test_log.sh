#!/bin/bash
# Log window end to end: text reaches the display at the line end, a long
# line arrives in pieces of 511, and every line also reaches the original
# standard output unchanged.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb
rig_start_app "$VIEWTEST" --log-test
rig_wait_log '^viewtest: log pieces'
rig_wait_window 'Log output window'
rig_shot "$RIG_WINDOW" log-window >/dev/null
for want in 'viewtest: log abc before line end 0 after 4' 'viewtest: log pieces 511 511 then 1 at the line end' \
    'addCommandLineParam(): Adding command line param .*morvex_viewtest' abc "$(printf 'x%.0s' $(seq 1200))"; do
    grep -qx -- "$want" "$RIG_APP_OUT" || rig_fail "no line ${want:0:60}"
done
rig_expect_count '^onInit\(\)$' 1
echo "PASS"
