#!/bin/sh
# Runs a Windows program under Wine in the tests' private session (Xvfb and a
# Wine prefix of their own), starting that session first when needed.
here=$(cd "$(dirname "$0")" && pwd)
session=${SKARNVALE_WINE_SESSION:-/tmp/skarnvale-wine-session}
"$here/wine-session.sh" start "$session" >/dev/null || exit 1
. "$session/env"
exec "$("$here/wine-loader.sh" "$1")" "$@"
