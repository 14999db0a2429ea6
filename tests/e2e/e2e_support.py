"""What the end-to-end tests share: the Wine session, a private directory per
test holding copies of SkarnVale.exe and wintool.exe, starting and ending the
programs of that directory, and polling with deadlines."""

import base64
import glob
import hashlib
import http.client
import json
import os
import re
import secrets
import shlex
import shutil
import signal
import ssl
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SESSION_SCRIPT = os.path.join(ROOT, "tests", "win", "wine-session.sh")

# Filled in by run_e2e.py before the tests run.
BUILD_DIR = None
SESSION_ENV = None


def session_environment(session_dir):
    """The environment of the Wine session: the caller's own plus what the
    session's env file exports (DISPLAY, WINEPREFIX, ...)."""
    env_file = os.path.join(session_dir, "env")
    output = subprocess.run(
        ["bash", "-c", ". %s && env -0" % shlex.quote(env_file)],
        check=True, stdout=subprocess.PIPE, stdin=subprocess.DEVNULL).stdout
    env = {}
    for entry in output.split(b"\0"):
        if b"=" in entry:
            name, value = entry.split(b"=", 1)
            env[name.decode()] = value.decode()
    return env


def start_session(session_dir):
    subprocess.run([SESSION_SCRIPT, "start", session_dir], check=True, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL)


def stop_session(session_dir):
    subprocess.run([SESSION_SCRIPT, "stop", session_dir], stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def wait_until(condition, timeout, what, interval=0.05, state=None):
    """Polls `condition` until it answers something true and returns that
    answer; fails the test with `what` when `timeout` seconds pass first, and
    with what `state()` then describes, when given."""
    deadline = time.monotonic() + timeout
    while True:
        answer = condition()
        if answer:
            return answer
        if time.monotonic() >= deadline:
            message = "timed out after %.1f s waiting for %s" % (timeout, what)
            if state:
                message += "; %s" % state()
            raise AssertionError(message)
        time.sleep(interval)


I386_MACHINE = 0x14C


def pe_machine(program):
    """The machine field of a Windows program's PE header, None when the file
    is not one."""
    try:
        with open(program, "rb") as f:
            header = f.read(4096)
        pe = int.from_bytes(header[0x3C:0x40], "little")
        if header[pe:pe + 4] == b"PE\0\0":
            return int.from_bytes(header[pe + 4:pe + 6], "little")
    except (OSError, ValueError):
        pass
    return None


def architecture(build_dir):
    """'i686' or 'x86_64': what the build's SkarnVale.exe is made for."""
    return "i686" if pe_machine(os.path.join(build_dir, "SkarnVale.exe")) == I386_MACHINE else "x86_64"


def wine_loader(program):
    """The Wine loader for a program: once wine32 is installed, Debian's `wine`
    starts 64-bit programs behind a 32-bit launcher (another PID), so only
    32-bit programs go to it; 64-bit ones and Wine's own tools go to the
    64-bit loader."""
    wine64 = "/usr/lib/wine/wine64"
    if not os.access(wine64, os.X_OK) or pe_machine(program) == I386_MACHINE:
        return "wine"
    return wine64


def wine(*args, timeout=30, check=False, env=None):
    """Runs a Windows program (or Wine tool) to its end in the session. With
    `check`, a run that failed having printed nothing at all never reached
    the program (Wine failed to start it, as seen once on a loaded machine):
    it is tried once more before its failure counts; otherwise a failure
    raises with what the program printed."""
    def run():
        return subprocess.run([wine_loader(args[0])] + list(args), env=dict(SESSION_ENV, **(env or {})),
                              stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              timeout=timeout)
    result = run()
    if check and result.returncode != 0 and not result.stdout and not result.stderr:
        sys.stderr.write("wine: %r ended with status %d before printing anything; running it again\n"
                         % (list(args), result.returncode))
        result = run()
    if check and result.returncode != 0:
        sys.stderr.write("wine: %r failed; it printed %r, %r\n" % (list(args), result.stdout, result.stderr))
        raise subprocess.CalledProcessError(result.returncode, result.args, result.stdout, result.stderr)
    return result


class TWindowInfo:
    """One visible top-level window as `wintool list` prints it."""

    def __init__(self, line):
        fields = line.split("\t")
        self.class_name = fields[0]
        self.title = fields[1] if len(fields) > 1 else ""
        self.texts = fields[2:]

    def __repr__(self):
        return "%s %r %r" % (self.class_name, self.title, self.texts)


class TLogEntry:
    """One line of a `wintool open` log: milliseconds, event, window title."""

    def __init__(self, line):
        ms, event, title = (line.split(" ", 2) + [""])[:3]
        self.ms = int(ms)
        self.event = event
        self.title = title

    def __repr__(self):
        return "%d %s %r" % (self.ms, self.event, self.title)


def processes_in(path, exe=None):
    """PIDs of the Linux processes whose command line names the directory
    `path` (and `exe` when given)."""
    unix = path.lower()
    windows = ("z:" + path.replace("/", "\\")).lower()
    wanted = (exe or "").lower()
    pids = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                command = f.read().replace(b"\0", b" ").decode("utf-8", "replace").lower()
        except OSError:
            continue
        if (unix in command or windows in command) and wanted in command:
            pids.append(int(entry))
    return pids


class TProgramDir:
    """A fresh directory with copies of SkarnVale.exe and wintool.exe. Every
    program started from it is found again through its Linux command line,
    which names the directory, and ended when the test ends."""

    def __init__(self, parent, name):
        self.path = os.path.join(parent, name)
        os.makedirs(self.path)
        for exe in ("SkarnVale.exe", "wintool.exe"):
            shutil.copy2(os.path.join(BUILD_DIR, exe), self.path)
        self.started = []

    def file(self, name):
        return os.path.join(self.path, name)

    def write_kill_list(self, data):
        with open(self.file("SkarnVale.txt"), "wb") as f:
            f.write(data)

    def read_kill_list(self):
        with open(self.file("SkarnVale.txt"), "rb") as f:
            return f.read()

    def start(self, exe, *args, env=None):
        """Starts `exe` of this directory; `env` adds to the session's variables
        (LANG and LOCPATH choose the ANSI code page Wine gives the program)."""
        output = open(self.file("%s.%d.out" % (exe, len(self.started))), "wb")
        process = subprocess.Popen([wine_loader(self.file(exe)), self.file(exe)] + list(args), cwd=self.path,
                                   env=dict(SESSION_ENV, **(env or {})),
                                   stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.STDOUT,
                                   start_new_session=True)
        output.close()
        self.started.append(process)
        return process

    def wintool(self, *args, timeout=30, env=None):
        result = wine(self.file("wintool.exe"), *args, timeout=timeout, env=env)
        return result.returncode, result.stdout.decode("utf-8").replace("\r", "")

    def visible_windows(self):
        # A listing can fail now and then while windows come and go under
        # it: only three failures in a row count.
        for _ in range(3):
            result = wine(self.file("wintool.exe"), "list")
            if result.returncode == 0:
                output = result.stdout.decode("utf-8").replace("\r", "")
                return [TWindowInfo(line) for line in output.split("\n") if line]
            time.sleep(0.5)
        raise AssertionError("wintool list failed with code %d: %s"
                             % (result.returncode, result.stderr.decode("utf-8", "replace")[-2000:]))

    def find_window(self, class_name, title):
        """'visible', 'hidden', or None when there is no such window or its
        thread does not answer messages yet."""
        code, output = self.wintool("find", class_name, title)
        return output.strip() if code == 0 else None

    def processes(self, exe=None):
        """PIDs of the Linux processes whose command line names this directory
        (and `exe` when given)."""
        return processes_in(self.path, exe)

    def wait_for_skarnvale(self, timeout=20):
        """Waits until SkarnVale's application window exists and its thread
        answers messages, then until its last window of start-up (the untitled
        video window) does: the thread answers while it waits for the tray
        during start-up, the loop turns only after the settings are loaded."""
        wait_until(lambda: self.find_window("TApplication", "Skarnvale"), timeout,
                   "SkarnVale's application window (TApplication \"Skarnvale\")", interval=0.1)
        return wait_until(lambda: self.find_window("TSkarnValeForm", ""), timeout,
                          "SkarnVale's video window, the last one it creates", interval=0.1)

    def stop_all(self):
        for _ in range(3):
            pids = self.processes()
            if not pids:
                break
            for pid in pids:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            wait_until(lambda: not any(p in self.processes() for p in pids), 10,
                       "the programs of %s to end" % self.path)
        for process in self.started:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


class TE2eTest(unittest.TestCase):
    """Gives each test a temporary directory and ends every program started
    from it, whatever the outcome."""

    def setUp(self):
        self.tempdir = tempfile.mkdtemp(prefix="skarnvale-e2e-")
        self.dirs = []
        self.addCleanup(shutil.rmtree, self.tempdir, True)

    def program_dir(self, name="app"):
        program_dir = TProgramDir(self.tempdir, name)
        self.dirs.append(program_dir)
        self.addCleanup(program_dir.stop_all)
        return program_dir

    def start_skarnvale(self, program_dir, exe="SkarnVale.exe", env=None):
        program_dir.start(exe, env=env)
        program_dir.wait_for_skarnvale()

    def read_log(self, path):
        if not os.path.exists(path):
            return []
        with open(path, "rb") as f:
            lines = f.read().decode("utf-8").replace("\r", "").split("\n")
        # The last line may still be being written.
        return [TLogEntry(line) for line in lines[:-1] if line]


DOVECOT_SCRIPT = os.path.join(ROOT, "tests", "servers", "dovecot.sh")
TLS_ADDRESS = "127.0.0.50"
TLS_NAMES = ("mail.test", "other.test", "untrusted.test", "expired.test", "future.test", "revoked.test",
             "offline-crl.test", "expired-self.test", "auth.test")
# Where the test CA's certificates say its CRL is (dovecot.sh pki).
CRL_ADDRESS = "127.0.0.51"
_test_pki = []


def serve_crl(directory):
    """Serves DIR's files (its CRL) over HTTP on CRL_ADDRESS:80 for the rest
    of the run, as a CA's CRL server would."""
    import functools
    import http.server
    import threading
    handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=directory)
    handler.log_message = lambda *args: None
    server = http.server.ThreadingHTTPServer((CRL_ADDRESS, 80), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()


def forget_revocation_answers():
    """Empties what the prefix's platform keeps of CRLs and revocation answers
    (Wine: per certificate and issuer, on disk, for every program of the
    prefix, until the CRL's next update), so that no scenario is judged on an
    answer an earlier one left."""
    users = os.path.join(SESSION_ENV["WINEPREFIX"], "drive_c", "users")
    for cache in glob.glob(os.path.join(users, "*", "AppData", "LocalLow", "Microsoft", "CryptnetUrlCache")) + \
            glob.glob(os.path.join(users, "*", "AppData", "Local", "Microsoft", "Windows", "INetCache")):
        shutil.rmtree(cache, ignore_errors=True)


def test_pki():
    """The test PKI (dovecot.sh pki), made once per run, its CA trusted by
    the session's prefix, its CRL served, and its server names resolving to
    TLS_ADDRESS. Each scenario that asks for it starts with no revocation
    answer cached by the platform."""
    forget_revocation_answers()
    if not _test_pki:
        directory = tempfile.mkdtemp(prefix="skarnvale-pki-")
        subprocess.run([DOVECOT_SCRIPT, "pki", directory], check=True, stdin=subprocess.DEVNULL, timeout=120)
        wintool = os.path.join(BUILD_DIR, "wintool.exe")
        wine(wintool, "trust-root", "z:" + os.path.join(directory, "ca.der").replace("/", "\\"), check=True)
        serve_crl(directory)
        _test_pki.append(directory)
    return _test_pki[0]


def cert_fingerprint(pki, name):
    """The SHA-256 fingerprint of NAME.crt, as openssl shows it."""
    output = subprocess.run(["openssl", "x509", "-in", os.path.join(pki, name + ".crt"), "-noout", "-fingerprint",
                             "-sha256"], check=True, stdout=subprocess.PIPE, stdin=subprocess.DEVNULL).stdout
    return output.decode().strip().split("=", 1)[1]


HOSTS_MARK = " # skarnvale-tls-test\n"


def add_test_hosts(test):
    """Adds TLS_NAMES to /etc/hosts for the test and removes them after it.
    The file is rewritten in place: in a network namespace it may be a bind
    mount that cannot be replaced."""
    with open("/etc/hosts") as f:
        lines = [line for line in f if not line.endswith(HOSTS_MARK)]
    with open("/etc/hosts", "w") as f:
        f.writelines(lines + ["%s %s%s" % (TLS_ADDRESS, name, HOSTS_MARK) for name in TLS_NAMES])

    def remove():
        with open("/etc/hosts") as f:
            kept = [line for line in f if not line.endswith(HOSTS_MARK)]
        with open("/etc/hosts", "w") as f:
            f.writelines(kept)
    test.addCleanup(remove)


def start_tls_dovecot(test, directory, oauth_port=None, oauth_mechanisms=None, imap_port=None, password=None):
    """Dovecot with TLS required on TLS_ADDRESS (STLS on 110, TLS on 995),
    stopped when the test ends; with oauth_port, XOAUTH2 and OAUTHBEARER
    tokens are checked at the authorization server on that port; with
    imap_port, IMAP too (STARTTLS on imap_port, TLS on 993)."""
    env = dict(os.environ, SKARNVALE_DOVECOT_TLS=test_pki())
    if imap_port:
        env["SKARNVALE_DOVECOT_IMAP"] = str(imap_port)
    if password:
        env["SKARNVALE_DOVECOT_PASSWORD"] = password
    if oauth_port:
        env["SKARNVALE_DOVECOT_OAUTH"] = "https://auth.test:%d/introspect" % oauth_port
    if oauth_mechanisms:
        env["SKARNVALE_DOVECOT_OAUTH_MECHANISMS"] = oauth_mechanisms
    subprocess.run([DOVECOT_SCRIPT, "start", directory, "110", TLS_ADDRESS], check=True, env=env,
                   stdin=subprocess.DEVNULL, timeout=60)
    test.addCleanup(subprocess.run, [DOVECOT_SCRIPT, "stop", directory], stdin=subprocess.DEVNULL, timeout=60)
    add_test_hosts(test)


OAUTH_SCRIPT = os.path.join(ROOT, "tests", "servers", "oauth_server.py")
OAUTH_CLIENT_ID = "skarnvale-test"


class TOAuthServer:
    """The test's authorization server (tests/servers/oauth_server.py) on
    auth.test, its HTTPS certificate from the test PKI; ended with the test."""

    def __init__(self, test, expires=3600, rotate=False):
        pki = test_pki()
        self.directory = tempfile.mkdtemp(prefix="skarnvale-oauth-")
        test.addCleanup(shutil.rmtree, self.directory, True)
        self.log_path = os.path.join(self.directory, "requests.log")
        self.process = subprocess.Popen(
            [sys.executable, OAUTH_SCRIPT, "--cert", os.path.join(pki, "auth.test.crt"),
             "--key", os.path.join(pki, "auth.test.key"), "--address", TLS_ADDRESS, "--log", self.log_path,
             "--expires", str(expires), "--client-id", OAUTH_CLIENT_ID] + (["--rotate"] if rotate else []),
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE)
        test.addCleanup(self.process.stdout.close)
        test.addCleanup(self.process.wait, 30)
        test.addCleanup(self.process.kill)
        self.port = int(self.process.stdout.readline().decode().strip())
        self.base = "https://auth.test:%d" % self.port
        self.context = ssl.create_default_context(cafile=os.path.join(pki, "ca.crt"))

    def requests(self):
        """The log: one dict per request (method, path, grant_type)."""
        if not os.path.exists(self.log_path):
            return []
        with open(self.log_path) as f:
            return [json.loads(line) for line in f if line.strip()]

    def grants(self):
        return [r["grant_type"] for r in self.requests() if r["path"] == "/token"]

    def post(self, path, fields=None):
        connection = http.client.HTTPSConnection("auth.test", self.port, context=self.context, timeout=10)
        connection.request("POST", path, urllib.parse.urlencode(fields or {}),
                           {"Content-Type": "application/x-www-form-urlencoded"})
        response = connection.getresponse()
        answer = json.loads(response.read() or b"{}")
        connection.close()
        return response.status, answer

    def get(self, target):
        connection = http.client.HTTPSConnection("auth.test", self.port, context=self.context, timeout=10)
        connection.request("GET", target)
        response = connection.getresponse()
        answer = response.status, response.getheader("Location"), response.read().decode()
        connection.close()
        return answer

    def sign_in(self, redirect="http://127.0.0.1:9/"):
        """The whole code flow with PKCE as a client would run it; the token answer."""
        verifier = secrets.token_urlsafe(40)
        challenge = base64.urlsafe_b64encode(hashlib.sha256(verifier.encode()).digest()).rstrip(b"=").decode()
        query = urllib.parse.urlencode({"response_type": "code", "client_id": OAUTH_CLIENT_ID, "redirect_uri": redirect,
                                        "state": "s", "code_challenge": challenge, "code_challenge_method": "S256"})
        _, _, page = self.get("/authorize?" + query)
        _, location, _ = self.get(re.search(r'href="([^"]+)"', page).group(1))
        code = urllib.parse.parse_qs(urllib.parse.urlsplit(location).query)["code"][0]
        status, answer = self.post("/token", {"grant_type": "authorization_code", "code": code,
                                              "redirect_uri": redirect, "client_id": OAUTH_CLIENT_ID,
                                              "code_verifier": verifier})
        assert status == 200, answer
        return answer
