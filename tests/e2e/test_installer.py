"""The setup a Windows user downloads (dist/SkarnVale-VERSION-setup.exe, made
by scripts/package.sh), run silently in the session's prefix as a deployment
would: the installed program, its shortcut, its installed-apps entry and its
start-up entry; the installed program running in the tray; the setup run
again over the running copy, which quits and keeps its settings and lists;
and the silent uninstall, which leaves only the settings and lists."""

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
        self.forget_installation()
        self.addCleanup(self.forget_installation)

    def forget_installation(self):
        """What an earlier run of the setup in this prefix may have left."""
        self.end_installed_program()
        wine("reg", "delete", UNINSTALL_KEY, "/f")
        wine("reg", "delete", RUN_KEY, "/v", "SkarnVale", "/f")
        shutil.rmtree(self.install_dir, ignore_errors=True)
        if os.path.exists(self.shortcut):
            os.remove(self.shortcut)

    def installed_processes(self):
        return processes_in(self.install_dir, "SkarnVale.exe")

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
        return set(os.listdir(self.install_dir)) if os.path.isdir(self.install_dir) else set()

    def start_installed_program(self):
        exe = self.installed("SkarnVale.exe")
        output = open(os.path.join(self.tempdir, "installed.out"), "wb")
        process = subprocess.Popen([wine_loader(exe), exe], cwd=self.install_dir, env=e2e_support.SESSION_ENV,
                                   stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.STDOUT,
                                   start_new_session=True)
        output.close()
        self.addCleanup(process.wait, 10)
        self.addCleanup(self.end_installed_program)

    def test_SilentSetup_InstallsRunsInstallsOverTheRunningCopyAndUninstallsKeepingTheSettings(self):
        self.set_value("Popup", "Counter", "41")

        result = self.run_setup("/S")
        self.assertEqual(result.returncode, 0, "the setup failed: %r" % result.stderr[-2000:])
        self.assertEqual(self.installed_files(), {"SkarnVale.exe", "ReadMe.txt", "Uninstall.exe"})
        with open(self.installed("SkarnVale.exe"), "rb") as installed, \
                open(os.path.join(e2e_support.BUILD_DIR, "SkarnVale.exe"), "rb") as built:
            self.assertTrue(installed.read() == built.read(),
                            "the installed SkarnVale.exe is not this build's: run scripts/package.sh again")
        with open(self.installed("ReadMe.txt"), "rb") as f:
            readme = f.read()
        self.assertTrue(readme.startswith(b"SkarnVale %s\r\n" % self.version.encode()), readme[:40])
        self.assertNotIn(b"\n", readme.replace(b"\r\n", b""), "the read-me has line ends other than CR LF")

        exe = self.windows_dir + "\\SkarnVale.exe"
        with open(self.shortcut, "rb") as f:
            link = f.read().lower()
        self.assertTrue(exe.lower().encode("cp1252") in link or exe.lower().encode("utf-16-le") in link,
                        "the shortcut does not name %s" % exe)
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
        self.assertEqual(reg_values(RUN_KEY).get("SkarnVale"), '"%s"' % exe)

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
        lists = {"SkarnVale.exe", "ReadMe.txt", "Uninstall.exe"} | LISTS
        self.assertEqual(self.installed_files(), lists)
        with open(self.installed("SkarnVale.txt"), "rb") as f:
            self.assertEqual(f.read(), b"alpha popup nobody opens\r\nZeta popup nobody opens\r\n")

        # The uninstaller runs from a copy of itself and returns at once.
        wine(self.installed("Uninstall.exe"), "/S", timeout=120)
        wait_until(lambda: self.installed_files() == LISTS and not os.path.exists(self.shortcut)
                   and not reg_values(UNINSTALL_KEY) and "SkarnVale" not in reg_values(RUN_KEY), 60,
                   "the silent uninstall to remove the program, its shortcut and its keys",
                   interval=0.5, state=lambda: "files left: %r" % sorted(self.installed_files()))
        self.assertEqual(self.value("Popup", "Counter"), "41")
        with open(self.installed("SkarnVale.txt"), "rb") as f:
            self.assertEqual(f.read(), b"alpha popup nobody opens\r\nZeta popup nobody opens\r\n")


if __name__ == "__main__":
    raise SystemExit("run the end-to-end tests with run_e2e.py BUILD_DIR")
