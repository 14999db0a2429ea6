#!/bin/bash
# All benchmarks: the kill-list lookups of one tick (native and under Wine),
# the decoding and spam test of 10,000 mail headers (native and under Wine),
# the IMAP reader on the answer to a header fetch of 10,000 messages,
# how soon a listed popup is asked to close (window events, and the tick
# alone), the idle CPU of SkarnVale.exe under Wine, and a full mail check of 1,000
# messages against Dovecot compared with Python's poplib, and the same check
# over TLS, and IMAP checks of a 1,000-message folder over TLS.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/build.sh" "native win64"

if [ -z "${SKARNVALE_WINE_SESSION:-}" ]; then
    SKARNVALE_WINE_SESSION=$(mktemp -d /tmp/skarnvale-bench.XXXXXX)
    export SKARNVALE_WINE_SESSION
    trap '"$root/tests/win/wine-session.sh" stop "$SKARNVALE_WINE_SESSION"; rm -rf "$SKARNVALE_WINE_SESSION"' EXIT
fi

echo "== kill-list lookups, native"
build/native/bench_kill_lookup
echo "== kill-list lookups, under Wine"
"$root/tests/win/wine-run.sh" build/win64/bench_kill_lookup_wine.exe
echo "== decoding and spam test of 10,000 headers against 100 entries, native and under Wine"
build/native/bench_mail_decode
"$root/tests/win/wine-run.sh" build/win64/bench_mail_decode_wine.exe
echo "== the IMAP reader on the header fetch of 10,000 messages, native"
build/native/bench_imap_reader
echo "== a listed popup of another program, from its creation to its close request, under Wine"
"$root/bench/kill_latency.sh" build/win64
echo "== listed popups beside a minimal reference killer: one at a time, five at once, five in a row"
"$root/bench/popup_latency.sh" build/win64
echo "== the kill tick's sweep over 300 windows of another program with 200 popup rules"
"$root/tests/win/wine-run.sh" build/win64/bench_popup_sweep_wine.exe
echo "== idle CPU under Wine"
"$root/bench/idle_cpu.sh" build/win64
echo "== full check of 1,000 messages against Dovecot: SkarnVale under Wine and Python's poplib"
"$root/bench/mail_check.sh" build/win64
echo "== TLS: sessions up to the login and checks of 1,000 messages in clear, after STLS and on 995"
"$root/bench/tls_check.sh" build/win64
echo "== IMAP in TLS: checks of a 1,000-message folder at 0 and 50 ms, round trips and commands, nothing marked \\Seen"
"$root/bench/imap_check.sh" build/win64
echo "== responsiveness with 10,000 messages: worst answer of the program's windows, and Quit"
python3 "$root/bench/responsiveness.py" build/win64
