#!/bin/sh
# Program start -> screen window shown, in ms, median of RUNS starts under Xvfb.
# Usage: bench/startup-time.sh [path/to/quorvel] [runs]
# Runs a copy of the program in a temporary folder with a valid settings file, so no prompt shows
# and the real build/quorvel2.ini is left alone.
set -eu
PROGRAM=$(readlink -f "${1:-build/quorvel}")
RUNS=${2:-9}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
. "$(dirname "$0")/program-copy.sh"
copy_program "$PROGRAM" "$WORK" 0 ""

cat > "$WORK/measure.sh" <<'INNER'
#!/bin/sh
set -eu
WORK=$1
RUNS=$2
i=0
while [ "$i" -lt "$RUNS" ]; do
    start=$(date +%s%N)
    "$WORK/quorvel" >/dev/null 2>&1 &
    pid=$!
    # The screen window is the first window of the program that gets mapped.
    until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
        sleep 0.002
    done
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    i=$((i + 1))
done
INNER
chmod +x "$WORK/measure.sh"
xvfb-run -a -s "-screen 0 1280x1024x24" "$WORK/measure.sh" "$WORK" "$RUNS" | sort -n > "$WORK/times"
echo "start -> screen window shown (ms), $RUNS runs: $(tr '\n' ' ' < "$WORK/times")"
echo "median: $(sed -n "$(( (RUNS + 1) / 2 ))p" "$WORK/times") ms"
