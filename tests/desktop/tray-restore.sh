#!/bin/sh
# The notification-area icon under a real tray host: with both windows minimized, a click on the
# icon brings back the panel and then the screen window, each shown normally, the screen window
# in front. With no tray host the program runs without the icon and says so once.
#   tray-restore.sh PROGRAM DISC
if [ -z "${QUORVEL_OWN_DISPLAY:-}" ]; then
    QUORVEL_OWN_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" sh "$0" "$@"
fi
. "$(dirname "$0")/desktop-lib.sh"

start_openbox

# No tray host yet: no icon, one line about it, and the program goes on.
start_program
[ "$(grep -c 'no notification area' "$WORK/stderr")" -eq 1 ] || fail "the missing tray was not reported exactly once"
stop_program

start_helper trayer --edge top --align right --widthtype pixel --width 64 --heighttype pixel --height 32 \
    --SetDockType true --transparent false
eventually sh -c 'xdotool search --class trayer >/dev/null' || fail "trayer did not start"
start_program
eventually tray_icon >/dev/null || fail "the icon did not appear in the tray"
ICON=$(tray_icon)
grep -q 'no notification area' "$WORK/stderr" && fail "the tray was there, yet reported missing"

for w in "$PANEL" "$SCREEN"; do
    xdotool windowminimize "$w"
    eventually is_minimized "$w" || fail "window $w did not minimize"
done

# Pressing on the icon alone does nothing; the release does it.
set -- $(on_screen "$ICON" 8 8)
xdotool mousemove "$1" "$2" mousedown 1
xdotool mousemove "$1" "$(($2 + 1))"
is_minimized "$PANEL" && is_minimized "$SCREEN" || fail "a press on the icon changed the windows"
xdotool mouseup 1

eventually is_shown_normally "$PANEL" || fail "the panel is still minimized after the click"
eventually is_shown_normally "$SCREEN" || fail "the screen window is still minimized after the click"
eventually is_active "$SCREEN" || fail "the screen window, shown last, is not the active window"

# Again, with a double-click: the windows come back as they did.
for w in "$PANEL" "$SCREEN"; do
    xdotool windowminimize "$w"
    eventually is_minimized "$w" || fail "window $w did not minimize a second time"
done
xdotool mousemove "$1" "$2" click --repeat 2 --delay 60 1
eventually is_shown_normally "$PANEL" || fail "the panel did not come back a second time"
eventually is_shown_normally "$SCREEN" || fail "the screen window did not come back a second time"
echo "tray-restore: ok"
