#!/bin/bash
# A full check of 1,000 messages on a private Dovecot (127.0.0.8:110, needs
# root), by the program's CheckAllMailboxes under Wine and by Python's poplib
# doing the same conversation.   mail_check.sh BUILD_DIR
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build directory}
dir=$(mktemp -d /tmp/skarnvale-bench-dovecot.XXXXXX)
trap '"$root/tests/servers/dovecot.sh" stop "$dir"; rm -rf "$dir"' EXIT
new="$dir/mail/alice/Maildir/new"
mkdir -p "$new"
python3 - "$new" <<'PY'
import os, sys
for n in range(1, 1001):
    body = "".join("Line %d of message %d, some ordinary text to read.\r\n" % (i, n) for i in range(30))
    with open(os.path.join(sys.argv[1], "%d.M1.bench" % n), "wb") as f:
        f.write(("From: Sender %d <sender%d@example.org>\r\nTo: alice@example.org\r\nSubject: Message %d\r\n"
                 "Date: Tue, 8 Dec 2026 09:00:00 +0000\r\nMessage-ID: <%d@example.org>\r\n\r\n%s"
                 % (n, n, n, n, body)).encode())
PY
"$root/tests/servers/dovecot.sh" start "$dir" 110 127.0.0.8
# A first session lets Dovecot build its index, which neither run should pay for.
python3 -c 'import poplib; p = poplib.POP3("127.0.0.8", 110); p.user("alice"); p.pass_("secret"); p.stat(); p.quit()'
python3 "$root/bench/mail_check_poplib.py" 127.0.0.8 alice secret 100
"$root/tests/win/wine-run.sh" "$build/bench_mail_check_wine.exe" 127.0.0.8 alice secret
