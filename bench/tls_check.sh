#!/bin/bash
# The cost of TLS: sessions opened up to USER (the handshake and the
# certificate check) and checks of a 1,000-message mailbox by the program's
# CheckAllMailboxes under Wine, in clear on 110, after STLS on 110 and with
# TLS from the first byte on 995, all against a private Dovecot on
# 127.0.0.12 (needs root). The same Maildir is served in clear first, then
# with TLS required; the server's test certificate is pinned (it is made for
# mail.test), so the chain is built and checked as for any server.
#   tls_check.sh BUILD_DIR
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build directory}
address=127.0.0.12
dir=$(mktemp -d /tmp/skarnvale-bench-tls.XXXXXX)
cleanup() {
    "$root/tests/servers/dovecot.sh" stop "$dir"
    [ -n "${KEEP:-}" ] || rm -rf "$dir"
}
trap cleanup EXIT
maildir="$dir/mail/alice/Maildir"
mkdir -p "$maildir/new"
python3 - "$maildir/new" <<'PY'
import os, sys
for n in range(1, 1001):
    body = "".join("Line %d of message %d, some ordinary text to read.\r\n" % (i, n) for i in range(30))
    with open(os.path.join(sys.argv[1], "%d.M1.bench" % n), "wb") as f:
        f.write(("From: Sender %d <sender%d@example.org>\r\nTo: alice@example.org\r\nSubject: Message %d\r\n"
                 "Date: Tue, 8 Dec 2026 09:00:00 +0000\r\nMessage-ID: <%d@example.org>\r\n\r\n%s"
                 % (n, n, n, n, body)).encode())
PY
"$root/tests/servers/dovecot.sh" pki "$dir/pki" >/dev/null
pin=$(openssl x509 -in "$dir/pki/mail.test.crt" -noout -fingerprint -sha256 | cut -d= -f2)
run() {  # SECURITY PORT
    echo "== security $1 port $2"
    SKARNVALE_BENCH_SECURITY=$1 SKARNVALE_BENCH_PORT=$2 SKARNVALE_BENCH_FINGERPRINT=$pin \
        "$root/tests/win/wine-run.sh" "$build/bench_mail_check_wine.exe" $address alice secret sessions | tr -d '\r'
}
"$root/tests/servers/dovecot.sh" start "$dir" 110 $address
# A first session lets Dovecot build its index, which no run should pay for.
python3 -c 'import poplib, sys; p = poplib.POP3(sys.argv[1], 110); p.user("alice"); p.pass_("secret"); p.stat(); p.quit()' \
    $address
run 0 110
"$root/tests/servers/dovecot.sh" stop "$dir"
# Read messages went to cur/; back in new/ they are the same 1,000 (an empty
# new/ would get dovecot.sh's own two).
for f in "$maildir"/cur/*; do mv "$f" "$maildir/new/$(basename "${f%%:*}")"; done
SKARNVALE_DOVECOT_TLS="$dir/pki" "$root/tests/servers/dovecot.sh" start "$dir" 110 $address
run 1 110
run 2 995
