#!/bin/bash
# A private Dovecot POP3 server for end-to-end tests, run as root.
#   dovecot.sh start DIR PORT [ADDRESS]
#                               configure and start it on ADDRESS:PORT
#                               (127.0.0.1 by default) with the users "alice"
#                               and "bob" (password "secret"); alice gets two
#                               messages unless DIR/mail/alice/Maildir/new
#                               already holds some; returns when it greets
#   dovecot.sh stop DIR         stop that instance and its remaining processes
set -eu
action=${1:?start|stop}
dir=${2:?directory}

stop() {
    local pidfile="$dir/run/master.pid" pids=""
    [ -f "$pidfile" ] || return 0
    local master
    master=$(cat "$pidfile")
    # The POP3 processes of connected clients outlive the master: note them first.
    pids=$(pgrep -P "$master" || true)
    kill -TERM "$master" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$master" 2>/dev/null || break; sleep 0.1; done
    for p in $pids; do kill -TERM "$p" 2>/dev/null || true; done
    rm -f "$pidfile"
}

start() {
    local port=${3:?port} address=${4:-127.0.0.1}
    mkdir -p "$dir/run" "$dir/state" "$dir/mail/"{alice,bob}/Maildir/{new,cur,tmp}
    chmod 755 "$dir"
    printf 'alice:{PLAIN}secret\nbob:{PLAIN}secret\n' > "$dir/users"
    if [ -z "$(ls -A "$dir/mail/alice/Maildir/new")" ]; then
    printf 'From: Bob <bob@example.org>\r\nTo: alice@example.org\r\nSubject: First\r\n\r\nHello\r\n.dotted\r\nthird\r\n' \
        > "$dir/mail/alice/Maildir/new/1000.M1.test"
    printf 'From: spam@example.com\r\nSubject: Buy now\r\n\r\nBody\r\n' \
        > "$dir/mail/alice/Maildir/new/1001.M1.test"
    fi
    chown -R nobody:nogroup "$dir/mail"
    cat > "$dir/dovecot.conf" <<CONF
protocols = pop3
listen = $address
ssl = no
disable_plaintext_auth = no
base_dir = $dir/run
state_dir = $dir/state
log_path = $dir/dovecot.log
mail_location = maildir:~/Maildir
mail_uid = nobody
mail_gid = nogroup
first_valid_uid = 1
passdb {
  driver = passwd-file
  args = $dir/users
}
userdb {
  driver = static
  args = uid=nobody gid=nogroup home=$dir/mail/%u
}
service pop3-login {
  inet_listener pop3 {
    address = $address
    port = $port
  }
  inet_listener pop3s {
    port = 0
  }
}
CONF
    dovecot -c "$dir/dovecot.conf" </dev/null >/dev/null 2>&1
    for _ in $(seq 100); do
        if python3 - "$port" "$address" <<'PY' 2>/dev/null; then return 0; fi
import socket, sys
s = socket.create_connection((sys.argv[2], int(sys.argv[1])), timeout=1)
sys.exit(0 if s.recv(100).startswith(b"+OK") else 1)
PY
        sleep 0.1
    done
    echo "dovecot did not greet on $address:$port" >&2
    return 1
}

case "$action" in
start) start "$@" ;;
stop) stop ;;
*) echo "usage: $0 start DIR PORT [ADDRESS] | stop DIR" >&2; exit 2 ;;
esac
