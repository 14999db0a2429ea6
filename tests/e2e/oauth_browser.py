#!/usr/bin/env python3
"""Plays the user's browser for sign-in tests: Wine's winebrowser starts it
(HKCU\\Software\\Wine\\WineBrowser "Browsers") with the URL the program opens.

    oauth_browser.py --config FILE URL

FILE (JSON) says how to behave: "ca" (the test CA for https), "mode" one of
"consent" (open the page, choose Allow, follow the redirect to the loopback),
"wrong-state" (the same, with the state changed on the way back) or
"abandon" (open the page and do nothing more), and "log": a file that gets
one JSON line per visit with the URL opened and the loopback page's status
and text."""
import argparse
import http.client
import json
import re
import ssl
import sys
import urllib.parse


def fetch(url, context):
    parts = urllib.parse.urlsplit(url)
    if parts.scheme == "https":
        connection = http.client.HTTPSConnection(parts.hostname, parts.port or 443, context=context, timeout=20)
    else:
        connection = http.client.HTTPConnection(parts.hostname, parts.port or 80, timeout=20)
    target = (parts.path or "/") + ("?" + parts.query if parts.query else "")
    connection.request("GET", target)
    response = connection.getresponse()
    return response.status, response.getheader("Location"), response.read().decode("utf-8", "replace")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--config", required=True)
    parser.add_argument("url")
    args = parser.parse_args()
    with open(args.config) as f:
        config = json.load(f)
    entry = {"url": args.url}
    try:
        context = ssl.create_default_context(cafile=config["ca"])
        status, _, page = fetch(args.url, context)
        entry["authorize"] = status
        if config.get("mode", "consent") != "abandon" and status == 200:
            allow = re.search(r'href="([^"]+)"', page).group(1)
            _, location, _ = fetch(urllib.parse.urljoin(args.url, allow), context)
            if config.get("mode") == "wrong-state":
                parts = urllib.parse.urlsplit(location)
                query = urllib.parse.parse_qs(parts.query)
                query["state"] = ["forged"]
                location = urllib.parse.urlunsplit(parts._replace(query=urllib.parse.urlencode(query, doseq=True)))
            entry["redirect"] = location
            status, _, page = fetch(location, context)
            entry["loopback_status"] = status
            entry["loopback_page"] = page
    except Exception as error:  # the log says what went wrong; the test reads it
        entry["error"] = repr(error)
    with open(config["log"], "a") as f:
        f.write(json.dumps(entry) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
