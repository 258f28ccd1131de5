#!/bin/bash
# Log window end to end: text reaches the display at the line end, a long
# line arrives in pieces of 511, and every line also reaches the original
# standard output unchanged and in order.
. "$(dirname "$0")/rig.sh"

rig_start_xvfb
rig_start_app "$VIEWTEST" --log-test
rig_wait_log '^viewtest: log pieces'
rig_wait_window 'Log output window'
rig_shot "$RIG_WINDOW" log-window >/dev/null

rig_last_log '^viewtest: log abc' | grep -qx 'viewtest: log abc before line end 0 after 4' ||
    rig_fail "three characters: $(rig_last_log '^viewtest: log abc')"
rig_last_log '^viewtest: log pieces' | grep -qx 'viewtest: log pieces 511 511 then 1 at the line end' ||
    rig_fail "long line: $(rig_last_log '^viewtest: log pieces')"

# The same lines on the original standard output, in order.
grep -qx 'addCommandLineParam(): Adding command line param .*morvex_viewtest' "$RIG_APP_OUT" ||
    rig_fail "no addCommandLineParam line"
grep -qx "abc" "$RIG_APP_OUT" || rig_fail "no abc line"
grep -qx "$(printf 'x%.0s' $(seq 1200))" "$RIG_APP_OUT" || rig_fail "the long line is not whole"
order=$(grep -nE '^(addCommandLineParam|abc$|xxxx|onInit\(\)$)' "$RIG_APP_OUT" | cut -d: -f2 | cut -c1-4 | tr '\n' ' ')
rig_note "order: $order"
[ "$(grep -c '^onInit()$' "$RIG_APP_OUT")" -eq 1 ] || rig_fail "onInit() should appear once"
echo "PASS"
