"""SkarnVale.exe closing the windows of its kill list, seen from the windows'
side: wintool opens windows and logs every close request they receive."""

import os
import subprocess

import e2e_support
from e2e_support import TE2eTest, wait_until
from tray_driver import TTrayDriver, xdotool

# A window that is listed but refuses to close: it is asked again on every
# tick, so its requests show that the killer has looked at the desktop that
# many times. Tests that expect a window to be left alone wait for it.
WITNESS = "Tick Witness"
TICKS_SEEN = 3


def at_least(count, items):
    return items if len(items) >= count else None


class TKillPopupsBase(TE2eTest):

    def open_windows(self, program_dir, kill_list, *windows):
        """Writes the kill list, starts SkarnVale, then opens `windows`
        (KIND:TITLE) with wintool and waits until they are shown."""
        program_dir.write_kill_list(b"".join(entry.encode("cp1252") + b"\r\n" for entry in kill_list))
        self.start_skarnvale(program_dir)
        log = program_dir.file("windows.log")
        program_dir.start("wintool.exe", "open", log, "60", *windows)
        wait_until(lambda: any(e.event == "ready" for e in self.read_log(log)), 20, "wintool's windows")
        return log

    def close_requests(self, log, title):
        return [e for e in self.read_log(log) if e.event == "close" and e.title == title]

    def ready_ms(self, log):
        return next(e.ms for e in self.read_log(log) if e.event == "ready")

    def wait_for_ticks(self, log):
        wait_until(lambda: at_least(TICKS_SEEN, self.close_requests(log, WITNESS)), 10,
                   "%d close requests to the refusing window %r" % (TICKS_SEEN, WITNESS),
                   state=lambda: "log: %r" % self.read_log(log))

    def assert_never_asked(self, log, title, why):
        asked = self.close_requests(log, title)
        self.assertEqual(asked, [], "%r (%s) was asked to close; log: %r" % (title, why, self.read_log(log)))



class TKillPopupsTest(TKillPopupsBase):

    def test_KillPopups_ListedWindow_ClosedWithinOneSecond(self):
        app = self.program_dir()
        log = self.open_windows(app, ["Annoying Popup", WITNESS],
                                "normal:Annoying Popup", "normal:Keep Me", "refuse:" + WITNESS)
        closes = wait_until(lambda: self.close_requests(log, "Annoying Popup"), 5,
                            "a close request to 'Annoying Popup'")
        delay = closes[0].ms - self.ready_ms(log)
        self.assertLessEqual(delay, 1000, "'Annoying Popup' was asked to close %d ms after it appeared" % delay)
        self.wait_for_ticks(log)
        self.assertEqual(len(self.close_requests(log, "Annoying Popup")), 1,
                         "a window that closed was asked again: %r" % self.read_log(log))
        self.assert_never_asked(log, "Keep Me", "not on the list")

    def test_KillPopups_TitleInOtherLetterCase_Closed(self):
        app = self.program_dir()
        log = self.open_windows(app, ["Annoying Popup", WITNESS],
                                "normal:ANNOYING POPUP", "normal:annoying popup", "refuse:" + WITNESS)
        wait_until(lambda: self.close_requests(log, "ANNOYING POPUP"), 5, "a close request to 'ANNOYING POPUP'")
        wait_until(lambda: self.close_requests(log, "annoying popup"), 5, "a close request to 'annoying popup'")
        for title in ("ANNOYING POPUP", "annoying popup"):
            delay = self.close_requests(log, title)[0].ms - self.ready_ms(log)
            self.assertLessEqual(delay, 1000, "%r was asked to close after %d ms" % (title, delay))

    def test_KillPopups_TitleMerelyContainingEntry_NotClosed(self):
        app = self.program_dir()
        log = self.open_windows(app, ["Annoying Popup", "Popup", WITNESS],
                                "normal:An Annoying Popup", "normal:Annoying Popup ", "normal:Annoying Popups",
                                "refuse:" + WITNESS)
        self.wait_for_ticks(log)
        self.assert_never_asked(log, "An Annoying Popup", "it only contains a listed title")
        self.assert_never_asked(log, "Annoying Popup ", "titles are not trimmed")
        self.assert_never_asked(log, "Annoying Popups", "it only begins with a listed title")

    def test_KillPopups_ToolHiddenOwnedAndUntitledWindows_NotClosed(self):
        app = self.program_dir()
        log = self.open_windows(app, ["Tool Popup", "Hidden Popup", "Owned Popup", "", WITNESS],
                                "tool:Tool Popup", "hidden:Hidden Popup", "owned:Owned Popup", "normal:",
                                "refuse:" + WITNESS)
        self.wait_for_ticks(log)
        self.assert_never_asked(log, "Tool Popup", "a tool window")
        self.assert_never_asked(log, "Hidden Popup", "a hidden window")
        self.assert_never_asked(log, "Owned Popup", "owned by another window")
        self.assert_never_asked(log, "", "a window without a title, though the list has an empty line")
        self.assert_never_asked(log, "wintool owner", "not on the list")

    def test_KillPopups_RefusingWindow_AskedAgainOnEveryTick(self):
        app = self.program_dir()
        log = self.open_windows(app, ["Annoying Popup"], "refuse:Annoying Popup")
        requests = wait_until(lambda: at_least(4, self.close_requests(log, "Annoying Popup")), 10,
                              "four close requests to the refusing window")
        # One request per 500 ms tick: three ticks span about 1.5 s. Fewer
        # milliseconds mean several requests per tick, more mean missed ticks.
        span = requests[3].ms - requests[0].ms
        self.assertGreaterEqual(span, 1000, "4 requests within %d ms: %r" % (span, requests))
        self.assertLessEqual(span, 3000, "4 requests took %d ms: %r" % (span, requests))

    def test_KillPopups_LongTitle_MatchedByItsFirst255Characters(self):
        long_title = "Long popup " + "x" * 289
        other_title = "Other popup " + "y" * 288
        app = self.program_dir()
        log = self.open_windows(app, [long_title[:255], other_title, WITNESS],
                                "normal:" + long_title, "normal:" + other_title, "refuse:" + WITNESS)
        wait_until(lambda: self.close_requests(log, long_title), 5,
                   "a close request to the window whose first 255 characters are listed")
        self.wait_for_ticks(log)
        self.assert_never_asked(log, other_title, "only its whole 300-character title is listed")


class TWindowEventsTest(TTrayDriver, TKillPopupsBase):
    """The window events: a listed window is asked to close as it appears,
    long before the tick. Wine raises only the creation event by itself;
    wintool raises the show and title events as Windows would."""

    def setUp(self):
        super().setUp()
        # With a 5 s tick, only the window events close a popup within a second.
        self.set_value("Popup", "Interval", "5000")

    def shown_ms(self, log, title):
        return next((e.ms for e in self.read_log(log) if e.event == "shown" and e.title == title), None)

    def assert_asked_within(self, log, title, ms, timeout=3):
        closes = wait_until(lambda: self.close_requests(log, title), timeout, "a close request to %r" % title,
                            state=lambda: "log: %r" % self.read_log(log))
        delay = closes[0].ms - self.shown_ms(log, title)
        self.assertLessEqual(delay, ms, "%r was asked to close %d ms after it was shown" % (title, delay))

    def test_WindowEvents_ListedWindowCreatedVisible_ClosedWithin50msCountedOnce(self):
        app = self.program_dir()
        log = self.open_windows(app, ["Annoying Popup", "Renamed Popup"],
                                "visible:Annoying Popup", "visible:Keep Me", "title-later:Renamed Popup")
        self.assert_asked_within(log, "Annoying Popup", 50)
        # The renamed window's event comes after every second look at the others.
        self.assert_asked_within(log, "Renamed Popup", 50)
        self.assert_never_asked(log, "Keep Me", "not on the list")
        self.open_menu(app)
        self.choose_last_item(app)
        self.assertEqual(len(self.close_requests(log, "Annoying Popup")), 1, self.read_log(log))
        self.assertEqual(self.value("Popup", "Counter"), "2")

    def test_WindowEvents_ShownOrTitledAfterCreation_Closed(self):
        app = self.program_dir()
        log = self.open_windows(app, ["Shown Popup", "Soon Titled", "Quietly Titled"],
                                "show-later:Shown Popup", "title-soon:Soon Titled", "title-quietly:Quietly Titled")
        self.assert_asked_within(log, "Shown Popup", 50)
        # Seen by a second look (the last one 200 ms after creation), without an event.
        self.assert_asked_within(log, "Soon Titled", 300)
        # Titled after the last second look and without an event: the tick's.
        self.assert_asked_within(log, "Quietly Titled", 5500, timeout=10)

    def test_WindowEvents_KillerOff_NothingClosedUntilSwitchedOn(self):
        self.set_value("Popup", "KillerActive", "0")
        self.set_value("Popup", "Interval", "500")
        app = self.program_dir()
        titles = ["Visible Popup", "Shown Popup", "Renamed Popup"]
        log = self.open_windows(app, titles, "visible:Visible Popup", "show-later:Shown Popup",
                                "title-later:Renamed Popup")
        wait_until(lambda: all(self.shown_ms(log, title) is not None for title in titles), 5, "the windows shown")
        last_shown = max(self.shown_ms(log, title) for title in titles)
        # Double-clicking the icon (action 0) switches the killer on.
        x, y = self.icon_position()
        def switched_on():
            xdotool("mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "100", "1")
            return self._try(lambda: wait_until(lambda: all(self.close_requests(log, t) for t in titles), 3,
                                                "close requests after switching the killer on"))
        wait_until(switched_on, 20, "the killer switched on by a double-click on the tray icon")
        for title in titles:
            self.assertGreaterEqual(self.close_requests(log, title)[0].ms, last_shown,
                                    "%r was asked while the killer was off: %r" % (title, self.read_log(log)))


class TPopupRulesTest(TTrayDriver, TKillPopupsBase):
    """A popup rule made as a user makes one: from an open window's menu in
    the windows list, through the rule editor and its question."""

    def windows_list(self, app):
        return next((w for w in app.visible_windows() if w.title == "Windows lists"), None)

    def screenshot(self, name):
        shots = os.path.join(e2e_support.BUILD_DIR, "e2e-shots")
        os.makedirs(shots, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(shots, name)], env=e2e_support.SESSION_ENV,
                       stdin=subprocess.DEVNULL, timeout=30, check=True)

    def test_RuleMadeFromTheWindowsList_ClosesTheWindowAndTheLogShowsIt(self):
        self.set_value("General", "ConfigDblClick", "1")
        app = self.program_dir()
        target = "Nagging Installer"
        log = self.open_windows(app, [WITNESS], "normal:" + target, "refuse:" + WITNESS)
        x, y = self.icon_position()

        def listed():
            xdotool("mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "100", "1")
            return self._try(lambda: wait_until(
                lambda: (self.windows_list(app) or None) and target in self.windows_list(app).texts, 3, target))
        wait_until(listed, 20, "the windows list showing %r" % target)

        def menu_open():
            app.wintool("context-item", "Windows lists", target)
            return wait_until(lambda: any(w.class_name == "#32768" for w in app.visible_windows()), 3, "the menu")
        wait_until(lambda: self._try(menu_open), 20, "the open window's menu")
        app.wintool("menu-keys", "down", "return")
        editor = wait_until(lambda: next((w for w in app.visible_windows() if w.title == "Popup rule"), None), 10,
                            "the rule editor")
        for filled in (target, "wintool.exe", "WinToolWindow"):
            self.assertIn(filled, editor.texts, "the editor is filled in from the window")
        self.screenshot("rule-editor.png")

        self.assertEqual(app.wintool("click", "Popup rule", "OK")[0], 0)
        question = wait_until(lambda: next((w for w in app.visible_windows() if w.title == "Confirmation"), None),
                              10, "the question naming the open window the rule matches")
        self.assertTrue(any(t.startswith("This rule matches one open window:") and target in t
                            for t in question.texts), question)
        self.assert_never_asked(log, target, "the rule is not saved before the user says yes")
        self.assertEqual(app.wintool("press-yes", "Confirmation")[0], 0)

        wait_until(lambda: self.close_requests(log, target), 5, "the rule to close %r" % target,
                   state=lambda: "log: %r" % self.read_log(log))
        logged = wait_until(lambda: [t for t in self.windows_list(app).texts
                                     if "|Close|%s|wintool.exe|" % target in t], 10,
                            "the windows list's log of actions to show the rule's close")
        self.assertNotIn("kill list", logged[0])
        self.screenshot("windows-list-log.png")

        # The rules window counts the rule's hit.
        self.assertEqual(app.wintool("click", "Windows lists", "Rules...")[0], 0)
        rules = wait_until(lambda: next((w for w in app.visible_windows() if w.title == "Popup rules"), None), 10,
                           "the rules window")
        self.assertTrue(any(t.startswith("on|%s|wintool.exe|WinToolWindow|Close|1|" % target) for t in rules.texts),
                        rules)
        self.screenshot("popup-rules.png")
        with open(app.file("SkarnVale.rules"), "rb") as f:
            saved = f.read().decode("utf-8-sig")
        self.assertIn(target, saved)
        self.assertIn("wintool.exe", saved)


if __name__ == "__main__":
    raise SystemExit("run the end-to-end tests with run_e2e.py BUILD_DIR")
