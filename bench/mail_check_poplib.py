#!/usr/bin/env python3
"""The check's classic conversation (one command at a time) done by Python's poplib, for comparison:
USER, PASS, LIST, then LIST n, TOP n 0 and TOP n LINES for every message, QUIT;
one command at a time, or with --pipelined the same commands sent WINDOW at a
time ahead of their replies (RFC 2449), read back with poplib's own reply
readers. --messages N reads only the first N messages and estimates the whole
mailbox from their pace (reported as estimated_seconds).

    mail_check_poplib.py SERVER USER PASSWORD LINES [--pipelined WINDOW] [--messages N]"""

import argparse
import poplib
import resource
import time
import tracemalloc


def read_messages(pop, numbers, lines, window):
    """The replies of LIST n, TOP n 0 and TOP n LINES for each number, `window` commands in flight."""
    commands = []
    for n in numbers:
        commands += [("LIST %d" % n, False), ("TOP %d 0" % n, True), ("TOP %d %d" % (n, lines), True)]
    replies, sent = [], 0
    while len(replies) < len(commands):
        if sent - len(replies) <= window // 2:
            batch = commands[sent:len(replies) + window]
            pop.sock.sendall(b"".join(c.encode() + b"\r\n" for c, _ in batch))
            sent += len(batch)
        replies.append(pop._getlongresp() if commands[len(replies)][1] else pop._getresp())
    return replies


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("server")
    ap.add_argument("user")
    ap.add_argument("password")
    ap.add_argument("lines", type=int)
    ap.add_argument("--pipelined", type=int, metavar="WINDOW", default=0)
    ap.add_argument("--messages", type=int, default=0)
    a = ap.parse_args()
    tracemalloc.start()
    cpu_before = resource.getrusage(resource.RUSAGE_SELF)
    start = time.monotonic()
    pop = poplib.POP3(a.server, 110)
    pop.user(a.user)
    pop.pass_(a.password)
    count = len(pop.list()[1])
    read = min(count, a.messages) if a.messages else count
    fetched = 0
    if a.pipelined:
        replies = read_messages(pop, range(1, read + 1), a.lines, a.pipelined)
        fetched = sum(sum(len(line) + 2 for line in r[1]) for r in replies if isinstance(r, tuple))
    else:
        for n in range(1, read + 1):
            pop.list(n)
            header = pop.top(n, 0)[1]
            message = pop.top(n, a.lines)[1]
            fetched += sum(len(line) + 2 for line in header) + sum(len(line) + 2 for line in message)
    before_quit = time.monotonic()
    pop.quit()
    seconds = time.monotonic() - start
    cpu_after = resource.getrusage(resource.RUSAGE_SELF)
    cpu = (cpu_after.ru_utime - cpu_before.ru_utime) + (cpu_after.ru_stime - cpu_before.ru_stime)
    peak = tracemalloc.get_traced_memory()[1]
    estimate = ""
    if read < count:
        estimate = " estimated_seconds=%.1f" % (seconds + (before_quit - start) * (count - read) / max(read, 1))
    print("poplib%s messages=%d read=%d seconds=%.3f messages_per_second=%.0f cpu_seconds=%.3f "
          "peak_memory_growth_bytes=%d fetched_bytes=%d%s"
          % (" pipelined=%d" % a.pipelined if a.pipelined else "", count, read, seconds, read / max(seconds, 0.001),
             cpu, peak, fetched, estimate))


if __name__ == "__main__":
    main()
