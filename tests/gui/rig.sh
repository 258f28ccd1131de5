#!/bin/bash
# Test rig for end-to-end GUI tests: a private Xvfb, the program under test in
# it driven by xdotool, PNG screenshots and the program's standard output.
# Every process it starts is killed on exit. Waits are for log lines, windows
# and screenshots, with a generous upper bound, never for a fixed time.

RIG_TIMEOUT=${RIG_TIMEOUT:-120}
RIG_DIR=$(mktemp -d "${TMPDIR:-/tmp}/morvex-gui.XXXXXX")
RIG_SHOTS=${RIG_SHOTS:-$RIG_DIR}
RIG_XVFB_PID=""
RIG_APP_PID=""
RIG_APP_OUT="$RIG_DIR/stdout.log"
RIG_APP_ERR="$RIG_DIR/stderr.log"
# Preferences and caches of the programs under test live here too: no test
# reads or changes a developer's own.
export XDG_CONFIG_HOME=$RIG_DIR/config XDG_CACHE_HOME=$RIG_DIR/cache
EXAMPLE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../data/examples" && pwd)

rig_cleanup() {
    local status=$? pid
    for pid in "$RIG_APP_PID" "$RIG_XVFB_PID"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
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

rig_fail() { echo "FAIL: $*" >&2; exit 1; }
rig_note() { echo "rig: $*"; }

# Polls a condition command until it succeeds or RIG_TIMEOUT seconds pass.
rig_poll() {
    local what=$1 deadline=$((SECONDS + RIG_TIMEOUT))
    shift
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
    Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp -noreset \
        3>"$RIG_DIR/display" >"$RIG_DIR/xvfb.log" 2>&1 &
    RIG_XVFB_PID=$!
    rig_poll "Xvfb to report its display" _rig_display_ready
    export DISPLAY=":$(head -n 1 "$RIG_DIR/display")"
    rig_note "Xvfb on $DISPLAY"
}

# A private HOME (the file dialog keeps recent files there) and TMPDIR, and the
# work folder WORK as current folder; "example" copies the example into it.
rig_work() {
    export HOME=$RIG_DIR/home TMPDIR=$RIG_DIR/tmp
    WORK=$RIG_DIR/work
    mkdir -p "$HOME" "$TMPDIR" "$WORK"
    [ "${1:-}" = example ] && cp -r "$EXAMPLE_DIR"/. "$WORK/"
    cd "$WORK" || rig_fail "no folder to work in"
}

# Starts the program in the background; its stdout and stderr are kept.
rig_start_app() {
    # Emptied here, not by the background start: a second program's waits
    # must not see the first one's lines.
    : >"$RIG_APP_OUT" && : >"$RIG_APP_ERR"
    "$@" >>"$RIG_APP_OUT" 2>>"$RIG_APP_ERR" &
    RIG_APP_PID=$!
}

# Morvex with the arguments; its main window is left in W, the view's top
# in that window in TOP.
rig_start_morvex() {
    rig_start_app "$MORVEX" "$@"
    rig_wait_window 'Morvex - version 1\.0$'
    W=$RIG_WINDOW
    TOP=67
}

# The view test program with the arguments, once it has drawn; window in W.
rig_start_viewtest() {
    rig_start_app "$VIEWTEST" "$@"
    rig_wait_log '^viewtest: ready'
    rig_wait_log '^viewtest: frame'
    rig_wait_window 'Morvex view test'
    W=$RIG_WINDOW
    TOP=24
}

# Waits until the first diagram has opened: its "Opened" line is written
# while it still loads, and commands are taken only once the title names it.
rig_wait_opened() {
    rig_wait_log '^Opened '
    rig_wait_window '\.fnc - Morvex - version 1\.0$'
}

rig_stop() { kill "$RIG_APP_PID"; wait "$RIG_APP_PID" 2>/dev/null; RIG_APP_PID=""; }

# Exit (Alt+F4) with the pointer over W [at X Y]; the program must end cleanly.
rig_quit() {
    rig_keys "${1:-300}" "${2:-400}" alt+F4
    rig_wait_exit || rig_fail "exit status $?"
}

# The program's output by extended regex: rig_wait_log waits for a matching
# line, rig_count_log counts them, rig_expect_count fails unless there are
# exactly N, rig_wait_log_count waits for N, rig_last_log prints the last.
_rig_log_has() { grep -qE -- "$1" "$RIG_APP_OUT" 2>/dev/null; }
rig_wait_log() { rig_poll "log line /$1/" _rig_log_has "$1"; }
rig_count_log() { grep -cE -- "$1" "$RIG_APP_OUT" 2>/dev/null; }
rig_expect_count() {
    [ "$(rig_count_log "$1")" -eq "$2" ] || rig_fail "${3:-want $2 lines /$1/, found $(rig_count_log "$1")}"
}
_rig_count_at_least() { [ "$(rig_count_log "$1")" -ge "$2" ]; }
rig_wait_log_count() { rig_poll "$2 log lines /$1/" _rig_count_at_least "$1" "$2"; }
rig_last_log() { grep -E -- "$1" "$RIG_APP_OUT" | tail -n 1; }

# Waits for a visible window whose name matches (its id is left in
# RIG_WINDOW), or for none to match.
_rig_window_found() { RIG_WINDOW=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1); [ -n "$RIG_WINDOW" ]; }
rig_wait_window() { rig_poll "window '$1'" _rig_window_found "$1"; }
_rig_window_gone() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
rig_wait_window_gone() { rig_poll "window '$1' to go" _rig_window_gone "$1"; }

_rig_app_ended() { ! kill -0 "$RIG_APP_PID" 2>/dev/null; }
# Waits for the program to end and returns its exit status.
rig_wait_exit() {
    rig_poll "exit" _rig_app_ended
    wait "$RIG_APP_PID"
    local status=$?
    RIG_APP_PID=""
    return $status
}
rig_app_running() { [ -n "$RIG_APP_PID" ] && kill -0 "$RIG_APP_PID" 2>/dev/null; }

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

# Waits for a visible window of the size WxH (for windows without a name);
# its id is left in RIG_WINDOW.
_rig_size_shown() { RIG_WINDOW=$(rig_windows_of_size "$1" | head -n 1); [ -n "$RIG_WINDOW" ]; }
_rig_size_gone() { [ -z "$(rig_windows_of_size "$1")" ]; }
rig_wait_window_size() { rig_poll "a window of $1" _rig_size_shown "$1"; }
rig_wait_window_size_gone() { rig_poll "the window of $1 to go" _rig_size_gone "$1"; }

# Fails unless window $1 stands at "X Y".
rig_expect_at() {
    local x y
    read -r x y _ <<<"$(rig_geometry "$1")"
    [ "$x $y" = "$2" ] || rig_fail "${3:-window} at $x $y, want $2"
}

# Waits for Morvex's start-up splash (402 x 302, no name) and closes it with
# its Close button.
rig_close_splash() {
    rig_wait_window_size 402x302
    rig_click "$RIG_WINDOW" $((335 + 27)) $((265 + 12))
    rig_wait_window_size_gone 402x302
}

# Waits until window $1 stands centred over the main window W.
_rig_centred() {
    local x y w h mx my mw mh
    read -r x y w h <<<"$(rig_geometry "$1")"
    read -r mx my mw mh <<<"$(rig_geometry "$W")"
    [ "$x $y" = "$((mx + mw / 2 - w / 2)) $((my + mh / 2 - h / 2))" ]
}
rig_wait_centred() { rig_poll "${2:-window} centred over the main window" _rig_centred "$1"; }

# Answers the box titled "Morvex", centred over W: an alert is closed with
# Return (a screenshot NAME is kept if given), a question answered with yes
# (Return) or no (Escape), keeping a screenshot question-ANSWER. The program
# must go on.
_rig_answer_box() {
    rig_wait_window '^Morvex$'
    local box=$RIG_WINDOW
    rig_wait_centred "$box" "the box"
    [ -n "$2" ] && rig_shot "$box" "$2" >/dev/null
    rig_move "$box" 20 20
    xdotool key "$1"
    rig_wait_window_gone '^Morvex$'
    rig_app_running || rig_fail "the program ended after the box"
}
rig_dismiss_alert() { _rig_answer_box Return "${1:-}"; }
rig_answer_question() { _rig_answer_box "$([ "$1" = yes ] && echo Return || echo Escape)" "question-$1"; }

# Answers the file dialog titled TITLE with NAME (Escape when NAME is empty);
# a screenshot of the dialog is kept.
rig_choose_file() {
    local title=$1 name=$2
    rig_wait_window "^$title\$"
    local dialog=$RIG_WINDOW
    # A click that opened it may raise the main window over it afterwards.
    xdotool windowraise "$dialog"
    rig_shot "$dialog" "dialog-$(echo "$title" | tr ' ' '-')" >/dev/null
    read -r dx dy dw dh <<<"$(rig_geometry "$dialog")"
    xdotool mousemove $((dx + dw / 2)) $((dy + dh / 2))
    # Its answer to a ping shows that it takes events.
    "$PING" "$dialog" 10 >/dev/null
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
        # Ctrl+L opens the location field. Keys sent before the dialog
        # listens are lost, and the paste may land after the Return; so the
        # keys go again while the dialog stays, but only to a dialog that
        # still answers a ping and shows after it: keys sent after it closed
        # would go to the window below.
        _dialog_took_name() {
            local i
            for i in $(seq 40); do
                _rig_window_gone "^$title\$" && return 0
                sleep 0.05
            done
            "$PING" "$dialog" 5 >/dev/null && ! _rig_window_gone "^$title\$" &&
                xdotool windowraise "$dialog" key ctrl+l ctrl+a ctrl+v Return
            return 1
        }
        xdotool windowraise "$dialog" key ctrl+l ctrl+a ctrl+v Return
        rig_poll "the dialog to take the name" _dialog_took_name
        kill "$clip" 2>/dev/null
        wait "$clip" 2>/dev/null
    fi
    rig_wait_window_gone "^$title\$"
}

# Open (Ctrl+O over the main window W) answered with FILE.
rig_open() { rig_command ctrl+o && rig_choose_file "Open fence diagram" "$1"; }

# Answers the image-size dialog: the slider moved to N (it starts at 1) and
# OK, or Cancel for 0.
rig_answer_size() {
    rig_wait_window '^Image size$'
    local dialog=$RIG_WINDOW i
    [ "$1" -eq 0 ] && { rig_click "$dialog" 137 79; return; }
    # A press on the knob gives the slider the keyboard without moving it.
    rig_click "$dialog" 50 31
    for ((i = 1; i < $1; i++)); do xdotool key --window "$dialog" Right; done
    rig_shot "$dialog" "export-size-$1" >/dev/null
    rig_click "$dialog" 67 79
}

# A stand-in "convert" in $RIG_DIR/gated that waits until the file $GATE
# exists, then runs the real tool: put $GATED first on PATH to hold an export
# in the middle; touch "$GATE" to let it go on.
rig_gated_convert() {
    GATED=$RIG_DIR/gated GATE=$RIG_DIR/gate
    mkdir -p "$GATED"
    printf '#!/bin/bash\nuntil [ -e "%s" ]; do sleep 0.05; done\nexec "%s" "$@"\n' "$GATE" "$(command -v convert)" >"$GATED/convert"
    chmod +x "$GATED/convert"
}

# WW x WH of the main window W and VW x VH of its view (rows a multiple of 4).
rig_view_size() {
    read -r _ _ WW WH <<<"$(rig_geometry "$W")"
    VW=$((WW - WW % 4)) VH=$((WH - 67))
}
rig_expect_size() { [ "$(identify -format '%wx%h' "$1")" = "$2" ] || rig_fail "$1 is $(identify -format '%wx%h' "$1"), want $2"; }
rig_expect_no_temp() { [ -z "$(ls -A "$TMPDIR")" ] || rig_fail "temporary files left: $(ls -A "$TMPDIR")"; }

# Waits until the crop WxH+X+Y of screenshots of W equals the clipboard's bitmap.
_rig_view_is_clip() {
    convert "$2" -crop "$1" +repage "$RIG_DIR/view.png" &&
        [ "$(compare -metric AE "$RIG_DIR/clip.bmp" "$RIG_DIR/view.png" null: 2>&1)" = "0" ]
}
rig_wait_clip_is_view() {
    xclip -selection clipboard -t image/bmp -o >"$RIG_DIR/clip.bmp"
    rig_shot_until "$W" "$2" _rig_view_is_clip "$1"
}

# Waits until the view of W shows more than a blank background.
_rig_drawn() { [ "$(rig_colour_count "$1" 400x300+250+150)" -gt 20 ]; }
rig_wait_drawn() { rig_shot_until "$W" "$1" _rig_drawn; }

# Captures a window as PNG into RIG_SHOTS/NAME.png and echoes the path.
rig_shot() {
    mkdir -p "$RIG_SHOTS" && import -silent -window "$1" "png:$RIG_SHOTS/$2.png" || rig_fail "screenshot $2"
    echo "$RIG_SHOTS/$2.png"
}

# Takes screenshots of WINDOW as NAME until CHECK (a command given the PNG's
# path) succeeds; the passing PNG's path is left in RIG_SHOT. What a program
# drew reaches the X server some time after it says so. Not for $(...): a
# failure must end the test itself.
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
    local a=($1) b=($2) i d
    for i in 0 1 2; do
        d=$((a[i] - b[i])) && [ ${d#-} -le "$3" ] || return 1
    done
}
rig_expect_colour() { rig_colour_near "$2" "$3" "${4:-1}" || rig_fail "$1: got ($2), want ($3) within ${4:-1}"; }
# rig_wait_colour WHAT WINDOW NAME X Y "R G B" [TOL]: screenshots of WINDOW
# until pixel (X, Y) is near the colour. A window uncovered a moment ago shows
# what covered it until it has drawn again.
rig_wait_colour() {
    local what=$1 window=$2 name=$3 x=$4 y=$5 want=$6 within=${7:-1}
    _rig_pixel_near() { rig_colour_near "$(rig_pixel "$1" "$x" "$y")" "$want" "$within"; }
    rig_poll "$what: ($want) within $within at $x,$y of $name" _rig_shot_passes_colour
}
_rig_shot_passes_colour() { RIG_SHOT=$(rig_shot "$window" "$name") && _rig_pixel_near "$RIG_SHOT"; }

# Number of distinct colours in a rectangle WxH+X+Y of a PNG.
rig_colour_count() { convert "$1" -crop "$2" +repage -unique-colors txt:- | grep -c '^[0-9]'; }

# Window-relative pointer moves, buttons and keys.
rig_move() { xdotool mousemove --window "$1" "$2" "$3"; }
rig_click() { rig_move "$1" "$2" "$3" && xdotool click 1; }
rig_down() { xdotool mousedown "$1"; }
rig_up() { xdotool mouseup "$1"; }
rig_key() { xdotool key --window "$1" "$2"; }
# rig_keys X Y KEY...: keys go to the window under the pointer (there is no
# window manager), so the pointer is put over W at X Y first.
rig_keys() { rig_move "$W" "$1" "$2" && shift 2 && xdotool key "$@"; }
# A tool button of the main window W: save, export or copy, once W takes
# commands; "rig_tool NAME now" clicks at once, to see a command refused.
rig_tool() {
    local -A x=([save]=40 [export]=76 [copy]=125)
    [ "${2:-}" = now ] || rig_wait_ready
    rig_click "$W" $((x[$1] + 16)) $((29 + 16))
}

# rig_traced PATTERN COMMAND...: runs the command and waits for one more line
# matching PATTERN in the view's trace of the input it acted on (MORVEX_TRACE,
# set before the program starts); the line is left in RIG_TRACED.
_rig_trace_count() {
    local n
    n=$(grep -cE -- "$1" "$MORVEX_TRACE" 2>/dev/null)
    echo "${n:-0}"
}
_rig_trace_more() { [ "$(_rig_trace_count "$1")" -gt "$2" ]; }
rig_traced() {
    local pattern=$1 n
    shift
    n=$(_rig_trace_count "$pattern")
    "$@"
    rig_poll "trace /$pattern/" _rig_trace_more "$pattern" "$n"
    RIG_TRACED=$(grep -E -- "$pattern" "$MORVEX_TRACE" | tail -n 1)
}

# rig_drag BUTTON X0 Y0 X1 Y1 [KEY [STEPS]]: a drag over W from window pixel
# (X0, Y0) to (X1, Y1) in STEPS (4) moves with KEY held. Each event is sent
# once the view has traced the one before: the toolkit merges motions queued
# behind a press and drops those still queued at the release. The press's
# and the release's trace lines are left in RIG_PUSHED and RIG_TRACED.
rig_drag() {
    local button=$1 x0=$2 y0=$3 x1=$4 y1=$5 key=${6:-} steps=${7:-4} i x y
    rig_move "$W" "$x0" "$y0"
    [ -n "$key" ] && xdotool keydown "$key"
    rig_traced "^push $button at $x0,$((y0 - TOP)) " rig_down "$button"
    RIG_PUSHED=$RIG_TRACED
    for ((i = 1; i <= steps; i++)); do
        x=$((x0 + (x1 - x0) * i / steps)) y=$((y0 + (y1 - y0) * i / steps))
        rig_traced "^drag at $x,$((y - TOP)) " rig_move "$W" "$x" "$y"
    done
    rig_traced "^release at $x1,$((y1 - TOP)) " rig_up "$button"
    [ -n "$key" ] && xdotool keyup "$key"
    return 0
}

# Waits until Morvex's main window W takes commands: a copy or an export
# greys them out and logs its end before they come back, and a click or key
# that arrives meanwhile is lost. The program answers a ping from its event
# loop, which draws first, so a screenshot taken after the answer shows the
# menu titles as they are: black once the commands are back.
_rig_ready() {
    "$PING" "$W" 10 >/dev/null && import -silent -window "$W" "png:$RIG_DIR/ready.png" &&
        [ "$(dlg_dark_count "$RIG_DIR/ready.png" 220x20+0+2)" -gt 50 ]
}
rig_wait_ready() { rig_poll "the commands to be taken" _rig_ready; }
# rig_command KEY...: keys over W once it takes commands.
rig_command() { rig_wait_ready && rig_keys 100 600 "$@"; }

# rig_file_menu KEY...: the File menu, then each key once the menu it goes
# to has shown (the last one chooses).
_rig_windows() { xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null | wc -l; }
_rig_more_windows() { [ "$(_rig_windows)" -gt "$1" ]; }
rig_file_menu() {
    local n
    n=$(_rig_windows)
    rig_command alt+f
    rig_poll "the File menu" _rig_more_windows "$n"
    while [ $# -gt 1 ]; do
        n=$(_rig_windows)
        xdotool key "$1"
        shift
        rig_poll "the next menu" _rig_more_windows "$n"
    done
    xdotool key "$1"
}

# Dialog helpers. Without a window manager a click in the main window raises
# it over the dialogs; every helper raises the window it looks at first.
dlg_raise() { xdotool windowraise "$1"; }
dlg_shot() { dlg_raise "$1" && rig_shot "$1" "$2"; }
dlg_click() { dlg_raise "$1" && rig_click "$1" "$2" "$3"; }

# dlg_copy_example NAME [nolegend]: NAME.fnc in RIG_DIR/diagram beside a link
# to the example's images; echoes its path. nolegend leaves out the legend.
dlg_copy_example() {
    local dir=$RIG_DIR/diagram
    mkdir -p "$dir"
    [ -e "$dir/images" ] || ln -s "$EXAMPLE_DIR/images" "$dir/images"
    head -n "$([ "${2:-}" = nolegend ] && echo -4 || echo -0)" "$EXAMPLE_DIR/example.fnc" >"$dir/$1.fnc"
    echo "$dir/$1.fnc"
}

# Number of near-black pixels (labels of active widgets; greyed-out ones are
# lighter) in the crop WxH+X+Y of a PNG.
dlg_dark_count() {
    convert "$1" -crop "$2" +repage -colorspace Gray -fx 'u < 0.25 ? 1 : 0' \
        -format '%[fx:round(mean * w * h)]' info:
}

# Number of pixels in which two PNGs (or the same crop of both) differ.
dlg_difference() {
    convert "$1" -crop "${3:-100%}" +repage "$RIG_DIR/diff-a.png"
    convert "$2" -crop "${3:-100%}" +repage "$RIG_DIR/diff-b.png"
    compare -metric AE "$RIG_DIR/diff-a.png" "$RIG_DIR/diff-b.png" null: 2>&1 | awk '{ printf "%d\n", $1 }'
}

# dlg_wait_picture WINDOW NAME REFERENCE differs|equals [CROP]: screenshots
# NAME.png of WINDOW until the crop differs from (or equals) the reference;
# dlg_wait_dark WINDOW NAME CROP more|none: until the crop holds near-black
# pixels (more) or none. Both echo the path of the last screenshot.
_dlg_shot_count() {
    DLG_SHOT=$(dlg_shot "$2" "$3") || return 1
    local n
    n=$("$1" "$DLG_SHOT" "${@:4:2}")
    if [ "$6" = differs ] || [ "$6" = more ]; then [ "$n" -gt 0 ]; else [ "$n" -eq 0 ]; fi
}
dlg_wait_picture() {
    rig_poll "$2: picture $4 ${3##*/}" _dlg_shot_count dlg_difference "$1" "$2" "$3" "${5:-}" "$4" >&2
    echo "$DLG_SHOT"
}
dlg_wait_dark() {
    rig_poll "$2: dark pixels $4 in $3" _dlg_shot_count dlg_dark_count "$1" "$2" "$3" "" "$4" >&2
    echo "$DLG_SHOT"
}

# dlg_read_field WINDOW X Y: the text of the input field at X Y, copied to
# the clipboard by the field itself.
_dlg_clipboard_changed() {
    DLG_TEXT=$(xclip -o -selection clipboard 2>/dev/null)
    [ -n "$DLG_TEXT" ] && [ "$DLG_TEXT" != "$DLG_SENTINEL" ]
}
_dlg_copy() {
    local i
    xdotool key ctrl+a ctrl+c
    for i in $(seq 10); do
        _dlg_clipboard_changed && return 0
        sleep 0.05
    done
    return 1
}
dlg_read_field() {
    DLG_SENTINEL="sentinel-$RANDOM"
    printf %s "$DLG_SENTINEL" | xclip -selection clipboard
    dlg_click "$1" "$2" "$3"
    rig_poll "the field at $2 $3 to copy its text" _dlg_copy
    echo "$DLG_TEXT"
}

# dlg_type_field WINDOW X Y TEXT: replaces the field's text, key by key, and
# presses Enter, which hands it to the program.
dlg_type_field() {
    dlg_click "$1" "$2" "$3"
    xdotool key ctrl+a BackSpace type --delay 20 -- "$4"
    xdotool key Return
}

# Runs a command under the rig's Xvfb and returns its status (for test
# programs that need a display but no driving).
if [ "${1:-}" = "--run" ]; then
    shift
    rig_start_xvfb
    "$@"
fi
