#!/bin/bash
# A spam cycle of 100 messages of 50 KB on a private Dovecot (127.0.0.8:110,
# needs root), through ../shared/tools/latency_proxy.py on 127.0.0.9:110 at a
# round trip of 50 ms: once with the copies before each deletion (30 days),
# once without (0 days). Ends with both times and their ratio.
#   spam_cycle.sh BUILD_DIR [ROUND_TRIP_MS]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build directory}
rtt=${2:-50}
bench_name=spam
. "$root/bench/dovecot_bench_env.sh"
mkdir -p "$maildir/new" "$dir/quarantine"
write_spam() {  # TAG: 100 messages of about 50 KB, every one from the listed domain
    python3 - "$maildir/new" "$1" <<'PY'
import os, sys
folder, tag = sys.argv[1], sys.argv[2]
line = "x" * 70 + "\r\n"
for n in range(1, 101):
    body = line * (50 * 1024 // len(line))
    with open(os.path.join(folder, "%d.M1.%s" % (n, tag)), "wb") as f:
        f.write(("From: Deals <deals@spam.example>\r\nTo: alice@example.org\r\nSubject: Offer %d\r\n"
                 "Date: Tue, 8 Dec 2026 09:00:00 +0000\r\nMessage-ID: <%d.%s@spam.example>\r\n\r\n%s"
                 % (n, n, tag, body)).encode())
PY
    chown -R nobody:nogroup "$dir/mail"
}
write_spam first
"$root/tests/servers/dovecot.sh" start "$dir" 110 127.0.0.8
python3 "$proxy_tool" --listen 127.0.0.9:110 --upstream 127.0.0.8:110 --delay-ms "$(awk "BEGIN { print $rtt / 2 }")" \
    >/dev/null &
proxy=$!
for _ in $(seq 50); do python3 -c 'import socket; socket.create_connection(("127.0.0.9", 110)).close()' \
    2>/dev/null && break; sleep 0.1; done
winpath() { echo "Z:${1//\//\\}"; }
ss -ltn | grep -q "127.0.0.9:110" || { echo "the latency proxy is not listening" >&2; exit 1; }
results="$dir/results"
: >"$results"
for days in 30 0; do
    [ "$days" = 0 ] && write_spam second
    "$root/tests/win/wine-run.sh" "$build/bench_spam_cycle_wine.exe" 127.0.0.9 alice secret "$days" \
        "$(winpath "$dir/quarantine")" | tr -d '\r' | tee -a "$results"
done
echo "copies written: $(ls "$dir/quarantine" | grep -c '\.eml$' || true)"
python3 - "$results" "$rtt" <<'PY'
import re, sys
t = {m.group(1): float(m.group(2)) for m in re.finditer(r"days=(\d+) .*seconds=([\d.]+)", open(sys.argv[1]).read())}
print("| spam cycle, 100 x 50 KB, %s ms round trip | seconds |" % sys.argv[2])
print("|---|---|")
print("| with copies (30 days) | %.3f |" % t["30"])
print("| without copies (0 days) | %.3f |" % t["0"])
print("| ratio | %.2f |" % (t["30"] / t["0"]))
PY
