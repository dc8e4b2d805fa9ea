"""A stand-in for tollvane-browser that speaks its protocol without a browser engine.

Usage: fake_browser.py LOG MODE SERVER
Appends each command received to LOG, one a line, and by MODE:
  exit    ends with code 3 at once, without connecting
  serve   answers show with shown and navigate with loaded ok; quit or the end of the
          connection ends it.
  hang    answers show with shown, then hangs: it ignores quit, the end of the connection and
          SIGTERM, as a browser stuck in its engine would.
"""
import json
import signal
import socket
import sys
import time

log_path, mode, server = sys.argv[1], sys.argv[2], sys.argv[3]


def log(text):
    with open(log_path, "a", encoding="utf-8") as log_file:
        log_file.write(text + "\n")


if mode == "exit":
    sys.exit(3)

connection = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
connection.connect(server)
reader = connection.makefile("r", encoding="utf-8")


def report(event):
    connection.sendall((json.dumps(event) + "\n").encode("utf-8"))


for line in reader:
    log(line.rstrip("\n"))
    command = json.loads(line)
    name = command.get("command")
    if name == "show":
        report({"event": "shown", "window": 4242})
        if mode == "hang":
            signal.signal(signal.SIGTERM, signal.SIG_IGN)
            while True:
                time.sleep(60)
    elif name == "navigate":
        report({"event": "loaded", "result": "ok", "url": command["url"]})
    elif name == "quit":
        break
