"""Titles and list files in any script: windows titled in Cyrillic, CJK and
symbols are listed, killed exactly, and saved in UTF-8; a list written in the
machine's code page by the previous version reads and saves as it was, on
code page 1252 and on a second one, and from a folder named outside it."""

import os
import unittest
import subprocess
import tempfile

from e2e_support import TE2eTest, wait_until
from test_kill_popups import WITNESS, TKillPopupsBase
from tray_driver import TTrayDriver, xdotool

BOM = b"\xef\xbb\xbf"
CJK_AD, CJK_FILE, CYRILLIC, TICKED, CROSSED = "广告弹窗", "重要文件", "Новости", "Angebot ✓", "Angebot ✗"


def russian_locale():
    """LANG and LOCPATH of a ru_RU.UTF-8 locale (Wine then takes code page
    1251), made with localedef in a private folder when the machine has none."""
    path = os.path.join(tempfile.gettempdir(), "skarnvale-locales")
    if not os.path.isdir(os.path.join(path, "ru_RU.UTF-8")):
        os.makedirs(path, exist_ok=True)
        subprocess.run(["localedef", "-i", "ru_RU", "-f", "UTF-8", os.path.join(path, "ru_RU.UTF-8")],
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    return {"LANG": "ru_RU.UTF-8", "LC_ALL": "ru_RU.UTF-8", "LOCPATH": path}


class TUnicodeTitlesTest(TTrayDriver, TKillPopupsBase):

    def lines_of(self, data):
        if data.startswith(BOM):
            data = data[3:]
        return [line for line in data.decode("utf-8").split("\r\n") if line]

    def quit_from_tray(self, app):
        self.open_menu(app)
        self.choose_last_item(app)

    def test_WindowsList_UnicodeTitles_ShownListedKilledExactlyAndSavedAsUtf8(self):
        self.set_value("General", "ConfigDblClick", "1")
        app = self.program_dir()
        log = self.open_windows(app, [WITNESS], "normal:" + CJK_AD, "normal:" + CJK_FILE, "normal:" + CYRILLIC,
                                "normal:" + TICKED, "normal:" + CROSSED, "refuse:" + WITNESS)
        x, y = self.icon_position()

        def listed():
            xdotool("mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "100", "1")
            return self._try(lambda: wait_until(lambda: next(
                (w for w in app.visible_windows() if w.title == "Windows lists"), None), 3, "the windows list"))
        windows_list = wait_until(listed, 20, "the windows list after a double-click on the tray icon")
        for title in (CJK_AD, CJK_FILE, CYRILLIC, TICKED, CROSSED):
            self.assertIn(title, windows_list.texts, "the windows list shows every title as it is")

        for title in (CJK_AD, TICKED):
            self.assertEqual(app.wintool("dblclick-item", "Windows lists", title)[0], 0, title)
            wait_until(lambda: self.close_requests(log, title), 5, "a close request to %r" % title,
                       state=lambda: "log: %r" % self.read_log(log))
        self.wait_for_ticks(log)
        for title in (CJK_FILE, CYRILLIC, CROSSED):
            self.assert_never_asked(log, title, "only another title in the same script is listed")

        saved = app.read_kill_list()
        self.assertTrue(saved.startswith(BOM), "a title outside the code page is saved in UTF-8: %r" % saved)
        self.assertEqual(sorted(self.lines_of(saved)), sorted([WITNESS, CJK_AD, TICKED]))

        # The listed title appears again: it alone is closed.
        again = app.file("again.log")
        app.start("wintool.exe", "open", again, "60", "normal:" + CJK_AD, "normal:" + CJK_FILE)
        wait_until(lambda: [e for e in self.read_log(again) if e.event == "close" and e.title == CJK_AD], 5,
                   "a close request to %r opened again" % CJK_AD)
        self.wait_for_ticks(log)
        self.assertEqual([e for e in self.read_log(again) if e.event == "close" and e.title == CJK_FILE], [])

    def kill_and_rewrite(self, app, data, titles, env=None):
        """A kill list written by the previous version: its titles are
        killed, and Quit writes it again byte for byte."""
        app.write_kill_list(data)
        self.start_skarnvale(app, env=env)
        log = app.file("windows.log")
        app.start("wintool.exe", "open", log, "60", *(["normal:" + t for t in titles] + ["refuse:" + WITNESS]))
        for title in titles:
            wait_until(lambda: self.close_requests(log, title), 10, "a close request to %r" % title,
                       state=lambda: "log: %r" % self.read_log(log))
        self.quit_from_tray(app)
        self.assertEqual(app.read_kill_list(), data)

    def test_KillList_Windows1252File_KillsItsTitlesAndIsRewrittenTheSame(self):
        titles = ["Café Offre", "Prix 5€"]
        data = b"".join(t.encode("cp1252") + b"\r\n" for t in titles + [WITNESS])
        self.kill_and_rewrite(self.program_dir(), data, titles)

    def test_KillList_SecondCodePage_Windows1251FileKillsItsTitlesAndIsRewrittenTheSame(self):
        env = russian_locale()
        app = self.program_dir()
        code, acp = app.wintool("acp", env=env)
        if acp.strip() != "1251":
            self.skipTest("Wine gave code page %r for ru_RU.UTF-8" % acp.strip())
        titles = ["Новости", "Реклама"]
        # In the list's order under the Russian locale: Latin letters first.
        data = b"".join(t.encode("cp1251") + b"\r\n" for t in [WITNESS] + titles)
        self.kill_and_rewrite(app, data, titles, env=env)

    def test_CyrillicFolder_OnCodePage1252_ListFoundKilledAndSaved(self):
        app = self.program_dir("Сергей")
        titles = ["Annoying Popup", "Café Offre"]
        data = b"".join(t.encode("cp1252") + b"\r\n" for t in titles + [WITNESS])
        self.kill_and_rewrite(app, data, titles)
