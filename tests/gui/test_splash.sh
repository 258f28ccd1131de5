#!/bin/bash
# Splash and about windows: the start-up splash hides itself after 4 seconds
# while the about window stays.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb
rig_start_app "$VIEWTEST" --about --splash
rig_wait_log '^viewtest: splash shown'
rig_shot root screen-with-splash >/dev/null
RIG_TIMEOUT=30 rig_wait_log '^viewtest: splash hidden after'
line=$(rig_last_log '^viewtest: splash hidden after')
awk -v s="$(echo "$line" | awk '{ print $5 }')" 'BEGIN { exit !(s >= 3.99 && s < 10) }' ||
    rig_fail "hidden too early or too late: $line"
rig_wait_log '^viewtest: about (still shown|hidden)$'
rig_last_log '^viewtest: about ' | grep -q 'still shown' || rig_fail "the about window was closed"
echo "PASS"
