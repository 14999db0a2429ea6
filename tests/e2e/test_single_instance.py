"""A second SkarnVale.exe started while one runs: it says so, shows the first
copy's application window, writes nothing to the registry and ends."""

import os
import subprocess

import e2e_support
from e2e_support import TE2eTest, wait_until, wine

REGISTRY_KEY = r"HKCU\Software\SkarnVale"
ALREADY_RUNNING = "Skarnvale is already running."


class TSingleInstanceTest(TE2eTest):

    def registry(self):
        result = wine("reg", "query", REGISTRY_KEY, "/s", check=True)
        return result.stdout.decode("cp1252")

    def already_running_dialog(self, program_dir):
        for window in program_dir.visible_windows():
            if window.class_name == "#32770" and window.title == "Information":
                return window
        return None

    def screenshot(self, name):
        shots = os.path.join(e2e_support.BUILD_DIR, "e2e-shots")
        os.makedirs(shots, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(shots, name)], env=e2e_support.SESSION_ENV,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=30, check=True)

    def start_second_copy_and_dismiss(self, first, second, shot=None):
        """Starts the second copy, checks its message and what it does to the
        first copy's window, presses OK and waits until it has ended."""
        self.assertEqual(first.find_window("TApplication", "Skarnvale"), "hidden",
                         "the first copy's application window is visible before a second copy starts")
        second.start("SkarnVale.exe")
        dialog = wait_until(lambda: self.already_running_dialog(second), 20,
                            "the second copy's \"Information\" message box",
                            state=lambda: "visible windows: %r" % second.visible_windows())
        if shot:
            self.screenshot(shot)
        self.assertIn(ALREADY_RUNNING, dialog.texts, "message box texts: %r" % dialog.texts)
        self.assertIn("OK", dialog.texts, "message box texts: %r" % dialog.texts)
        # The first copy may take a moment to answer while it shows its window.
        wait_until(lambda: first.find_window("TApplication", "Skarnvale") == "visible", 10,
                   "the second copy to show the first copy's application window")
        self.assertEqual(second.wintool("press-ok", "Information")[0], 0, "no \"Information\" box to press OK on")
        wait_until(lambda: not second.processes("SkarnVale.exe"), 20, "the second copy to end after OK")
        self.assertIsNone(self.already_running_dialog(second), "the message box is still shown")

    def test_SecondInstance_ShowsMessageAndFirstWindow_EndsWithoutWritingRegistry(self):
        wine("reg", "add", REGISTRY_KEY + r"\General", "/v", "Probe", "/t", "REG_SZ", "/d", "1", "/f", check=True)
        first = self.program_dir("first")
        first.write_kill_list(b"First Only\r\n")
        second = self.program_dir("second")
        second.write_kill_list(b"Foo\r\nfoo\r\nBar\r\n")
        self.start_skarnvale(first)
        before = self.registry()
        self.assertIn("Probe", before, "the seeded value is missing: %r" % before)

        self.start_second_copy_and_dismiss(first, second, shot="already-running.png")

        self.assertEqual(self.registry(), before, "the second copy changed the registry")
        self.assertEqual(second.read_kill_list(), b"Bar\r\nFoo\r\n",
                         "the second copy's kill list was not written back sorted and without the duplicate")
        self.assertEqual(first.read_kill_list(), b"First Only\r\n", "the running copy's kill list changed")
        self.assertTrue(first.processes("SkarnVale.exe"), "the first copy ended too")
        self.assertIsNotNone(first.find_window("TApplication", "Skarnvale"),
                             "the first copy no longer answers messages")

    def test_SecondInstance_FirstTitleInOtherLetterCase_StillShown(self):
        # Started as "skarnvale.exe", the first copy's window is titled "skarnvale".
        first = self.program_dir("first")
        os.rename(first.file("SkarnVale.exe"), first.file("skarnvale.exe"))
        second = self.program_dir("second")
        self.start_skarnvale(first, "skarnvale.exe")
        self.start_second_copy_and_dismiss(first, second)
        shown = [w.title for w in first.visible_windows() if w.class_name == "TApplication"]
        self.assertIn("skarnvale", shown, "visible application windows: %r" % shown)
        self.assertTrue(first.processes("skarnvale.exe"), "the first copy ended too")


if __name__ == "__main__":
    raise SystemExit("run the end-to-end tests with run_e2e.py BUILD_DIR")
