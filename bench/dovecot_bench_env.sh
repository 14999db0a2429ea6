# Sourced by the benchmarks that run a private Dovecot behind the latency
# proxy: with `root` and `bench_name` set, gives `proxy_tool`, a working folder
# `dir` removed at exit with the server and the proxy (its PID in `proxy`),
# and Alice's `maildir`.
proxy_tool=${LATENCY_PROXY:-$root/../shared/tools/latency_proxy.py}
dir=$(mktemp -d "/tmp/skarnvale-bench-$bench_name.XXXXXX")
proxy=
cleanup() {
    [ -n "$proxy" ] && kill "$proxy" 2>/dev/null && wait "$proxy" 2>/dev/null
    "$root/tests/servers/dovecot.sh" stop "$dir"
    rm -rf "$dir"
}
trap cleanup EXIT
maildir="$dir/mail/alice/Maildir"
