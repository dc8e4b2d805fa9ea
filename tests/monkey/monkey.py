#!/usr/bin/env python3
"""A seeded stream of a user's actions thrown at the real program under X: clicks on every button,
box, arrow and the calendar, menu choices, random texts typed into every box, alarms set for the
current or next minute with short beeps, Stop, windows opened and closed with their close box,
message boxes answered, and now and then an end request (SIGTERM, SIGHUP, SIGINT) and a restart.

After every action it checks that the program is alive (or ended cleanly), that it answers the
window manager's ping within 2 s, that the reminder file is absent or one quoted line ending CR
LF, and, whenever the program is not running, that the settings file is a valid INI holding the
seven keys and that no stray file was left beside either file. The first sanitizer report in the
program's output fails the run.

    monkey.py --program DIR/tollvane --minutes M [--seed S]

DIR is the program's own folder (the reminder file is kept there); run it inside a session with
DISPLAY and a sound server set (tests/monkey/monkey.sh sets one up). The same seed gives the same
actions; each action is printed with its number, so a failure can be replayed and located.
"""

import argparse
import os
import random
import re
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xwin  # noqa: E402

MAIN_TITLE = "Tollvane"
CLOCK_TITLE = "Tollvane(Clock View)"
MESSAGE_TITLES = ("Error", "Status:")
FORM_HEIGHT = 336  # the main window's client area below its menu bar, in pixels
SEVEN_KEYS = ("remyear", "remmonth", "remday", "timealarm", "alarmmusic", "alarmmusic2",
              "alarmmusic3")
SANITIZER = re.compile(r"ERROR: (Address|Leak)Sanitizer|runtime error:|"
                       r"SUMMARY: (Address|UndefinedBehavior|Leak)Sanitizer")
END_WAIT_S = 70  # the tone sounding when an end request comes may be one of 60 s
PING_S = 2.0

# The main window's controls as designed (pixels: left, top, width, height below the menu bar).
MAIN_CONTROLS = {
    "Command1": (0, 0, 241, 17),
    "TxtTime": (8, 128, 113, 19),
    "OptDate": (128, 120, 121, 29),
    "CmdIn": (213, 168, 9, 49),
    "cmdRem": (222, 168, 9, 49),
    "txtfreq1": (128, 200, 57, 19),
    "txtdura1": (128, 232, 57, 19),
    "txtam": (128, 264, 57, 19),
    "CmdSet": (16, 294, 89, 25),
    "CmdReset": (128, 294, 89, 25),
    "Calendar1": (240, 16, 321, 161),
    "TxtRem": (240, 216, 321, 81),
    "cmdremset": (336, 298, 113, 21),
    "txttimetot": (8, 24, 217, 63),
}
BOXES = ("TxtTime", "txtfreq1", "txtdura1", "txtam", "TxtRem")
# Top-level menus and how many items each holds: File (Exit), View (Clock Only, Full View),
# Help (How To..., About).
MENUS = (1, 2, 2)


class Failure(Exception):
    pass


def xdo(*args, check=False):
    r = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, timeout=60)
    if check and r.returncode != 0:
        raise Failure("xdotool %s: %s" % (" ".join(map(str, args)), r.stderr.strip()))
    return r.stdout


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


class Texts:
    """Random texts of the kinds a user (or a cat on the keyboard) types."""

    ODD = ["", " ", "   ", '"', '""', 'a"b', "'", ",", "a,b", ",,,", " 7:30", "7:30 ", "07:30",
           "24:00", "99:99", "-1:-1", "7:3", "Zürich ñ ü", "日本語のテキスト", "✓ ∞ €", "é" * 50,
           "\t", "a\tb", "\x01\x02\x03", "\x7f", "\x1b[0m", "-1", "-32768", "-32769", "32767",
           "32768", "65536", "2147483647", "2147483648", "-2147483649", "99999999999999999999",
           "1e308", "1e400", "-1e400", "0", "-0", "0.5", "1.5", "2.5", "-2.5", "NaN", "inf",
           "&H7FFF", "&HFFFFFFFF", " 12 ", "1,5", "12abc", "+5", "--5", "0x20", "１２３",
           "%s%s%n", "${HOME}", "\\", "C:\\reminder.ini", "[lastsettings]", "a=b", "#;x"]

    def __init__(self, rng):
        self.rng = rng

    def any(self):
        r = self.rng.random()
        if r < 0.55:
            return self.rng.choice(self.ODD)
        if r < 0.60:
            return self.rng.choice("xyz0123456789 ,\"") * 10000
        if r < 0.85:
            n = self.rng.randint(1, 40)
            return "".join(chr(self.rng.randint(32, 126)) for _ in range(n))
        return str(self.rng.randint(-100000, 100000))


class Monkey:
    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.texts = Texts(self.rng)
        self.program = os.path.abspath(args.program)
        self.program_dir = os.path.dirname(self.program)
        cfg = os.environ.get("XDG_CONFIG_HOME") or os.path.join(os.environ["HOME"], ".config")
        self.settings_dir = os.path.join(cfg, "Tollvane")
        self.settings = os.path.join(self.settings_dir, "settings.ini")
        self.program_files = set(os.listdir(self.program_dir))
        self.display = xwin.Display(os.environ["DISPLAY"])
        self.proc = None
        self.log = None
        self.wid = None
        self.step = 0
        self.counts = {}
        self.starts = 0
        self.clean_ends = 0
        self.slowest_end = 0.0
        self.ring_ends = 0

    # --- the program ----------------------------------------------------------------------

    def say(self, what):
        print("%6d %s %s" % (self.step, time.strftime("%H:%M:%S"), what), flush=True)

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

    # --- checks ---------------------------------------------------------------------------

    def windows(self):
        """The program's visible windows as (id, title)."""
        if not self.proc:
            return []
        out = []
        # The shop window belongs to the browser program, a child of the program.
        for pid in [self.proc.pid] + children(self.proc.pid):
            for w in xdo("search", "--onlyvisible", "--pid", pid).split():
                out.append((w, xdo("getwindowname", w).rstrip("\n")))
        return out

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

    def check_reminder_file(self, at_rest):
        path = os.path.join(self.program_dir, "reminder.ini")
        for attempt in range(3):
            try:
                with open(path, "rb") as f:
                    data = f.read()
            except FileNotFoundError:
                return
            ok = (len(data) >= 5 and data.startswith(b'"') and data.endswith(b'"\r\n')
                  and data.count(b"\n") == 1 and data.count(b"\r") == 1)
            if ok:
                return
            if at_rest or attempt == 2:
                raise Failure("reminder.ini is not one quoted line ending CR LF: %r" % data[:200])
            time.sleep(0.3)  # perhaps caught in the middle of a write

    def check_files_at_rest(self):
        self.check_reminder_file(True)
        stray = set(os.listdir(self.program_dir)) - self.program_files - {"reminder.ini"}
        if stray:
            raise Failure("stray files beside the program: %s" % sorted(stray))
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
        keys = set()
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
            if section == "vuvuririvivur":
                keys.add(m.group(1).strip().lower())
        missing = [k for k in SEVEN_KEYS if "lastsettings\\" + k not in keys]
        if missing:
            raise Failure("settings.ini lacks %s" % missing)

    # --- actions --------------------------------------------------------------------------

    def main_origin(self):
        g = geometry(self.wid)
        if not g:
            return None
        x, y, w, h = g
        return x, y + h - FORM_HEIGHT, w

    def click_control(self, name, offset=True):
        o = self.main_origin()
        if not o:
            return
        left, top, w, h = MAIN_CONTROLS[name]
        if offset:
            px = left + self.rng.randint(0, max(0, w - 1))
            py = top + self.rng.randint(0, max(0, h - 1))
        else:
            px, py = left + w // 2, top + h // 2
        if px >= o[2]:
            return  # the reminder panel is out of view
        xdo("mousemove", "--sync", o[0] + px, o[1] + py, "click", "1")

    def type_into(self, name, text, replace=True):
        self.click_control(name, offset=False)
        if replace:
            xdo("key", "ctrl+a", "BackSpace")
        if not text:
            return
        if len(text) > 100 or any(ord(c) < 32 or ord(c) == 127 for c in text) or \
                self.rng.random() < 0.2:
            # Long texts and control characters come in as a user brings them: pasted.
            self.display.set_clipboard(text)
            xdo("key", "ctrl+v")
            self.display.serve(0.5)
        else:
            xdo("type", "--delay", 5, "--", text)

    def act_click(self):
        name = self.rng.choice(list(MAIN_CONTROLS))
        self.say("click %s" % name)
        self.click_control(name)

    def act_type(self):
        name = self.rng.choice(BOXES)
        text = self.texts.any()
        replace = self.rng.random() < 0.8
        self.say("type into %s%s: %r" % (name, "" if replace else " (appending)",
                                          text if len(text) < 60 else text[:20] + "...(%d)"
                                          % len(text)))
        self.type_into(name, text, replace)

    def act_menu(self):
        menu = self.rng.randrange(len(MENUS))
        item = self.rng.randint(1, MENUS[menu])
        finish = self.rng.choice(["Return", "Return", "Return", "Escape"])
        self.say("menu %d item %d, %s" % (menu, item, finish))
        o = self.main_origin()
        if not o:
            return
        g = geometry(self.wid)
        xdo("mousemove", "--sync", g[0] + 15, g[1] + 10, "click", "1")
        time.sleep(0.3)
        keys = ["Right"] * menu + ["Down"] * item + [finish]
        if finish == "Escape":
            keys.append("Escape")
        xdo("key", "--delay", 60, *keys)

    def act_set_alarm(self):
        now = time.localtime()
        t = time.localtime(time.time() + (60 if self.rng.random() < 0.4 else 0))
        alarm = "%d:%02d" % (t.tm_hour, t.tm_min)
        freq = str(self.rng.choice([440, 800, 1000, 2000, 37, 32767]))
        dura = str(self.rng.choice([30, 50, 100, 200]))
        count = str(self.rng.choice([0, 1, 2, 3, 5]))
        self.say("set alarm %s (%s Hz, %s ms, %s beeps) at %02d:%02d:%02d"
                 % (alarm, freq, dura, count, now.tm_hour, now.tm_min, now.tm_sec))
        self.click_control("CmdReset", offset=False)
        self.type_into("txtfreq1", freq)
        self.type_into("txtdura1", dura)
        self.type_into("txtam", count)
        self.type_into("TxtTime", alarm)
        self.click_control("CmdSet", offset=False)

    def act_stop(self):
        self.say("Stop")
        self.click_control("CmdReset", offset=False)

    def act_keys(self):
        keys = [self.rng.choice(["Tab", "shift+Tab", "Return", "space", "Escape", "Left", "Right",
                                 "Up", "Down", "Home", "End", "Page_Up", "Page_Down", "Delete",
                                 "BackSpace", "ctrl+z", "ctrl+a", "ctrl+c", "ctrl+v", "ctrl+x"])
                for _ in range(self.rng.randint(1, 6))]
        self.say("keys %s" % " ".join(keys))
        xdo("key", "--delay", 30, *keys)

    def act_close(self):
        wins = self.windows()
        if not wins:
            return
        others = [w for w in wins if w[1] != MAIN_TITLE]
        # The main window's close box ends the program: seldom.
        if others and self.rng.random() > 0.1:
            wins = others
        elif self.rng.random() > 0.1:
            return self.act_click()
        w, title = self.rng.choice(wins)
        self.say("close box of %r" % title)
        self.display.close(int(w))

    def act_other_window(self):
        wins = [w for w in self.windows() if w[1] != MAIN_TITLE]
        if not wins:
            return self.act_click()
        w, title = self.rng.choice(wins)
        g = geometry(w)
        if not g:
            return
        x, y, width, height = g
        if title in MESSAGE_TITLES and self.rng.random() < 0.6:
            key = self.rng.choice(["Return", "space", "Escape"])
            self.say("answer %r with %s" % (title, key))
            xdo("windowfocus", w)
            xdo("key", key)
            return
        px, py = self.rng.randrange(max(1, width)), self.rng.randrange(max(1, height))
        self.say("click %r at %d,%d" % (title, px, py))
        xdo("mousemove", "--sync", x + px, y + py, "click", "1")

    def act_end_and_restart(self):
        self.end_request()

    ACTIONS = [
        ("click", act_click, 30),
        ("type", act_type, 25),
        ("menu", act_menu, 8),
        ("set alarm", act_set_alarm, 5),
        ("stop", act_stop, 3),
        ("keys", act_keys, 10),
        ("close box", act_close, 5),
        ("other window", act_other_window, 12),
        ("end request", act_end_and_restart, 1.5),
    ]

    def run(self):
        print("monkey: seed %d, %.1f minutes" % (self.args.seed, self.args.minutes), flush=True)
        end = time.monotonic() + self.args.minutes * 60
        names = [a[0] for a in self.ACTIONS]
        weights = [a[2] for a in self.ACTIONS]
        funcs = {a[0]: a[1] for a in self.ACTIONS}
        try:
            self.start()
            while time.monotonic() < end:
                self.step += 1
                if self.proc is None:
                    self.start()
                name = self.rng.choices(names, weights)[0]
                funcs[name](self)
                self.counts[name] = self.counts.get(name, 0) + 1
                time.sleep(self.rng.choice([0, 0.05, 0.1, 0.3]))
                if self.proc and self.check_alive():
                    self.check_reminder_file(False)
            self.step += 1
            if self.proc is None:
                self.start()
                self.check_alive()
            self.end_request(signal.SIGTERM)
        except Failure as f:
            print("MONKEY FAILED at action %d (seed %d): %s" % (self.step, self.args.seed, f),
                  flush=True)
            self.summary()
            if self.proc and self.proc.poll() is None:
                self.proc.kill()
            return 1
        self.summary()
        print("MONKEY PASSED (seed %d)" % self.args.seed, flush=True)
        return 0

    def summary(self):
        total = sum(self.counts.values())
        print("monkey: seed %d; %d actions: %s" % (
            self.args.seed, total,
            ", ".join("%s %d" % (k, v) for k, v in sorted(self.counts.items()))), flush=True)
        print("monkey: %d starts, %d clean ends, slowest end after an end request %.2f s"
              % (self.starts, self.clean_ends, self.slowest_end), flush=True)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--program", required=True)
    p.add_argument("--minutes", type=float, default=3)
    p.add_argument("--seed", type=int, default=None)
    p.add_argument("--logs", default=None, help="folder for the program's output of each run")
    args = p.parse_args()
    if args.seed is None:
        args.seed = int.from_bytes(os.urandom(4), "big")
    if args.logs is None:
        args.logs = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(args.program))),
                                 "logs")
    os.makedirs(args.logs, exist_ok=True)
    return Monkey(args).run()


if __name__ == "__main__":
    sys.exit(main())
