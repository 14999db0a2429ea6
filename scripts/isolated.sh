#!/bin/bash
# Runs a command in a network of its own: its own loopback (every 127.0.0.0/8
# address and port free) and its own copy of /etc/hosts, which the TLS tests
# write their server names into. Two test runs can then start their mail,
# CRL and authorization servers on the same addresses side by side.
#   isolated.sh COMMAND [ARGS...]
# Needs root (or unprivileged user namespaces); `isolated.sh --check` says
# whether it can, exiting 0 when it can.
set -eu
if [ "${1:-}" = --check ]; then
    exec unshare --net --mount --fork true 2>/dev/null
fi
hosts=$(mktemp /tmp/skarnvale-hosts.XXXXXX)
trap 'rm -f "$hosts"' EXIT
cp /etc/hosts "$hosts"
chmod 644 "$hosts"
unshare --net --mount --fork -- bash -c '
    set -e
    ip link set lo up
    # Private mounts: the bind mount below stays inside this namespace.
    mount --make-rprivate / 2>/dev/null || true
    mount --bind "$0" /etc/hosts
    exec "$@"' "$hosts" "$@"
