#!/bin/bash
# Test rig for end-to-end GUI tests: a private Xvfb on a free display, the
# program under test in it, xdotool to drive it, PNG screenshots and the
# program's standard output. Source it from a test script; every process it
# starts is killed on exit. Waits are for log lines and windows, with a
# generous upper bound, never for a fixed time.

RIG_TIMEOUT=${RIG_TIMEOUT:-120}
RIG_DIR=$(mktemp -d "${TMPDIR:-/tmp}/morvex-gui.XXXXXX")
RIG_SHOTS=${RIG_SHOTS:-$RIG_DIR}
RIG_XVFB_PID=""
RIG_APP_PID=""
RIG_APP_OUT="$RIG_DIR/stdout.log"
RIG_APP_ERR="$RIG_DIR/stderr.log"

rig_cleanup() {
    local status=$?
    if [ -n "$RIG_APP_PID" ] && kill -0 "$RIG_APP_PID" 2>/dev/null; then
        kill "$RIG_APP_PID" 2>/dev/null
        wait "$RIG_APP_PID" 2>/dev/null
    fi
    if [ -n "$RIG_XVFB_PID" ] && kill -0 "$RIG_XVFB_PID" 2>/dev/null; then
        kill "$RIG_XVFB_PID" 2>/dev/null
        wait "$RIG_XVFB_PID" 2>/dev/null
    fi
    if [ "$status" -ne 0 ]; then
        echo "--- program output ($RIG_APP_OUT) ---" >&2
        tail -n 40 "$RIG_APP_OUT" >&2 2>/dev/null
        echo "--- program errors ---" >&2
        tail -n 20 "$RIG_APP_ERR" >&2 2>/dev/null
    fi
    rm -rf "$RIG_DIR"
    exit "$status"
}
trap rig_cleanup EXIT
trap 'exit 130' INT TERM

rig_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rig_note() {
    echo "rig: $*"
}

# Polls a condition command until it succeeds or RIG_TIMEOUT seconds pass.
rig_poll() {
    local what=$1
    shift
    local deadline=$((SECONDS + RIG_TIMEOUT))
    until "$@"; do
        [ $SECONDS -ge $deadline ] && rig_fail "timed out waiting for $what"
        if [ -n "$RIG_APP_PID" ] && ! kill -0 "$RIG_APP_PID" 2>/dev/null && [ "$what" != "exit" ]; then
            "$@" && return 0
            rig_fail "the program ended while waiting for $what"
        fi
        sleep 0.05
    done
}

_rig_display_ready() { [ -s "$RIG_DIR/display" ]; }

# Starts Xvfb on the first free display and exports DISPLAY.
rig_start_xvfb() {
    local size=${1:-1024x768x24}
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp -noreset \
        3>"$RIG_DIR/display" >"$RIG_DIR/xvfb.log" 2>&1 &
    RIG_XVFB_PID=$!
    rig_poll "Xvfb to report its display" _rig_display_ready
    export DISPLAY=":$(head -n 1 "$RIG_DIR/display")"
    rig_note "Xvfb on $DISPLAY"
}

# Starts the program in the background; its stdout and stderr are kept.
rig_start_app() {
    "$@" >"$RIG_APP_OUT" 2>"$RIG_APP_ERR" &
    RIG_APP_PID=$!
}

_rig_log_has() { grep -qE -- "$1" "$RIG_APP_OUT" 2>/dev/null; }

# Waits until a line of the program's output matches the extended regex.
rig_wait_log() {
    rig_poll "log line /$1/" _rig_log_has "$1"
}

# Number of lines matching the regex so far.
rig_count_log() {
    grep -cE -- "$1" "$RIG_APP_OUT" 2>/dev/null
}

# Waits for the count of lines matching the regex to reach n.
_rig_count_at_least() { [ "$(rig_count_log "$1")" -ge "$2" ]; }
rig_wait_log_count() {
    rig_poll "$2 log lines /$1/" _rig_count_at_least "$1" "$2"
}

# The last line matching the regex.
rig_last_log() {
    grep -E -- "$1" "$RIG_APP_OUT" | tail -n 1
}

_rig_window_found() {
    RIG_WINDOW=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$RIG_WINDOW" ]
}

# Waits for a visible window whose name matches; its id is left in RIG_WINDOW.
rig_wait_window() {
    rig_poll "window '$1'" _rig_window_found "$1"
}

_rig_window_gone() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
rig_wait_window_gone() {
    rig_poll "window '$1' to go" _rig_window_gone "$1"
}

_rig_app_ended() { ! kill -0 "$RIG_APP_PID" 2>/dev/null; }
# Waits for the program to end and returns its exit status.
rig_wait_exit() {
    rig_poll "exit" _rig_app_ended
    wait "$RIG_APP_PID"
    local status=$?
    RIG_APP_PID=""
    return $status
}

# Captures a window as PNG into RIG_SHOTS/NAME.png and echoes the path.
rig_shot() {
    local window=$1 name=$2
    mkdir -p "$RIG_SHOTS"
    import -silent -window "$window" "png:$RIG_SHOTS/$name.png" || rig_fail "screenshot $name"
    echo "$RIG_SHOTS/$name.png"
}

# Prints "r g b" of pixel (x, y) of a PNG, origin top left.
rig_pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | tail -n 1 |
        sed -E 's/.*\(([0-9.]+),([0-9.]+),([0-9.]+).*/\1 \2 \3/' |
        awk '{ printf "%d %d %d\n", $1 + 0.5, $2 + 0.5, $3 + 0.5 }'
}

# Succeeds when two colours "r g b" differ by at most tol per channel.
rig_colour_near() {
    local a=($1) b=($2) tol=$3 i d
    for i in 0 1 2; do
        d=$((a[i] - b[i]))
        [ ${d#-} -le "$tol" ] || return 1
    done
}

rig_expect_colour() {
    local what=$1 got=$2 want=$3 tol=${4:-1}
    rig_colour_near "$got" "$want" "$tol" || rig_fail "$what: got ($got), want ($want) within $tol"
    rig_note "$what: ($got)"
}

# Number of distinct colours in a rectangle WxH+X+Y of a PNG.
rig_colour_count() {
    convert "$1" -crop "$2" +repage -unique-colors txt:- | grep -c '^[0-9]'
}

# Window-relative pointer moves and buttons.
rig_move() { xdotool mousemove --window "$1" "$2" "$3"; }
rig_down() { xdotool mousedown "$1"; }
rig_up() { xdotool mouseup "$1"; }
rig_key() { xdotool key --window "$1" "$2"; }
rig_keydown() { xdotool keydown "$1"; }
rig_keyup() { xdotool keyup "$1"; }

# Runs a command under the rig's Xvfb and returns its status (for test
# programs that need a display but no driving).
if [ "${1:-}" = "--run" ]; then
    shift
    rig_start_xvfb
    "$@"
    exit $?
fi
