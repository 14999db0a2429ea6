"""The tray icon as a user drives it: its menu, its double-click, and Quit,
which saves the settings and the kill list."""

import os
import unittest
import subprocess

import e2e_support
from e2e_support import TE2eTest, wait_until
from tray_driver import TTrayDriver, xdotool


class TTrayTest(TTrayDriver, TE2eTest):

    def test_TrayMenuQuit_SavesSettingsAndKillListThenEnds(self):
        self.set_value("Popup", "Counter", "41")
        app = self.program_dir()
        app.write_kill_list(b"Zeta\r\nalpha\r\n")
        self.start_skarnvale(app)
        self.open_menu(app)
        shots = os.path.join(e2e_support.BUILD_DIR, "e2e-shots")
        os.makedirs(shots, exist_ok=True)
        subprocess.run(["import", "-window", "root", "-crop", "320x320+0+0", os.path.join(shots, "tray-menu.png")],
                       env=e2e_support.SESSION_ENV, stdin=subprocess.DEVNULL, timeout=30, check=True)
        self.choose_last_item(app)
        self.assertEqual(self.value("Popup", "Counter"), "41")
        self.assertEqual(self.value("Popup", "KillerActive"), "1")
        self.assertEqual(self.value("Popup", "Interval"), "500")
        self.assertEqual(self.value("General", "TaskPopup"), "1")
        self.assertEqual(app.read_kill_list(), b"alpha\r\nZeta\r\n")

    def open_by_double_click(self, action, title):
        """Starts SkarnVale with the double-click action `action` and
        double-clicks its tray icon until the window `title` shows."""
        self.set_value("General", "ConfigDblClick", action)
        app = self.program_dir()
        self.start_skarnvale(app)
        x, y = self.icon_position()
        def shown():
            xdotool("mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "100", "1")
            return self._try(lambda: wait_until(
                lambda: any(w.title == title for w in app.visible_windows()), 3, title))
        wait_until(shown, 20, "%s after a double-click on the tray icon" % title)
        return app

    def test_DoubleClickWithActionOne_ShowsTheWindowsList(self):
        app = self.open_by_double_click("1", "Windows lists")
        # The keyboard, as in any dialog: Tab and Shift+Tab from the kill list
        # through the rules button and the log of actions round to the open
        # windows, Escape hides.
        self.assertEqual(self.keys_then_focus(app, None), ["ListBox", "213"])
        self.assertEqual(self.keys_then_focus(app, "Tab"), ["Button", "401", "Rules..."])
        self.assertEqual(self.keys_then_focus(app, "Tab"), ["SysListView32", "426"])
        self.assertEqual(self.keys_then_focus(app, "Tab"), ["ListBox", "29"])
        self.assertEqual(self.keys_then_focus(app, "shift+Tab"), ["SysListView32", "426"])
        xdotool("key", "Escape")
        wait_until(lambda: not any(w.title == "Windows lists" for w in app.visible_windows()), 10,
                   "Escape to hide the windows list")

    def test_OptionsDialog_TabWalksThePageCtrlTabTurnsItEscapeClosesAndSaves(self):
        app = self.open_by_double_click("7", "Options")
        # The General page: double-click action, stay on top, IP address, the language group.
        self.assertEqual(self.keys_then_focus(app, "Tab"), ["ComboBox", "33"])
        self.assertEqual(self.keys_then_focus(app, "Tab"), ["Button", "64", "Stay on top"])
        self.assertEqual(self.keys_then_focus(app, "Tab"), ["Button", "83", "IP address"])
        self.assertEqual(self.keys_then_focus(app, "shift+Tab"), ["Button", "64", "Stay on top"])
        xdotool("key", "space")  # the check box takes the space bar
        self.assertEqual(self.keys_then_focus(app, "ctrl+Tab"), ["Edit", "47"])  # the Popup page's interval
        self.assertEqual(self.keys_then_focus(app, "ctrl+shift+Tab"), ["ComboBox", "33"])
        xdotool("key", "Escape")
        wait_until(lambda: self.value("General", "ListStayOnTop") == "1", 10, "Escape to close and save")
        self.assertFalse(any(w.title == "Options" for w in app.visible_windows()))

    # The system's windows as the tray menu reaches them from the keyboard
    # (the items from the top: About, Activate popup killer, Windows list,
    # Activate email, Mailboxes; from the bottom: Quit, Options), with a point
    # to click inside each, from its bottom left corner.
    MENU_WINDOWS = (
        ("Windows lists", ("Down", "Down", "Down"), (30, 45)),
        ("About", ("Down",), (6, 6)),
        ("Options", ("Up", "Up"), (10, 10)),
        ("Mailboxes", ("Down", "Down", "Down", "Down", "Down"), (20, 20)),
    )

    def test_WindowChosenInTheTrayMenuWithKeys_TakesTheKeyboardAndEscapeHidesIt(self):
        # Each window from a fresh start: under Xvfb, which has no window
        # manager, the X keyboard focus that a window hidden by Escape leaves
        # behind may keep the next menu from the keys.
        for number, (title, keys, (dx, dy)) in enumerate(self.MENU_WINDOWS):
            with self.subTest(window=title):
                app = self.program_dir("app%d" % number)
                self.start_skarnvale(app)
                def shown():
                    self.open_menu(app)
                    xdotool("key", "--delay", "100", *(keys + ("Return",)))
                    return self._try(lambda: wait_until(lambda: self.visible_title(app, title), 5, title))
                caption = wait_until(shown, 30, "%s chosen in the tray menu with the keys" % title)
                code, rect = app.wintool("rect", "TSkarnValeForm", caption)
                self.assertEqual(code, 0, caption)
                x, y, width, height = (int(v) for v in rect.split())
                xdotool("mousemove", str(x + dx), str(y + height - dy), "click", "1")
                xdotool("key", "Escape")
                wait_until(lambda: not self.visible_title(app, title), 10, "Escape to hide %s" % title)
                # Quit takes the icon away; a killed program's would stay in
                # the notification area where the next tests click.
                self.open_menu(app)
                self.choose_last_item(app)

    @staticmethod
    def visible_title(app, title):
        """The caption of the visible window whose caption is `title` or
        starts with `title - ` (the mailboxes window adds its status)."""
        for window in app.visible_windows():
            if window.title == title or window.title.startswith(title + " - "):
                return window.title
        return None

    def keys_then_focus(self, app, keys):
        """Presses `keys` (none: nothing) and answers the focused control as
        class, top edge and text."""
        if keys:
            xdotool("key", keys)
        last = []
        def settled():
            code, output = app.wintool("focus")
            now = output.strip().split("\t") if code == 0 else []
            answer = now if now == last and now else None
            last[:] = now
            return answer
        return wait_until(settled, 10, "the focus to settle after %s" % keys, interval=0.3)

    def test_SecondCopyInFrench_SaysSoInFrench(self):
        self.set_value("General", "French", "1")
        first = self.program_dir("first")
        second = self.program_dir("second")
        self.start_skarnvale(first)
        second.start("SkarnVale.exe")
        def dialog():
            for window in second.visible_windows():
                if window.class_name == "#32770" and window.title == "Information":
                    return window
            return None
        box = wait_until(dialog, 20, "the second copy's message box")
        self.assertIn("Skarnvale est d\xe9j\xe0 actif.", box.texts)
        second.wintool("press-ok", "Information")
        wait_until(lambda: not second.processes("SkarnVale.exe"), 20, "the second copy to end")
