#!/bin/bash
# How soon a message announced in IDLE is in the mailboxes grid, the program
# running under Wine: the end-to-end scenarios that measure it run RUNS times
# each, the scripted IMAP server beside a POP3 mailbox 3 s slow to answer
# (from the client's DONE, sent as the server announces the message) and
# Dovecot (from the message's delivery into the maildir). Ends with the
# seconds to the row in the grid: least, median, most. Needs root, as the
# scenarios do; run it in a network namespace of its own, e.g.
#   unshare -n -m bash -c 'ip link set lo up && bench/idle_news.sh build/win64 5'
#   idle_news.sh BUILD_DIR [RUNS]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?build directory}" && pwd)
runs=${2:-3}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for _ in $(seq "$runs"); do
    python3 "$root/tests/e2e/run_e2e.py" "$build" -k NewMailInIdle -k GridBalloonSpamToJunk 2>&1 | tee -a "$out" |
        grep -E "in the grid|FAILED|^OK" || true
done
python3 - "$out" <<'PY'
import re, statistics, sys
text = open(sys.argv[1]).read()
for name, pattern in (("scripted server, POP3 beside it", r"announced in IDLE was in the grid ([\d.]+) s"),
                      ("Dovecot", r"late message was in the grid ([\d.]+) s")):
    seconds = sorted(float(s) for s in re.findall(pattern, text))
    if seconds:
        print("%-34s runs %d  least %.2f s  median %.2f s  most %.2f s"
              % (name, len(seconds), seconds[0], statistics.median(seconds), seconds[-1]))
    else:
        print("%-34s no run passed" % name)
PY
