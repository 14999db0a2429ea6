"""The setup a Windows user downloads (dist/SkarnVale-VERSION-setup.exe, made
by scripts/package.sh), run silently in the session's prefix as a deployment
would: the installed program, its shortcut, its installed-apps entry and its
start-up entry; the installed program running in the tray; the setup run
again over the running copy, which quits and keeps its settings and lists;
the silent uninstall, which leaves only the settings and lists, and the
uninstall answered Yes to their question, which removes them and nothing of
the user's; and a second copy installed in another folder, whose shortcut and
entries the first copy's uninstaller leaves alone."""

import glob
import os
import re
import shutil
import subprocess

import e2e_support
from e2e_support import TE2eTest, processes_in, wait_until, wine, wine_loader
from tray_driver import TTrayDriver

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\SkarnVale"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
LISTS = {"SkarnVale.txt", "skarnvale.mail", "skarnvale.sub", "skarnvale.allow"}
PROGRAM = {"SkarnVale.exe", "ReadMe.txt", "Uninstall.exe"}
# The program's other files, as it writes them beside itself or in
# %APPDATA%\SkarnVale: the popup rules and a copy of deleted spam with its record.
RULES = b"\xef\xbb\xbfon|Nagging Installer|wintool.exe|WinToolWindow|Close|1|\r\n"
QUARANTINE = {"20240301-101500-Home-1n1.eml": b"Subject: Best prices\r\n\r\nBuy\r\n",
              "20240301-101500-Home-1n1.txt": b"Deleted=2024-03-01 10:15:00\r\n"}
# The user's own file in the program's folders, which no uninstall removes.
USER_FILE = ("My notes.txt", b"not SkarnVale's\r\n")
# The second copy's folder, a name with a space as Windows folders often have.
OTHER_FOLDER = "SkarnVale Elsewhere"


def project_version(build_dir):
    """The version CMake gave the build (its generated Version.h)."""
    with open(os.path.join(build_dir, "generated", "Version.h")) as f:
        return re.search(r'#define SKARNVALE_VERSION "([^"]+)"', f.read()).group(1)


def reg_values(key):
    """The values of one registry key as {name: data}, {} when it is missing."""
    result = wine("reg", "query", key)
    values = {}
    for line in result.stdout.decode("cp1252").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            values[parts[0]] = parts[2] if len(parts) == 3 else ""
    return values


def files_in(folder):
    return set(os.listdir(folder)) if os.path.isdir(folder) else set()


class TInstallerTest(TTrayDriver, TE2eTest):

    def setUp(self):
        super().setUp()
        # The setup holds build/win64's program: it is tried in that build's run.
        if e2e_support.architecture(e2e_support.BUILD_DIR) != "x86_64":
            self.skipTest("the setup is the 64-bit installer of build/win64's program, tried in that build's run")
        version = project_version(e2e_support.BUILD_DIR)
        self.version = version
        self.setup = os.path.join(e2e_support.ROOT, "dist", "SkarnVale-%s-setup.exe" % version)
        self.assertTrue(os.path.isfile(self.setup), "%s is missing: scripts/package.sh makes it" % self.setup)
        prefix = e2e_support.SESSION_ENV["WINEPREFIX"]
        users = [path for path in glob.glob(os.path.join(prefix, "drive_c", "users", "*"))
                 if os.path.basename(path) != "Public"]
        self.assertEqual(len(users), 1, "users of the prefix: %r" % users)
        self.user = os.path.basename(users[0])
        self.install_dir = os.path.join(users[0], "AppData", "Local", "Programs", "SkarnVale")
        self.windows_dir = "C:\\users\\%s\\AppData\\Local\\Programs\\SkarnVale" % self.user
        self.shortcut = os.path.join(users[0], "AppData", "Roaming", "Microsoft", "Windows", "Start Menu",
                                     "Programs", "SkarnVale.lnk")
        self.user_folder = os.path.join(users[0], "AppData", "Roaming", "SkarnVale")
        self.other_dir = os.path.join(prefix, "drive_c", OTHER_FOLDER)
        self.other_windows_dir = "C:\\" + OTHER_FOLDER
        self.forget_installation()
        self.addCleanup(self.forget_installation)

    def forget_installation(self):
        """What an earlier run of the setup in this prefix may have left."""
        self.end_installed_program()
        wine("reg", "delete", UNINSTALL_KEY, "/f")
        wine("reg", "delete", RUN_KEY, "/v", "SkarnVale", "/f")
        for process in self.uninstaller_processes():
            os.kill(process, 9)
        for folder in (self.install_dir, self.other_dir, self.user_folder):
            shutil.rmtree(folder, ignore_errors=True)
        if os.path.exists(self.shortcut):
            os.remove(self.shortcut)

    def installed_processes(self):
        return processes_in(self.install_dir, "SkarnVale.exe") + processes_in(self.other_dir, "SkarnVale.exe")

    def uninstaller_processes(self):
        """The uninstallers at work: the copies of themselves they run from
        the temporary folder, told their folder by "_?=FOLDER"."""
        return [pid for folder in (self.windows_dir, self.other_windows_dir)
                for pid in processes_in(folder, "_?=")]

    def end_installed_program(self):
        for pid in self.installed_processes():
            try:
                os.kill(pid, 9)
            except ProcessLookupError:
                pass
        wait_until(lambda: not self.installed_processes(), 10, "the installed program to end")

    def run_setup(self, *args):
        # No menu entries for the Linux desktop from the shortcut the setup makes.
        overrides = e2e_support.SESSION_ENV.get("WINEDLLOVERRIDES", "") + ";winemenubuilder.exe=d"
        return wine(self.setup, *args, timeout=120, env={"WINEDLLOVERRIDES": overrides})

    def installed(self, name):
        return os.path.join(self.install_dir, name)

    def installed_files(self):
        return files_in(self.install_dir)

    def shortcut_starts(self, exe):
        """Whether the Start-menu shortcut names the program `exe`."""
        if not os.path.exists(self.shortcut):
            return False
        with open(self.shortcut, "rb") as f:
            link = f.read().lower()
        return exe.lower().encode("cp1252") in link or exe.lower().encode("utf-16-le") in link

    def assert_entries_name(self, windows_dir):
        """The shortcut, the installed-apps entry and the start-up entry all
        name the copy in `windows_dir`."""
        exe = windows_dir + "\\SkarnVale.exe"
        self.assertTrue(self.shortcut_starts(exe), "the shortcut does not name %s" % exe)
        entry = reg_values(UNINSTALL_KEY)
        self.assertEqual((entry.get("InstallLocation"), entry.get("UninstallString")),
                         (windows_dir, '"%s\\Uninstall.exe"' % windows_dir))
        self.assertEqual(reg_values(RUN_KEY).get("SkarnVale"), '"%s"' % exe)

    def entries_gone(self):
        return not os.path.exists(self.shortcut) and not reg_values(UNINSTALL_KEY) \
            and "SkarnVale" not in reg_values(RUN_KEY)

    def write_program_files(self, folder, names):
        """Writes the program's files `names` in `folder` as the program
        would, beside the user's own file; the bytes of each, by name."""
        os.makedirs(os.path.join(folder, "Quarantine"), exist_ok=True)
        written = {USER_FILE[0]: USER_FILE[1]}
        for name in names:
            written[name] = RULES if name == "SkarnVale.rules" else b"%s of %s\r\n" % (name.encode(), folder.encode())
        written.update({"Quarantine/" + name: data for name, data in QUARANTINE.items()})
        for name, data in written.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        return written

    def files_left(self, folder):
        """The bytes of every file under `folder`, by its path there."""
        found = {}
        for parent, _, names in os.walk(folder):
            for name in names:
                with open(os.path.join(parent, name), "rb") as f:
                    found[os.path.relpath(os.path.join(parent, name), folder).replace(os.sep, "/")] = f.read()
        return found

    def uninstall_answering_yes(self, tools, done, state):
        """Runs the uninstaller as a user does: its Uninstall button, Yes to
        "Remove SkarnVale's settings ... too?", then, once `done()`, its Close
        button."""
        # Not waited for: the copy it runs from holds its output until the user is done.
        uninstaller = self.installed("Uninstall.exe")
        subprocess.Popen([wine_loader(uninstaller), uninstaller], env=e2e_support.SESSION_ENV,
                         stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).wait(60)
        page = wait_until(lambda: next((w for w in tools.visible_windows() if "Uninstall SkarnVale" in w.texts), None),
                          30, "the uninstaller's confirmation page", state=tools.visible_windows)
        caption = page.title
        self.assertEqual(tools.wintool("click", caption, "&Uninstall")[0], 0)

        def question():
            return next((w for w in tools.visible_windows() if w.class_name == "#32770"
                         and any(t.startswith("Remove SkarnVale's settings") for t in w.texts)), None)
        box = wait_until(question, 60, "the question whether the settings and lists go too",
                         state=tools.visible_windows)
        self.assertEqual(tools.wintool("press-yes", box.title)[0], 0)
        wait_until(done, 60, "the uninstall answered Yes to end", interval=0.5, state=state)
        wait_until(lambda: tools.wintool("click", caption, "&Close")[0] == 0, 30, "the uninstaller's Close button")
        wait_until(lambda: not self.uninstaller_processes(), 30, "the uninstaller to end")

    def start_installed_program(self):
        exe = self.installed("SkarnVale.exe")
        output = open(os.path.join(self.tempdir, "installed.out"), "wb")
        process = subprocess.Popen([wine_loader(exe), exe], cwd=self.install_dir, env=e2e_support.SESSION_ENV,
                                   stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.STDOUT,
                                   start_new_session=True)
        output.close()
        self.addCleanup(process.wait, 10)
        self.addCleanup(self.end_installed_program)

    def test_SilentSetup_InstallsRunsInstallsOverTheRunningCopyUninstallsKeepingTheSettingsThenRemovingThem(self):
        self.set_value("Popup", "Counter", "41")

        result = self.run_setup("/S")
        self.assertEqual(result.returncode, 0, "the setup failed: %r" % result.stderr[-2000:])
        self.assertEqual(self.installed_files(), PROGRAM)
        with open(self.installed("SkarnVale.exe"), "rb") as installed, \
                open(os.path.join(e2e_support.BUILD_DIR, "SkarnVale.exe"), "rb") as built:
            self.assertTrue(installed.read() == built.read(),
                            "the installed SkarnVale.exe is not this build's: run scripts/package.sh again")
        with open(self.installed("ReadMe.txt"), "rb") as f:
            readme = f.read()
        self.assertTrue(readme.startswith(b"SkarnVale %s\r\n" % self.version.encode()), readme[:40])
        self.assertNotIn(b"\n", readme.replace(b"\r\n", b""), "the read-me has line ends other than CR LF")

        exe = self.windows_dir + "\\SkarnVale.exe"
        self.assert_entries_name(self.windows_dir)
        entry = reg_values(UNINSTALL_KEY)
        uninstaller = '"%s\\Uninstall.exe"' % self.windows_dir
        self.assertEqual({name: entry.get(name) for name in (
            "DisplayName", "DisplayVersion", "Publisher", "DisplayIcon", "InstallLocation", "UninstallString",
            "QuietUninstallString", "NoModify", "NoRepair")}, {
            "DisplayName": "SkarnVale", "DisplayVersion": self.version, "Publisher": "SkarnVale",
            "DisplayIcon": exe + ",0", "InstallLocation": self.windows_dir, "UninstallString": uninstaller,
            "QuietUninstallString": uninstaller + " /S", "NoModify": "0x1", "NoRepair": "0x1"})
        # In KB: the program alone is over 1 MB.
        self.assertGreater(int(entry.get("EstimatedSize", "0"), 16), 1000)

        # The installed program runs and answers at its tray icon.
        with open(self.installed("SkarnVale.txt"), "wb") as f:
            f.write(b"Zeta popup nobody opens\r\nalpha popup nobody opens\r\n")
        tools = self.program_dir("tools")
        self.start_installed_program()
        tools.wait_for_skarnvale()
        self.open_menu(tools)
        tools.wintool("menu-keys", "escape")
        self.assertTrue(self.installed_processes())

        # Installed again over it: the running copy quits as through its Quit,
        # which writes the settings and the list sorted.
        result = self.run_setup("/S")
        self.assertEqual(result.returncode, 0, "the setup over the running copy failed: %r" % result.stderr[-2000:])
        self.assertEqual(self.installed_processes(), [], "the running copy still runs after the setup")
        self.assertEqual(self.value("Popup", "Counter"), "41")
        self.assertEqual(self.value("Popup", "KillerActive"), "1", "the running copy did not save its settings")
        self.assertEqual(self.installed_files(), PROGRAM | LISTS)
        with open(self.installed("SkarnVale.txt"), "rb") as f:
            self.assertEqual(f.read(), b"alpha popup nobody opens\r\nZeta popup nobody opens\r\n")
        # Its other files, and its lists where a copy that cannot write in its
        # own folder keeps them, with a file of the user's in each folder.
        kept = self.files_left(self.install_dir)
        for name in PROGRAM:
            del kept[name]
        kept.update(self.write_program_files(self.install_dir, ["SkarnVale.rules"]))
        # A save cut short leaves its ".new" beside the list it was replacing.
        user_kept = self.write_program_files(self.user_folder, LISTS | {"SkarnVale.rules", "skarnvale.sub.new"})

        # The uninstaller runs from a copy of itself and returns at once.
        wine(self.installed("Uninstall.exe"), "/S", timeout=120)
        kept_names = {name.split("/")[0] for name in kept}
        wait_until(lambda: self.installed_files() == kept_names and self.entries_gone(), 60,
                   "the silent uninstall to remove the program, its shortcut and its keys",
                   interval=0.5, state=lambda: "files left: %r" % sorted(self.installed_files()))
        wait_until(lambda: not self.uninstaller_processes(), 30, "the silent uninstaller to end")
        self.assertEqual(self.files_left(self.install_dir), kept)
        self.assertEqual(self.files_left(self.user_folder), user_kept)
        self.assertEqual(self.value("Popup", "Counter"), "41")

        # Installed again and uninstalled with Yes to the question: what the
        # program wrote goes, in both folders; the user's files stay.
        self.assertEqual(self.run_setup("/S").returncode, 0)
        left = {"install": dict([USER_FILE]), "user": dict([USER_FILE]), "entries gone": True, "settings": None}

        def state():
            return {"install": self.files_left(self.install_dir), "user": self.files_left(self.user_folder),
                    "entries gone": self.entries_gone(), "settings": self.value("Popup", "Counter")}
        self.uninstall_answering_yes(tools, lambda: state() == left, lambda: "left: %r" % state())

    def test_SecondCopyInAnotherFolder_TheFirstCopysUninstallerLeavesItsShortcutAndEntries(self):
        self.assertEqual(self.run_setup("/S").returncode, 0)
        # As typed at a command prompt: the setup reads /D= to the end of its
        # command line, unquoted, spaces and all.
        result = self.run_setup("/S", *("/D=" + self.other_windows_dir).split(" "))
        self.assertEqual(result.returncode, 0, "the setup in another folder failed: %r" % result.stderr[-2000:])
        self.assertEqual(files_in(self.other_dir), PROGRAM)
        self.assert_entries_name(self.other_windows_dir)

        wine(self.installed("Uninstall.exe"), "/S", timeout=120)
        wait_until(lambda: not os.path.exists(self.install_dir), 60, "the first copy's uninstall to end",
                   interval=0.5, state=lambda: "files left: %r" % sorted(self.installed_files()))
        wait_until(lambda: not self.uninstaller_processes(), 30, "the first copy's uninstaller to end")
        self.assertEqual(files_in(self.other_dir), PROGRAM)
        self.assert_entries_name(self.other_windows_dir)

        # The second copy's own uninstaller removes them.
        wine(os.path.join(self.other_dir, "Uninstall.exe"), "/S", timeout=120)
        wait_until(lambda: not os.path.exists(self.other_dir) and self.entries_gone(), 60,
                   "the second copy's uninstall to remove it, its shortcut and its keys", interval=0.5,
                   state=lambda: "files left: %r" % sorted(files_in(self.other_dir)))


if __name__ == "__main__":
    raise SystemExit("run the end-to-end tests with run_e2e.py BUILD_DIR")
