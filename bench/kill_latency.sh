#!/bin/bash
# How soon a listed popup is asked to close under Wine: 50 visible, titled
# windows of another program, each timed from its CreateWindowEx to its
# WM_CLOSE, with the window events and the 500 ms tick, then with the tick alone.
#   kill_latency.sh BUILD_DIR [COUNT]   (BUILD_DIR holds the x86_64 build)
# Prints the median and the worst delay of each, and how long Wine's
# CreateWindowEx itself took (a loaded machine makes it slow: the delay after
# its return is the killer's own). KEEP_LOGS=DIR keeps the per-window logs.
# Exit status 1 when the window events miss their target (median under 20 ms,
# worst under 50 ms).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?build directory}" && pwd)
count=${2:-50}
dir=$(mktemp -d /tmp/skarnvale-latency.XXXXXX)
trap 'if [ -n "${KEEP_LOGS:-}" ]; then cp "$dir"/*.log "$KEEP_LOGS"/; fi; rm -rf "$dir"' EXIT
cp "$build/bench_kill_latency_wine.exe" "$dir/"

# Median and worst of column $1 of the log on stdin; -1 (never asked) is worst.
stats() {
    awk -v c="$1" '{ print ($c < 0 ? 999999 : $c) }' | sort -n | awk '
        { ms[NR] = $1 }
        END { m = (NR % 2) ? ms[(NR + 1) / 2] : (ms[NR / 2] + ms[NR / 2 + 1]) / 2
              printf "median %s ms, worst %s\n", m, ms[NR] == 999999 ? "never" : ms[NR] " ms" }'
}

status=0
for mode in events sweep; do
    log="$dir/$mode.log"
    (cd "$dir" && "$root/tests/win/wine-run.sh" "$dir/bench_kill_latency_wine.exe" "$mode" "$count" "$log" | tr -d '\r')
    timed=$(wc -l <"$log")
    [ "$timed" -eq "$count" ] || { echo "$mode: $timed of $count windows timed" >&2; status=1; continue; }
    name=$([ $mode = events ] && echo "window events and tick" || echo "tick alone")
    echo "$name: $count windows, CreateWindowEx to WM_CLOSE: $(stats 1 <"$log")"
    echo "    CreateWindowEx's own time: $(stats 3 <"$log"); from its return to WM_CLOSE: $(awk '{ print ($1 < 0 ? -1 : $1 - $3) }' "$log" | stats 1)"
    if [ $mode = events ]; then
        awk '{ print ($1 < 0 ? 999999 : $1) }' "$log" | sort -n | awk '
            { ms[NR] = $1 } END { exit !((ms[int((NR + 1) / 2)] >= 20) || ms[NR] >= 50) }' && status=1
    fi
done
[ $status -eq 0 ] || echo "window events above target (median under 20 ms, worst under 50 ms)" >&2
exit $status
