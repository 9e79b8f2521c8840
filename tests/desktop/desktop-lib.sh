# Sourced by the desktop tests: the program itself on an X server of its own, driven with xdotool
# as a user would drive it.
#   . desktop-lib.sh PROGRAM DISC   (the caller's "$@")
# The caller runs itself again under xvfb-run first (in_own_display "$0" "$@").
set -eu

PROGRAM=$(readlink -f "$1")
DISC=$2
WORK=$(mktemp -d)
PID=""
HELPERS=""

cleanup() {
    [ -n "$PID" ] && kill "$PID" 2>/dev/null || true
    for helper in $HELPERS; do kill "$helper" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$WORK/stderr" ]; then
        echo "--- the program's standard error:" >&2
        cat "$WORK/stderr" >&2
    fi
    exit 1
}

# Runs the condition again and again for up to twenty seconds; false when it never held.
eventually() {
    deadline=$(($(date +%s) + 20))
    until "$@"; do
        [ "$(date +%s)" -ge "$deadline" ] && return 1
        sleep 0.025
    done
}

# A window manager or tray host of the test's own, ended with the test.
start_helper() {
    "$@" >"$WORK/helper-$1.log" 2>&1 &
    HELPERS="$HELPERS $!"
}

start_openbox() {
    start_helper openbox --sm-disable
    eventually sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || fail "openbox did not start"
}

# A copy of the program in a folder of its own with a settings file of its own, so that no
# settings prompt shows. No session bus: the desktop services stay out of the way.
start_program() {
    cp "$PROGRAM" "$WORK/quorvel"
    printf '[quorvel]\nvolume=-5000\nbalance=0\nscreen=0\nmute=1\nspeed=3\nr_lbl=1\nl_lbl=1\ndir=%s\ndirsta=0\n' \
        "$DISC" > "$WORK/quorvel2.ini"
    DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK/no-bus" "$WORK/quorvel" >"$WORK/stdout" 2>"$WORK/stderr" &
    PID=$!
    eventually both_windows_shown || fail "the program's windows did not show"
    PANEL=$(panel_window)
    SCREEN=$(screen_window)
}

# The program's mapped windows: the panel is about 487 pixels wide, the screen window about 767;
# pop-up menus and the tray icon are others.
program_windows() {
    xdotool search --onlyvisible --pid "$PID" 2>/dev/null || true
}

window_width() {
    xwininfo -id "$1" 2>/dev/null | sed -n 's/^ *Width: *//p'
}

window_with_width() {
    for w in $(program_windows); do
        width=$(window_width "$w")
        if [ -n "$width" ] && [ "$width" -ge "$1" ] && [ "$width" -le "$2" ]; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

panel_window() { window_with_width 400 600; }
screen_window() { window_with_width 700 900; }
both_windows_shown() { panel_window >/dev/null && screen_window >/dev/null; }

# Top-left corner of a window on the screen: "X Y".
window_position() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}'
}

window_is_at() {
    [ "$(window_position "$1")" = "$2 $3" ]
}

is_minimized() {
    xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'
}

is_shown_normally() {
    xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Normal' \
        && xwininfo -id "$1" | grep -q 'Map State: IsViewable'
}

is_active() {
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]
}

# A pop-up menu of the program open with its top-left corner at the pointer (X Y).
popup_open_at() {
    for w in $(program_windows); do
        [ "$w" = "$PANEL" ] || [ "$w" = "$SCREEN" ] && continue
        if [ "$(window_position "$w")" = "$1 $2" ]; then
            return 0
        fi
    done
    return 1
}

no_popup_open() {
    for w in $(program_windows); do
        [ "$w" = "$PANEL" ] || [ "$w" = "$SCREEN" ] && continue
        width=$(window_width "$w")
        [ -n "$width" ] && [ "$width" -gt 64 ] && return 1
    done
    return 0
}

# A point of a window, in its own pixels, as a point on the screen: "X Y".
on_screen() {
    set -- "$1" "$2" "$3" $(window_position "$1")
    echo "$(($4 + $2)) $(($5 + $3))"
}

stop_program() {
    kill "$PID"
    wait "$PID" 2>/dev/null || true
    PID=""
}

# The program's icon window inside the tray host.
tray_icon() {
    for w in $(xdotool search --pid "$PID" 2>/dev/null); do
        width=$(window_width "$w")
        if [ -n "$width" ] && [ "$width" -le 64 ] && xwininfo -id "$w" | grep -q 'Map State: IsViewable'; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

# A window of the program that is neither main window, nor a menu, nor the tray icon: a message box.
message_box() {
    for w in $(program_windows); do
        [ "$w" = "$PANEL" ] || [ "$w" = "$SCREEN" ] && continue
        if xprop -id "$w" WM_TRANSIENT_FOR _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q 'DIALOG\|window id'; then
            echo "$w"
            return 0
        fi
    done
    return 1
}
no_message_box() { ! message_box >/dev/null; }
