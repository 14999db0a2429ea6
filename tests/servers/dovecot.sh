#!/bin/bash
# A private Dovecot POP3 server for end-to-end tests, run as root.
#   dovecot.sh start DIR PORT [ADDRESS]
#                               configure and start it on ADDRESS:PORT
#                               (127.0.0.1 by default) with the users "alice"
#                               and "bob" (password "secret", or
#                               $SKARNVALE_DOVECOT_PASSWORD); alice gets two
#                               messages unless DIR/mail/alice/Maildir/new
#                               already holds some; returns when it greets
#   dovecot.sh stop DIR         stop that instance and its remaining processes
#   dovecot.sh pki DIR          make a test PKI in DIR: ca.crt (ca.der) signs
#                               mail.test, auth.test (the authorization server), expired.test (2020), future.test
#                               (valid from next year), revoked.test (in its CRL),
#                               offline-crl.test (its CRL where no server
#                               answers), ip-san.test (IP:127.0.0.1 among its
#                               names) and ip-cn.test (CN=127.0.0.1, no names);
#                               rogue-ca.crt, trusted nowhere, signs untrusted.test;
#                               expired-self.test signs itself (2020).
#                               The certificates of ca name their CRL
#                               http://$CRL_ADDRESS/ca-TAG.crl (127.0.0.51),
#                               which a test serves from DIR
# With SKARNVALE_DOVECOT_TLS=PKI_DIR, start serves TLS only (ssl = required):
# STLS on PORT and implicit TLS on 995, the certificate chosen by the name the
# client asks for (mail.test by default, so other names get a mismatch).
# With SKARNVALE_DOVECOT_OAUTH=URL as well, the SASL mechanisms XOAUTH2 and
# OAUTHBEARER are offered and their tokens checked by the oauth2 passdb at the
# introspection URL (tests/servers/oauth_server.py, trusted through PKI_DIR's CA);
# SKARNVALE_DOVECOT_OAUTH_MECHANISMS names fewer ("oauthbearer").
# With SKARNVALE_DOVECOT_IMAP=PORT, IMAP is served too on ADDRESS:PORT (in
# clear, dovecot-imapd), with the folders Junk (\Junk) and Trash (\Trash);
# with TLS as well, STARTTLS on PORT and implicit TLS on 993. Its greeting
# offers SASL-IR, so that a client sends its login in the AUTHENTICATE line.
# A message is delivered as mail would be with
#   doveadm -c DIR/dovecot.conf save -u alice < MESSAGE
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

CRL_ADDRESS=127.0.0.51
OFFLINE_CRL_ADDRESS=127.0.0.52

pki() {
    mkdir -p "$dir" && cd "$dir"
    # Names, serial numbers and the CRL's address new with every PKI: Wine
    # keeps revocation answers and CRLs by issuer, serial and address
    # across runs of one prefix.
    local tag
    tag=$(openssl rand -hex 4)
    for ca in ca rogue-ca; do
        openssl req -x509 -newkey rsa:2048 -nodes -keyout $ca.key -out $ca.crt -days 30 -subj "/CN=SkarnVale $ca $tag" \
            -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
        : > $ca.index; openssl rand -hex 8 > $ca.serial
    done
    : > self.index; openssl rand -hex 8 > self.serial
    openssl x509 -in ca.crt -outform der -out ca.der
    local now month
    now=$(date -u -d yesterday +%Y%m%d%H%M%SZ) month=$(date -u -d '+30 days' +%Y%m%d%H%M%SZ)
    # name  CA  first day  last day  common name  alternative names  CRL server
    while read -r name ca start end cn san crl; do
        openssl req -newkey rsa:2048 -nodes -keyout $name.key -out $name.csr -subj "/CN=$cn" 2>/dev/null
        printf 'extendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' > $name.ext
        [ "$san" = - ] || echo "subjectAltName=$san" >> $name.ext
        [ "$crl" = - ] || echo "crlDistributionPoints=URI:http://$crl/ca-$tag.crl" >> $name.ext
        cat > $ca.cnf <<CNF
[ca]
default_ca = test
[test]
database = $dir/$ca.index
new_certs_dir = $dir
serial = $dir/$ca.serial
default_md = sha256
policy = any
unique_subject = no
[any]
commonName = supplied
CNF
        # "self": the certificate signs itself.
        local signer=(-cert $ca.crt -keyfile $ca.key)
        [ $ca != self ] || signer=(-selfsign -keyfile $name.key)
        openssl ca -batch -config $ca.cnf "${signer[@]}" -in $name.csr -out $name.crt \
            -startdate $start -enddate $end -extfile $name.ext -notext 2>/dev/null
    done <<LIST
mail.test ca $now $month mail.test DNS:mail.test $CRL_ADDRESS
auth.test ca $now $month auth.test DNS:auth.test $CRL_ADDRESS
expired.test ca 20200101000000Z 20210101000000Z expired.test DNS:expired.test $CRL_ADDRESS
future.test ca $(date -u -d '+1 year' +%Y%m%d%H%M%SZ) $(date -u -d '+2 years' +%Y%m%d%H%M%SZ) future.test DNS:future.test $CRL_ADDRESS
revoked.test ca $now $month revoked.test DNS:revoked.test $CRL_ADDRESS
offline-crl.test ca $now $month offline-crl.test DNS:offline-crl.test $OFFLINE_CRL_ADDRESS
ip-san.test ca $now $month ip-san.test DNS:ip-san.test,IP:127.0.0.1,IP:::1 $CRL_ADDRESS
ip-cn.test ca $now $month 127.0.0.1 - $CRL_ADDRESS
untrusted.test rogue-ca $now $month untrusted.test DNS:untrusted.test -
expired-self.test self 20200101000000Z 20210101000000Z expired-self.test DNS:expired-self.test -
LIST
    sed -i 's/^\[test\]$/[test]\ncrl_extensions = crl_ext\ndefault_crl_days = 30/' ca.cnf
    printf '[crl_ext]\nauthorityKeyIdentifier = keyid\n' >> ca.cnf
    openssl ca -config ca.cnf -cert ca.crt -keyfile ca.key -revoke revoked.test.crt 2>/dev/null
    openssl ca -config ca.cnf -cert ca.crt -keyfile ca.key -gencrl -out ca.crl.pem 2>/dev/null
    openssl crl -in ca.crl.pem -outform der -out ca-$tag.crl
    chmod 644 ./*.key
}

# The TLS part of the configuration, for the PKI in $1.
tls_config() {
    local pki=$1
    printf 'ssl = required\nssl_min_protocol = TLSv1.2\nssl_cert = <%s/mail.test.crt\nssl_key = <%s/mail.test.key\n' \
        "$pki" "$pki"
    for name in expired.test future.test revoked.test offline-crl.test untrusted.test expired-self.test; do
        printf 'local_name %s {\n  ssl_cert = <%s/%s.crt\n  ssl_key = <%s/%s.key\n}\n' \
            $name "$pki" $name "$pki" $name
    done
}

# Token checks by the authorization server at $1, whose certificate the CA
# of the PKI in $2 signs; password logins stay as they are.
oauth_config() {
    printf 'introspection_mode = post\nintrospection_url = %s\nforce_introspection = yes\n' "$1" > "$dir/oauth2.conf"
    printf 'username_attribute = username\nactive_attribute = active\nactive_value = true\n' >> "$dir/oauth2.conf"
    # The auth process runs unprivileged: it reads its own copy of the CA.
    install -m 644 "$2/ca.crt" "$dir/oauth-ca.crt"
    printf 'tls_ca_cert_file = %s/oauth-ca.crt\n' "$dir" >> "$dir/oauth2.conf"
    local mechanisms=${SKARNVALE_DOVECOT_OAUTH_MECHANISMS:-xoauth2 oauthbearer}
    printf 'auth_mechanisms = plain login %s\n' "$mechanisms"
    printf 'passdb {\n  driver = oauth2\n  mechanisms = %s\n  args = %s/oauth2.conf\n}\n' "$mechanisms" "$dir"
}

# IMAP on $2:$1 (and TLS from the first byte on $2:993 with $3, the PKI),
# its new mail seen at once in IDLE, and the special-use folders the client
# moves spam to.
imap_config() {
    printf 'mailbox_idle_check_interval = 1 secs\n'
    printf 'namespace inbox {\n  inbox = yes\n'
    printf '  mailbox Junk {\n    special_use = \\Junk\n    auto = create\n  }\n'
    printf '  mailbox Trash {\n    special_use = \\Trash\n    auto = create\n  }\n}\n'
    printf 'service imap-login {\n  inet_listener imap {\n    address = %s\n    port = %s\n  }\n' "$2" "$1"
    printf '  inet_listener imaps {\n    address = %s\n    port = %s\n    ssl = yes\n  }\n}\n' \
        "$2" "$([ -n "$3" ] && echo 993 || echo 0)"
}

start() {
    local port=${3:?port} address=${4:-127.0.0.1} tls=${SKARNVALE_DOVECOT_TLS:-} oauth=${SKARNVALE_DOVECOT_OAUTH:-}
    local imap=${SKARNVALE_DOVECOT_IMAP:-}
    mkdir -p "$dir/run" "$dir/state" "$dir/mail/"{alice,bob}/Maildir/{new,cur,tmp}
    chmod 755 "$dir"
    local password=${SKARNVALE_DOVECOT_PASSWORD:-secret}
    printf 'alice:{PLAIN}%s\nbob:{PLAIN}%s\n' "$password" "$password" > "$dir/users"
    if [ -z "$(ls -A "$dir/mail/alice/Maildir/new")" ]; then
    printf 'From: Bob <bob@example.org>\r\nTo: alice@example.org\r\nSubject: First\r\n\r\nHello\r\n.dotted\r\nthird\r\n' \
        > "$dir/mail/alice/Maildir/new/1000.M1.test"
    printf 'From: spam@example.com\r\nSubject: Buy now\r\n\r\nBody\r\n' \
        > "$dir/mail/alice/Maildir/new/1001.M1.test"
    fi
    chown -R nobody:nogroup "$dir/mail"
    cat > "$dir/dovecot.conf" <<CONF
protocols = pop3$([ -n "$imap" ] && echo " imap")
listen = $address
$(if [ -n "$tls" ]; then tls_config "$tls"; else echo "ssl = no"; fi)
disable_plaintext_auth = no
auth_verbose = yes
base_dir = $dir/run
state_dir = $dir/state
log_path = $dir/dovecot.log
mail_location = maildir:~/Maildir
mail_uid = nobody
mail_gid = nogroup
first_valid_uid = 1
$(if [ -n "$oauth" ]; then oauth_config "$oauth" "$tls"; fi)
passdb {
  driver = passwd-file
  args = $dir/users
}
userdb {
  driver = static
  args = uid=nobody gid=nogroup home=$dir/mail/%u
}
$(if [ -n "$imap" ]; then imap_config "$imap" "$address" "$tls"; fi)
service pop3-login {
  inet_listener pop3 {
    address = $address
    port = $port
  }
  inet_listener pop3s {
    address = $address
    port = $([ -n "$tls" ] && echo 995 || echo 0)
    ssl = yes
  }
}
CONF
    dovecot -c "$dir/dovecot.conf" </dev/null >/dev/null 2>&1
    for _ in $(seq 100); do
        if python3 - "$port" "$address" "$tls" <<'PY' 2>/dev/null; then return 0; fi
import os, socket, ssl, sys
s = socket.create_connection((sys.argv[2], int(sys.argv[1])), timeout=1)
ok = s.recv(100).startswith(b"+OK")
if ok and os.environ.get("SKARNVALE_DOVECOT_IMAP"):
    s = socket.create_connection((sys.argv[2], int(os.environ["SKARNVALE_DOVECOT_IMAP"])), timeout=1)
    ok = s.recv(100).startswith(b"* OK")
for port, greeting in ((995, b"+OK"), (993, b"* OK")) if sys.argv[3] else ():
    if ok and (port == 995 or os.environ.get("SKARNVALE_DOVECOT_IMAP")):
        s = socket.create_connection((sys.argv[2], port), timeout=1)
        s = ssl.create_default_context(cafile=sys.argv[3] + "/ca.crt").wrap_socket(s, server_hostname="mail.test")
        ok = s.recv(100).startswith(greeting)
sys.exit(0 if ok else 1)
PY
        sleep 0.1
    done
    echo "dovecot did not greet on $address:$port" >&2
    return 1
}

case "$action" in
start) start "$@" ;;
stop) stop ;;
pki) pki ;;
*) echo "usage: $0 start DIR PORT [ADDRESS] | stop DIR | pki DIR" >&2; exit 2 ;;
esac
