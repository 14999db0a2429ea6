"""The copies of deleted spam (the Quarantine folder beside the program) as a
user lives with them: start-up removes only what the user's days and cap
say, and a deletion the server did not confirm leaves one copy of its
message, shown as such in the Deleted SPAM window."""

import os
import re
import subprocess
import sys
import time
import unittest

import e2e_support
import test_mail_watch
from e2e_support import TE2eTest, wait_until
from tray_driver import TTrayDriver, xdotool

SCRIPT_SERVER = os.path.join(e2e_support.ROOT, "tests", "servers", "pop3_script_server.py")
MB = 1024 * 1024


class TQuarantineAtStartUpTest(TTrayDriver, TE2eTest):
    """Each start removes the copies past the user's days and, oldest first,
    those beyond the user's cap, never by the defaults (30 days, 200 MB)."""

    def seed(self, app, name, days_ago, size=100):
        """A copy and its record, both last written `days_ago` days ago."""
        folder = app.file("Quarantine")
        os.makedirs(folder, exist_ok=True)
        when = time.time() - days_ago * 86400
        for extension, data in ((".eml", b"x" * size), (".txt", b"SkarnVale deleted SPAM 1\r\nConfirmed: yes\r\n")):
            path = os.path.join(folder, name + extension)
            with open(path, "wb") as f:
                f.write(data)
            os.utime(path, (when, when))

    def kept(self, app):
        return sorted({name[:-4] for name in os.listdir(app.file("Quarantine"))})

    def start_until_gone(self, app, days, cap_mb, gone):
        self.set_value("Spam", "SpamKeepDays", str(days))
        self.set_value("Spam", "SpamCopiesCapMB", str(cap_mb))
        self.start_skarnvale(app)
        wait_until(lambda: not set(gone) & set(self.kept(app)), 30, "start-up to remove %s" % gone,
                   state=lambda: self.kept(app))
        self.open_menu(app)
        self.choose_last_item(app)

    def test_StartUp_KeepsTheUsersDaysAndAppliesTheUsersCap(self):
        app = self.program_dir()
        # Kept 60 days: the copies of 31 and 45 days stay, that of 70 goes.
        for name, days in (("20261001_Home_d70", 70), ("20261026_Home_d45", 45), ("20261109_Home_d31", 31),
                           ("20261208_Home_d1", 1)):
            self.seed(app, name, days)
        self.start_until_gone(app, 60, 200, ["20261001_Home_d70"])
        self.assertEqual(self.kept(app), ["20261026_Home_d45", "20261109_Home_d31", "20261208_Home_d1"])

        # No days (copies off): none goes for its age; the 1 MB cap takes the oldest, over 1 MB alone.
        self.seed(app, "20260910_Home_big90", 90, 3 * MB // 2)
        self.start_until_gone(app, 0, 1, ["20260910_Home_big90"])
        self.assertEqual(self.kept(app), ["20261026_Home_d45", "20261109_Home_d31", "20261208_Home_d1"])

        # A copy of 20 days over the 1 MB cap: the oldest go until the rest fits.
        self.seed(app, "20261119_Home_big20", 20, 3 * MB // 2)
        self.start_until_gone(app, 60, 1, ["20261026_Home_d45", "20261109_Home_d31", "20261119_Home_big20"])
        self.assertEqual(self.kept(app), ["20261208_Home_d1"])


def records(folder):
    """The records of the quarantine as (mailbox, subject, confirmed), sorted."""
    found = []
    for name in os.listdir(folder):
        if name.endswith(".txt"):
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                fields = dict(line.split(": ", 1) for line in f.read().splitlines()[1:] if ": " in line)
            found.append(tuple(fields.get(field, "").strip() for field in ("Mailbox", "Subject", "Confirmed")))
    return sorted(found)


class TFailedDeletionCopiesTest(TTrayDriver, TE2eTest):
    """Messages 2 and 4 of four scripted POP3 maildrops are spam; three of the
    servers fail the deletion, each its own way. Two runs of "Erase all SPAM
    messages" leave one copy per message, marked deleted only where the
    server confirmed it; the Deleted SPAM window says which are not."""
    mailboxes_window = test_mail_watch.TMailWatchTest.mailboxes_window
    check_by_double_click = test_mail_watch.TImapIdleDropTest.check_by_double_click
    # Mailbox name, the server's fault, and the QUITs its log holds after the
    # check and each cycle: the check's, the deletion session's (none once
    # the session is cut, none where no spam is left) and the re-check's.
    SERVERS = (("Refused", "refuse-dele", (1, 3, 5)), ("Unanswered", "silent-quit", (1, 3, 5)),
               ("Cut", "cut-after-retr", (1, 2, 3)), ("Honest", None, (1, 3, 4)))

    def server(self, name, fault):
        log = os.path.join(self.tempdir, name + ".log")
        server = subprocess.Popen([sys.executable, SCRIPT_SERVER, "--log", log, "--maildrop", "4", "--spam-every", "2",
                                   "--port", "0"] + (["--fault", fault] if fault else []),
                                  stdin=subprocess.DEVNULL, stdout=subprocess.PIPE)
        self.addCleanup(server.stdout.close)
        self.addCleanup(server.wait)
        self.addCleanup(server.kill)
        return server.stdout.readline().decode().strip(), log

    def quits(self, log):
        if not os.path.exists(log):
            return 0
        with open(log, "rb") as f:
            return f.read().count(b"QUIT\r\n")

    def grid_menu(self, app, *keys):
        """Opens the mailboxes grid's menu with a right click and chooses by keys."""
        xdotool("mousemove", "200", "165", "click", "3")
        wait_until(lambda: any(w.class_name == "#32768" for w in app.visible_windows()), 8, "the grid's menu")
        app.wintool("menu-keys", *keys)

    def erase_all_spam(self, app, logs, cycle):
        def done():
            return all(self.quits(log) >= counts[cycle] for log, (_, _, counts) in zip(logs, self.SERVERS))

        def attempt():
            self.grid_menu(app, "down", "down", "return")
            return wait_until(done, 40, "the end of spam cycle %d" % cycle)
        # A menu that opened while the last check ended is tried again.
        wait_until(lambda: self._try(attempt), 120, "spam cycle %d" % cycle,
                   state=lambda: [self.quits(log) for log in logs])

    def test_TwoCyclesAgainstFailingServers_OneCopyPerMessage_ConfirmedOnlyWhereTheServerSaidSo(self):
        settings = [("General", "ConfigDblClick", "4"), ("Email", "MailNotification", "0"),
                    ("Spam", "SpamKillerActive", "0"), ("Mailboxes", "Number", str(len(self.SERVERS))),
                    ("Mailboxes", "Left", "100"), ("Mailboxes", "Top", "100"), ("Mailboxes", "Width", "600"),
                    ("Mailboxes", "Height", "420"), ("Mailboxes", "Grid", "120")]
        logs = []
        for number, (name, fault, _) in enumerate(self.SERVERS, 1):
            port, log = self.server(name, fault)
            logs.append(log)
            section = "Mailbox%d" % number
            settings += [(section, "Name", name), (section, "Server", "127.0.0.1"), (section, "Port", port),
                         (section, "Security", "0"), (section, "Protocol", "0"), (section, "User", "alice"),
                         (section, "Password", "secret")]
        app = self.program_dir()
        with open(app.file("skarnvale.mail"), "wb") as f:
            f.write(b"spam.example\r\n")
        for section, name, value in settings:
            self.set_value(section, name, value)
        self.start_skarnvale(app)
        self.check_by_double_click(app)
        wait_until(lambda: all(self.quits(log) >= 1 for log in logs), 30, "the check of the four mailboxes")

        for cycle in (1, 2):
            started = time.monotonic()
            self.erase_all_spam(app, logs, cycle)
            print("Spam cycle %d took %.1f s" % (cycle, time.monotonic() - started))
        quarantine = app.file("Quarantine")
        wait_until(lambda: len(records(quarantine)) == 7, 10, "the copies settled",
                   state=lambda: records(quarantine))
        # The failing servers still hold their spam: one copy of each message
        # the cycles fetched (the cut session fetched message 4 alone), none
        # marked deleted; the honest server's two are.
        self.assertEqual(records(quarantine), sorted(
            [(name, "Message %d" % n, "no") for name in ("Refused", "Unanswered") for n in (2, 4)] +
            [("Cut", "Message 4", "no")] + [("Honest", "Message %d" % n, "yes") for n in (2, 4)]))
        self.assertEqual(len([n for n in os.listdir(quarantine) if n.endswith(".eml")]), 7)
        wait_until(lambda: "14 messages found" in self.mailboxes_window(app).title, 20, "the re-check's status",
                   state=lambda: self.mailboxes_window(app))

        # The window lists the copies whose deletion was not confirmed as such.
        def copies():
            window = next((w for w in app.visible_windows() if w.title == "Deleted SPAM"), None)
            return [text.split("|") for text in window.texts if text.count("|") == 4] if window else []
        self.grid_menu(app, "down", "down", "down", "return")
        rows = wait_until(lambda: len(copies()) == 7 and copies(), 20, "the Deleted SPAM window", state=copies)
        self.assertEqual(sorted(row[1] for row in rows if row[0] == "(not confirmed)"),
                         ["Cut", "Refused", "Refused", "Unanswered", "Unanswered"])
        self.assertEqual([row[1] for row in rows if re.match(r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$", row[0])],
                         ["Honest", "Honest"])


if __name__ == "__main__":
    unittest.main()
