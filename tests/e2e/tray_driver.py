"""Driving SkarnVale as a user does: its registry settings, and its tray icon
with the menu behind it, clicked in Wine's notification area."""

import subprocess

import e2e_support
from e2e_support import wait_until, wine

REGISTRY_KEY = r"HKCU\Software\SkarnVale"


def xdotool(*args):
    return subprocess.run(["xdotool"] + list(args), env=e2e_support.SESSION_ENV, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=30)


class TTrayDriver:
    """Mixed into end-to-end tests that start from an empty settings key."""

    def setUp(self):
        super().setUp()
        wine("reg", "delete", REGISTRY_KEY, "/f")

    def set_value(self, section, name, value):
        wine("reg", "add", REGISTRY_KEY + "\\" + section, "/v", name, "/t", "REG_SZ", "/d", value, "/f", check=True)

    def value(self, section, name):
        result = wine("reg", "query", REGISTRY_KEY + "\\" + section, "/v", name)
        for line in result.stdout.decode("cp1252").splitlines():
            parts = line.split(None, 2)
            if len(parts) >= 2 and parts[0] == name and parts[1] == "REG_SZ":
                return parts[2] if len(parts) == 3 else ""
        return None

    def icon_position(self):
        """The middle of the first icon of Wine's own notification area."""
        def tray():
            result = xdotool("search", "--name", "Wine System Tray")
            return result.stdout.split()[:1]
        window = wait_until(tray, 20, "the \"Wine System Tray\" window")[0].decode()
        geometry = xdotool("getwindowgeometry", "--shell", window).stdout.decode()
        values = dict(line.split("=") for line in geometry.split() if "=" in line)
        return int(values["X"]) + 11, int(values["Y"]) + int(values["HEIGHT"]) - 11

    def open_menu(self, app):
        x, y = self.icon_position()
        def menu_open():
            xdotool("mousemove", str(x), str(y), "click", "3")
            return wait_until(lambda: any(w.class_name == "#32768" for w in app.visible_windows()), 8,
                              "the tray menu")
        wait_until(lambda: self._try(menu_open), 30, "the tray menu to open on a right click")

    def choose_last_item(self, app):
        """Chooses Quit, the menu's last item. A loaded machine may lose the keys
        to a menu that a second right click was closing, so the whole gesture is
        tried again while the program is still running."""
        def ended():
            return not app.processes("SkarnVale.exe")
        for attempt in range(3):
            if attempt:
                self.open_menu(app)
            app.wintool("menu-keys", "up", "return")
            if self._try(lambda: wait_until(ended, 10, "SkarnVale to end after Quit")):
                return
        print(app.wintool("list")[1])
        self.fail("SkarnVale did not end after Quit was chosen three times")

    @staticmethod
    def _try(action):
        try:
            return action()
        except AssertionError:
            return False
