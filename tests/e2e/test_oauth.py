"""OAuth 2.0 sign-in against a real Dovecot that checks tokens at the test's
own authorization server (tests/servers/oauth_server.py): the POP3 client's
AUTH and the IMAP session's AUTHENTICATE with XOAUTH2 and OAUTHBEARER under
Wine, and the program's mailboxes, POP3 and IMAP, signed in from its editor."""

import json
import os
import re
import socket
import ssl
import sys
import tempfile
import time
import unittest

import e2e_support
from e2e_support import TE2eTest, wait_until
from test_pop3_dovecot import run_win_tests
from tray_driver import TTrayDriver, xdotool


@unittest.skipUnless(os.geteuid() == 0 and os.path.exists("/usr/sbin/dovecot"), "needs root and dovecot-pop3d")
class OAuthDovecotTest(unittest.TestCase):
    def test_pop3_auth_with_each_mechanism_against_dovecot(self):
        e2e_support.add_test_hosts(self)
        server = e2e_support.TOAuthServer(self)
        token = server.sign_in()["access_token"]
        server.post("/control/long-tokens")
        long_token = server.sign_in()["access_token"]
        self.assertGreater(len(long_token), 1000)
        directory = tempfile.mkdtemp(prefix="skarnvale-dovecot-oauth-")
        e2e_support.start_tls_dovecot(self, directory, oauth_port=server.port, imap_port=IMAP_PORT)
        # The IMAP greeting offers SASL-IR: the client's token goes in the AUTHENTICATE line.
        self.assertRegex(imap_greeting(), r"^\* OK \[CAPABILITY [^]]* SASL-IR .*AUTH=XOAUTH2 AUTH=OAUTHBEARER")
        run_win_tests(self, "Pop3OAuth.*:ImapOAuth.*", {
            "SKARNVALE_DOVECOT_TLS": e2e_support.TLS_ADDRESS, "SKARNVALE_OAUTH_TOKEN": token,
            "SKARNVALE_OAUTH_LONG_TOKEN": long_token, "SKARNVALE_OAUTH_IMAP_PORT": str(IMAP_PORT)})
        with open(os.path.join(directory, "dovecot.log")) as f:
            log = f.read()
        self.assertRegex(log, r"pop3-login: Info: Login: user=<alice>, method=XOAUTH2.*TLS")
        self.assertRegex(log, r"pop3-login: Info: Login: user=<alice>, method=OAUTHBEARER.*TLS")
        # Four IMAP sessions: TLS and STARTTLS, each with a short and a long token.
        imap_logins = re.findall(r"imap-login: Info: Login: user=<alice>, method=OAUTHBEARER.*TLS", log)
        self.assertEqual(len(imap_logins), 4, log)
        # Dovecot asked the authorization server about each token it was given.
        self.assertGreaterEqual(sum(r["path"] == "/introspect" for r in server.requests()), 13)


IMAP_PORT = 1143


def imap_greeting():
    """The first line of Dovecot's IMAP over TLS on mail.test (port 993)."""
    context = ssl.create_default_context(cafile=os.path.join(e2e_support.test_pki(), "ca.crt"))
    with socket.create_connection((e2e_support.TLS_ADDRESS, 993), timeout=10) as raw:
        with context.wrap_socket(raw, server_hostname="mail.test") as connection:
            return connection.recv(1000).decode()


BROWSER_SCRIPT = os.path.join(e2e_support.ROOT, "tests", "e2e", "oauth_browser.py")


def use_test_browser(test, mode):
    """Makes tests/e2e/oauth_browser.py Wine's browser, acting as `mode`;
    answers the file where it logs its visits."""
    directory = tempfile.mkdtemp(prefix="skarnvale-browser-")
    log = os.path.join(directory, "visits.log")
    with open(os.path.join(directory, "config.json"), "w") as f:
        json.dump({"ca": os.path.join(e2e_support.test_pki(), "ca.crt"), "mode": mode, "log": log}, f)
    launcher = os.path.join(directory, "browser")
    with open(launcher, "w") as f:
        f.write('#!/bin/sh\nexec %s %s --config %s "$@"\n' % (sys.executable, BROWSER_SCRIPT,
                                                              os.path.join(directory, "config.json")))
    os.chmod(launcher, 0o755)
    e2e_support.wine("reg", "add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers", "/t", "REG_SZ",
                     "/d", launcher, "/f", check=True)
    test.addCleanup(e2e_support.wine, "reg", "delete", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers", "/f")
    return log


def visits(log):
    if not os.path.exists(log):
        return []
    with open(log) as f:
        return [json.loads(line) for line in f if line.strip()]


class OAuthSignInTest(unittest.TestCase):
    """The browser flow under Wine: ShellExecuteW, winebrowser, the loopback
    redirect and the code exchange over the program's own HTTPS."""

    def setUp(self):
        e2e_support.add_test_hosts(self)
        self.server = e2e_support.TOAuthServer(self)

    def run_mode(self, mode, pattern):
        log = use_test_browser(self, mode)
        run_win_tests(self, pattern, {"SKARNVALE_OAUTH_BASE": self.server.base, "SKARNVALE_OAUTH_MODE": mode})
        return visits(log)

    def test_consenting_browser_signs_in_and_refreshes(self):
        seen = self.run_mode("consent", "OAuthSignIn.BrowserConsents*:OAuthSignIn.TokenEndpoint*")
        self.assertEqual(len(seen), 1, seen)
        self.assertEqual(seen[0]["loopback_status"], 200, seen)
        self.assertIn("You can close this window", seen[0]["loopback_page"])
        # The sign-in, its refresh, the refused refresh after the revocation,
        # and the bad code of the strictness test; mail.test's wrong name got
        # no request through.
        self.assertEqual(self.server.grants(), ["authorization_code", "refresh_token", "refresh_token",
                                                "authorization_code"])

    def test_forged_state_is_refused(self):
        seen = self.run_mode("wrong-state", "OAuthSignIn.AnswerWithAnotherState*")
        self.assertEqual(seen[0]["loopback_status"], 400, seen)
        self.assertNotIn("authorization_code", self.server.grants(), "a code with a forged state was exchanged")

    def test_abandoned_sign_in_ends(self):
        seen = self.run_mode("abandon", "OAuthSignIn.Abandoned*")
        self.assertEqual(len(seen), 1, seen)
        self.assertEqual(self.server.grants(), [])


# Access tokens that the program renews after 15 s (a minute before their end).
SHORT_LIFE = 75


@unittest.skipUnless(os.geteuid() == 0 and os.path.exists("/usr/sbin/dovecot"), "needs root and dovecot-pop3d")
class OAuthMailboxTest(TTrayDriver, TE2eTest):
    """The real program: a mailbox signed in from the mailbox editor, checked
    over TLS with its access token, refreshed, revoked."""

    def setUp(self):
        super().setUp()
        e2e_support.add_test_hosts(self)
        # The provider rotates its refresh tokens, as Microsoft's does.
        self.server = e2e_support.TOAuthServer(self, expires=SHORT_LIFE, rotate=True)
        self.dovecot = tempfile.mkdtemp(prefix="skarnvale-dovecot-oauth-")
        # OAUTHBEARER, the standard one, is the program's choice where both are offered:
        # one test offers XOAUTH2 alone, another OAUTHBEARER alone.
        mechanisms = next((m.lower() for m in ("XOAuth2", "OAuthBearer") if m + "Alone" in self.id()), None)
        e2e_support.start_tls_dovecot(self, self.dovecot, oauth_port=self.server.port, oauth_mechanisms=mechanisms,
                                      imap_port=IMAP_PORT if "Imap" in self.id() else None)
        # A double-click on the icon checks the mailboxes.
        for section, name, value in [
                ("General", "ConfigDblClick", "4"), ("Email", "MailNotification", "1"),
                ("Email", "IntervalEmail", "60"), ("Mailboxes", "Number", "2"),
                ("Mailbox2", "Name", "Home"), ("Mailbox2", "Server", "mail.test"), ("Mailbox2", "User", "bob"),
                ("Mailbox2", "Password", "secret"), ("Mailbox2", "Port", "995"), ("Mailbox2", "Security", "2"),
                ("Mailbox1", "Name", "Work"), ("Mailbox1", "Server", "mail.test"),
                ("Mailbox1", "User", "alice"), ("Mailbox1", "Password", "not-sent"),
                ("Mailbox1", "Port", "995"), ("Mailbox1", "Security", "2"), ("Mailbox1", "Auth", "1"),
                ("Mailbox1", "AuthorizationUrl", self.server.base + "/authorize"),
                ("Mailbox1", "TokenUrl", self.server.base + "/token"), ("Mailbox1", "Scope", "pop"),
                ("Mailbox1", "ClientId", e2e_support.OAUTH_CLIENT_ID)]:
            self.set_value(section, name, value)

    def options(self, app):
        for window in app.visible_windows():
            if window.title == "Options":
                return window
        return None

    def sign_in_from_the_editor(self, app):
        """Opens the options (tray menu: Options), selects the mailbox,
        clicks "Sign in..." and answers the status text it settles on."""
        def opened():
            self.open_menu(app)
            app.wintool("menu-keys", "up", "up", "return")
            return self._try(lambda: wait_until(lambda: self.options(app), 5, "the options dialog"))
        wait_until(opened, 60, "the options dialog from the tray menu")
        self.assertEqual(app.wintool("select-item", "Options", "Work")[0], 0)
        wait_until(lambda: "Not signed in" in self.options(app).texts, 10, "the editor's status of the mailbox")
        self.assertEqual(app.wintool("click", "Options", "Sign in...")[0], 0)
        return wait_until(lambda: [t for t in self.options(app).texts if "igned in" in t and t != "Not signed in"],
                          60, "the sign-in to end")[0]

    def check(self, app):
        """Double-clicks the icon until a check has run (the password mailbox
        Home, read last, has logged in once more); answers how many OAuth
        logins it made and the mail log it ended with."""
        x, y = self.icon_position()
        home, oauth = self.logins("PLAIN") + self.logins("USER"), self.oauth_logins()
        def checked():
            xdotool("mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "100", "1")
            return self._try(lambda: wait_until(
                lambda: self.logins("PLAIN") + self.logins("USER") > home, 20, "a check"))
        wait_until(checked, 90, "a check after a double-click on the icon")
        log = wait_until(lambda: self.mail_log(app), 30, "the end of the check in the mailboxes window")
        return self.oauth_logins() - oauth, log

    def logins(self, method):
        with open(os.path.join(self.dovecot, "dovecot.log")) as f:
            return sum(("method=%s" % method) in line and "Login: user=<" in line for line in f)

    def oauth_logins(self):
        return self.logins("XOAUTH2") + self.logins("OAUTHBEARER")

    def mail_log(self, app):
        """The mailboxes window's texts once its log ends with the check's end."""
        for window in app.visible_windows():
            if window.title.startswith("Mailboxes - "):
                log = " ".join(window.texts)
                if "End of mailboxes check" in log:
                    return log
        return None

    def test_SignInCheckRefreshRevoke_AndTheRefreshTokenNeverInClear(self):
        visits_log = use_test_browser(self, "consent")
        app = self.program_dir()
        self.start_skarnvale(app)
        self.assertEqual(self.sign_in_from_the_editor(app), "Signed in")
        signed_in_at = time.monotonic()
        self.assertEqual(visits(visits_log)[0]["loopback_status"], 200)
        self.assertEqual(self.server.grants(), ["authorization_code"])
        app.wintool("close", "Options")  # saves the settings
        signed_in_token = wait_until(lambda: self.value("Mailbox1", "RefreshToken"), 30, "the saved sign-in")

        self.assertEqual(self.check(app)[0], 1)
        before = self.server.grants()
        # The access token has run out for the program: the next check renews it once.
        wait_until(lambda: time.monotonic() - signed_in_at > SHORT_LIFE - 60 + 2, 30, "the access token to age")
        self.assertEqual(self.check(app)[0], 1)
        self.assertEqual(self.server.grants()[len(before):], ["refresh_token"])
        # The provider rotated the refresh token: the new one is on disk at once, not at Quit.
        self.assertNotEqual(self.value("Mailbox1", "RefreshToken"), signed_in_token)

        # Revoked at the provider: the next renewal is refused, the mailbox says so, and
        # the check after it asks the provider nothing more.
        self.server.post("/control/revoke")
        renewed_at = time.monotonic()
        wait_until(lambda: time.monotonic() - renewed_at > SHORT_LIFE - 60 + 2, 30, "the renewed token to age")
        logins, log = self.check(app)
        self.assertEqual(logins, 0)
        self.assertIn("Error during 'Work' connection : sign-in expired, choose Sign in again", log)
        token_requests = len(self.server.grants())
        logins, log = self.check(app)
        self.assertEqual(logins, 0)
        self.assertIn("sign-in expired, choose Sign in again", log)
        self.assertEqual(len(self.server.grants()), token_requests, "a revoked sign-in asked again")

        self.open_menu(app)
        self.choose_last_item(app)
        stored = self.value("Mailbox1", "RefreshToken")
        self.assertTrue(stored.startswith("dpapi:"), stored)
        tokens = self.server.post("/control/refresh-tokens")[1]["tokens"]
        self.assertEqual(len(tokens), 2)
        user_reg = os.path.join(e2e_support.SESSION_ENV["WINEPREFIX"], "user.reg")
        def saved():
            with open(user_reg, encoding="utf-8", errors="replace") as f:
                text = f.read()
            return "RefreshToken" in text and text
        text = wait_until(saved, 90, "Wine to write the registry to user.reg")
        for token in tokens:
            self.assertNotIn(token, text)
        self.assertEqual(self.logins("OAUTHBEARER"), 2)

    def test_ServerOfferingXOAuth2Alone_LoggedInWithIt(self):
        use_test_browser(self, "consent")
        app = self.program_dir()
        self.start_skarnvale(app)
        self.assertEqual(self.sign_in_from_the_editor(app), "Signed in")
        app.wintool("close", "Options")
        self.assertEqual(self.check(app)[0], 1)
        self.assertEqual((self.logins("XOAUTH2"), self.logins("OAUTHBEARER")), (1, 0))
        # Ended early by the provider: the login is refused once, then a new token is got.
        self.server.post("/control/expire")
        logins, log = self.check(app)
        self.assertEqual(logins, 0)
        self.assertIn("Error during 'Work' connection : -ERR", log)
        self.assertEqual(self.server.grants(), ["authorization_code"])
        self.assertEqual(self.check(app)[0], 1)
        self.assertEqual(self.server.grants(), ["authorization_code", "refresh_token"])

    def test_ImapMailboxOverTlsOnServerOfferingOAuthBearerAlone_ReadsItsFolderUnseen(self):
        self.read_imap_folder("OAUTHBEARER")

    def test_ImapMailboxOverTlsOnServerOfferingXOAuth2Alone_ReadsItsFolderUnseen(self):
        self.read_imap_folder("XOAUTH2")

    def read_imap_folder(self, mechanism):
        """Work as an IMAP mailbox over TLS: signed in from the editor, its
        check logs in with `mechanism` and shows its folder, nothing marked
        seen; Quit logs the session kept in IDLE out."""
        self.set_value("Mailbox1", "Protocol", "1")
        self.set_value("Mailbox1", "Port", "993")
        use_test_browser(self, "consent")
        app = self.program_dir()
        self.start_skarnvale(app)
        self.assertEqual(self.sign_in_from_the_editor(app), "Signed in")
        app.wintool("close", "Options")
        logins, log = self.check(app)
        self.assertEqual(logins, 1)
        self.assertIn("2 message(s) found on 'Work'", log)
        self.assertEqual(len(re.findall(r"imap-login: Info: Login: user=<alice>, method=%s, .*, TLS" % mechanism,
                                        self.log())), 1)
        rows = [text.split("|") for w in app.visible_windows() if w.title.startswith("Mailboxes - ")
                for text in w.texts if text.count("|") == 2]
        self.assertEqual(sorted(row[2] for row in rows if row[0] == "Work"), [" Buy now", " First"])
        maildir = os.path.join(self.dovecot, "mail", "alice", "Maildir")
        inbox = [n for d in ("new", "cur") for n in os.listdir(os.path.join(maildir, d))]
        self.assertEqual(len(inbox), 2, inbox)
        self.assertFalse([n for n in inbox if ":2," in n and "S" in n.split(":2,")[1]], inbox)

        self.open_menu(app)
        self.choose_last_item(app)
        wait_until(lambda: not app.processes("SkarnVale.exe"), 2, "SkarnVale to end within 2 s of Quit")
        # The session kept in IDLE after the check logged out too.
        wait_until(lambda: len(re.findall(r"imap\(alice\).*Logged out ", self.log())) ==
                   len(re.findall(r"imap-login: Info: Login: ", self.log())), 2, "a LOGOUT for each IMAP login",
                   state=self.log)

    def log(self):
        with open(os.path.join(self.dovecot, "dovecot.log")) as f:
            return f.read()

    def test_AnswerWithAForgedState_RefusedAndNotSignedIn(self):
        use_test_browser(self, "wrong-state")
        app = self.program_dir()
        self.start_skarnvale(app)
        status = self.sign_in_from_the_editor(app)
        self.assertTrue(status.startswith("Not signed in: "), status)
        self.assertIn("state", status)
        self.assertEqual(self.server.grants(), [])


if __name__ == "__main__":
    unittest.main()
