#!/bin/sh
# Runs a Windows program under Wine in the tests' private session (Xvfb and a
# Wine prefix of their own), starting that session first when needed.
#
# The test programs write their output unbuffered, so one that ran at all
# prints at least its first line even when it crashes. A run that failed
# having printed nothing never reached the program's main (Wine failed to
# start it, as seen once on a loaded machine): it is tried once more, and
# the retry is said on the error output.
here=$(cd "$(dirname "$0")" && pwd)
session=${SKARNVALE_WINE_SESSION:-/tmp/skarnvale-wine-session}
"$here/wine-session.sh" start "$session" >/dev/null || exit 1
. "$session/env"
loader=$("$here/wine-loader.sh" "$1")
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
err=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -f "$out" "$err"' EXIT
"$loader" "$@" >"$out" 2>"$err"
status=$?
if [ $status -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ]; then
    echo "wine-run: $1 ended with status $status before printing anything; running it again" >&2
    "$loader" "$@" >"$out" 2>"$err"
    status=$?
fi
cat "$out"
cat "$err" >&2
exit $status
