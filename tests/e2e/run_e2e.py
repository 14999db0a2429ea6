#!/usr/bin/env python3
"""End-to-end tests of SkarnVale.exe under Wine.

    run_e2e.py BUILD_DIR [unittest arguments, e.g. -k LongTitle]

BUILD_DIR holds the x86_64 SkarnVale.exe and wintool.exe. The tests run in the
Wine session named by SKARNVALE_WINE_SESSION (started if it is not running);
without that variable they start a session of their own and stop it at the end.
Screenshots go to BUILD_DIR/e2e-shots."""

import os
import shutil
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import e2e_support  # noqa: E402


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    build_dir = os.path.abspath(argv[1])
    for exe in ("SkarnVale.exe", "wintool.exe"):
        if not os.path.isfile(os.path.join(build_dir, exe)):
            print("run_e2e.py: %s not found in %s" % (exe, build_dir), file=sys.stderr)
            return 2

    session = os.environ.get("SKARNVALE_WINE_SESSION")
    own_session = not session
    if own_session:
        session = tempfile.mkdtemp(prefix="skarnvale-e2e-wine-")
    started = time.monotonic()
    e2e_support.start_session(session)
    try:
        e2e_support.BUILD_DIR = build_dir
        e2e_support.SESSION_ENV = e2e_support.session_environment(session)
        # The tests expect the settings' defaults (killer on, 500 ms ticks,
        # English), whatever an earlier user of the session saved.
        e2e_support.wine("reg", "delete", r"HKCU\Software\SkarnVale", "/f")
        loader = unittest.TestLoader()
        here = os.path.dirname(os.path.abspath(__file__))
        program = unittest.main(module=None, argv=[argv[0], "discover", "-s", here, "-p", "test_*.py", "-t", here]
                                + argv[2:], testLoader=loader, exit=False, verbosity=2)
        ok = program.result.wasSuccessful()
    finally:
        if own_session:
            e2e_support.stop_session(session)
            shutil.rmtree(session, ignore_errors=True)
    print("end-to-end tests %s in %.1f s" % ("passed" if ok else "FAILED", time.monotonic() - started))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
