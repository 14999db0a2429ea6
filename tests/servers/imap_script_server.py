#!/usr/bin/env python3
"""A scripted IMAP server for tests of the client.

Serves a mailbox of messages with UIDs on --address:--port (0 picks a free
port; the port is printed as the first line of stdout), for as many sessions
as the client opens, one at a time; what the client moves or deletes stays so
for the next session. Every line the client sends is appended to the log file
(a literal's bytes as their own line), so that a test can check what was sent.

The mailbox: INBOX holds --messages generated messages (every one whose number
is a multiple of --spam-every comes from spam@spam.example), or the files of
--folder in name order; the first has UID --first-uid, UIDVALIDITY is
--uidvalidity. --folders names the other mailboxes as NAME[=FLAG],... with
the wire names (modified UTF-7) and their special use (default:
"Junk=\\Junk,Trash=\\Trash"; "" for none, INBOX alone).

It answers CAPABILITY, STARTTLS (--starttls, with --cert and --key; --tls is
TLS from the first byte), LOGIN, AUTHENTICATE PLAIN (with or without an
initial response), SELECT/EXAMINE, LIST (RETURN (SPECIAL-USE) too), UID
FETCH (UID, RFC822.SIZE, FLAGS, BODY.PEEK[HEADER.FIELDS (...)],
BODY[HEADER], BODY[] and BODY.PEEK[]), UID SEARCH, IDLE/DONE, UID MOVE, UID COPY, UID STORE, UID
EXPUNGE, EXPUNGE, NOOP and LOGOUT, for the user --user with --password.

Hostile options:
  --literal-headers       every string comes as a literal, and the headers
                          hold braces, parentheses and quotes at line ends
  --untagged-mid-answer   unasked FETCH, EXISTS and ALERT data between the
                          answers of UID FETCH and UID SEARCH
  --bye-in-idle S         S seconds into IDLE: "* BYE" and close
  --drop-in-idle S        S seconds into IDLE: close without a word
  --arrive-in-idle S      S seconds into IDLE: a new message and its EXISTS
  --exists-billion        SELECT and IDLE report 1000000000 messages
  --no-uidplus, --no-move, --no-special-use, --login-disabled
                          offer less (UID EXPUNGE and UID MOVE then BAD)
"""
import argparse
import base64
import os
import re
import select
import socket
import ssl
import sys
import time

HEADER_FIELD = re.compile(rb"HEADER\.FIELDS \(([^)]*)\)", re.I)


def make_message(n, spam_every, hostile):
    sender = "Promo <spam@spam.example>" if spam_every and n % spam_every == 0 else "Friend %d <f%d@example.org>" % (n, n)
    subject = "Message %d" % n + (' (a "quoted" {12}' if hostile else "")
    return ("From: %s\r\nTo: alice@example.org\r\nSubject: %s\r\n"
            "Date: Tue, 8 Dec 2026 09:00:00 +0000\r\nMessage-ID: <m%d@example.org>\r\n\r\n"
            "First line of %d\r\nSecond line\r\n" % (sender, subject, n, n)).encode()


class Mailbox:
    def __init__(self, name, flag):
        self.name, self.flag, self.messages, self.next_uid = name, flag, [], 1

    def add(self, data, flags=()):
        self.messages.append({"uid": self.next_uid, "data": data, "flags": set(flags)})
        self.next_uid += 1
        return self.next_uid - 1


def uid_set(text, mailbox):
    """The existing UIDs of a set as the client wrote it; "*" is the highest
    UID, so that "n:*" names the last message even when n is above every UID."""
    highest = max([m["uid"] for m in mailbox.messages] or [0])
    uids = set()
    for part in text.split(","):
        ends = [highest if x == "*" else int(x) for x in part.split(":")]
        uids.update(range(min(ends), min(max(ends), highest) + 1))
    return uids


def compact(uids):
    out, uids = [], sorted(uids)
    for u in uids:
        if out and out[-1][1] + 1 == u:
            out[-1][1] = u
        else:
            out.append([u, u])
    return ",".join(str(a) if a == b else "%d:%d" % (a, b) for a, b in out)


def header_fields(data, names):
    head = data.split(b"\r\n\r\n", 1)[0] + b"\r\n"
    if names is None:
        return head + b"\r\n"
    wanted = {n.upper() for n in names.split()}
    out, keep = [], False
    for line in head.split(b"\r\n")[:-1]:
        if line[:1] in (b" ", b"\t"):
            if keep:
                out.append(line)
            continue
        keep = line.split(b":", 1)[0].strip().upper() in wanted
        if keep:
            out.append(line)
    return b"".join(l + b"\r\n" for l in out) + b"\r\n"


class Session:
    def __init__(self, args, conn, boxes, log):
        self.args, self.conn, self.boxes, self.log = args, conn, boxes, log
        self.pending, self.tls = b"", bool(args.tls)
        self.selected = None

    # ---- the wire
    def send(self, data):
        self.conn.sendall(data if isinstance(data, bytes) else data.encode())

    def fill(self):
        data = self.conn.recv(65536)
        if not data:
            raise ConnectionError("closed")
        self.pending += data

    def read_line(self):
        while b"\r\n" not in self.pending:
            self.fill()
        line, self.pending = self.pending.split(b"\r\n", 1)
        self.log.write(line + b"\r\n")
        self.log.flush()
        return line

    def read_bytes(self, n):
        while len(self.pending) < n:
            self.fill()
        data, self.pending = self.pending[:n], self.pending[n:]
        self.log.write(data + b"\r\n")
        self.log.flush()
        return data

    def read_command(self):
        """The tokens of one command: atoms, strings (quoted or literal) and
        parenthesised groups as their raw text."""
        tokens = []
        while True:
            line = self.read_line()
            literal = re.search(rb"\{(\d+)(\+?)\}$", line)
            tokens += tokenize(line[:literal.start()] if literal else line)
            if not literal:
                return tokens
            if not literal.group(2):
                self.send("+ go ahead\r\n")
            tokens.append(self.read_bytes(int(literal.group(1))))

    def string(self, data):
        if self.args.literal_headers or b"\r" in data or b'"' in data:
            return b"{%d}\r\n" % len(data) + data
        return b'"' + data + b'"'

    # ---- the answers
    def capabilities(self):
        caps = ["IMAP4rev1", "LITERAL+", "SASL-IR", "IDLE", "AUTH=PLAIN"]
        caps += [] if self.args.no_uidplus else ["UIDPLUS"]
        caps += [] if self.args.no_move else ["MOVE"]
        caps += [] if self.args.no_special_use else ["SPECIAL-USE"]
        if self.args.starttls and not self.tls:
            caps += ["STARTTLS", "LOGINDISABLED"]
        elif self.args.login_disabled:
            caps += ["LOGINDISABLED"]
        return " ".join(caps)

    def exists(self):
        return 1000000000 if self.args.exists_billion else len(self.selected.messages)

    def untagged_noise(self):
        if self.args.untagged_mid_answer and self.selected and self.selected.messages:
            self.send("* 1 FETCH (FLAGS (\\Recent))\r\n* %d EXISTS\r\n* OK [ALERT] Quota at 91%%\r\n" % self.exists())

    def fetch(self, tag, uids, items):
        box = self.selected
        names = HEADER_FIELD.search(items)
        for seq, m in enumerate(box.messages, 1):
            if m["uid"] not in uids:
                continue
            parts = [b"UID %d" % m["uid"]]
            if b"RFC822.SIZE" in items.upper():
                parts.append(b"RFC822.SIZE %d" % len(m["data"]))
            if b"FLAGS" in items.upper():
                parts.append(b"FLAGS (" + " ".join(sorted(m["flags"])).encode() + b")")
            if b"BODY" in items.upper():
                if b"BODY.PEEK" not in items.upper():
                    m["flags"].add("\\Seen")
            if b"BODY[]" in items.upper() or b"BODY.PEEK[]" in items.upper():
                parts.append(b"BODY[] " + self.string(m["data"]))
            elif b"BODY" in items.upper():
                section = b"HEADER.FIELDS (" + names.group(1).upper() + b")" if names else b"HEADER"
                parts.append(b"BODY[" + section + b"] " +
                             self.string(header_fields(m["data"], names.group(1) if names else None)))
            self.send(b"* %d FETCH (" % seq + b" ".join(parts) + b")\r\n")
            self.untagged_noise()
        self.send(tag + b" OK UID FETCH completed\r\n")

    def expunge(self, uids):
        box = self.selected
        for seq in range(len(box.messages), 0, -1):
            if box.messages[seq - 1]["uid"] in uids:
                del box.messages[seq - 1]
                self.send("* %d EXPUNGE\r\n" % seq)

    def copy(self, uids, target):
        box, dest = self.selected, self.boxes.get(target)
        if dest is None:
            return None
        moved = [m for m in box.messages if m["uid"] in uids]
        new = [dest.add(m["data"], m["flags"] - {"\\Deleted"}) for m in moved]
        if self.args.no_uidplus or not moved:
            return b""
        return b"[COPYUID %d %s %s] " % (self.args.uidvalidity, compact(m["uid"] for m in moved).encode(),
                                         compact(new).encode())

    def idle(self, tag):
        self.send("+ idling\r\n")
        start = time.time()
        events = [(self.args.bye_in_idle, "bye"), (self.args.drop_in_idle, "drop"), (self.args.arrive_in_idle, "new")]
        events = sorted((start + s, e) for s, e in events if s)
        while True:
            if b"\r\n" in self.pending or (self.tls and self.conn.pending()):
                break
            wait = max(0.0, events[0][0] - time.time()) if events else self.args.timeout
            readable, _, _ = select.select([self.conn], [], [], wait)
            if readable:
                self.fill()
                continue
            if not events:
                raise ConnectionError("idle too long")
            _, event = events.pop(0)
            if event == "bye":
                self.send("* BYE Server shutting down\r\n")
                raise ConnectionError("bye")
            if event == "drop":
                raise ConnectionError("dropped")
            self.selected.add(make_message(len(self.selected.messages) + 100, self.args.spam_every, False))
            self.send("* %d EXISTS\r\n" % self.exists())
        if self.read_line().upper() != b"DONE":
            self.send(tag + b" BAD expected DONE\r\n")
            return
        self.send(tag + b" OK IDLE terminated\r\n")

    def command(self, tokens):
        tag, words = tokens[0], [t.upper() if isinstance(t, bytes) else t for t in tokens[1:]]
        verb = words[0] if words else b""
        if verb == b"UID" and len(words) > 1:
            verb, args, raw = b"UID " + words[1], words[2:], tokens[3:]
        else:
            args, raw = words[1:], tokens[2:]
        ok = lambda text="done": self.send(tag + b" OK " + text.encode() + b"\r\n")
        if verb == b"CAPABILITY":
            self.send("* CAPABILITY %s\r\n" % self.capabilities())
            ok()
        elif verb == b"NOOP":
            ok()
        elif verb == b"LOGOUT":
            self.send("* BYE logging out\r\n")
            ok()
            raise ConnectionError("logout")
        elif verb == b"STARTTLS" and self.args.starttls and not self.tls:
            ok("begin TLS")
            if self.pending:
                raise ConnectionError("bytes after STARTTLS")
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(self.args.cert, self.args.key)
            self.conn, self.tls = context.wrap_socket(self.conn, server_side=True), True
        elif verb == b"LOGIN":
            if "LOGINDISABLED" in self.capabilities():
                self.send(tag + b" NO [PRIVACYREQUIRED] LOGIN is disabled\r\n")
            elif raw[:2] == [self.args.user.encode(), self.args.password.encode()]:
                ok("[CAPABILITY %s] Logged in" % self.capabilities())
            else:
                self.send(tag + b" NO [AUTHENTICATIONFAILED] Authentication failed.\r\n")
        elif verb == b"AUTHENTICATE" and args[:1] == [b"PLAIN"]:
            if len(raw) < 2:
                self.send("+ \r\n")
                raw.append(self.read_line())
            try:
                fields = base64.b64decode(raw[1], validate=True).split(b"\0")
            except ValueError:
                fields = []
            if fields[1:] == [self.args.user.encode(), self.args.password.encode()]:
                ok("[CAPABILITY %s] Logged in" % self.capabilities())
            else:
                self.send(tag + b" NO [AUTHENTICATIONFAILED] Authentication failed.\r\n")
        elif verb == b"LIST":
            for box in self.boxes.values():
                flags = "" if self.args.no_special_use else box.flag
                self.send(b"* LIST (" + flags.encode() + b") \"/\" " + self.string(box.name.encode()) + b"\r\n")
            ok()
        elif verb in (b"SELECT", b"EXAMINE") and raw:
            name = raw[0].decode("latin-1")
            self.selected = self.boxes.get("INBOX" if name.upper() == "INBOX" else name)
            if self.selected is None:
                self.send(tag + b" NO [NONEXISTENT] Unknown mailbox\r\n")
                return
            self.send("* FLAGS (\\Answered \\Flagged \\Deleted \\Seen \\Draft)\r\n* %d EXISTS\r\n* 0 RECENT\r\n"
                      % self.exists())
            self.send("* OK [UIDVALIDITY %d] UIDs valid\r\n* OK [UIDNEXT %d] Predicted next UID\r\n"
                      % (self.args.uidvalidity, self.selected.next_uid))
            ok("[READ-%s] %s completed" % ("WRITE" if verb == b"SELECT" else "ONLY", verb.decode()))
        elif self.selected is None:
            self.send(tag + b" BAD not selected or unknown\r\n")
        elif verb == b"UID FETCH" and len(raw) >= 2:
            self.fetch(tag, uid_set(raw[0].decode(), self.selected), raw[1])
        elif verb == b"UID SEARCH":
            uids = uid_set(raw[1].decode(), self.selected) if args[:1] == [b"UID"] else None
            found = [m["uid"] for m in self.selected.messages if uids is None or m["uid"] in uids]
            self.untagged_noise()
            self.send("* SEARCH%s\r\n" % "".join(" %d" % u for u in found))
            ok()
        elif verb == b"UID STORE" and len(raw) >= 3:
            flags = set(raw[2].strip(b"()").decode().split())
            for seq, m in enumerate(self.selected.messages, 1):
                if m["uid"] in uid_set(raw[0].decode(), self.selected):
                    m["flags"] = (m["flags"] | flags) if args[1].startswith(b"+") else (m["flags"] - flags) \
                        if args[1].startswith(b"-") else flags
                    if b"SILENT" not in args[1]:
                        self.send("* %d FETCH (UID %d FLAGS (%s))\r\n" % (seq, m["uid"], " ".join(sorted(m["flags"]))))
            ok()
        elif verb == b"UID COPY" and len(raw) >= 2:
            code = self.copy(uid_set(raw[0].decode(), self.selected), raw[1].decode("latin-1"))
            self.send(tag + b" OK " + code + b"COPY completed\r\n" if code is not None
                      else tag + b" NO [TRYCREATE] no such mailbox\r\n")
        elif verb == b"UID MOVE" and len(raw) >= 2 and not self.args.no_move:
            uids = uid_set(raw[0].decode(), self.selected)
            code = self.copy(uids, raw[1].decode("latin-1"))
            if code is None:
                self.send(tag + b" NO [TRYCREATE] no such mailbox\r\n")
                return
            if code:
                self.send(b"* OK " + code + b"Moved\r\n")
            self.expunge(uids)
            ok("MOVE completed")
        elif verb == b"UID EXPUNGE" and raw and not self.args.no_uidplus:
            uids = uid_set(raw[0].decode(), self.selected)
            self.expunge({m["uid"] for m in self.selected.messages if m["uid"] in uids and "\\Deleted" in m["flags"]})
            ok()
        elif verb == b"EXPUNGE":
            self.expunge({m["uid"] for m in self.selected.messages if "\\Deleted" in m["flags"]})
            ok()
        elif verb == b"IDLE":
            self.idle(tag)
        else:
            self.send(tag + b" BAD unknown or unsupported command\r\n")

    def run(self):
        self.send("* OK [CAPABILITY %s] scripted IMAP ready\r\n" % self.capabilities())
        while True:
            tokens = self.read_command()
            try:
                if tokens:
                    self.command(tokens)
            except (ValueError, IndexError, UnicodeDecodeError):
                self.send(tokens[0] + b" BAD arguments not understood\r\n")


def tokenize(line):
    tokens, i = [], 0
    while i < len(line):
        c = line[i:i + 1]
        if c == b" ":
            i += 1
        elif c == b'"':
            j, text = i + 1, b""
            while j < len(line) and line[j:j + 1] != b'"':
                if line[j:j + 1] == b"\\":
                    j += 1
                text += line[j:j + 1]
                j += 1
            tokens.append(text)
            i = j + 1
        else:
            j, depth = i, 0
            while j < len(line) and (depth or line[j:j + 1] != b" "):
                depth += {b"(": 1, b"[": 1, b")": -1, b"]": -1}.get(line[j:j + 1], 0)
                j += 1
            tokens.append(line[i:j])
            i = j
    return tokens


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", required=True)
    parser.add_argument("--address", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--timeout", type=float, default=60.0)
    parser.add_argument("--messages", type=int, default=3)
    parser.add_argument("--folder")
    parser.add_argument("--folders", default="Junk=\\Junk,Trash=\\Trash")
    parser.add_argument("--first-uid", type=int, default=1)
    parser.add_argument("--uidvalidity", type=int, default=1234)
    parser.add_argument("--spam-every", type=int, default=0)
    parser.add_argument("--user", default="alice")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--tls", action="store_true")
    parser.add_argument("--starttls", action="store_true")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    for flag in ("literal-headers", "untagged-mid-answer", "exists-billion", "no-uidplus", "no-move",
                 "no-special-use", "login-disabled"):
        parser.add_argument("--" + flag, action="store_true")
    for option in ("bye-in-idle", "drop-in-idle", "arrive-in-idle"):
        parser.add_argument("--" + option, type=float, default=0.0)
    args = parser.parse_args()

    inbox = Mailbox("INBOX", "")
    inbox.next_uid = args.first_uid
    if args.folder:
        for name in sorted(os.listdir(args.folder)):
            with open(os.path.join(args.folder, name), "rb") as f:
                inbox.add(f.read())
    else:
        for n in range(1, args.messages + 1):
            inbox.add(make_message(n, args.spam_every, args.literal_headers))
    boxes = {"INBOX": inbox}
    for entry in filter(None, args.folders.split(",")):
        name, _, flag = entry.partition("=")
        boxes[name] = Mailbox(name, flag)

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((args.address, args.port))
    listener.listen(5)
    listener.settimeout(args.timeout)
    print(listener.getsockname()[1], flush=True)
    with open(args.log, "ab") as log:
        while True:
            try:
                conn, _ = listener.accept()
            except socket.timeout:
                return 0
            conn.settimeout(args.timeout)
            conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            try:
                if args.tls:
                    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
                    context.load_cert_chain(args.cert, args.key)
                    conn = context.wrap_socket(conn, server_side=True)
                Session(args, conn, boxes, log).run()
            except (socket.timeout, ConnectionError, ssl.SSLError, OSError):
                pass
            finally:
                conn.close()


if __name__ == "__main__":
    sys.exit(main())
