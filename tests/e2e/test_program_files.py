"""The program's files when its folder cannot be written, as under Program
Files: the lists go to %APPDATA%\\SkarnVale\\, and when that cannot be written
either the write error is shown once."""

import glob
import os
import shutil
import subprocess

import e2e_support
from e2e_support import TE2eTest, wait_until
from tray_driver import TTrayDriver


class TProgramFilesTest(TTrayDriver, TE2eTest):

    def read_only(self, app):
        """Makes the program's folder one that not even root can write in,
        but for the output files of the programs the test starts from it."""
        for number in range(4):
            open(app.file("SkarnVale.exe.%d.out" % number), "wb").close()
        subprocess.run(["chattr", "+i", app.path], check=True)
        self.addCleanup(subprocess.run, ["chattr", "-i", app.path])

    def user_folder(self):
        """%APPDATA%\\SkarnVale\\ of the session's user, removed after the test."""
        roaming = glob.glob(os.path.join(e2e_support.SESSION_ENV["WINEPREFIX"], "drive_c", "users", "*",
                                         "AppData", "Roaming"))
        roaming = [path for path in roaming if not path.split(os.sep)[-3] == "Public"]
        self.assertTrue(roaming, "no AppData\\Roaming in the prefix")
        folder = os.path.join(roaming[0], "SkarnVale")
        def remove():
            if os.path.isdir(folder):
                shutil.rmtree(folder, True)
            elif os.path.exists(folder):
                os.remove(folder)
        remove()
        self.addCleanup(remove)
        return folder

    def test_ReadOnlyProgramFolder_ListsReadBesideTheExeAndWrittenToAppData(self):
        app = self.program_dir()
        app.write_kill_list(b"Shipped\r\n")
        user = self.user_folder()
        self.read_only(app)
        self.start_skarnvale(app)
        self.open_menu(app)
        self.choose_last_item(app)
        with open(os.path.join(user, "SkarnVale.txt"), "rb") as f:
            self.assertEqual(f.read(), b"Shipped\r\n")
        self.assertTrue(os.path.isfile(os.path.join(user, "skarnvale.mail")))
        self.assertTrue(os.path.isfile(os.path.join(user, "skarnvale.sub")))
        self.assertFalse(os.path.exists(app.file("skarnvale.mail")))
        self.assertEqual(app.read_kill_list(), b"Shipped\r\n")

        # The next run reads the user's copy first.
        with open(os.path.join(user, "SkarnVale.txt"), "wb") as f:
            f.write(b"Mine\r\n")
        self.start_skarnvale(app)
        self.open_menu(app)
        self.choose_last_item(app)
        with open(os.path.join(user, "SkarnVale.txt"), "rb") as f:
            self.assertEqual(f.read(), b"Mine\r\n")

    def test_NoFolderCanBeWritten_TheWriteErrorIsShownOnce(self):
        app = self.program_dir()
        user = self.user_folder()
        with open(user, "wb"):  # a file where the folder would be made
            pass
        self.read_only(app)
        self.start_skarnvale(app)
        self.open_menu(app)
        app.wintool("menu-keys", "up", "return")
        boxes = []
        def error_box():
            for window in app.visible_windows():
                if window.class_name == "#32770" and window.title == "Erreur":
                    return window
            return None
        box = wait_until(error_box, 20, "the write error box at exit")
        self.assertIn("Write error on file", " ".join(box.texts))
        self.assertIn("SkarnVale", " ".join(box.texts))
        boxes.append(box)
        app.wintool("press-ok", "Erreur")
        # Three files are written at exit; the box is not shown again.
        def ended():
            if error_box():
                boxes.append("again")
                app.wintool("press-ok", "Erreur")
            return not app.processes("SkarnVale.exe")
        wait_until(ended, 20, "SkarnVale to end after the one error box")
        self.assertEqual(len(boxes), 1)
