#!/bin/bash
# Helpers of the dialog GUI tests, sourced after rig.sh: a private copy of the
# example diagram, reading a dialog field through the clipboard, waiting for a
# window picture to change, and counting dark pixels (labels of active
# widgets are near black; greyed-out ones are not).

EXAMPLE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../data/examples" && pwd)

# dlg_copy_example NAME [nolegend]: NAME.fnc in RIG_DIR/diagram beside a link
# to the example's images; echoes its path. nolegend leaves out the legend.
dlg_copy_example() {
    local dir=$RIG_DIR/diagram
    mkdir -p "$dir"
    [ -e "$dir/images" ] || ln -s "$EXAMPLE_DIR/images" "$dir/images"
    if [ "${2:-}" = nolegend ]; then
        head -n -4 "$EXAMPLE_DIR/example.fnc" >"$dir/$1.fnc"
    else
        cp "$EXAMPLE_DIR/example.fnc" "$dir/$1.fnc"
    fi
    echo "$dir/$1.fnc"
}

# Number of near-black pixels in the crop WxH+X+Y of a PNG.
dlg_dark_count() {
    convert "$1" -crop "$2" +repage -colorspace Gray -fx 'u < 0.25 ? 1 : 0' \
        -format '%[fx:round(mean * w * h)]' info:
}

# Number of pixels in which two PNGs (or the same crop of both) differ.
dlg_difference() {
    local a=$1 b=$2 crop=${3:-}
    if [ -n "$crop" ]; then
        convert "$a" -crop "$crop" +repage "$RIG_DIR/diff-a.png"
        convert "$b" -crop "$crop" +repage "$RIG_DIR/diff-b.png"
        a=$RIG_DIR/diff-a.png
        b=$RIG_DIR/diff-b.png
    fi
    compare -metric AE "$a" "$b" null: 2>&1 | awk '{ printf "%d\n", $1 }'
}

# Without a window manager a click in the main window raises it over the
# dialogs; every helper raises the window it looks at or clicks into first.
dlg_raise() {
    xdotool windowraise "$1"
}

# dlg_wait_picture WINDOW NAME REFERENCE differs|equals [CROP]: takes
# screenshots NAME.png of WINDOW until the crop differs from (or equals) the
# reference PNG; echoes the path of the last one.
_dlg_picture_ready() {
    dlg_raise "$1"
    DLG_SHOT=$(rig_shot "$1" "$2")
    local n
    n=$(dlg_difference "$DLG_SHOT" "$3" "${5:-}")
    if [ "$4" = differs ]; then [ "$n" -gt 0 ]; else [ "$n" -eq 0 ]; fi
}
dlg_wait_picture() {
    rig_poll "$2: picture $4 ${3##*/}" _dlg_picture_ready "$@" >&2
    echo "$DLG_SHOT"
}

# dlg_wait_dark WINDOW NAME CROP more|none: screenshots until the crop holds
# near-black pixels (more) or none; echoes the last screenshot.
_dlg_dark_ready() {
    dlg_raise "$1"
    DLG_SHOT=$(rig_shot "$1" "$2")
    local n
    n=$(dlg_dark_count "$DLG_SHOT" "$3")
    if [ "$4" = more ]; then [ "$n" -gt 0 ]; else [ "$n" -eq 0 ]; fi
}
dlg_wait_dark() {
    rig_poll "$2: dark pixels $4 in $3" _dlg_dark_ready "$@" >&2
    echo "$DLG_SHOT"
}

# dlg_click WINDOW X Y: a left click at window coordinates.
# dlg_shot WINDOW NAME: rig_shot of the raised window.
dlg_shot() {
    dlg_raise "$1"
    rig_shot "$1" "$2"
}

dlg_click() {
    dlg_raise "$1"
    rig_move "$1" "$2" "$3"
    xdotool click 1
}

# dlg_read_field WINDOW X Y: the text of the input field at X Y, copied to
# the clipboard by the field itself.
_dlg_clipboard_changed() {
    DLG_TEXT=$(xclip -o -selection clipboard 2>/dev/null)
    [ -n "$DLG_TEXT" ] && [ "$DLG_TEXT" != "$DLG_SENTINEL" ]
}
dlg_read_field() {
    DLG_SENTINEL="sentinel-$RANDOM"
    printf %s "$DLG_SENTINEL" | xclip -selection clipboard
    dlg_click "$1" "$2" "$3"
    _dlg_copy() {
        xdotool key ctrl+a ctrl+c
        local i
        for i in $(seq 10); do
            _dlg_clipboard_changed && return 0
            sleep 0.05
        done
        return 1
    }
    rig_poll "the field at $2 $3 to copy its text" _dlg_copy
    echo "$DLG_TEXT"
}

# dlg_type_field WINDOW X Y TEXT: replaces the field's text, key by key.
dlg_type_field() {
    dlg_click "$1" "$2" "$3"
    xdotool key ctrl+a BackSpace
    xdotool type --delay 20 "$4"
}

# Succeeds when two numbers agree to a relative 1e-9.
dlg_same_number() {
    awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; if (d < 0) d = -d; m = (a < 0 ? -a : a); exit !(d <= 1e-9 * (m > 1 ? m : 1)) }'
}
