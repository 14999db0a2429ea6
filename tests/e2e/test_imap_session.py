"""The IMAP session under Wine against the scripted IMAP server
(tests/servers/imap_script_server.py): in clear, hostile, in TLS from the
first byte and after STARTTLS, and in IDLE (a new message, renewals, BYE
and a dropped connection), and the mail watch's spam cycle on servers with
no folder for spam (a copy kept, then the message expunged, or only marked
\\Deleted without UIDPLUS); and against a real Dovecot: a check, the spam
moved to Junk, and a message delivered during IDLE. Starts the servers, runs the Windows tests
that talk to them, and checks what the client sent."""

import os
import shutil
import socket
import subprocess
import sys
import tempfile
import unittest

import e2e_support

SERVER = os.path.join(e2e_support.ROOT, "tests", "servers", "imap_script_server.py")
DOVECOT_SCRIPT = os.path.join(e2e_support.ROOT, "tests", "servers", "dovecot.sh")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


@unittest.skipUnless(os.geteuid() == 0, "needs root: the test PKI serves its CRL on port 80")
class ImapSessionTest(unittest.TestCase):
    def server(self, *options, certificate=None):
        directory = tempfile.mkdtemp(prefix="skarnvale-imap-")
        log = os.path.join(directory, "commands.log")
        command = [sys.executable, SERVER, "--log", log, "--timeout", "120"] + list(options)
        if certificate:
            pki = e2e_support.test_pki()
            command += ["--cert", os.path.join(pki, certificate + ".crt"),
                        "--key", os.path.join(pki, certificate + ".key")]
        server = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE)
        self.addCleanup(server.stdout.close)
        self.addCleanup(server.wait, 30)
        self.addCleanup(server.kill)
        return log, server.stdout.readline().decode().strip()

    def test_session_against_scripted_servers(self):
        plain_log, plain = self.server()
        hostile_log, hostile = self.server("--literal-headers", "--untagged-mid-answer", "--exists-billion",
                                           "--no-uidplus", "--no-move", "--no-special-use")
        tls_log, tls = self.server("--tls", "--no-move", certificate="mail.test")
        starttls_log, starttls = self.server("--starttls", certificate="mail.test")
        arrive_log, arrive = self.server("--arrive-in-idle", "1")
        idle_log, idle = self.server()
        _, bye = self.server("--bye-in-idle", "1")
        _, drop = self.server("--drop-in-idle", "1")
        nofolder_log, nofolder = self.server("--folders", "", "--spam-every", "2")
        marking_log, marking = self.server("--folders", "", "--spam-every", "2", "--no-uidplus")
        nocopy_log, nocopy = self.server("--folders", "", "--spam-every", "2")
        # A spam message larger than the 4 MB a copy takes, between a
        # friend's and a small spam message.
        large_folder = tempfile.mkdtemp(prefix="skarnvale-imap-large-")
        self.addCleanup(shutil.rmtree, large_folder, True)
        for name, data in [("1.eml", b"From: friend@example.org\r\nSubject: Hello\r\n\r\nHi\r\n"),
                           ("2.eml", b"From: spam@spam.example\r\nSubject: Big\r\n\r\n" + b"x" * 78 * 70000 +
                            b"\r\n"),
                           ("3.eml", b"From: spam@spam.example\r\nSubject: Small\r\n\r\nBuy\r\n")]:
            with open(os.path.join(large_folder, name), "wb") as f:
                f.write(data)
        large_log, large = self.server("--folders", "", "--folder", large_folder)
        pin = e2e_support.cert_fingerprint(e2e_support.test_pki(), "mail.test")
        env = dict(e2e_support.SESSION_ENV, SKARNVALE_IMAP_PORT=plain, SKARNVALE_IMAP_PORT_HOSTILE=hostile,
                   SKARNVALE_IMAP_PORT_TLS=tls, SKARNVALE_IMAP_PORT_STARTTLS=starttls, SKARNVALE_TLS_PIN=pin,
                   SKARNVALE_IMAP_PORT_ARRIVE=arrive, SKARNVALE_IMAP_PORT_IDLE=idle, SKARNVALE_IMAP_PORT_BYE=bye,
                   SKARNVALE_IMAP_PORT_DROP=drop, SKARNVALE_IMAP_PORT_NOFOLDER=nofolder,
                   SKARNVALE_IMAP_PORT_NOFOLDER_NOUIDPLUS=marking, SKARNVALE_IMAP_PORT_NOFOLDER_LARGE=large,
                   SKARNVALE_IMAP_PORT_NOFOLDER_NOCOPY=nocopy)
        tests = os.path.join(e2e_support.BUILD_DIR, "win_tests.exe")
        result = subprocess.run([e2e_support.wine_loader(tests), tests,
                                 "--gtest_filter=ImapSession.*:ImapSpamCopyTest.*"], env=env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                timeout=180)
        output = result.stdout.decode(errors="replace")
        self.assertEqual(result.returncode, 0, output)
        self.assertNotIn("SKIPPED", output)

        fetch = (b" (UID FLAGS RFC822.SIZE BODY.PEEK[HEADER.FIELDS (FROM TO CC SUBJECT DATE MESSAGE-ID REPLY-TO "
                 b"RETURN-PATH SENDER CONTENT-TYPE CONTENT-TRANSFER-ENCODING)])\r\n")
        plain_login = b"A0001 AUTHENTICATE PLAIN AGFsaWNlAHNlY3JldA==\r\n"
        with open(plain_log, "rb") as f:
            # Three sessions: the new range fetched in one command, then
            # nothing to fetch (UIDNEXT says so), then a refused password.
            self.assertEqual(f.read(), plain_login + b"A0002 SELECT INBOX\r\nA0003 UID FETCH 2:*" + fetch +
                             b"A0004 LIST \"\" \"*\" RETURN (SPECIAL-USE)\r\nA0005 UID MOVE 2 Junk\r\n"
                             b"A0006 LOGOUT\r\n" + plain_login + b"A0002 SELECT INBOX\r\nA0003 LOGOUT\r\n" +
                             b"A0001 AUTHENTICATE PLAIN AGFsaWNlAHdyb25n\r\n")
        with open(hostile_log, "rb") as f:
            # No MOVE, no UIDPLUS: copied and marked, never a plain EXPUNGE.
            self.assertEqual(f.read(), plain_login + b"A0002 SELECT INBOX\r\nA0003 UID FETCH 1:*" + fetch +
                             b"A0004 LIST \"\" \"*\"\r\nA0005 UID COPY 1:2 Junk\r\n"
                             b"A0006 UID STORE 1:2 +FLAGS.SILENT (\\Deleted)\r\nA0007 LOGOUT\r\n")
        with open(tls_log, "rb") as f:
            self.assertEqual(f.read(), plain_login + b"A0002 SELECT INBOX\r\nA0003 UID FETCH 1:*" + fetch +
                             b"A0004 LIST \"\" \"*\" RETURN (SPECIAL-USE)\r\nA0005 UID COPY 3 Junk\r\n"
                             b"A0006 UID STORE 3 +FLAGS.SILENT (\\Deleted)\r\nA0007 UID EXPUNGE 3\r\n"
                             b"A0008 LOGOUT\r\n")
        with open(arrive_log, "rb") as f:
            # IDLE ended by DONE once the server announced the new message,
            # whose header alone is fetched.
            self.assertEqual(f.read(), plain_login + b"A0002 SELECT INBOX\r\nA0003 UID FETCH 1:*" + fetch +
                             b"A0004 IDLE\r\nDONE\r\nA0005 UID FETCH 4:*" + fetch + b"A0006 LOGOUT\r\n")
        with open(idle_log, "rb") as f:
            self.assertEqual(f.read(), plain_login + b"A0002 SELECT INBOX\r\nA0003 UID FETCH 1:*" + fetch +
                             b"A0004 IDLE\r\nDONE\r\nA0005 IDLE\r\nDONE\r\nA0006 IDLE\r\nDONE\r\n"
                             b"A0007 LOGOUT\r\n")
        # No folder for spam: message 2 fetched whole, then only it marked
        # and expunged by UID; without UIDPLUS only marked, and no EXPUNGE
        # of any kind; nothing else stored.
        spam_session = (b"A0003 LIST \"\" \"*\" RETURN (SPECIAL-USE)\r\n"
                        b"A0004 UID FETCH 2 (UID RFC822.SIZE BODY.PEEK[])\r\n"
                        b"A0005 UID STORE 2 +FLAGS.SILENT (\\Deleted)\r\n")
        with open(nofolder_log, "rb") as f:
            log = f.read()
            self.assertIn(spam_session + b"A0006 UID EXPUNGE 2\r\nA0007 LOGOUT\r\n", log)
            self.assertEqual(log.count(b"STORE"), 1, log)
            self.assertEqual(log.count(b"EXPUNGE"), 1, log)
        with open(marking_log, "rb") as f:
            log = f.read()
            self.assertIn(spam_session + b"A0006 LOGOUT\r\n", log)
            self.assertEqual(log.count(b"STORE"), 1, log)
            self.assertNotIn(b"EXPUNGE", log)
        with open(nocopy_log, "rb") as f:
            # Copies off: marked and expunged at once, nothing fetched whole.
            log = f.read()
            self.assertIn(b"A0003 LIST \"\" \"*\" RETURN (SPECIAL-USE)\r\n"
                          b"A0004 UID STORE 2 +FLAGS.SILENT (\\Deleted)\r\nA0005 UID EXPUNGE 2\r\n", log)
            self.assertNotIn(b"BODY.PEEK[]", log)
        with open(large_log, "rb") as f:
            log = f.read()
            self.assertIn(b"A0004 UID FETCH 3 (UID RFC822.SIZE BODY.PEEK[])\r\n"
                          b"A0005 UID STORE 3 +FLAGS.SILENT (\\Deleted)\r\nA0006 UID EXPUNGE 3\r\n", log)
            self.assertEqual(log.count(b"STORE"), 1, log)
        with open(starttls_log, "rb") as f:
            # STARTTLS first; the capabilities asked again in TLS, then the
            # login that LOGINDISABLED forbade in clear.
            self.assertEqual(f.read(), b"A0001 STARTTLS\r\nA0002 CAPABILITY\r\n" +
                             plain_login.replace(b"A0001", b"A0003") + b"A0004 SELECT INBOX\r\nA0005 UID FETCH 1:*" +
                             fetch + b"A0006 LOGOUT\r\n")


@unittest.skipUnless(os.geteuid() == 0 and os.path.exists("/usr/lib/dovecot/imap"), "needs root and dovecot-imapd")
class ImapDovecotTest(unittest.TestCase):
    def test_check_spam_move_and_idle_against_dovecot(self):
        directory = tempfile.mkdtemp(prefix="skarnvale-dovecot-imap-")
        imap_port = free_port()
        subprocess.run([DOVECOT_SCRIPT, "start", directory, str(free_port())], check=True, stdin=subprocess.DEVNULL,
                       timeout=60, env=dict(os.environ, SKARNVALE_DOVECOT_IMAP=str(imap_port)))
        self.addCleanup(subprocess.run, [DOVECOT_SCRIPT, "stop", directory], stdin=subprocess.DEVNULL, timeout=60)
        maildir = os.path.join(directory, "mail", "alice", "Maildir")
        env = dict(e2e_support.SESSION_ENV, SKARNVALE_DOVECOT_IMAP_PORT=str(imap_port), SKARNVALE_DOVECOT_MAILDIR=maildir)
        tests = os.path.join(e2e_support.BUILD_DIR, "win_tests.exe")
        result = subprocess.run([e2e_support.wine_loader(tests), tests, "--gtest_filter=ImapDovecot.*"], env=env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                timeout=180)
        output = result.stdout.decode(errors="replace")
        self.assertEqual(result.returncode, 0, output)
        self.assertNotIn("SKIPPED", output)
        # The spam is in Junk; the late message was deleted by the mail
        # watch; the first stays in the inbox, not marked \Seen by the
        # header fetches.
        files = lambda sub: [n for d in ("new", "cur") for n in os.listdir(os.path.join(maildir, sub, d))]
        self.assertEqual(len(files(".Junk")), 1)
        inbox = files("")
        self.assertEqual(len(inbox), 1, inbox)
        self.assertFalse([n for n in inbox if ":2," in n and "S" in n.split(":2,")[1]], inbox)
        # Three headers read, no body.
        with open(os.path.join(directory, "dovecot.log")) as f:
            self.assertRegex(f.read(), r"imap\(alice\).*Logged out .*hdr_count=3 .*body_count=0 ")


if __name__ == "__main__":
    unittest.main()
