#!/bin/bash
# A private Wine session for the tests: Xvfb on a free display, a Wine prefix
# and a persistent wineserver. Its variables are written to DIR/env.
#   wine-session.sh start DIR   start it unless it runs already
#   wine-session.sh stop DIR    end wineserver and Xvfb
set -u
cmd=$1
dir=${2:-/tmp/skarnvale-wine-session}
mkdir -p "$dir"

running() { [ -f "$dir/env" ] && [ -f "$dir/xvfb.pid" ] && kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null; }

start() {
    running && return 0
    local n first=${SKARNVALE_FIRST_DISPLAY:-140}
    # Sessions started side by side take displays from ranges of their own.
    for n in $(seq "$first" $((first + 59))); do
        [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
    done
    # Long-lived children get no copy of the lock or of the caller's output.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$dir/xvfb.log" 2>&1 9>&- &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    cat >"$dir/env" <<ENV
export DISPLAY=:$n
export WINEPREFIX=$dir/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
ENV
    . "$dir/env"
    local wine64
    wine64=$("$(dirname "$0")/wine-loader.sh")
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i </dev/null >"$dir/wineboot.log" 2>&1 9>&-
        wineserver -w
        # Unmanaged windows: without a window manager Wine otherwise waits 2 s
        # for every visible window that is hidden or destroyed.
        "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1 9>&-
        wineserver -w
    fi
    wineserver -p </dev/null >/dev/null 2>&1 9>&-
    # Start Wine's own services now, with no pipe of a test runner to hold open.
    "$wine64" cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&-
}

stop() {
    if [ -f "$dir/env" ]; then
        . "$dir/env"
        wineserver -k 2>/dev/null
    fi
    [ -f "$dir/xvfb.pid" ] && kill "$(cat "$dir/xvfb.pid")" 2>/dev/null
    rm -f "$dir/env" "$dir/xvfb.pid"
}

exec 9>"$dir/lock"
flock 9
case $cmd in
start) start ;;
stop) stop ;;
*) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
