"""OAuth 2.0 sign-in against a real Dovecot that checks tokens at the test's
own authorization server (tests/servers/oauth_server.py): the POP3 client's
AUTH with XOAUTH2 and OAUTHBEARER under Wine."""

import json
import os
import sys
import tempfile
import unittest

import e2e_support
from test_pop3_dovecot import run_win_tests


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
        e2e_support.start_tls_dovecot(self, directory, oauth_port=server.port)
        run_win_tests(self, "Pop3OAuth.*", {"SKARNVALE_DOVECOT_TLS": e2e_support.TLS_ADDRESS,
                                            "SKARNVALE_OAUTH_TOKEN": token, "SKARNVALE_OAUTH_LONG_TOKEN": long_token})
        with open(os.path.join(directory, "dovecot.log")) as f:
            log = f.read()
        self.assertRegex(log, r"Login: user=<alice>, method=XOAUTH2.*TLS")
        self.assertRegex(log, r"Login: user=<alice>, method=OAUTHBEARER.*TLS")
        # Dovecot asked the authorization server about each token it was given.
        self.assertGreaterEqual(sum(r["path"] == "/introspect" for r in server.requests()), 8)


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


if __name__ == "__main__":
    unittest.main()
