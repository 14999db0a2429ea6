#!/bin/bash
# Takes the README's pictures (docs/*.png) of the release build/win32/SkarnVale.exe
# (build/win64's where the machine cannot run 32-bit programs) under Wine, on a private Xvfb and Wine prefix, with a private Dovecot for the
# mailboxes window. Needs root (Dovecot serves port 110, like the mail tests);
# runs in a network namespace of its own, so nothing else on the machine is
# touched or in the way.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
    exec sudo "$0" "$@"
fi
# The release build where this machine runs 32-bit programs, else the 64-bit one.
build=win32
"$root/scripts/can-run-32bit.sh" >/dev/null || build=win64
if [ -z "${SKARNVALE_SHOTS_NETNS:-}" ]; then
    "$root/scripts/install-deps.sh"
    "$root/scripts/build.sh" "$build"
    exec env SKARNVALE_SHOTS_NETNS=1 unshare --net sh -c 'ip link set lo up && exec "$0"' "$0"
fi
session=$(mktemp -d /tmp/skarnvale-shots.XXXXXX)
trap '"$root/tests/win/wine-session.sh" stop "$session"; rm -rf "$session"' EXIT
"$root/tests/win/wine-session.sh" start "$session"
SKARNVALE_WINE_SESSION=$session python3 "$root/scripts/screenshots.py" "$root/build/$build" "$root/docs"
