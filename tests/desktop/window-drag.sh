#!/bin/sh
# Dragging the bare surface of either window with the left button moves it by exactly the
# pointer's motion, the first motion included, and the move ends with the release; the right
# button, or left and right together, never move it.
#   window-drag.sh PROGRAM DISC openbox|none
if [ -z "${QUORVEL_OWN_DISPLAY:-}" ]; then
    QUORVEL_OWN_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" sh "$0" "$@"
fi
. "$(dirname "$0")/desktop-lib.sh"

WM=$3
[ "$WM" = openbox ] && start_openbox
start_program

# Presses at a point of the window's bare surface, moves by each DX DY in turn (from the press
# point) and releases; then the pointer goes on without a button.
drag() {
    window=$1 button=$2 x=$3 y=$4
    shift 4
    set -- "$@"
    start=$(on_screen "$window" "$x" "$y")
    sx=${start% *} sy=${start#* }
    xdotool mousemove "$sx" "$sy"
    for b in $button; do xdotool mousedown "$b"; done
    while [ $# -ge 2 ]; do
        xdotool mousemove "$((sx + $1))" "$((sy + $2))"
        shift 2
    done
    for b in $button; do xdotool mouseup "$b"; done
    xdotool mousemove_relative -- 37 23
}

expect_at() {
    eventually window_is_at "$1" "$2" "$3" || fail "$4: window at $(window_position "$1"), not at $2 $3"
}

# The screen window's top band and the strip above the panel's read-out are bare surface.
# The panel first: the screen window, moved down, would cover the panel's top.
for target in "PANEL 300 10" "SCREEN 200 10"; do
    set -- $target
    name=$1 x=$2 y=$3
    eval window=\$$name
    set -- $(window_position "$window")
    x0=$1 y0=$2

    # Several motions, then the pointer moving on after the release.
    drag "$window" 1 "$x" "$y" 15 9 40 25 100 60
    # A second drag shows where the first one really ended: had the window gone on following
    # the pointer, or missed the first motion, it could not end here.
    drag "$window" 1 "$x" "$y" -30 20
    expect_at "$window" $((x0 + 70)) $((y0 + 80)) "$name after two left drags"

    # A single motion is a whole drag as well.
    drag "$window" 1 "$x" "$y" 12 -8
    expect_at "$window" $((x0 + 82)) $((y0 + 72)) "$name after a one-motion drag"
done

# The right button alone, and left with right, leave the panel where it is; the left drag after
# them shows that nothing moved in between. (On the screen window the right button opens its menu.)
set -- $(window_position "$PANEL")
x0=$1 y0=$2
drag "$PANEL" 3 300 10 40 25 80 50
drag "$PANEL" "1 3" 300 10 40 25 80 50
drag "$PANEL" "3 1" 300 10 40 25 80 50
drag "$PANEL" 1 300 10 5 5
expect_at "$PANEL" $((x0 + 5)) $((y0 + 5)) "panel after right and left+right drags"
echo "window-drag ($WM): ok"
