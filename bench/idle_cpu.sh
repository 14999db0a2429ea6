#!/bin/bash
# CPU used by an idle SkarnVale.exe under Wine: the killer on with its 500 ms
# ticks and its window event hook, no mailbox, nothing on the desktop to close.
#   idle_cpu.sh BUILD_DIR [SECONDS]   (BUILD_DIR holds the x86_64 SkarnVale.exe and wintool.exe)
# Uses the Wine session named by SKARNVALE_WINE_SESSION (started if needed), or
# a session of its own that it stops at the end. Prints the share of one core
# used over SECONDS (60 unless given) by SkarnVale.exe, and by the session's
# wineserver for information. Exit status 1 when SkarnVale.exe uses more than
# the target.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 BUILD_DIR [SECONDS]" >&2; exit 2; }
build=$(cd "$1" && pwd)
seconds=${2:-60}
settle=2
target=0.5

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

# utime + stime (fields 14 and 15), read after the command name, which may hold blanks.
cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }

# Let the start-up work finish before measuring the idle state.
sleep "$settle"
start=$(date +%s.%N)
app0=$(cpu_ticks "$pid")
server0=${server:+$(cpu_ticks "$server")}
sleep "$seconds"
app1=$(cpu_ticks "$pid")
server1=${server:+$(cpu_ticks "$server")}
end=$(date +%s.%N)
hz=$(getconf CLK_TCK)

percent() { awk -v t="$1" -v hz="$hz" -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", 100 * t / hz / (e - s) }'; }
app=$(percent $((app1 - app0)))
elapsed=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", e - s }')
echo "SkarnVale.exe idle CPU: $app% of one core over $elapsed s ($((app1 - app0)) ticks of 1/$hz s); target: at most $target%"
if [ -n "$server" ]; then
    echo "wineserver (for information): $(percent $((server1 - server0)))% of one core ($((server1 - server0)) ticks)"
else
    echo "wineserver (for information): not found"
fi
if awk -v a="$app" -v t="$target" 'BEGIN { exit !(a > t) }'; then
    echo "idle CPU above target" >&2
    exit 1
fi
