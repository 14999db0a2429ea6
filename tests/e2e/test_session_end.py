"""The program ended by Windows rather than quit: at the end of the session
(wineboot --end-session) it saves what Quit saves, with no message box, and
ends; and Quit from the tray menu ends it at once even while a sign-in waits
for a browser that never comes back."""

import os
import socket
import time
import urllib.parse

import e2e_support
from e2e_support import TE2eTest, wait_until, wine
from test_kill_popups import TKillPopupsBase
from test_oauth import use_test_browser, visits
from tray_driver import TTrayDriver, xdotool


def listening(port):
    with socket.socket() as s:
        s.settimeout(2)
        return s.connect_ex(("127.0.0.1", port)) == 0


class TSessionEndTest(TTrayDriver, TKillPopupsBase):

    def options_by_double_click(self, app):
        x, y = self.icon_position()
        def shown():
            xdotool("mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "100", "1")
            return self._try(lambda: wait_until(
                lambda: any(w.title == "Options" for w in app.visible_windows()), 3, "Options"))
        wait_until(shown, 20, "the options after a double-click on the tray icon")

    def test_EndOfSession_SavesCountersAndSpamListsWithoutABoxAndEnds(self):
        self.set_value("Popup", "Counter", "41")
        self.set_value("General", "ConfigDblClick", "7")  # a double-click opens the options
        app = self.program_dir()
        with open(app.file("skarnvale.mail"), "wb") as f:
            f.write(b"seed.example\r\n")
        log = self.open_windows(app, ["Annoying Popup"], "normal:Annoying Popup")
        wait_until(lambda: self.close_requests(log, "Annoying Popup"), 5, "the listed popup to be closed")
        self.options_by_double_click(app)
        # Typed in the spam list of addresses, the options dialog left open: nothing saved it yet.
        self.assertEqual(app.wintool("append-text", "Options", "seed.example", "\r\nadded.example")[0], 0)
        with open(app.file("skarnvale.mail"), "rb") as f:
            self.assertEqual(f.read(), b"seed.example\r\n")

        started = time.monotonic()
        ended = wine("wineboot", "--end-session", "--shutdown", timeout=60)
        self.assertEqual(ended.returncode, 0, ended.stderr.decode("utf-8", "replace")[-2000:])
        wait_until(lambda: not app.processes("SkarnVale.exe"), 10, "SkarnVale to end with the session",
                   state=lambda: app.wintool("list")[1])
        self.assertLess(time.monotonic() - started, 10)
        self.assertEqual(self.value("Popup", "Counter"), "42")
        with open(app.file("skarnvale.mail"), "rb") as f:
            self.assertEqual(f.read(), b"seed.example\r\nadded.example\r\n")
        self.assertEqual(app.read_kill_list(), b"Annoying Popup\r\n")

        # The prefix's desktop and tray outlive the session's end: the next
        # program shows its icon and quits as usual.
        self.start_skarnvale(app)
        self.open_menu(app)
        self.choose_last_item(app)
        self.assertEqual(self.value("Popup", "Counter"), "42")


class TQuitDuringSignInTest(TTrayDriver, TE2eTest):

    def setUp(self):
        super().setUp()
        e2e_support.add_test_hosts(self)
        self.server = e2e_support.TOAuthServer(self)
        for section, name, value in [
                ("General", "ConfigDblClick", "7"), ("Mailboxes", "Number", "1"),
                ("Mailbox1", "Name", "Work"), ("Mailbox1", "Server", "mail.test"), ("Mailbox1", "User", "alice"),
                ("Mailbox1", "Port", "995"), ("Mailbox1", "Security", "2"), ("Mailbox1", "Auth", "1"),
                ("Mailbox1", "AuthorizationUrl", self.server.base + "/authorize"),
                ("Mailbox1", "TokenUrl", self.server.base + "/token"), ("Mailbox1", "Scope", "pop"),
                ("Mailbox1", "ClientId", e2e_support.OAUTH_CLIENT_ID)]:
            self.set_value(section, name, value)

    def test_QuitWhileTheSignInWaitsForTheBrowser_EndsWithinTwoSecondsAndClosesThePort(self):
        browser_log = use_test_browser(self, "abandon")
        app = self.program_dir()
        self.start_skarnvale(app)
        TSessionEndTest.options_by_double_click(self, app)
        self.assertEqual(app.wintool("select-item", "Options", "Work")[0], 0)
        self.assertEqual(app.wintool("click", "Options", "Sign in...")[0], 0)
        seen = wait_until(lambda: visits(browser_log), 30, "the browser to open the sign-in page")
        query = urllib.parse.parse_qs(urllib.parse.urlsplit(seen[0]["url"]).query)
        port = urllib.parse.urlsplit(query["redirect_uri"][0]).port
        self.assertTrue(listening(port), "the loopback redirect's port does not listen")

        self.open_menu(app)
        asked = time.monotonic()
        app.wintool("menu-keys", "up", "return")
        wait_until(lambda: not app.processes("SkarnVale.exe"), 10, "SkarnVale to end after Quit")
        took = time.monotonic() - asked
        self.assertLess(took, 2.0, "Quit took %.1f s to end the program" % took)
        self.assertFalse(listening(port), "the loopback port still listens")
        self.assertEqual(self.server.grants(), [])


if __name__ == "__main__":
    raise SystemExit("run the end-to-end tests with run_e2e.py BUILD_DIR")
