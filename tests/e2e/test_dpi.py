"""The system's windows at 144 and 192 DPI: the Wine tests' layout and
DPI-change checks run again with the session's DPI (LogPixels) set, then set
back."""

import os

import e2e_support
from e2e_support import TE2eTest, wine

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"


class TDpiTest(TE2eTest):

    def log_pixels(self):
        result = wine("reg", "query", DESKTOP_KEY, "/v", "LogPixels")
        for line in result.stdout.decode("cp1252").splitlines():
            parts = line.split()
            if len(parts) == 3 and parts[0] == "LogPixels":
                return parts[2]
        return None

    def set_log_pixels(self, value):
        if value is None:
            wine("reg", "delete", DESKTOP_KEY, "/v", "LogPixels", "/f")
        else:
            wine("reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(value), "/f", check=True)

    def test_SystemWindowsAt144And192Dpi_NoControlClipped(self):
        tests = os.path.join(e2e_support.BUILD_DIR, "win_tests.exe")
        before = self.log_pixels()
        self.addCleanup(self.set_log_pixels, int(before, 0) if before else None)
        for dpi in (144, 192):
            with self.subTest(dpi=dpi):
                self.set_log_pixels(dpi)
                env = dict(e2e_support.SESSION_ENV, SKARNVALE_EXPECT_DPI=str(dpi))
                result = e2e_support.subprocess.run(
                    [e2e_support.wine_loader(tests), tests, "--gtest_filter=DpiLayout.*"], env=env,
                    stdin=e2e_support.subprocess.DEVNULL, stdout=e2e_support.subprocess.PIPE,
                    stderr=e2e_support.subprocess.STDOUT, timeout=120)
                output = result.stdout.decode("cp1252", "replace")
                self.assertIn("[  PASSED  ] 2 tests", output, output[-4000:])
