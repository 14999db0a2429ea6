#!/usr/bin/env python3
"""Takes the README's pictures of SkarnVale.exe under Wine, as a user would
open each window: its tray menu, every page of the options dialog, the
windows list, the mailboxes window after a check of a private Dovecot, and
the about box. Each picture is cropped to its window.

    screenshots.py BUILD_DIR OUT_DIR

Run by scripts/screenshots.sh, which starts the Wine session named by
SKARNVALE_WINE_SESSION in a network namespace of its own, as root."""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests", "e2e"))

import e2e_support  # noqa: E402
from e2e_support import TProgramDir, wait_until, wine  # noqa: E402
from test_mail_watch import MAILBOX_SETTINGS, start_dovecot, stop_dovecot  # noqa: E402
from tray_driver import REGISTRY_KEY, TTrayDriver  # noqa: E402

OPTIONS_PAGES = ["general", "popup", "email", "spam", "spam-list", "mailboxes"]
# Windows of other programs for the windows list, none of them on the kill list.
OTHER_WINDOWS = ["Report.txt - Notepad", "Inbox - Mail", "Calculator"]
KILL_LIST = b"Special offer!\r\nYou are our 1,000,000th visitor\r\n"


class TShooter(TTrayDriver):
    """The tray driver's gestures, outside a test case."""

    def __init__(self, app, out_dir):
        self.app = app
        self.out_dir = out_dir

    def shoot(self, name, class_name, title):
        """Writes OUT_DIR/NAME.png: the screen cut to the window's rectangle."""
        code, output = wait_until(lambda: self._rect(class_name, title), 20, "the window %r" % title)
        x, y, width, height = output.split()
        path = os.path.join(self.out_dir, name + ".png")
        subprocess.run(["import", "-window", "root", "-crop", "%sx%s+%s+%s" % (width, height, x, y), "+repage",
                        "-strip", path], env=e2e_support.SESSION_ENV, stdin=subprocess.DEVNULL, timeout=30,
                       check=True)
        print("wrote %s (%sx%s)" % (path, width, height))

    def _rect(self, class_name, title):
        code, output = self.app.wintool("rect", class_name, title)
        return (code, output) if code == 0 else None

    def choose(self, *keys):
        """Opens the tray menu and presses `keys` in it."""
        self.open_menu(self.app)
        self.app.wintool("menu-keys", *keys)

    def window_titled(self, starting):
        for window in self.app.visible_windows():
            if window.title.startswith(starting):
                return window.title
        return None

    def close(self, title):
        self.app.wintool("close", title)
        wait_until(lambda: not self.window_titled(title), 20, "the window %r to close" % title)


def seed(app):
    wine("reg", "delete", REGISTRY_KEY, "/f")
    for section, name, value in [
            ("General", "TaskPopup", "0"), ("Popup", "Counter", "12"), ("Email", "MailNotification", "1"),
            ("Email", "IntervalEmail", "30"), ("Spam", "SpamKillerActive", "1"), ("Spam", "CounterSpam", "3"),
            ] + MAILBOX_SETTINGS:
        wine("reg", "add", REGISTRY_KEY + "\\" + section, "/v", name, "/t", "REG_SZ", "/d", value, "/f",
             check=True)
    app.write_kill_list(KILL_LIST)
    with open(app.file("skarnvale.mail"), "wb") as f:
        f.write(b"spam.example\r\noffers@deals.example\r\n")
    with open(app.file("skarnvale.sub"), "wb") as f:
        f.write(b"lottery\r\nfree money\r\n")


def take_pictures(shooter):
    app = shooter.app
    shooter.open_menu(app)
    shooter.shoot("tray-menu", "#32768", "-")
    app.wintool("menu-keys", "escape")

    shooter.choose("down", "return")  # About SkarnVale...
    shooter.shoot("about", "-", "About")
    shooter.close("About")

    shooter.choose("up", "up", "return")  # Options...
    for index, page in enumerate(OPTIONS_PAGES):
        if index:
            app.wintool("tab-keys", "Options", "right")
        shooter.shoot("options-" + page, "-", "Options")
    shooter.close("Options")

    log = app.file("windows.log")
    app.start("wintool.exe", "open", log, "600", *["normal:" + title for title in OTHER_WINDOWS])
    wait_until(lambda: os.path.exists(log) and b"ready" in open(log, "rb").read(), 20, "the other windows")
    shooter.choose("down", "down", "down", "return")  # Windows list...
    # The list of open windows fills at the killer's next tick.
    wait_until(lambda: any(w.title == "Windows lists" and OTHER_WINDOWS[0] in w.texts
                           for w in app.visible_windows()), 20, "the open windows in the windows list")
    shooter.shoot("windows-list", "-", "Windows lists")
    shooter.close("Windows lists")

    shooter.choose("down", "down", "down", "down", "down", "down", "return")  # Check mailboxes
    def checked():
        title = shooter.window_titled("Mailboxes - ")
        return title if title and "found" in title else None
    shooter.shoot("mailboxes", "-", wait_until(checked, 60, "the mailboxes window after the check"))


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    build_dir, out_dir = (os.path.abspath(a) for a in argv[1:])
    os.makedirs(out_dir, exist_ok=True)
    e2e_support.BUILD_DIR = build_dir
    e2e_support.SESSION_ENV = e2e_support.session_environment(os.environ["SKARNVALE_WINE_SESSION"])
    dovecot = start_dovecot()
    parent = tempfile.mkdtemp(prefix="skarnvale-shots-")
    app = TProgramDir(parent, "SkarnVale")
    try:
        seed(app)
        app.start("SkarnVale.exe")
        app.wait_for_skarnvale()
        take_pictures(TShooter(app, out_dir))
    finally:
        app.stop_all()
        stop_dovecot(dovecot)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
