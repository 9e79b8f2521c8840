#!/bin/sh
# A press on a window makes it the active window first, with or without a window manager: the
# panel's menu ovals open their pop-ups on the first click after a click in the video or a
# message box, and a right-click on the screen window opens its menu after a click on the panel.
#   click-activation.sh PROGRAM DISC openbox|none
if [ -z "${QUORVEL_OWN_DISPLAY:-}" ]; then
    QUORVEL_OWN_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" sh "$0" "$@"
fi
. "$(dirname "$0")/desktop-lib.sh"

WM=$3
[ "$WM" = openbox ] && start_openbox
start_program

# Points of the windows, in their own pixels.
PLAY="376 48"
MENU="24 88"
MARK="64 87"
ANGLE="104 88"
PANEL_BARE="300 10"
VIDEO="300 200"

click_at() {
    window=$1 button=$2
    set -- $(on_screen "$window" $3 $4)
    xdotool mousemove "$1" "$2" click "$button"
    POINTER="$1 $2"
}

expect_popup() {
    eventually popup_open_at $POINTER || fail "$1: no pop-up menu opened at $POINTER"
    xdotool key Escape
    eventually no_popup_open || fail "$1: the pop-up menu did not close"
}

# The ovals answer only while a disc plays.
click_at "$PANEL" 1 $PLAY

click_at "$SCREEN" 1 $VIDEO
click_at "$PANEL" 1 $MENU
expect_popup "the disc-menu oval after a click in the video"

click_at "$SCREEN" 1 200 10
click_at "$PANEL" 1 $MARK
expect_popup "the bookmark oval after a click on the screen window's frame"

# The test disc has one angle: the angle oval says so in a message box.
click_at "$PANEL" 1 $ANGLE
eventually message_box >/dev/null || fail "the angle oval showed no message"
BOX=$(message_box)
# A click on the box's text makes sure the key goes to the box, wherever it was placed.
set -- $(on_screen "$BOX" 20 20)
xdotool mousemove "$1" "$2" click 1 key Return
eventually no_message_box || fail "the message box did not close"
click_at "$PANEL" 1 $MENU
expect_popup "the disc-menu oval after a message box"

click_at "$PANEL" 1 $PANEL_BARE
click_at "$SCREEN" 3 $VIDEO
expect_popup "a right-click on the screen window after a click on the panel"
echo "click-activation ($WM): ok"
