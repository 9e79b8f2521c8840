#!/bin/bash
# The engine's figures beside two references on the same disc.
#
#   bench/engine-bench.sh [build dir] [runs]
#
# 1. engine_playback_bench (first picture, chapter skip, scanning, status refresh, CPU while
#    playing 20 s, peak RSS); see its header.
# 2. ffmpeg -benchmark decoding all the title VOBs of the disc (audio and video, no output):
#    CPU seconds per second of content, i.e. the bare decoding cost of real-time playback.
# 3. gst-play-1.0 playing the same title VOB to clocked fakesinks (decodebin, no DVD navigation,
#    no conversion of the pictures): utime + stime from /proc over 20 s.
# Runs headless (offscreen Qt, fakesinks). Needs ffmpeg, bc and gst-play-1.0
# (gstreamer1.0-plugins-base-apps).
set -euo pipefail

build=${1:-build}
runs=${2:-7}
disc="$build/testdisc/VIDEO_TS"
bench="$build/bench/engine_playback_bench"
if [[ ! -x "$bench" || ! -f "$disc/VTS_01_1.VOB" ]]; then
    echo "build the engine_playback_bench and testdisc targets in $build first" >&2
    exit 2
fi
ticks=$(getconf CLK_TCK)

echo "== engine (GstEngine, appsink -> QImage, painted into 640x480)"
# libdvdread prints its banners to standard output.
QT_QPA_PLATFORM=offscreen "$bench" "$runs" "$build/testdisc" 2>/dev/null | grep -E '^(play|chapter|scan|status|CPU|peak)' 

echo "== ffmpeg -benchmark, decoding $disc/VTS_01_*.VOB"
frames=0
cpu=0
for vob in "$disc"/VTS_01_[1-9].VOB; do
    # The titles restart their timestamps, so the content is counted in frames (25 a second).
    out=$(ffmpeg -hide_banner -nostdin -benchmark -i "$vob" -map 0:v -map 0:a -f null - 2>&1)
    n=$(grep -o 'frame= *[0-9]*' <<<"$out" | tail -1 | grep -o '[0-9]*$')
    utime=$(grep -o 'utime=[0-9.]*' <<<"$out" | tail -1 | cut -d= -f2)
    stime=$(grep -o 'stime=[0-9.]*' <<<"$out" | tail -1 | cut -d= -f2)
    frames=$((frames + n))
    cpu=$(echo "$cpu + $utime + $stime" | bc -l)
done
content=$(echo "$frames / 25" | bc -l)
printf 'decoding %.1f s of content took %.2f s of CPU: %.1f %% of one core in real time\n' \
    "$content" "$cpu" "$(echo "100 * $cpu / $content" | bc -l)"

echo "== gst-play-1.0 on $disc/VTS_01_1.VOB, 20 s"
gst-play-1.0 -q --no-interactive --videosink="fakesink sync=true" --audiosink="fakesink sync=true" \
    "$disc/VTS_01_1.VOB" >/dev/null 2>&1 &
pid=$!
sleep 1
read -r -a before < "/proc/$pid/stat"
sleep 20
read -r -a after < "/proc/$pid/stat"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
used=$(( (after[13] + after[14]) - (before[13] + before[14]) ))
printf 'CPU while playing 20 s: %.1f %% of one core\n' "$(echo "100 * $used / $ticks / 20" | bc -l)"
