#!/bin/bash
# CPU used by an idle SkarnVale.exe under Wine: the killer on with its 500 ms
# ticks and its window event hook, no mailbox, nothing on the desktop to close.
#   idle_cpu.sh BUILD_DIR [SECONDS]   (BUILD_DIR holds the x86_64 SkarnVale.exe and wintool.exe)
# Uses the Wine session named by SKARNVALE_WINE_SESSION (started if needed), or
# a session of its own that it stops at the end. WINDOWS=N (40 unless given)
# keeps N plain windows of another program open meanwhile, as on a desktop in
# use: under Wine the tick's turns through them are what idling costs. Prints the share of one core
# used over SECONDS (60 unless given) by SkarnVale.exe, and by the session's
# wineserver for information. Exit status 1 when SkarnVale.exe uses more than
# the target.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 BUILD_DIR [SECONDS]" >&2; exit 2; }
build=$(cd "$1" && pwd)
seconds=${2:-60}
settle=2
target=0.1

session=${SKARNVALE_WINE_SESSION:-}
own_session=false
if [ -z "$session" ]; then
    session=$(mktemp -d /tmp/skarnvale-idle-wine.XXXXXX)
    own_session=true
fi
dir=$(mktemp -d /tmp/skarnvale-idle.XXXXXX)

# PIDs of the processes whose command line names the private directory.
programs_of_dir() {
    local p
    for p in /proc/[0-9]*; do
        tr '\0' ' ' 2>/dev/null <"$p/cmdline" | grep -qF "$dir/" && echo "${p#/proc/}"
    done
    return 0
}

cleanup() {
    local pid
    for pid in $(programs_of_dir); do kill -KILL "$pid" 2>/dev/null || true; done
    rm -rf "$dir"
    if $own_session; then
        "$root/tests/win/wine-session.sh" stop "$session"
        rm -rf "$session"
    fi
}
trap cleanup EXIT

"$root/tests/win/wine-session.sh" start "$session"
. "$session/env"
wine64=$("$root/tests/win/wine-loader.sh")
cp "$build/SkarnVale.exe" "$build/wintool.exe" "$dir/"

# The settings that make the killer tick, in case the session's registry holds others.
"$wine64" reg add 'HKCU\Software\SkarnVale\Popup' /v KillerActive /t REG_SZ /d 1 /f >/dev/null 2>&1
"$wine64" reg add 'HKCU\Software\SkarnVale\Popup' /v Interval /t REG_SZ /d 500 /f >/dev/null 2>&1

windows=${WINDOWS:-40}
if [ "$windows" -gt 0 ]; then
    opened=()
    for i in $(seq "$windows"); do opened+=("visible:Desktop Window $i"); done
    (cd "$dir" && exec "$wine64" "$dir/wintool.exe" open "$dir/windows.log" $((seconds + 60)) "${opened[@]}" \
        </dev/null >/dev/null 2>&1) &
    disown
    deadline=$((SECONDS + 60))
    until grep -q ' ready' "$dir/windows.log" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || { echo "the $windows windows did not open within 60 s" >&2; exit 1; }
        sleep 0.2
    done
fi

(cd "$dir" && exec "$wine64" "$dir/SkarnVale.exe" </dev/null >"$dir/skarnvale.out" 2>&1) &
disown

# Running means: its application window exists and its thread answers messages.
deadline=$((SECONDS + 30))
until (cd "$dir" && "$wine64" "$dir/wintool.exe" find TApplication Skarnvale >/dev/null 2>&1); do
    if [ $SECONDS -ge $deadline ]; then
        echo "SkarnVale.exe did not start within 30 s" >&2
        exit 1
    fi
    sleep 0.1
done
pid=
for p in $(programs_of_dir); do
    tr '\0' ' ' 2>/dev/null <"/proc/$p/cmdline" | grep -qF "$dir/SkarnVale.exe" && pid=$p
done
[ -n "$pid" ] || { echo "no Linux process for SkarnVale.exe" >&2; exit 1; }

# The session's wineserver: the one whose environment names this prefix.
server=
for p in $(pgrep -x 'wineserver(64)?' || true); do
    tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && server=$p
done

# CPU time in nanoseconds, all threads: the scheduler's own count (schedstat)
# where the kernel keeps it, else utime + stime (fields 14 and 15 of stat,
# read after the command name, which may hold blanks), in 1/HZ s.
hz=$(getconf CLK_TCK)
cpu_ns() {
    local t sum=0
    for t in /proc/$1/task/*; do
        if [ -r "$t/schedstat" ]; then
            sum=$((sum + $(cut -d' ' -f1 "$t/schedstat")))
        else
            sum=$((sum + $(sed 's/^.*) //' "$t/stat" | awk -v hz="$hz" '{ printf "%d", ($12 + $13) * 1000000000 / hz }')))
        fi
    done
    echo $sum
}

# Let the start-up work finish before measuring the idle state.
sleep "$settle"
start=$(date +%s.%N)
app0=$(cpu_ns "$pid")
server0=${server:+$(cpu_ns "$server")}
sleep "$seconds"
app1=$(cpu_ns "$pid")
server1=${server:+$(cpu_ns "$server")}
end=$(date +%s.%N)

percent() { awk -v t="$1" -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", 100 * t / 1e9 / (e - s) }'; }
app=$(percent $((app1 - app0)))
elapsed=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", e - s }')
echo "SkarnVale.exe idle CPU, $windows windows of another program open: $app% of one core over $elapsed s ($(((app1 - app0) / 1000000)) ms); target: at most $target%"
if [ -n "$server" ]; then
    echo "wineserver (for information): $(percent $((server1 - server0)))% of one core ($(((server1 - server0) / 1000000)) ms)"
else
    echo "wineserver (for information): not found"
fi
if awk -v a="$app" -v t="$target" 'BEGIN { exit !(a > t) }'; then
    echo "idle CPU above target" >&2
    exit 1
fi
