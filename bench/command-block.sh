#!/bin/bash
# How long each playback command blocks the window thread, on every generated disc, then on the
# test disc behind a slow reader (every open and read of its files 200 ms late).
#
#   bench/command-block.sh BUILD [RUNS]
#
# BUILD is a build tree holding bench/command_block_bench, bench/slowread/libslowread.so and the
# generated discs (BUILD/testdisc, BUILD/corpus/*). BENCH_BUILD=DIR takes the two programs from
# another build tree of the same sources (the discs still from BUILD), so that a tree
# configured apart for the benchmarks needs no discs of its own. Each disc runs in a process of its own:
# the bench stops by itself when one command blocks longer than 30 s (300 s behind the slow
# reader, where it notes every call over 30 s and goes on) and says which, and `timeout` ends a
# process stuck anywhere else. Cells are "call ms / longest 5 ms timer lateness
# in the 1.5 s after the call", the maximum over RUNS runs (default 3); see
# bench/command_block_bench.cpp. The exit status is non-zero when a command failed, a disc
# could not be driven or a process had to be stopped.
set -uo pipefail

build=${1:?usage: bench/command-block.sh BUILD [RUNS]}
runs=${2:-3}
programs=${BENCH_BUILD:-$build}
bench="$programs/bench/command_block_bench"
slowread="$programs/bench/slowread/libslowread.so"
if [[ ! -x "$bench" || ! -f "$slowread" ]]; then
    echo "build the command_block_bench and slowread targets in $programs first" >&2
    exit 2
fi
discs=()
for disc in "$build/testdisc" "$build"/corpus/*; do
    [[ -d "$disc/VIDEO_TS" ]] && discs+=("$disc")
done
if [[ ${#discs[@]} -eq 0 || ! -d "$build/testdisc/VIDEO_TS" ]]; then
    echo "no generated discs in $build (build the testdisc and testcorpus targets there)" >&2
    exit 2
fi

# The bench draws nothing on screen: the offscreen platform serves with or without a display.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
command_limit=30
work=$(mktemp -d "${TMPDIR:-/tmp}/command-block.XXXXXX")
status=0

# label limit-seconds tsv disc [environment...]: one disc in its own process; its output goes to
# the log beside the tsv.
run_disc() {
    local label=$1 limit=$2 tsv=$3 disc=$4
    shift 4
    local log="${tsv%.tsv}.log" started rc
    started=$SECONDS
    env "$@" timeout --kill-after=10 "$limit" "$bench" --runs "$runs" --command-limit "$command_limit" \
        --title-wait "$title_wait" --tsv "$tsv" "$disc" >"$log" 2>&1
    rc=$?
    if [[ $rc -eq 124 || $rc -eq 137 ]]; then
        printf '%s\t#note\tstopped by timeout after %d s, outside any single command (see %s)\n' \
            "$label" "$limit" "$log" >>"$tsv"
    elif [[ ! -s "$tsv" ]]; then
        printf '%s\t#note\tno figures: the bench exited with status %d (see %s)\n' "$label" "$rc" "$log" >>"$tsv"
    fi
    if [[ $rc -eq 0 ]]; then
        echo "  $label: done in $((SECONDS - started)) s"
    else
        # The bench's own complaints and the engine's reasons (it writes them to standard error).
        echo "  $label: exit status $rc after $((SECONDS - started)) s; from $log:"
        grep -E '^(command_block_bench|quorvel):' "$log" | tail -n 12 | sed 's/^/    /'
        status=1
    fi
}

echo "== every disc, $runs run(s) each"
title_wait=20
tsvs=()
for disc in "${discs[@]}"; do
    label=$(basename "$disc")
    # One run is about a minute; room for the cold start and the waits into title 1.
    run_disc "$label" $((runs * 180 + 60)) "$work/$label.tsv" "$disc"
    tsvs+=("$work/$label.tsv")
done
echo
"$bench" --table "${tsvs[@]}"

echo
echo "== testdisc behind the slow reader: every open and read of its files 200 ms late"
# Here a call may well block longer than 30 s: the bench notes each such call and goes on, and
# stops only past 300 s; reading also slows the way into title 1.
command_limit=300
title_wait=150
slowdir=$(cd "$build/testdisc" && pwd)
run_disc testdisc $((runs * 900 + 300)) "$work/slow.tsv" "$build/testdisc" \
    LD_PRELOAD="$(cd "$(dirname "$slowread")" && pwd)/$(basename "$slowread")" \
    SLOWREAD_DIR="$slowdir" SLOWREAD_MS=200 SLOWREAD_VERBOSE=1
if ! grep '^slowread:' "$work/slow.log" | sed 's/^/  /'; then
    # Then the disc was read at full speed and the figures below say nothing about a slow one.
    echo "  slowread delayed no call: the slow reader was not in effect"
    status=1
fi
echo
"$bench" --table "$work/slow.tsv"

echo
echo "logs and figures: $work"
exit $status
