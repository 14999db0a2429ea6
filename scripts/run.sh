#!/bin/bash
# Builds SkarnVale and starts it under Wine: on your display when there is one,
# otherwise on a private Xvfb for RUN_SECONDS seconds (default 20), after
# writing a screenshot of the screen. It installs and builds only what that
# takes: the 64-bit program, not the 32-bit build nor the tests.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --run
"$root/scripts/build.sh" win64 SkarnVale
exe="$root/build/win64/SkarnVale.exe"
wine=$("$root/tests/win/wine-loader.sh" "$exe")
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Starting SkarnVale on $DISPLAY (it lives in the notification area)."
    exec "$wine" "$exe"
fi
session=$(mktemp -d /tmp/skarnvale-run.XXXXXX)
trap '"$root/tests/win/wine-session.sh" stop "$session"; rm -rf "$session"' EXIT
echo "No display: starting a private Xvfb and Wine prefix in $session (first start takes a while)."
"$root/tests/win/wine-session.sh" start "$session"
. "$session/env"
"$wine" "$exe" &
sleep 5
shot="$root/build/skarnvale-screen.png"
import -window root "$shot"
echo "Screenshot written to $shot"
seconds=${RUN_SECONDS:-20}
echo "SkarnVale runs for $seconds s on the private display $DISPLAY."
sleep "$seconds"
