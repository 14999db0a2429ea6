#!/usr/bin/env python3
"""A scripted POP3 server for tests of the client.

Listens on 127.0.0.1 on a free port (printed as the first line of stdout),
accepts one connection and replays a script; every command line received is
appended to the log file. The script is a JSON list of steps:

  {"send": "text"}          send text as is (escapes such as \\r\\n in JSON)
  {"send_long": [n, "c", "tail"]}  send n copies of c, then tail
  {"command": true}         read one command line and log it
  {"pause": seconds}        wait, so that the next send is a packet of its own
  {"log": "text"}           write the text as a line of the log, to say the
                            script got here
  {"silent": true}          answer nothing more; wait until the client closes
  {"close": true}           close the connection now (mid-reply if so placed)
  {"tls": true}             TLS from here on, as server (--cert, --key); what
                            follows is sent and read encrypted
  {"send": "text", "split": n}   over TLS: the record's bytes in pieces of n
                            bytes, each a packet of its own
  {"records": ["a", "b"]}   over TLS: one record per text, all in one packet
  {"close_notify": true}    over TLS: send the close notify, keep TCP open
  {"close_in_handshake": true}   read the client's first TLS bytes, then close
  {"tls": "libssl"}         TLS 1.2 through OpenSSL's libssl driven by ctypes,
                            which can do what Python's ssl cannot:
  {"renegotiate": true}     over {"tls": "libssl"}: send a HelloRequest now;
                            the client may renegotiate or go on without
  {"corrupt": "text"}       over TLS: send text as a record whose last byte
                            is flipped, so that it fails its integrity check

After the last step the server reads and logs commands until the client
closes.

With --maildrop COUNT instead of --script it is a maildrop of COUNT generated
messages on --address:--port, for as many sessions as the client opens (one
at a time): every message whose number is a multiple of --spam-every comes
from spam@spam.example; DELE marks, QUIT removes. --trickle SECONDS makes
every TOP reply one line per SECONDS that never ends; --slow SECONDS holds
every session's greeting that long, a server slow to answer. --fault makes a
server whose deletions fail: refuse-dele answers every DELE -ERR, silent-quit
closes at the QUIT of a session that marked messages without an answer and
removes nothing, cut-after-retr closes the session once a RETR is answered. Commands are logged. --port 0 listens
on a free port, the one printed.
"""
import argparse
import json
import socket
import ssl
import sys
import time


class TlsChannel:
    """TLS over the accepted socket through memory buffers, so that the test
    decides how the records are cut into packets."""

    def __init__(self, conn, cert, key):
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        self.conn, self.incoming, self.outgoing = conn, ssl.MemoryBIO(), ssl.MemoryBIO()
        self.tls = context.wrap_bio(self.incoming, self.outgoing, server_side=True)
        while True:
            try:
                self.tls.do_handshake()
                break
            except ssl.SSLWantReadError:
                self.flush()
                if not self.fill():
                    raise ConnectionError("closed in the handshake")
        self.flush()

    def fill(self):
        data = self.conn.recv(16384)
        if data:
            self.incoming.write(data)
        return bool(data)

    def flush(self, split=None):
        data = self.outgoing.read()
        step = split or len(data) or 1
        for i in range(0, len(data), step):
            self.conn.sendall(data[i:i + step])
            if split:
                time.sleep(0.02)

    def sendall(self, data, split=None):
        self.tls.write(data)
        self.flush(split)

    def send_records(self, texts):
        for text in texts:
            self.tls.write(text)
        self.flush()

    def send_corrupt(self, data):
        self.tls.write(data)
        record = bytearray(self.outgoing.read())
        record[-1] ^= 1
        self.conn.sendall(bytes(record))

    def recv(self, size):
        while True:
            try:
                return self.tls.read(size)
            except ssl.SSLWantReadError:
                if not self.fill():
                    return b""
            except ssl.SSLZeroReturnError:
                return b""

    def close_notify(self):
        try:
            self.tls.unwrap()
        except ssl.SSLWantReadError:
            pass
        self.flush()


class LibsslChannel:
    """TLS 1.2 on the accepted socket through libssl itself (ctypes), for the
    server's renegotiation: Python's ssl module has no way to ask for one."""

    def __init__(self, conn, cert, key):
        import ctypes
        self.lib = lib = ctypes.CDLL("libssl.so.3")
        for name, result in (("TLS_server_method", ctypes.c_void_p), ("SSL_CTX_new", ctypes.c_void_p),
                             ("SSL_new", ctypes.c_void_p)):
            getattr(lib, name).restype = result
        lib.SSL_CTX_new.argtypes = [ctypes.c_void_p]
        lib.SSL_CTX_ctrl.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        for name in ("SSL_CTX_use_certificate_chain_file", "SSL_CTX_use_PrivateKey_file"):
            getattr(lib, name).argtypes = [ctypes.c_void_p, ctypes.c_char_p] + ([ctypes.c_int] if "Private" in name else [])
        lib.SSL_new.argtypes = [ctypes.c_void_p]
        for name in ("SSL_accept", "SSL_renegotiate", "SSL_do_handshake", "SSL_shutdown", "SSL_renegotiate_pending"):
            getattr(lib, name).argtypes = [ctypes.c_void_p]
        lib.SSL_set_fd.argtypes = [ctypes.c_void_p, ctypes.c_int]
        lib.SSL_read.argtypes = lib.SSL_write.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int]
        lib.SSL_get_error.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.ctypes = ctypes
        ctx = lib.SSL_CTX_new(lib.TLS_server_method())
        lib.SSL_CTX_ctrl(ctx, 124, 0x0303, None)  # SSL_CTX_set_max_proto_version(TLS 1.2): renegotiation is 1.2's
        if lib.SSL_CTX_use_certificate_chain_file(ctx, cert.encode()) != 1 or \
                lib.SSL_CTX_use_PrivateKey_file(ctx, key.encode(), 1) != 1:
            raise ConnectionError("libssl refused the certificate or key")
        # libssl reads the descriptor itself: it must block, as Python's
        # time-out makes it non-blocking underneath.
        conn.settimeout(None)
        self.conn, self.ssl = conn, lib.SSL_new(ctx)
        lib.SSL_set_fd(self.ssl, conn.fileno())
        if lib.SSL_accept(self.ssl) != 1:
            raise ConnectionError("libssl handshake failed")

    def sendall(self, data, split=None):
        if self.lib.SSL_write(self.ssl, data, len(data)) <= 0:
            raise ConnectionError("libssl write failed")

    def recv(self, size):
        buffer = self.ctypes.create_string_buffer(size)
        count = self.lib.SSL_read(self.ssl, buffer, size)
        return buffer.raw[:count] if count > 0 else b""

    def renegotiate(self):
        if self.lib.SSL_renegotiate(self.ssl) != 1 or self.lib.SSL_do_handshake(self.ssl) != 1:
            raise ConnectionError("libssl could not send the HelloRequest")

    def close_notify(self):
        self.lib.SSL_shutdown(self.ssl)


def read_line(conn, pending):
    while b"\r\n" not in pending[0]:
        chunk = conn.recv(4096)
        if not chunk:
            return None
        pending[0] += chunk
    line, pending[0] = pending[0].split(b"\r\n", 1)
    return line


def maildrop_message(n, spam_every):
    sender = "Promo <spam@spam.example>" if spam_every and n % spam_every == 0 else "Friend %d <f%d@example.org>" % (n, n)
    return ("From: %s\r\nTo: alice@example.org\r\nSubject: Message %d\r\n"
            "Date: Tue, 8 Dec 2026 09:00:00 +0000\r\n\r\nFirst line of %d\r\nSecond line\r\n"
            % (sender, n, n)).encode()


def maildrop_reply(command, messages, uidls, deleted, trickle, conn, fault=None):
    words = command.split()
    verb = words[0].upper() if words else b""
    numbers = [int(w) for w in words[1:] if w.isdigit()]
    alive = [n for n in range(1, len(messages) + 1) if n not in deleted]
    exists = lambda n: 1 <= n <= len(messages) and n not in deleted
    if verb in (b"USER", b"PASS", b"NOOP"):
        return b"+OK\r\n"
    if verb in (b"LIST", b"UIDL"):
        item = lambda n: b"%d %s" % (n, b"%d" % len(messages[n - 1]) if verb == b"LIST" else uidls[n - 1])
        if numbers:
            return b"+OK " + item(numbers[0]) + b"\r\n" if exists(numbers[0]) else b"-ERR no such message\r\n"
        return b"+OK\r\n" + b"".join(item(n) + b"\r\n" for n in alive) + b".\r\n"
    if verb == b"TOP" and len(numbers) == 2 and exists(numbers[0]):
        if trickle:
            conn.sendall(b"+OK\r\n")
            for n in range(1000000):
                conn.sendall(b"Line %d\r\n" % n)
                time.sleep(trickle)
        head, body = messages[numbers[0] - 1].split(b"\r\n\r\n", 1)
        lines = body.split(b"\r\n")[:numbers[1]]
        return b"+OK\r\n" + head + b"\r\n\r\n" + b"".join(l + b"\r\n" for l in lines if l) + b".\r\n"
    if verb == b"RETR" and numbers and exists(numbers[0]):
        lines = messages[numbers[0] - 1].split(b"\r\n")[:-1]
        return b"+OK\r\n" + b"".join((b"." if l.startswith(b".") else b"") + l + b"\r\n" for l in lines) + b".\r\n"
    if verb == b"DELE" and numbers and exists(numbers[0]) and fault != "refuse-dele":
        deleted.add(numbers[0])
        return b"+OK\r\n"
    return b"-ERR not done\r\n"


def serve_maildrop(args):
    messages = [maildrop_message(n, args.spam_every) for n in range(1, args.maildrop + 1)]
    # A message keeps its unique id when those before it go (RFC 1939).
    uidls = [b"u%d" % n for n in range(1, args.maildrop + 1)]
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((args.address, args.port))
    listener.listen(5)
    print(listener.getsockname()[1], flush=True)
    with open(args.log, "ab") as log:
        while True:
            conn, _ = listener.accept()
            conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            pending, deleted = [b""], set()
            try:
                time.sleep(args.slow)
                conn.sendall(b"+OK maildrop ready\r\n")
                while True:
                    line = read_line(conn, pending)
                    if line is None:
                        break
                    log.write(line + b"\r\n")
                    log.flush()
                    if line.upper() == b"QUIT":
                        if args.fault == "silent-quit" and deleted:
                            break
                        messages = [m for n, m in enumerate(messages, 1) if n not in deleted]
                        uidls = [u for n, u in enumerate(uidls, 1) if n not in deleted]
                        conn.sendall(b"+OK bye\r\n")
                        break
                    conn.sendall(maildrop_reply(line, messages, uidls, deleted, args.trickle, conn, args.fault))
                    if args.fault == "cut-after-retr" and line.upper().startswith(b"RETR "):
                        break
            except (socket.timeout, ConnectionError):
                pass
            finally:
                conn.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--script")
    parser.add_argument("--log", required=True)
    parser.add_argument("--timeout", type=float, default=60.0)
    parser.add_argument("--maildrop", type=int)
    parser.add_argument("--address", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=110)
    parser.add_argument("--spam-every", type=int, default=0)
    parser.add_argument("--trickle", type=float, default=0.0)
    parser.add_argument("--slow", type=float, default=0.0)
    parser.add_argument("--fault", choices=("refuse-dele", "silent-quit", "cut-after-retr"))
    parser.add_argument("--cert")
    parser.add_argument("--key")
    args = parser.parse_args()
    if args.maildrop is not None:
        return serve_maildrop(args)
    with open(args.script, encoding="latin-1") as f:
        steps = json.load(f)

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    listener.settimeout(args.timeout)
    print(listener.getsockname()[1], flush=True)
    conn, _ = listener.accept()
    conn.settimeout(args.timeout)
    conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    raw = conn
    pending = [b""]
    with open(args.log, "ab") as log:
        def log_command():
            line = read_line(conn, pending)
            if line is not None:
                log.write(line + b"\r\n")
                log.flush()
            return line

        try:
            for step in steps:
                if step.get("tls") == "libssl":
                    conn = LibsslChannel(raw, args.cert, args.key)
                elif "tls" in step:
                    conn = TlsChannel(raw, args.cert, args.key)
                elif "renegotiate" in step:
                    conn.renegotiate()
                elif "corrupt" in step:
                    conn.send_corrupt(step["corrupt"].encode("latin-1"))
                elif "close_in_handshake" in step:
                    raw.recv(5)
                    raw.close()
                    return 0
                elif "records" in step:
                    conn.send_records([text.encode("latin-1") for text in step["records"]])
                elif "close_notify" in step:
                    conn.close_notify()
                    while raw.recv(4096):
                        pass
                    return 0
                elif "send" in step and "split" in step:
                    conn.sendall(step["send"].encode("latin-1"), step["split"])
                elif "send" in step:
                    conn.sendall(step["send"].encode("latin-1"))
                elif "send_long" in step:
                    count, char, tail = step["send_long"]
                    conn.sendall((char * count + tail).encode("latin-1"))
                elif "command" in step:
                    if log_command() is None:
                        return 0
                elif "log" in step:
                    log.write(step["log"].encode("latin-1") + b"\r\n")
                    log.flush()
                elif "pause" in step:
                    time.sleep(step["pause"])
                elif "silent" in step:
                    while conn.recv(4096):
                        pass
                    return 0
                elif "close" in step:
                    raw.close()
                    return 0
            while log_command() is not None:
                pass
        except (socket.timeout, ConnectionError, ssl.SSLError):
            pass
        finally:
            raw.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
