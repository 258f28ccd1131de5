#!/bin/bash
# Log, splash and about windows end to end: text reaches the log display at
# the line end, a long line arrives in pieces of 511, and every line also
# reaches the original standard output unchanged; the start-up splash hides
# itself after 4 seconds while the about window stays.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb
rig_start_app "$VIEWTEST" --log-test --splash
rig_wait_log '^viewtest: log pieces'
rig_wait_window 'Log output window'
rig_shot root log-splash-about >/dev/null
for want in 'viewtest: log abc before line end 0 after 4' 'viewtest: log pieces 511 511 then 1 at the line end' \
    'addCommandLineParam(): Adding command line param .*morvex_viewtest' abc "$(printf 'x%.0s' $(seq 1200))"; do
    grep -qx -- "$want" "$RIG_APP_OUT" || rig_fail "no line ${want:0:60}"
done
rig_expect_count '^onInit\(\)$' 1
RIG_TIMEOUT=30 rig_wait_log '^viewtest: about (still shown|hidden)$'
line=$(rig_last_log '^viewtest: splash hidden after')
awk -v s="$(echo "$line" | awk '{ print $5 }')" 'BEGIN { exit !(s >= 3.99 && s < 10) }' ||
    rig_fail "hidden too early or too late: $line"
rig_last_log '^viewtest: about ' | grep -q 'still shown' || rig_fail "the about window was closed"
echo "PASS"
