#!/bin/bash
# Checks of a 1,000-message IMAP folder on a private Dovecot in TLS from the
# first byte (127.0.0.13:993, needs root), by the program's CheckAllMailboxes
# under Wine, its test certificate pinned: at round trips of 0 ms (loopback)
# and, through ../shared/tools/latency_proxy.py on 127.0.0.14:993, of 50 ms.
# Each run is a new program: a first check, a second with nothing new, a
# second with 10 new messages; before it the folder is brought back to 1,000
# messages by expunging its oldest. A first check on a cold Dovecot (no
# index yet) comes before them, at the longest round trip. The proxy counts
# each session's client flights (the reads of what the client sent: its
# round trips, the TLS handshake's included, and at times the TLS close
# alert on its own; TCP's handshake is not delayed) and Dovecot's rawlog
# gives the commands after the login and, for the last run, when each came
# and was answered (imap_timeline.py). Ends with the table of seconds
# (median, min-max over the runs), then checks that no message is \Seen.
#   imap_check.sh BUILD_DIR [RUNS [ROUND_TRIPS_MS...]]     (3 runs; 0 and 50 ms)
# With SKARNVALE_BENCH_IDLE=1, a checked session stays in IDLE, as when the
# mail timer runs.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build directory}
runs=${2:-3}
shift $(($# > 2 ? 2 : $#))
trips=${*:-0 50}
bench_name=imap
. "$root/bench/dovecot_bench_env.sh"
server=127.0.0.13
mkdir -p "$maildir/new" "$dir/staging" "$dir/rawlog"
write_messages "$maildir/new" 1 1000 bench
"$root/tests/servers/dovecot.sh" pki "$dir/pki" >/dev/null
pin=$(openssl x509 -in "$dir/pki/mail.test.crt" -noout -fingerprint -sha256 | cut -d= -f2)
SKARNVALE_DOVECOT_TLS="$dir/pki" SKARNVALE_DOVECOT_IMAP=143 "$root/tests/servers/dovecot.sh" start "$dir" 110 $server
# What each session's client says once logged in, one pair of files per session.
chown nobody:nogroup "$dir/rawlog"
echo "rawlog_dir = $dir/rawlog" >>"$dir/dovecot.conf"
doveadm -c "$dir/dovecot.conf" reload
folder() { python3 "$root/bench/imap_folder.py" $server "$dir/pki/ca.crt" "$@"; }
winpath() { echo "Z:${1//\//\\}"; }
check() {  # SERVER
    SKARNVALE_BENCH_PROTOCOL=1 SKARNVALE_BENCH_SECURITY=2 SKARNVALE_BENCH_PORT=993 SKARNVALE_BENCH_FINGERPRINT=$pin \
        "$root/tests/win/wine-run.sh" "$build/bench_mail_check_wine.exe" "$1" alice secret \
        "$(winpath "$dir/staging")" "$(winpath "$maildir/new")" | tr -d '\r'
}
results="$dir/results"
: >"$results"
# The first run finds Dovecot cold: its index of the folder and its cache of
# the header fields are built while the first check waits, as on a server
# that no client has read yet. It is measured once, at the longest round
# trip; the runs after it find them built.
cold=${trips##* }
address=$server
if [ "$cold" != 0 ]; then
    address=127.0.0.14
    start_proxy $address 993 $server "$cold" "$dir/proxy-cold.jsonl"
fi
check $address | grep check=first | sed "s/^/rtt=$cold run=cold /;s/check=first/check=cold_first/" | tee -a "$results"
if [ -n "$proxy" ]; then kill "$proxy"; wait "$proxy" 2>/dev/null || true; proxy=; fi
echo "== round trip $cold ms, Dovecot cold, on the server's side"
python3 "$root/bench/imap_timeline.py" "$dir/rawlog" | sed -n 1p
for rtt in $trips; do
    address=$server
    if [ "$rtt" != 0 ]; then
        address=127.0.0.14
        start_proxy $address 993 $server "$rtt" "$dir/proxy-$rtt.jsonl"
    fi
    for run in $(seq "$runs"); do
        folder trim 1000
        rm -f "$dir/rawlog"/*
        write_messages "$dir/staging" $((2000 + 10 * run + 1)) $((2000 + 10 * run + 10)) "ten$rtt"
        chown -R nobody:nogroup "$dir/mail" "$dir/staging"
        check $address | sed "s/^/rtt=$rtt run=$run /" | tee -a "$results"
        # The commands of each session after its login, in the order of the
        # sessions (named by the time of the login, then the process).
        for f in $(ls "$dir/rawlog"/*.in 2>/dev/null | sort -t. -k1,1 -k2,2n); do
            echo "rtt=$rtt run=$run commands=$(awk '{ i = $1 ~ /^[0-9.]+$/ ? 2 : 1; v = toupper($(i + 1))
                if (v == "UID") v = v "_" toupper($(i + 2)); if (NF == i) v = toupper($i)
                printf "%s%s", sep, v; sep = "," }' "$f")"
        done | tee -a "$results"
    done
    echo "== round trip $rtt ms, the last run on the server's side"
    python3 "$root/bench/imap_timeline.py" "$dir/rawlog"
    if [ -n "$proxy" ]; then
        kill "$proxy"; wait "$proxy" 2>/dev/null || true; proxy=
        python3 "$proxy_tool" --summary "$dir/proxy-$rtt.jsonl" |
            python3 -c '
import json, sys
for r in map(json.loads, sys.stdin):
    c = r.get("close") or {}
    if c.get("c2s", {}).get("bytes"):
        print("rtt=%s session=%d seconds=%s client_flights=%d server_flights=%d" % (sys.argv[1], r["session"],
              r["cpu_until_s"], c["c2s"]["chunks"], c["s2c"]["chunks"]))' "$rtt" | tee -a "$results"
    fi
done
echo "== seconds, median (min-max) of $runs runs; client flights and commands after the login per check"
[ "${SKARNVALE_BENCH_IDLE:-}" != 1 ] || echo "(in IDLE, the first session's flights and commands run to the program's end)"
python3 - "$results" "$trips" <<'PY'
import re, statistics, sys
names = {"cold_first": "first check, Dovecot cold", "first": "first check", "nothing_new": "second, nothing new",
         "ten_new": "second, 10 new"}
order = list(names)[1:]
times, flights, commands, messages = {}, {}, {}, {}
sessions = {}
for line in open(sys.argv[1]):
    f = dict(re.findall(r"(\w+)=([\w.,-]+)", line))
    rtt = f.get("rtt")
    if "check" in f:
        times.setdefault((f["check"], rtt), []).append(float(f["seconds"]))
        messages[f["check"]] = f["messages"]
    elif "commands" in f:
        n = sessions.setdefault(("cmd", rtt, f["run"]), 0)
        sessions[("cmd", rtt, f["run"])] += 1
        if n < len(order):
            commands.setdefault(order[n], set()).add(f["commands"].replace("_", " "))
    elif "client_flights" in f:
        n = sessions.setdefault(("proxy", rtt), 0)
        sessions[("proxy", rtt)] += 1
        flights.setdefault((order[n % len(order)], rtt), []).append(int(f["client_flights"]))
trips = sys.argv[2].split()
head = ["check", "messages"] + ["%s ms: s" % t for t in trips] + ["flights at %s ms" % t for t in trips if t != "0"]
rows = []
for check in names:
    row = [names[check], messages.get(check, "")]
    for t in trips:
        xs = times.get((check, t), [])
        row.append(("%.3f" % xs[0] if len(xs) == 1 else "%.3f (%.3f-%.3f)" % (statistics.median(xs), min(xs), max(xs)))
                   if xs else "")
    for t in trips:
        if t != "0":
            xs = flights.get((check, t), [])
            row.append("-".join(str(x) for x in sorted(set(xs))))
    rows.append(row)
width = [max(len(str(r[i])) for r in rows + [head]) for i in range(len(head))]
print("| " + " | ".join(h.ljust(w) for h, w in zip(head, width)) + " |")
print("|" + "|".join("-" * (w + 2) for w in width) + "|")
for r in rows:
    print("| " + " | ".join(str(c).ljust(w) for c, w in zip(r, width)) + " |")
for check in order:
    print("commands after the login, %s: %s" % (names[check], " / ".join(sorted(commands.get(check, [])))))
PY
echo "== \\Seen after the checks"
seen_files=$(find "$maildir/cur" "$maildir/new" -type f -name '*:2,*S*' | wc -l)
echo "Maildir files with S among their flags: $seen_files"
folder seen
[ "$seen_files" = 0 ] && folder seen | grep -q '^seen=0 '
