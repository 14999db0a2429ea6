#!/bin/bash
# Checks of a 1,000-message mailbox on a private Dovecot (127.0.0.8:110, needs
# root), by the program's CheckAllMailboxes under Wine and by Python's poplib,
# at round trips of 0 ms (loopback) and, through ../shared/tools/latency_proxy.py
# on 127.0.0.9:110, of 20 and 50 ms. The program: a first check, a second with
# nothing new, a second with 10 new messages; poplib: the classic
# conversation one command at a time (estimated from 300 messages above 0 ms)
# and pipelined. Ends with the table of seconds.
#   mail_check.sh BUILD_DIR [ROUND_TRIPS_MS...]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build directory}
shift
trips=${*:-0 20 50}
bench_name=dovecot
. "$root/bench/dovecot_bench_env.sh"
mkdir -p "$maildir/new" "$dir/staging"
write_messages "$maildir/new" 1 1000 bench
"$root/tests/servers/dovecot.sh" start "$dir" 110 127.0.0.8
# A first session lets Dovecot build its index, which no run should pay for.
python3 -c 'import poplib; p = poplib.POP3("127.0.0.8", 110); p.user("alice"); p.pass_("secret"); p.stat(); p.quit()'
winpath() { echo "Z:${1//\//\\}"; }
results="$dir/results"
: >"$results"
for rtt in $trips; do
    server=127.0.0.8
    if [ "$rtt" != 0 ]; then
        server=127.0.0.9
        start_proxy 127.0.0.9 110 127.0.0.8 "$rtt" "$dir/proxy-$rtt.jsonl"
    fi
    echo "== round trip $rtt ms ($server)"
    # The 10 new messages of the last check wait beside the Maildir; those of
    # an earlier round are gone again (Dovecot forgets a vanished file).
    rm -f "$maildir"/new/*.ten "$maildir"/cur/*.ten* "$dir/staging"/*
    write_messages "$dir/staging" 2001 2010 ten
    chown -R nobody:nogroup "$dir/mail" "$dir/staging"
    "$root/tests/win/wine-run.sh" "$build/bench_mail_check_wine.exe" "$server" alice secret \
        "$(winpath "$dir/staging")" "$(winpath "$maildir/new")" | tr -d '\r' | sed "s/^/rtt=$rtt /" | tee -a "$results"
    limit=()
    [ "$rtt" != 0 ] && limit=(--messages 300)
    python3 "$root/bench/mail_check_poplib.py" "$server" alice secret 100 "${limit[@]}" | sed "s/^/rtt=$rtt /" | tee -a "$results"
    python3 "$root/bench/mail_check_poplib.py" "$server" alice secret 100 --pipelined 64 | sed "s/^/rtt=$rtt /" | tee -a "$results"
    if [ -n "$proxy" ]; then
        kill "$proxy"; wait "$proxy" 2>/dev/null || true; proxy=
        echo "commands per session seen by the proxy:"
        python3 "$proxy_tool" --summary "$dir/proxy-$rtt.jsonl" |
            python3 -c 'import json,sys; [print(" ", r["session"], r["verbs"], "check_s=%s" % r["check_s"]) for r in map(json.loads, sys.stdin)]'
    fi
done
if [ "$trips" = "0 20 50" ] || [ "$trips" = "0" ]; then
    echo "== the floor: NOOP round trips on loopback"
    "$root/tests/win/wine-run.sh" "$build/bench_mail_check_wine.exe" 127.0.0.8 alice secret | grep NOOP
fi
echo "== seconds (messages per second)"
python3 - "$results" "$trips" <<'PY'
import re, sys
rows, trips = {}, sys.argv[2].split()
for line in open(sys.argv[1]):
    rtt = re.search(r"rtt=(\d+)", line)
    rtt = rtt.group(1) if rtt else None
    f = dict(re.findall(r"(\w+)=([\w.]+)", line))
    if "skarnvale" in line:
        name = "SkarnVale, " + {"first": "first check", "nothing_new": "second, nothing new",
                                "ten_new": "second, 10 new"}[f["check"]]
    elif "pipelined" in f:
        name = "poplib pipelined (window %s)" % f["pipelined"]
    else:
        name = "poplib one at a time"
    secs = f.get("estimated_seconds")
    text = ("%s s (est.)" % secs) if secs else "%s s (%s/s)" % (f["seconds"], f["messages_per_second"])
    rows.setdefault(name, {})[rtt] = text
print("| %-32s | %s |" % ("round trip", " | ".join("%s ms" % t for t in trips)))
print("|%s|%s|" % ("-" * 34, "|".join("-" * 22 for _ in trips)))
for name, by in rows.items():
    print("| %-32s | %s |" % (name, " | ".join("%-20s" % by.get(t, "") for t in trips)))
PY
