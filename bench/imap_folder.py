#!/usr/bin/env python3
"""Alice's INBOX on the benchmark's Dovecot, over IMAP in TLS (the test CA
trusted, the name not checked: the server is reached by its address).
  imap_folder.py HOST CA_FILE trim KEEP   expunges the oldest messages down to KEEP
  imap_folder.py HOST CA_FILE seen        prints how many messages are \\Seen
Neither marks anything \\Seen: trim stores \\Deleted alone, seen only EXAMINEs."""
import imaplib
import ssl
import sys


def main():
    host, ca, action = sys.argv[1], sys.argv[2], sys.argv[3]
    context = ssl.create_default_context(cafile=ca)
    context.check_hostname = False
    imap = imaplib.IMAP4_SSL(host, 993, ssl_context=context)
    imap.login("alice", "secret")
    if action == "trim":
        keep = int(sys.argv[4])
        count = int(imap.select("INBOX")[1][0])
        if count > keep:
            imap.store("1:%d" % (count - keep), "+FLAGS.SILENT", "(\\Deleted)")
            imap.expunge()
        imap.close()
    elif action == "seen":
        imap.select("INBOX", readonly=True)
        seen = imap.search(None, "SEEN")[1][0].split()
        total = imap.search(None, "ALL")[1][0].split()
        print("seen=%d messages=%d" % (len(seen), len(total)))
    imap.logout()


if __name__ == "__main__":
    main()
