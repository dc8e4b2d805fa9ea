"""The Linux program's part of the monkey (scripts/monkey.sh): the program built with the
sanitizers, started as a child, ended by SIGTERM, SIGHUP and SIGINT now and then and restarted.

After every action it checks that the program is alive (or ended cleanly), that it answers the
window manager's ping within 2 s, that the reminder file is absent or one quoted line ending CR
LF, and, whenever the program is not running, that the settings file is a valid INI holding the
seven keys and that no stray file was left beside either file. The first sanitizer report in the
program's output fails the run. DIR, the program's own folder, keeps the reminder file; it runs
inside a session with DISPLAY and a sound server set (scripts/monkey.sh sets one up).
"""

import os
import re
import signal
import subprocess
import time

from monkey import MAIN_TITLE, Failure, Monkey, check_seven_values, xdo

FORM_HEIGHT = 336  # the main window's client area below its menu bar, in pixels
SANITIZER = re.compile(r"ERROR: (Address|Leak)Sanitizer|runtime error:|"
                       r"SUMMARY: (Address|UndefinedBehavior|Leak)Sanitizer")
END_WAIT_S = 70  # the tone sounding when an end request comes may be one of 60 s
PING_S = 2.0


def geometry(wid):
    out = xdo("getwindowgeometry", "--shell", wid)
    g = dict(line.split("=", 1) for line in out.split() if "=" in line)
    try:
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])
    except KeyError:
        return None


def children(pid):
    """The processes that pid started."""
    out = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[1]) == pid:
            out.append(int(entry))
    return out


def ini_value(raw):
    """A value as the settings file's INI format writes it, unquoted where it was quoted."""
    raw = raw.strip()
    if len(raw) >= 2 and raw[0] == raw[-1] == '"':
        return raw[1:-1]
    return raw


class QtMonkey(Monkey):
    def __init__(self, args):
        super().__init__(args)
        cfg = os.environ.get("XDG_CONFIG_HOME") or os.path.join(os.environ["HOME"], ".config")
        self.settings_dir = os.path.join(cfg, "Tollvane")
        self.settings = os.path.join(self.settings_dir, "settings.ini")
        self.log = None
        self.wid = None
        self.clean_ends = 0
        self.slowest_end = 0.0

    # --- the program ----------------------------------------------------------------------

    def start(self):
        self.starts += 1
        self.log_path = os.path.join(self.args.logs, "run-%03d.log" % self.starts)
        self.log = open(self.log_path, "wb")
        self.proc = subprocess.Popen([self.program], stdout=self.log, stderr=subprocess.STDOUT,
                                     stdin=subprocess.DEVNULL)
        self.say("start (run %d, pid %d, log %s)" % (self.starts, self.proc.pid, self.log_path))
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            self.check_report()
            if self.proc.poll() is not None:
                raise Failure("the program ended while starting, code %s" % self.proc.returncode)
            ids = xdo("search", "--onlyvisible", "--pid", self.proc.pid, "--name",
                      "^%s$" % MAIN_TITLE).split()
            if ids:
                self.wid = ids[0]
                return
            time.sleep(0.2)
        raise Failure("the main window did not appear within 60 s")

    def check_report(self):
        try:
            with open(self.log_path, "rb") as f:
                text = f.read().decode("utf-8", "replace")
        except OSError:
            return
        m = SANITIZER.search(text)
        if m:
            start = max(0, m.start() - 200)
            raise Failure("a sanitizer report in the program's output (%s):\n%s"
                          % (self.log_path, text[start:start + 6000]))

    def ended(self, why):
        """The program is gone: it must have ended cleanly, leaving both files intact."""
        code = self.proc.returncode
        self.log.close()
        self.check_report()
        if code != 0:
            raise Failure("the program ended with code %s after %s" % (code, why))
        self.clean_ends += 1
        self.say("ended (%s)" % why)
        self.proc = None
        self.wid = None
        self.check_files_at_rest()

    def end_request(self, sig=None):
        sig = sig or self.rng.choice([signal.SIGTERM, signal.SIGTERM, signal.SIGHUP, signal.SIGINT])
        self.say("end request %s" % signal.Signals(sig).name)
        t0 = time.monotonic()
        self.proc.send_signal(sig)
        try:
            self.proc.wait(END_WAIT_S)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end within %d s of %s"
                          % (END_WAIT_S, signal.Signals(sig).name))
        took = time.monotonic() - t0
        self.slowest_end = max(self.slowest_end, took)
        self.ended("%s, %.2f s" % (signal.Signals(sig).name, took))

    def final_end(self):
        if self.proc is None:
            self.start()
            self.check_alive()
        self.end_request(signal.SIGTERM)

    # --- checks ---------------------------------------------------------------------------

    def windows(self):
        if not self.proc:
            return []
        out = []
        # The shop window belongs to the browser program, a child of the program.
        for pid in [self.proc.pid] + children(self.proc.pid):
            for w in xdo("search", "--onlyvisible", "--pid", pid).split():
                out.append((w, xdo("getwindowname", w).rstrip("\n")))
        return out

    def check_after_action(self):
        if self.proc and self.check_alive():
            self.check_reminder_file(False)

    def check_alive(self):
        self.check_report()
        if self.proc.poll() is not None:
            self.ended("the last action")
            return False
        if self.display.ping(int(self.wid), PING_S):
            return True
        # The main window may be hidden (clock-only view); any of its windows will do.
        for w, _ in self.windows():
            if self.display.ping(int(w), PING_S):
                return True
        if self.proc.poll() is not None:
            self.ended("the last action")
            return False
        raise Failure("the program did not answer within %.0f s (hung)" % PING_S)

    def check_files_at_rest(self):
        self.check_reminder_file(True)
        self.check_program_folder()
        if os.path.isdir(self.settings_dir):
            stray = set(os.listdir(self.settings_dir)) - {"settings.ini"}
            if stray:
                raise Failure("stray files beside the settings: %s" % sorted(stray))
        with open(self.settings, "rb") as f:
            raw = f.read()
        try:
            text = raw.decode("utf-8")
        except UnicodeDecodeError:
            raise Failure("settings.ini is not UTF-8 text")
        values = {}
        section = None
        for n, line in enumerate(text.splitlines(), 1):
            if not line.strip():
                continue
            if re.fullmatch(r"\[[^\]]+\]", line):
                section = line[1:-1].lower()
                continue
            m = re.fullmatch(r"([^=]+)=(.*)", line)
            if not m or section is None:
                raise Failure("settings.ini line %d is not INI: %r" % (n, line[:200]))
            key = m.group(1).strip().lower()
            if section == "vuvuririvivur" and key.startswith("lastsettings\\"):
                values[key[len("lastsettings\\"):]] = ini_value(m.group(2))
        check_seven_values(values, "settings.ini")

    # --- where things are -------------------------------------------------------------------

    def main_origin(self):
        g = geometry(self.wid)
        if not g:
            return None
        x, y, w, h = g
        return x, y + h - FORM_HEIGHT, w

    def menu_bar_point(self):
        g = geometry(self.wid)
        return g[0] + 15, g[1] + 10

    def window_rect(self, w):
        return geometry(w)

    def close_window(self, w):
        self.display.close(int(w))

    def answer_message(self, w, key):
        xdo("windowfocus", w)
        xdo("key", key)

    def act_end_and_restart(self):
        self.end_request()

    ACTIONS = [
        ("click", Monkey.act_click, 30),
        ("type", Monkey.act_type, 25),
        ("menu", Monkey.act_menu, 8),
        ("set alarm", Monkey.act_set_alarm, 5),
        ("stop", Monkey.act_stop, 3),
        ("keys", Monkey.act_keys, 10),
        ("close box", Monkey.act_close, 5),
        ("other window", Monkey.act_other_window, 12),
        ("end request", act_end_and_restart, 1.5),
    ]

    def summary_lines(self):
        return ["%d starts, %d clean ends, slowest end after an end request %.2f s"
                % (self.starts, self.clean_ends, self.slowest_end)]
