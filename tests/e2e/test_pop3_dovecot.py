"""The POP3 client against a real Dovecot server: starts a private Dovecot
instance (tests/servers/dovecot.sh, needs root) and runs the Windows test
that talks to it under Wine; the same over TLS, and against scripted TLS
servers that cut records their own way."""

import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import unittest

import e2e_support

DOVECOT_SCRIPT = os.path.join(e2e_support.ROOT, "tests", "servers", "dovecot.sh")
SCRIPT_SERVER = os.path.join(e2e_support.ROOT, "tests", "servers", "pop3_script_server.py")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


@unittest.skipUnless(os.geteuid() == 0 and os.path.exists("/usr/sbin/dovecot"), "needs root and dovecot-pop3d")
class Pop3DovecotTest(unittest.TestCase):
    def test_mailbox_check_against_dovecot(self):
        directory = tempfile.mkdtemp(prefix="skarnvale-dovecot-")
        port = free_port()
        subprocess.run([DOVECOT_SCRIPT, "start", directory, str(port)], check=True, stdin=subprocess.DEVNULL,
                       timeout=60)
        try:
            env = dict(e2e_support.SESSION_ENV)
            env["SKARNVALE_DOVECOT_PORT"] = str(port)
            tests = os.path.join(e2e_support.BUILD_DIR, "win_tests.exe")
            result = subprocess.run(
                [e2e_support.wine_loader(tests), tests,
                 "--gtest_filter=Pop3Dovecot.*"],
                env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                timeout=120)
            output = result.stdout.decode(errors="replace")
            self.assertEqual(result.returncode, 0, output)
            # The tests in clear ran and passed; those over TLS skip without a TLS Dovecot.
            passed = output.count("[       OK ]")
            self.assertGreaterEqual(passed, 2, output)
            self.assertIn("[  PASSED  ] %d tests" % passed, output)
            with open(os.path.join(directory, "dovecot.log")) as log:
                self.assertIn("Logged out top=2/", log.read())
        finally:
            subprocess.run([DOVECOT_SCRIPT, "stop", directory], stdin=subprocess.DEVNULL, timeout=60)

    def test_spam_guard_and_erase_all_against_dovecot(self):
        directory = tempfile.mkdtemp(prefix="skarnvale-dovecot-spam-")
        self.addCleanup(shutil.rmtree, directory, True)
        new = os.path.join(directory, "mail", "alice", "Maildir", "new")
        os.makedirs(new)
        # 40 messages, LF-ended as Dovecot stores them: 30 marked, one allowed
        # sender of the listed domain, 9 others; a dot-started line and a line
        # longer than the client's line buffer among the marked.
        originals = {}
        for n in range(1, 41):
            sender = ("deals@spam.example" if n <= 30 else "News <news@spam.example>" if n == 31
                      else "friend@example.org")
            body = "".join("line %d of message %d\n" % (i, n) for i in range(n * 20))
            body += ".starts with a dot\n" + "x" * 9000 + "\n" if n == 7 else ""
            text = "From: %s\nTo: alice@example.org\nSubject: Message %d\nMessage-ID: <%d@test>\n\n%s" % (
                sender, n, n, body)
            originals[n] = text.encode()
            with open(os.path.join(new, "%d.M1.spam" % n), "wb") as f:
                f.write(originals[n])
        quarantine = os.path.join(directory, "quarantine")
        port = free_port()
        subprocess.run([DOVECOT_SCRIPT, "start", directory, str(port)], check=True, stdin=subprocess.DEVNULL,
                       timeout=60)
        try:
            run_win_tests(self, "SpamCycleDovecot.*", {
                "SKARNVALE_DOVECOT_SPAM_PORT": str(port),
                "SKARNVALE_DOVECOT_QUARANTINE": "Z:" + quarantine.replace("/", "\\")})
        finally:
            subprocess.run([DOVECOT_SCRIPT, "stop", directory], stdin=subprocess.DEVNULL, timeout=60)
        with open(os.path.join(directory, "dovecot.log")) as f:
            # One session fetched and deleted the 30, and none before it deleted any.
            deletions = re.findall(r"retr=\d+/\d+, del=(\d+)/", f.read())
        self.assertEqual([d for d in deletions if d != "0"], ["30"], deletions)
        maildir = os.path.join(directory, "mail", "alice", "Maildir")
        left = sorted(int(name.split(".")[0]) for sub in ("new", "cur") for name in os.listdir(os.path.join(maildir, sub)))
        self.assertEqual(left, list(range(31, 41)), "the allowed sender and the others stay")
        # Each deleted message has its copy: the server's bytes, line ends aside.
        copies = []
        for name in os.listdir(quarantine):
            if name.endswith(".eml"):
                with open(os.path.join(quarantine, name), "rb") as f:
                    copies.append(f.read().replace(b"\r\n", b"\n"))
        copies.sort()
        self.assertEqual(copies, sorted(originals[n] for n in range(1, 31)))
        self.assertEqual(len([name for name in os.listdir(quarantine) if name.endswith(".txt")]), 30)


def run_win_tests(test, pattern, env_extra):
    env = dict(e2e_support.SESSION_ENV, **env_extra)
    tests = os.path.join(e2e_support.BUILD_DIR, "win_tests.exe")
    result = subprocess.run([e2e_support.wine_loader(tests), tests, "--gtest_filter=" + pattern], env=env,
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=180)
    output = result.stdout.decode(errors="replace")
    test.assertEqual(result.returncode, 0, output)
    test.assertNotIn("SKIPPED", output)
    return output


@unittest.skipUnless(os.geteuid() == 0 and os.path.exists("/usr/sbin/dovecot"), "needs root and dovecot-pop3d")
class Pop3TlsTest(unittest.TestCase):
    def test_tls_against_dovecot_requiring_it(self):
        directory = tempfile.mkdtemp(prefix="skarnvale-dovecot-tls-")
        # alice gets dovecot.sh's two messages, bob these; one of each is spam.
        bob_new = os.path.join(directory, "mail", "bob", "Maildir", "new")
        os.makedirs(bob_new)
        for name, sender in (("1.M1.bob", "carol@example.org"), ("2.M1.bob", "spam@example.net")):
            with open(os.path.join(bob_new, name), "wb") as f:
                f.write(b"From: %s\r\nSubject: For Bob\r\n\r\nHello\r\n" % sender.encode())
        e2e_support.start_tls_dovecot(self, directory)
        pki = e2e_support.test_pki()
        certificates = {"SKARNVALE_DOVECOT_TLS": e2e_support.TLS_ADDRESS,
                        "SKARNVALE_UNTRUSTED_FINGERPRINT": e2e_support.cert_fingerprint(pki, "untrusted.test"),
                        "SKARNVALE_EXPIRED_SELF_FINGERPRINT": e2e_support.cert_fingerprint(pki, "expired-self.test"),
                        "SKARNVALE_REVOKED_FINGERPRINT": e2e_support.cert_fingerprint(pki, "revoked.test"),
                        "SKARNVALE_MAIL_FINGERPRINT": e2e_support.cert_fingerprint(pki, "mail.test")}
        run_win_tests(self, "Pop3Dovecot.*Tls*:Pop3Dovecot.Certificate*:MailCheckTls.*", certificates)
        # A later program of the prefix finds the platform's revocation answers
        # of the one above on disk: it still refuses every certificate for its reason.
        run_win_tests(self, "Pop3Dovecot.Certificate*", certificates)
        with open(os.path.join(directory, "dovecot.log")) as f:
            log = f.read()
        self.assertRegex(log, r"Login: user=<alice>.*TLS")
        self.assertRegex(log, r"Login: user=<bob>.*TLS")
        self.assertNotIn("carol", log, "a refused certificate let the client name its user")
        # The spam cycle over TLS and STLS left exactly the mail that is not spam.
        for user, kept in (("alice", ["1000.M1.test"]), ("bob", ["1.M1.bob"])):
            maildir = os.path.join(directory, "mail", user, "Maildir")
            left = [name.split(":")[0] for sub in ("new", "cur") for name in os.listdir(os.path.join(maildir, sub))]
            self.assertEqual(sorted(left), kept)

    def scripted_server(self, name, steps, certificate="mail.test"):
        directory = tempfile.mkdtemp(prefix="skarnvale-tls-script-")
        pki = e2e_support.test_pki()
        with open(os.path.join(directory, "script.json"), "w") as f:
            json.dump(steps, f)
        server = subprocess.Popen(
            [sys.executable, SCRIPT_SERVER, "--script", os.path.join(directory, "script.json"), "--log",
             os.path.join(directory, "commands.log"), "--cert", os.path.join(pki, certificate + ".crt"),
             "--key", os.path.join(pki, certificate + ".key")],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE)
        self.addCleanup(server.stdout.close)
        self.addCleanup(server.wait, 30)
        self.addCleanup(server.kill)
        return os.path.join(directory, "commands.log"), server.stdout.readline().decode().strip()

    def test_tls_records_and_endings_against_scripted_servers(self):
        body = "".join("line %d of a long message\r\n" % n for n in range(2000))
        records_log, records = self.scripted_server("records", [
            {"tls": True}, {"send": "+OK ready\r\n", "split": 3},
            {"command": True}, {"send": "+OK user\r\n"}, {"command": True}, {"send": "+OK pass\r\n"},
            {"command": True}, {"records": ["+OK 2 messages\r\n", "1 120\r\n2 200\r\n", ".\r\n"]},
            {"command": True}, {"send": "+OK\r\nSubject: long\r\n\r\n" + body + ".\r\n"},
            {"command": True}, {"send": "+OK bye\r\n"}, {"close_notify": True}])
        _, closing = self.scripted_server("closing", [{"close_in_handshake": True}])
        _, silent = self.scripted_server("silent", [{"silent": True}])
        _, clear = self.scripted_server("clear", [{"send": "+OK ready\r\n"}])
        greeting = [{"send": "+OK ready\r\n"}, {"command": True}]
        no_stls_log, no_stls = self.scripted_server("no STLS", greeting + [{"send": "+OK\r\nUSER\r\n.\r\n"}])
        offered = greeting + [{"send": "+OK\r\nSTLS\r\n.\r\n"}, {"command": True}]
        refused_log, refused = self.scripted_server("STLS refused", offered + [{"send": "-ERR not today\r\n"}])
        login = [{"tls": True}, {"send": "+OK ready\r\n"}, {"command": True}, {"send": "+OK user\r\n"},
                 {"command": True}, {"send": "+OK pass\r\n"}, {"command": True}, {"send": "+OK bye\r\n"}]
        ip_san_log, ip_san = self.scripted_server("IP entry", login, "ip-san.test")
        ip_cn_log, ip_cn = self.scripted_server("IP as common name", login, "ip-cn.test")
        # A HelloRequest before the reply to USER; libssl carries on whether
        # the client renegotiates or declines.
        renegotiate_log, renegotiate = self.scripted_server("renegotiation", [
            {"tls": "libssl"}, {"send": "+OK ready\r\n"}, {"command": True}, {"renegotiate": True},
            {"send": "+OK user\r\n"}, {"command": True}, {"send": "+OK pass\r\n"},
            {"command": True}, {"send": "+OK\r\n1 100\r\n.\r\n"}, {"command": True}, {"send": "+OK bye\r\n"}])
        corrupt_log, corrupt = self.scripted_server("corrupt record", [
            {"tls": True}, {"send": "+OK ready\r\n"}, {"command": True}, {"corrupt": "+OK user\r\n"},
            {"silent": True}])
        run_win_tests(self, "Pop3Tls.*", {
            "SKARNVALE_TLS_PORT_IP_SAN": ip_san, "SKARNVALE_TLS_PORT_IP_CN": ip_cn,
            "SKARNVALE_TLS_PORT_RENEGOTIATE": renegotiate, "SKARNVALE_TLS_PORT_CORRUPT": corrupt,
            "SKARNVALE_TLS_PIN": e2e_support.cert_fingerprint(e2e_support.test_pki(), "mail.test"),
            "SKARNVALE_TLS_PORT_RECORDS": records, "SKARNVALE_TLS_PORT_CLOSING": closing,
            "SKARNVALE_TLS_PORT_SILENT": silent, "SKARNVALE_TLS_PORT_CLEAR": clear,
            "SKARNVALE_TLS_PORT_NO_STLS": no_stls,
            "SKARNVALE_TLS_PORT_STLS_REFUSED": refused})
        for log, received in ((records_log, b"USER alice\r\nPASS secret\r\nLIST\r\nTOP 1 2000\r\nQUIT\r\n"),
                              (no_stls_log, b"CAPA\r\n"), (refused_log, b"CAPA\r\nSTLS\r\n"),
                              (ip_san_log, b"USER alice\r\nPASS secret\r\nQUIT\r\n"), (ip_cn_log, b""),
                              (renegotiate_log, b"USER alice\r\nPASS secret\r\nLIST\r\nQUIT\r\n"),
                              (corrupt_log, b"USER alice\r\n")):
            with open(log, "rb") as f:
                self.assertEqual(f.read(), received)


if __name__ == "__main__":
    unittest.main()
