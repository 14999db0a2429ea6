"""The POP3 client against a real Dovecot server: starts a private Dovecot
instance (tests/servers/dovecot.sh, needs root) and runs the Windows test
that talks to it under Wine."""

import os
import socket
import subprocess
import tempfile
import unittest

import e2e_support

DOVECOT_SCRIPT = os.path.join(e2e_support.ROOT, "tests", "servers", "dovecot.sh")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


@unittest.skipUnless(os.geteuid() == 0 and os.path.exists("/usr/sbin/dovecot"), "needs root and dovecot-pop3d")
class Pop3DovecotTest(unittest.TestCase):
    def test_mailbox_check_against_dovecot(self):
        directory = tempfile.mkdtemp(prefix="skarnvale-dovecot-")
        port = free_port()
        subprocess.run([DOVECOT_SCRIPT, "start", directory, str(port)], check=True, stdin=subprocess.DEVNULL,
                       timeout=60)
        try:
            env = dict(e2e_support.SESSION_ENV)
            env["SKARNVALE_DOVECOT_PORT"] = str(port)
            tests = os.path.join(e2e_support.BUILD_DIR, "win_tests.exe")
            result = subprocess.run(
                [e2e_support.wine_loader(tests), tests,
                 "--gtest_filter=Pop3Dovecot.*"],
                env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                timeout=120)
            output = result.stdout.decode(errors="replace")
            self.assertEqual(result.returncode, 0, output)
            self.assertIn("[  PASSED  ] 1 test", output)
            with open(os.path.join(directory, "dovecot.log")) as log:
                self.assertIn("Logged out top=2/", log.read())
        finally:
            subprocess.run([DOVECOT_SCRIPT, "stop", directory], stdin=subprocess.DEVNULL, timeout=60)


if __name__ == "__main__":
    unittest.main()
