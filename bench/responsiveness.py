#!/usr/bin/env python3
"""How responsive the program stays with a big mailbox. The real SkarnVale.exe
runs under Wine against the scripted maildrop (tests/servers/pop3_script_server.py)
serving 10,000 messages, every 2,000th of them spam, on 127.0.0.30:110 (needs
root). bench_window_probe.exe sends WM_NULL to every window of the program's thread
with SendMessageTimeout the whole time. The mail timer's first tick runs the
check, fills the grid and shows the window, then runs the spam cycle and its
re-check; Quit is chosen from the tray menu once that re-check has logged in.

Reported: the worst answer time of the program's windows during the check
(with the grid fill), during the spam cycle and its re-check up to Quit, and
from Quit to the end; and how long Quit took to end the program.

    responsiveness.py BUILD_DIR [SKARNVALE_EXE]

BUILD_DIR holds SkarnVale.exe and wintool.exe (x86_64); SKARNVALE_EXE, when
given, is measured instead of BUILD_DIR's (for a before/after comparison).
Uses the Wine session of SKARNVALE_WINE_SESSION, or a private one."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import e2e_support  # noqa: E402
from e2e_support import TE2eTest, wait_until  # noqa: E402
from tray_driver import TTrayDriver  # noqa: E402

ADDRESS = "127.0.0.30"
MESSAGES = 10000
EXE = None


def commands(log):
    if not os.path.exists(log):
        return []
    with open(log, "rb") as f:
        return f.read().split(b"\r\n")


class TResponsiveness(TTrayDriver, TE2eTest):

    def test_BigMailbox(self):
        log = os.path.join(self.tempdir, "commands.log")
        server = subprocess.Popen([sys.executable, os.path.join(ROOT, "tests", "servers", "pop3_script_server.py"),
                                   "--maildrop", str(MESSAGES), "--spam-every", "2000", "--address", ADDRESS,
                                   "--log", log], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE)
        self.addCleanup(server.stdout.close)
        self.addCleanup(server.wait)
        self.addCleanup(server.kill)
        server.stdout.readline()
        for section, name, value in [
                ("Email", "MailNotification", "1"), ("Email", "IntervalEmail", "1"), ("Email", "EmailLines", "2"),
                ("Spam", "SpamKillerActive", "1"), ("Mailboxes", "Number", "1"),
                ("Mailboxes", "Width", "600"), ("Mailboxes", "Height", "420"),
                ("Mailbox1", "Name", "Big"), ("Mailbox1", "Server", ADDRESS),
                ("Mailbox1", "User", "alice"), ("Mailbox1", "Password", "secret")]:
            self.set_value(section, name, value)
        app = self.program_dir()
        if EXE:
            shutil.copy2(EXE, app.file("SkarnVale.exe"))
        with open(app.file("skarnvale.mail"), "wb") as f:
            f.write(b"spam.example\r\n")
        self.start_skarnvale(app)
        probe_log = os.path.join(self.tempdir, "probe.log")
        probe_exe = os.path.join(e2e_support.BUILD_DIR, "bench_window_probe.exe")
        probe = subprocess.Popen([e2e_support.wine_loader(probe_exe), probe_exe, probe_log],
                                 env=e2e_support.SESSION_ENV, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        self.addCleanup(probe.wait)

        started = time.time()
        wait_until(lambda: b"USER alice" in commands(log), 120, "the first check")
        check_start = time.time()
        wait_until(lambda: any(c.startswith(b"DELE") for c in commands(log)), 900, "the spam cycle")
        spam_start = time.time()
        # Quit once the re-check after the spam cycle has logged in again: it
        # reads only what is new, so it is short, and Quit may meet it at any step.
        def recheck_under_way():
            lines = commands(log)
            last_dele = max(i for i, c in enumerate(lines) if c.startswith(b"DELE"))
            return any(c == b"USER alice" for c in lines[last_dele:])
        wait_until(recheck_under_way, 900, "the re-check to be under way")
        self.open_menu(app)
        app.wintool("menu-keys", "up", "return")
        quit_chosen = time.time()
        wait_until(lambda: not app.processes("SkarnVale.exe"), 60, "SkarnVale to end after Quit")
        ended = time.time()
        probe.wait(timeout=30)

        samples = []
        if os.path.exists(probe_log):
            with open(probe_log) as f:
                samples = [(int(a) / 1000.0, int(b)) for a, b in (line.split() for line in f if line.strip())]

        def worst(begin, end):
            return max([ms for when, ms in samples if begin <= when < end] or [0])
        print("\n%s, %d messages:" % (os.path.basename(EXE or "SkarnVale.exe"), MESSAGES))
        print("  idle before the check:              worst answer %5d ms" % worst(started, check_start))
        print("  check, grid fill, window shown:     worst answer %5d ms (%.1f s)"
              % (worst(check_start, spam_start), spam_start - check_start))
        print("  spam cycle and re-check until Quit: worst answer %5d ms (%.1f s)"
              % (worst(spam_start, quit_chosen), quit_chosen - spam_start))
        print("  Quit to the end of the program:     worst answer %5d ms" % worst(quit_chosen, ended + 1))
        print("  Quit took %.2f s" % (ended - quit_chosen))
        deleted = sum(1 for c in commands(log) if c.startswith(b"DELE"))
        print("  DELE sent: %d of %d spam messages" % (deleted, MESSAGES // 2000))


def main(argv):
    global EXE
    if len(argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    build_dir = os.path.abspath(argv[1])
    EXE = os.path.abspath(argv[2]) if len(argv) > 2 else None
    session = os.environ.get("SKARNVALE_WINE_SESSION")
    own_session = not session
    if own_session:
        session = tempfile.mkdtemp(prefix="skarnvale-bench-wine-")
    e2e_support.start_session(session)
    try:
        e2e_support.BUILD_DIR = build_dir
        e2e_support.SESSION_ENV = e2e_support.session_environment(session)
        result = unittest.TextTestRunner(verbosity=1).run(TResponsiveness("test_BigMailbox"))
    finally:
        if own_session:
            e2e_support.stop_session(session)
            shutil.rmtree(session, ignore_errors=True)
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
