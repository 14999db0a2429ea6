#!/usr/bin/env python3
"""A local OAuth 2.0 authorization server for tests (RFC 6749, RFC 7636, RFC 7662).

    oauth_server.py --cert C --key K [--address A] [--port P] [--log FILE]
                    [--expires SECONDS] [--user NAME] [--client-id ID]

Serves HTTPS on --address:--port (port 0: a free one, printed as the first
line of stdout) until it is killed:

  GET  /authorize     the consent page of an authorization request
                      (response_type=code, client_id, redirect_uri, state,
                      code_challenge with method S256, scope); its "Allow"
                      link leads to /consent
  GET  /consent?request=ID   redirects (302) to redirect_uri with code and state
  POST /token         grant_type=authorization_code (code, redirect_uri,
                      client_id, code_verifier checked against the challenge)
                      or grant_type=refresh_token; refused grants answer 400
                      with an RFC 6749 error ("invalid_grant", ...)
  POST /introspect    token=... answers {"active": ..., "username": ...}
                      (Dovecot's oauth2 passdb, introspection_mode = post)
  POST /control/revoke       every refresh token issued so far is revoked
  POST /control/refresh-tokens  the refresh tokens issued so far
  POST /control/expire       every access token issued so far expires now
  POST /control/long-tokens  access tokens issued from now on are as long as
                      the big providers' (over a thousand characters)

Access tokens live --expires seconds. Every request is appended to --log as
one JSON line: method, path and, for /token, the grant type; never a token.
"""
import argparse
import base64
import hashlib
import html
import json
import secrets
import ssl
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


class TState:
    def __init__(self, args):
        self.args = args
        self.lock = threading.Lock()
        self.requests = {}       # consent request id -> authorization request
        self.codes = {}          # code -> authorization request
        self.access = {}         # access token -> (user, expiry)
        self.refresh = {}        # refresh token -> (user, revoked)
        self.token_bytes = 24

    def log(self, entry):
        if self.args.log:
            with self.lock, open(self.args.log, "a") as f:
                f.write(json.dumps(entry) + "\n")

    def issue(self, user):
        access, refresh = secrets.token_urlsafe(self.token_bytes), secrets.token_urlsafe(32)
        self.access[access] = (user, time.time() + self.args.expires)
        self.refresh[refresh] = (user, False)
        return {"access_token": access, "token_type": "Bearer", "expires_in": self.args.expires,
                "refresh_token": refresh, "scope": "pop"}


def s256(verifier):
    digest = hashlib.sha256(verifier.encode("ascii")).digest()
    return base64.urlsafe_b64encode(digest).rstrip(b"=").decode("ascii")


class THandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, status, body, content_type="application/json", headers=()):
        data = body.encode() if isinstance(body, str) else body
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-store")
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(data)

    def json(self, status, obj):
        self.reply(status, json.dumps(obj))

    def error(self, code, description):
        self.json(400, {"error": code, "error_description": description})

    def form(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length).decode("ascii", "replace")
        return {k: v[0] for k, v in urllib.parse.parse_qs(body, keep_blank_values=True).items()}

    def do_GET(self):
        state = self.server.state
        url = urllib.parse.urlsplit(self.path)
        query = {k: v[0] for k, v in urllib.parse.parse_qs(url.query, keep_blank_values=True).items()}
        state.log({"method": "GET", "path": url.path})
        if url.path == "/authorize":
            missing = [n for n in ("response_type", "client_id", "redirect_uri", "state", "code_challenge")
                       if not query.get(n)]
            if missing or query["response_type"] != "code" or query.get("code_challenge_method") != "S256" \
                    or query["client_id"] != state.args.client_id:
                self.reply(400, "bad authorization request: %s" % html.escape(" ".join(missing) or "values"),
                           "text/plain")
                return
            request = secrets.token_urlsafe(8)
            with state.lock:
                state.requests[request] = dict(query, user=state.args.user)
            page = ('<html><body><p>Allow %s to read the mail of %s?</p>'
                    '<a id="allow" href="/consent?request=%s">Allow</a></body></html>'
                    % (html.escape(query["client_id"]), html.escape(state.args.user), request))
            self.reply(200, page, "text/html")
        elif url.path == "/consent":
            with state.lock:
                request = state.requests.pop(query.get("request", ""), None)
            if not request:
                self.reply(400, "unknown request", "text/plain")
                return
            code = secrets.token_urlsafe(16)
            with state.lock:
                state.codes[code] = request
            target = request["redirect_uri"] + "?" + urllib.parse.urlencode({"code": code, "state": request["state"]})
            self.reply(302, "", "text/plain", [("Location", target)])
        else:
            self.reply(404, "not found", "text/plain")

    def do_POST(self):
        state = self.server.state
        path = urllib.parse.urlsplit(self.path).path
        fields = self.form()
        entry = {"method": "POST", "path": path}
        if path == "/token":
            entry["grant_type"] = fields.get("grant_type", "")
        state.log(entry)
        if path == "/token":
            self.token(state, fields)
        elif path == "/introspect":
            with state.lock:
                user, expiry = state.access.get(fields.get("token", ""), (None, 0))
            if user and time.time() < expiry:
                self.json(200, {"active": "true", "username": user, "exp": int(expiry)})
            else:
                self.json(200, {"active": "false"})
        elif path == "/control/revoke":
            with state.lock:
                state.refresh = {t: (u, True) for t, (u, _) in state.refresh.items()}
            self.json(200, {})
        elif path == "/control/long-tokens":
            with state.lock:
                state.token_bytes = 900
            self.json(200, {})
        elif path == "/control/refresh-tokens":
            with state.lock:
                self.json(200, {"tokens": list(state.refresh)})
        elif path == "/control/expire":
            with state.lock:
                state.access = {t: (u, 0) for t, (u, _) in state.access.items()}
            self.json(200, {})
        else:
            self.reply(404, "not found", "text/plain")

    def token(self, state, fields):
        grant = fields.get("grant_type")
        if fields.get("client_id") != state.args.client_id:
            self.json(401, {"error": "invalid_client"})
            return
        with state.lock:
            if grant == "authorization_code":
                request = state.codes.pop(fields.get("code", ""), None)
                if not request or request["redirect_uri"] != fields.get("redirect_uri"):
                    self.error("invalid_grant", "unknown code or redirect_uri")
                    return
                if s256(fields.get("code_verifier", "")) != request["code_challenge"]:
                    self.error("invalid_grant", "PKCE verification failed")
                    return
                self.json(200, state.issue(request["user"]))
            elif grant == "refresh_token":
                user, revoked = state.refresh.get(fields.get("refresh_token", ""), (None, True))
                if not user or revoked:
                    self.error("invalid_grant", "refresh token revoked")
                    return
                answer = state.issue(user)
                if state.args.rotate:
                    # A new refresh token replaces the one used, which no longer works.
                    state.refresh[fields["refresh_token"]] = (user, True)
                else:
                    del answer["refresh_token"]  # the old one stays valid
                self.json(200, answer)
            else:
                self.error("unsupported_grant_type", grant or "")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--address", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--log")
    parser.add_argument("--expires", type=int, default=3600)
    parser.add_argument("--rotate", action="store_true", help="a refresh grant replaces its refresh token")
    parser.add_argument("--user", default="alice")
    parser.add_argument("--client-id", default="skarnvale-test")
    args = parser.parse_args()
    server = ThreadingHTTPServer((args.address, args.port), THandler)
    server.daemon_threads = True
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.cert, args.key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    server.state = TState(args)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
