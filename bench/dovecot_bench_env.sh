# Sourced by the benchmarks that run a private Dovecot behind the latency
# proxy: with `root` and `bench_name` set, gives `proxy_tool`, a working folder
# `dir` removed at exit (unless KEEP is set) with the server and the proxy
# (its PID in `proxy`), Alice's `maildir`, `write_messages FOLDER FIRST LAST
# TAG`, which writes the messages FIRST to LAST (a header and 30 lines of text
# each) as files of a Maildir folder, and `start_proxy ADDRESS PORT UPSTREAM
# ROUND_TRIP_MS LOG`, which starts the proxy from ADDRESS:PORT to
# UPSTREAM:PORT and returns once it accepts connections (its complaints, such
# as a client's reset, in LOG.stderr).
proxy_tool=${LATENCY_PROXY:-$root/../shared/tools/latency_proxy.py}
dir=$(mktemp -d "/tmp/skarnvale-bench-$bench_name.XXXXXX")
proxy=
cleanup() {
    [ -n "$proxy" ] && kill "$proxy" 2>/dev/null && wait "$proxy" 2>/dev/null
    "$root/tests/servers/dovecot.sh" stop "$dir"
    [ -n "${KEEP:-}" ] || rm -rf "$dir"
}
trap cleanup EXIT
maildir="$dir/mail/alice/Maildir"
write_messages() {  # FOLDER FIRST LAST TAG
    python3 - "$@" <<'PY'
import os, sys
folder, first, last, tag = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
for n in range(first, last + 1):
    body = "".join("Line %d of message %d, some ordinary text to read.\r\n" % (i, n) for i in range(30))
    with open(os.path.join(folder, "%d.M1.%s" % (n, tag)), "wb") as f:
        f.write(("From: Sender %d <sender%d@example.org>\r\nTo: alice@example.org\r\nSubject: Message %d\r\n"
                 "Date: Tue, 8 Dec 2026 09:00:00 +0000\r\nMessage-ID: <%d@example.org>\r\n\r\n%s"
                 % (n, n, n, n, body)).encode())
PY
}
start_proxy() {  # ADDRESS PORT UPSTREAM ROUND_TRIP_MS LOG
    python3 "$proxy_tool" --listen "$1:$2" --upstream "$3:$2" --delay-ms "$(awk "BEGIN { print $4 / 2 }")" \
        --log "$5" >/dev/null 2>>"$5.stderr" &
    proxy=$!
    for _ in $(seq 50); do python3 -c 'import socket, sys; socket.create_connection((sys.argv[1], int(sys.argv[2]))).close()' \
        "$1" "$2" 2>/dev/null && break; sleep 0.1; done
}
