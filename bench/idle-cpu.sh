#!/bin/bash
# Idle CPU of the running program, and how long the screen window's notice and hint stay on screen.
#
#   bench/idle-cpu.sh [path/to/quorvel] [seconds]
#
# Runs a copy of the program in a temporary folder (with a settings file of its own) on a virtual
# X display (xvfb-run, 1280x1024x24, started by the script when needed), with both windows up and
# nothing playing. Needs Xvfb, xdotool and ImageMagick.
#
# 1. Notice: the settings file stores screen=2, so start-up posts "NORMAL" in the right-hand text.
#    The text's rectangle is sampled from the screen (about every 80 ms) until it goes blank.
# 2. Hint: the pointer moves over the exit picture and then onto the video area, which keeps the
#    hover picture and posts nothing; the left-hand text is sampled until it goes blank.
# 3. CPU: with the pointer parked over the video area, utime + stime of the process from
#    /proc/<pid>/stat over the given seconds (30 by default), as percent of one core.
set -euo pipefail

binary=${1:-}
seconds=${2:-30}
if [[ -z "$binary" ]]; then
    for guess in build/quorvel ../build/quorvel; do
        [[ -x "$guess" ]] && binary=$guess && break
    done
fi
if [[ -z "$binary" || ! -x "$binary" ]]; then
    echo "usage: $0 path/to/quorvel [seconds]" >&2
    exit 2
fi
binary=$(readlink -f "$binary")

if [[ -z "${QUORVEL_BENCH_UNDER_X:-}" ]]; then
    exec env QUORVEL_BENCH_UNDER_X=1 xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$binary" "$seconds"
fi

for tool in xdotool import convert bc; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 2; }
done

work=$(mktemp -d)
pid=
cleanup() {
    [[ -n "$pid" ]] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The program reads and writes quorvel2.ini beside itself.
. "$(dirname "$0")/program-copy.sh"
copy_program "$binary" "$work" 2 ""

# Normal size at 96 dpi (15 twips a pixel): the window at (123, 47); Text1 at (467, 32) 233 x 25,
# Text2 at (32, 32) 353 x 25, the exit picture at (720, 8) 32 x 16, the video area at (4, 24).
scr_x=123
scr_y=47
text1="233x25+$((scr_x + 467))+$((scr_y + 32))"
text2="353x25+$((scr_x + 32))+$((scr_y + 32))"

now() { date +%s.%N; }
# 1 when the rectangle holds green text, else 0.
lit() {
    import -silent -window root -crop "$1" png:- 2>/dev/null |
        convert png:- -format '%[fx:maxima.g > 0.5 ? 1 : 0]' info: 2>/dev/null || echo 0
}
# Samples a rectangle until its text has come and gone; prints the times of the first and the
# last sample showing it and of the first one without it.
watch_text() {
    local rect=$1 limit=$2 first= last= t end
    end=$(echo "$(now) + $limit" | bc -l)
    while (($(echo "$(now) < $end" | bc -l))); do
        t=$(now)
        if [[ $(lit "$rect") == 1 ]]; then
            [[ -z "$first" ]] && first=$t
            last=$t
        elif [[ -n "$first" ]]; then
            echo "$first $last $t"
            return 0
        fi
    done
    echo "${first:-none} ${last:-none} none"
}
seconds_between() { echo "scale=3; ($2 - $1) / 1" | bc -l; }

cd "$work"
launched=$(now)
./quorvel >"$work/out.log" 2>&1 &
pid=$!

read -r first last gone < <(watch_text "$text1" 10)
if [[ "$gone" == none ]]; then
    echo "notice: not seen coming and going (first seen: $first)" >&2
    exit 1
fi
echo "notice \"NORMAL\": on screen between $(seconds_between "$first" "$last") and $(seconds_between "$first" "$gone") s" \
     "(first seen $(seconds_between "$launched" "$first") s after launch, gone $(seconds_between "$launched" "$gone") s after launch)"

xdotool mousemove $((scr_x + 736)) $((scr_y + 16))
sleep 0.1
xdotool mousemove $((scr_x + 736)) $((scr_y + 16 + 1))
xdotool mousemove $((scr_x + 400)) $((scr_y + 300))
last_move=$(now)
read -r first last gone < <(watch_text "$text2" 3)
if [[ "$gone" == none ]]; then
    echo "hint: not seen coming and going (first seen: $first)" >&2
    exit 1
fi
echo "hint \"Quorvelを終了する\": gone between $(seconds_between "$last_move" "$last") and $(seconds_between "$last_move" "$gone") s after the last move over the exit picture"

sleep 2
ticks=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
start_cpu=$(cpu)
start=$(now)
sleep "$seconds"
end_cpu=$(cpu)
end=$(now)
kill -0 "$pid" 2>/dev/null || { echo "the program ended during the measurement" >&2; exit 1; }
echo "idle CPU: $(echo "scale=2; 100 * ($end_cpu - $start_cpu) / $ticks / ($end - $start)" | bc -l) % of one core over $(seconds_between "$start" "$end") s ($((end_cpu - start_cpu)) ticks of 1/$ticks s)"
