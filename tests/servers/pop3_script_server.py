#!/usr/bin/env python3
"""A scripted POP3 server for tests of the client.

Listens on 127.0.0.1 on a free port (printed as the first line of stdout),
accepts one connection and replays a script; every command line received is
appended to the log file. The script is a JSON list of steps:

  {"send": "text"}          send text as is (escapes such as \\r\\n in JSON)
  {"send_long": [n, "c", "tail"]}  send n copies of c, then tail
  {"command": true}         read one command line and log it
  {"pause": seconds}        wait, so that the next send is a packet of its own
  {"silent": true}          answer nothing more; wait until the client closes
  {"close": true}           close the connection now (mid-reply if so placed)

After the last step the server reads and logs commands until the client
closes.
"""
import argparse
import json
import socket
import sys
import time


def read_line(conn, pending):
    while b"\r\n" not in pending[0]:
        chunk = conn.recv(4096)
        if not chunk:
            return None
        pending[0] += chunk
    line, pending[0] = pending[0].split(b"\r\n", 1)
    return line


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--script", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--timeout", type=float, default=60.0)
    args = parser.parse_args()
    with open(args.script, encoding="latin-1") as f:
        steps = json.load(f)

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    listener.settimeout(args.timeout)
    print(listener.getsockname()[1], flush=True)
    conn, _ = listener.accept()
    conn.settimeout(args.timeout)
    conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    pending = [b""]
    with open(args.log, "ab") as log:
        def log_command():
            line = read_line(conn, pending)
            if line is not None:
                log.write(line + b"\r\n")
                log.flush()
            return line

        try:
            for step in steps:
                if "send" in step:
                    conn.sendall(step["send"].encode("latin-1"))
                elif "send_long" in step:
                    count, char, tail = step["send_long"]
                    conn.sendall((char * count + tail).encode("latin-1"))
                elif "command" in step:
                    if log_command() is None:
                        return 0
                elif "pause" in step:
                    time.sleep(step["pause"])
                elif "silent" in step:
                    while conn.recv(4096):
                        pass
                    return 0
                elif "close" in step:
                    conn.close()
                    return 0
            while log_command() is not None:
                pass
        except (socket.timeout, ConnectionError):
            pass
        finally:
            conn.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
