#!/usr/bin/env python3
"""The check's conversation done by Python's poplib, for comparison: USER,
PASS, LIST, then LIST n, TOP n 0 and TOP n LINES for every message, QUIT.

    mail_check_poplib.py SERVER USER PASSWORD LINES"""

import poplib
import resource
import sys
import time
import tracemalloc


def main(server, user, password, lines):
    tracemalloc.start()
    cpu_before = resource.getrusage(resource.RUSAGE_SELF)
    start = time.monotonic()
    pop = poplib.POP3(server, 110)
    pop.user(user)
    pop.pass_(password)
    count = len(pop.list()[1])
    kept = []
    fetched = 0
    for n in range(1, count + 1):
        size = pop.list(n)
        header = pop.top(n, 0)[1]
        message = pop.top(n, lines)[1]
        fetched += sum(len(line) + 2 for line in header) + sum(len(line) + 2 for line in message)
        kept.append((size, header, message))
    pop.quit()
    seconds = time.monotonic() - start
    cpu_after = resource.getrusage(resource.RUSAGE_SELF)
    cpu = (cpu_after.ru_utime - cpu_before.ru_utime) + (cpu_after.ru_stime - cpu_before.ru_stime)
    peak = tracemalloc.get_traced_memory()[1]
    print("poplib messages=%d seconds=%.3f messages_per_second=%.0f cpu_seconds=%.3f "
          "peak_memory_growth_bytes=%d fetched_bytes=%d" % (count, seconds, count / max(seconds, 0.001), cpu,
                                                            peak, fetched))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]))
