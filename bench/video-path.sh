#!/bin/sh
# Ways of putting the DVD picture on screen, under Xvfb (software rendering), same disc, CPU in
# percent of one core over SECONDS of title 1:
#   - ximagesink: an overlay on a native X window, unscaled, then scaled to the video area's
#     height at 4:3 in software;
#   - glimagesink: an OpenGL overlay (software OpenGL here);
#   - the program: pictures from an appsink painted by the video widget (757 x 481).
# Usage: bench/video-path.sh [build dir] [seconds]
# Needs gstreamer1.0-x and gstreamer1.0-gl for the two overlay sinks.
set -eu
BUILD=$(readlink -f "${1:-build}")
SECONDS_=${2:-15}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
. "$(dirname "$0")/program-copy.sh"
copy_program "$BUILD/quorvel" "$WORK" 0 "$BUILD/testdisc"

cat > "$WORK/measure.sh" <<'INNER'
#!/bin/sh
set -eu
WORK=$1; BUILD=$2; SECS=$3
HZ=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }
measure() { # pid label
    a=$(cpu "$1"); sleep "$SECS"; b=$(cpu "$1")
    echo "$2: $(echo "scale=1; ($b - $a) * 100 / $HZ / $SECS" | bc) % of one core"
}
VOB="$BUILD/testdisc/VIDEO_TS/VTS_01_1.VOB"
for sink in ximagesink "videoscale ! video/x-raw,width=641,height=481 ! ximagesink" glimagesink; do
    gst-launch-1.0 -q playbin uri="file://$VOB" video-sink="$sink" audio-sink="fakesink sync=true" >/dev/null 2>&1 &
    pid=$!
    sleep 1
    measure "$pid" "$sink overlay"
    kill "$pid"; wait "$pid" 2>/dev/null || true
done
"$WORK/quorvel" >/dev/null 2>&1 &
pid=$!
sleep 2
# Play on the panel, then "Play title 1" in the disc's root menu (default window places).
xdotool mousemove 629 615 click 1; sleep 1.5
xdotool mousemove 505 260 click 1; sleep 1
measure "$pid" "the program (appsink -> widget)"
kill "$pid"; wait "$pid" 2>/dev/null || true
INNER
chmod +x "$WORK/measure.sh"
xvfb-run -a -s "-screen 0 1280x1024x24" "$WORK/measure.sh" "$WORK" "$BUILD" "$SECONDS_"
