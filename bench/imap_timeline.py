#!/usr/bin/env python3
"""Where a check's time goes on the server's side, from Dovecot's rawlog
(rawlog_dir: one .in and one .out file per session after its login, each
line stamped with the time it was read or written). For each session, in
the order of their logins: each command's arrival and the span of its
answer, in ms after the login's answer, so that the client's share (the
gap from an answer to the next command, less a round trip) shows beside
the server's.
  imap_timeline.py RAWLOG_DIR"""
import glob
import os
import sys


def stamped(path):
    for line in open(path, encoding="latin-1"):
        stamp, _, text = line.partition(" ")
        try:
            yield float(stamp), text.split()
        except ValueError:
            continue


def main():
    names = sorted(glob.glob(os.path.join(sys.argv[1], "*.in")),
                   key=lambda p: (os.path.basename(p).split(".")[0], int(os.path.basename(p).split(".")[1])))
    for number, path in enumerate(names, 1):
        commands = [(t, words) for t, words in stamped(path) if words]
        answers = [t for t, _ in stamped(path[:-3] + ".out")]
        if not answers:
            continue
        start = answers[0]
        parts = []
        bounds = [t for t, _ in commands[1:]] + [float("inf")]
        for (t, words), end in zip(commands, bounds):
            verb = " ".join(words[1:3]) if len(words) > 2 and words[1].upper() == "UID" else " ".join(words[1:2] or words)
            said = [a for a in answers if t <= a < end]
            span = "%.0f-%.0f" % (1000 * (said[0] - start), 1000 * (said[-1] - start)) if said else "-"
            parts.append("%s in %.0f, answer %s" % (verb, 1000 * (t - start), span))
        print("  session %d (ms after the login): %s" % (number, "; ".join(parts)))


if __name__ == "__main__":
    main()
