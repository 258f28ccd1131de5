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
    # Emptied here, not by the background start: a second program's waits
    # must not see the first one's lines.
    : >"$RIG_APP_OUT"
    : >"$RIG_APP_ERR"
    "$@" >>"$RIG_APP_OUT" 2>>"$RIG_APP_ERR" &
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

# "X Y W H" of a window on the screen.
rig_geometry() {
    local WINDOW X Y WIDTH HEIGHT SCREEN
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
    echo "$X $Y $WIDTH $HEIGHT"
}

# Ids of the visible top-level windows of the size WxH.
rig_windows_of_size() {
    local id
    for id in $(xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null); do
        set -- "$1" $(rig_geometry "$id")
        [ "$4x$5" = "$1" ] && echo "$id"
    done
}

_rig_size_shown() {
    RIG_WINDOW=$(rig_windows_of_size "$1" | head -n 1)
    [ -n "$RIG_WINDOW" ]
}
_rig_size_gone() { [ -z "$(rig_windows_of_size "$1")" ]; }

# Waits for a visible window of the size WxH (for windows without a name);
# its id is left in RIG_WINDOW.
rig_wait_window_size() {
    rig_poll "a window of $1" _rig_size_shown "$1"
}
rig_wait_window_size_gone() {
    rig_poll "the window of $1 to go" _rig_size_gone "$1"
}

# Waits for Morvex's start-up splash (402 x 302, no name) and closes it with
# its Close button.
rig_close_splash() {
    rig_wait_window_size 402x302
    rig_move "$RIG_WINDOW" $((335 + 27)) $((265 + 12))
    xdotool click 1
    rig_wait_window_size_gone 402x302
}

# Answers the file dialog titled TITLE with NAME (Escape when NAME is empty);
# a screenshot of the dialog is kept.
rig_choose_file() {
    local title=$1 name=$2
    rig_wait_window "^$title\$"
    local dialog=$RIG_WINDOW
    rig_shot "$dialog" "dialog-$(echo "$title" | tr ' ' '-')" >/dev/null
    read -r dx dy dw dh <<<"$(rig_geometry "$dialog")"
    xdotool mousemove $((dx + dw / 2)) $((dy + dh / 2))
    if [ -z "$name" ]; then
        xdotool key Escape
    else
        # Pasted in one piece: typed, the dialog's completion of every
        # partial path races with the keys.
        printf %s "$name" | xclip -selection clipboard &
        local clip=$!
        # Bounded: until xclip owns the clipboard, the question may go to a
        # program that cannot answer while its file dialog runs.
        _clip_ready() { [ "$(timeout 2 xclip -o -selection clipboard 2>/dev/null)" = "$name" ]; }
        rig_poll "the clipboard" _clip_ready
        # Ctrl+L opens the location field (the save-style dialog has its name
        # field); keys sent before the dialog listens are lost, so this is
        # repeated until the dialog takes the name.
        _dialog_took_name() {
            xdotool key ctrl+l ctrl+a ctrl+v Return
            local i
            for i in $(seq 20); do
                _rig_window_gone "^$title\$" && return 0
                sleep 0.05
            done
            return 1
        }
        rig_poll "the dialog to take the name" _dialog_took_name
        kill "$clip"
        wait "$clip" 2>/dev/null
    fi
    rig_wait_window_gone "^$title\$"
}

# A stand-in "convert" in $RIG_DIR/gated that waits until the file $GATE
# exists, then runs the real tool: put $GATED first on PATH to hold an export
# in the middle; touch "$GATE" to let it go on.
rig_gated_convert() {
    GATED=$RIG_DIR/gated
    GATE=$RIG_DIR/gate
    mkdir -p "$GATED"
    cat >"$GATED/convert" <<EOF
#!/bin/bash
until [ -e "$GATE" ]; do sleep 0.05; done
exec "$(command -v convert)" "\$@"
EOF
    chmod +x "$GATED/convert"
}

# Succeeds while the program runs.
rig_app_running() { [ -n "$RIG_APP_PID" ] && kill -0 "$RIG_APP_PID" 2>/dev/null; }

# Captures a window as PNG into RIG_SHOTS/NAME.png and echoes the path.
rig_shot() {
    local window=$1 name=$2
    mkdir -p "$RIG_SHOTS"
    import -silent -window "$window" "png:$RIG_SHOTS/$name.png" || rig_fail "screenshot $name"
    echo "$RIG_SHOTS/$name.png"
}

# Takes screenshots of WINDOW as NAME until CHECK (a command given the PNG's
# path) succeeds; the passing PNG's path is left in RIG_SHOT. What a program
# drew reaches the X server some time after it says so, later still on a
# loaded machine. Not for $(...): a failure must end the test itself.
rig_shot_until() {
    local window=$1 name=$2
    shift 2
    _rig_shot_passes() { RIG_SHOT=$(rig_shot "$window" "$name") && "$@" "$RIG_SHOT"; }
    rig_poll "screenshot $name to pass $1" _rig_shot_passes "$@"
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
