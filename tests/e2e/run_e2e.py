#!/usr/bin/env python3
"""End-to-end tests of SkarnVale.exe under Wine.

    run_e2e.py BUILD_DIR... [unittest arguments, e.g. -k LongTitle]

Each BUILD_DIR holds a SkarnVale.exe with the wintool.exe and win_tests.exe of
the same architecture: build/win64 (x86_64, run by Wine's 64-bit loader) and
build/win32 (the i686 release, run under 32-bit Wine). The whole suite runs
once per build, in the Wine session named by SKARNVALE_WINE_SESSION (started
if it is not running); without that variable the tests start a session of
their own and stop it at the end. Screenshots go to BUILD_DIR/e2e-shots."""

import os
import shutil
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import e2e_support  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


def run_suite(build_dir, unittest_args):
    """Runs every test against the programs of `build_dir`; True when all pass."""
    e2e_support.BUILD_DIR = build_dir
    # The tests expect the settings' defaults (killer on, 500 ms ticks,
    # English), whatever an earlier user of the session saved.
    e2e_support.wine("reg", "delete", r"HKCU\Software\SkarnVale", "/f")
    program = unittest.main(module=None, argv=[sys.argv[0], "discover", "-s", HERE, "-p", "test_*.py", "-t", HERE]
                            + unittest_args, testLoader=unittest.TestLoader(), exit=False, verbosity=2)
    return program.result.wasSuccessful()


def main(argv):
    build_dirs = []
    while len(argv) > 1 + len(build_dirs) and not argv[1 + len(build_dirs)].startswith("-"):
        build_dirs.append(os.path.abspath(argv[1 + len(build_dirs)]))
    if not build_dirs:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    for build_dir in build_dirs:
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
    outcomes = []
    try:
        e2e_support.SESSION_ENV = e2e_support.session_environment(session)
        for build_dir in build_dirs:
            print("== end-to-end tests of %s (%s)" % (build_dir, e2e_support.architecture(build_dir)), flush=True)
            build_started = time.monotonic()
            ok = run_suite(build_dir, argv[1 + len(build_dirs):])
            outcomes.append((build_dir, ok, time.monotonic() - build_started))
    finally:
        if own_session:
            e2e_support.stop_session(session)
            shutil.rmtree(session, ignore_errors=True)
    for build_dir, ok, seconds in outcomes:
        print("end-to-end tests of %s %s in %.1f s" % (build_dir, "passed" if ok else "FAILED", seconds))
    ok = len(outcomes) == len(build_dirs) and all(ok for _, ok, _ in outcomes)
    print("end-to-end tests %s in %.1f s" % ("passed" if ok else "FAILED", time.monotonic() - started))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
