#!/usr/bin/env python3
"""A seeded stream of a user's actions thrown at the real program under X: clicks on every button,
box, arrow and the calendar, menu choices, random texts typed into every box, alarms set for the
current or next minute, Stop, windows opened and closed with their close box, message boxes
answered, and ends and restarts of the program. After every action it checks that the program
answers and that its files are intact.

    monkey.py [--platform qt|wine] --program DIR/PROGRAM --minutes M [--seed S] [...]

This file holds what both programs share: the stream of actions (the same seed gives the same
actions; each action is printed with its number, so a failure can be replayed and located), the
actions a user takes on either program's main window, and the checks of the two kinds of stored
values (the reminder file beside the program, the seven values of the settings store).
qt_program.py is the Linux program's part (scripts/monkey.sh), wine_program.py tollvane.exe's
under Wine (scripts/monkey-windows.sh); each says how the program is started, ended and asked
whether it answers, where its windows are and where its values are kept.
"""

import argparse
import os
import random
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xwin  # noqa: E402

MAIN_TITLE = "Tollvane"
CLOCK_TITLE = "Tollvane(Clock View)"
MESSAGE_TITLES = ("Error", "Status:")
# The seven values the program keeps under application "Vuvuririvivur", section "lastsettings".
SEVEN_KEYS = ("remyear", "remmonth", "remday", "timealarm", "alarmmusic", "alarmmusic2",
              "alarmmusic3")
# The reminder's date: empty, or a blank and the number without leading zeros (" 2026", " 7").
DATE_KEYS = ("remyear", "remmonth", "remday")
SIGNED_NUMBER = re.compile(r"| [1-9][0-9]*")

# The main window's controls as designed (pixels at 96 dots per inch: left, top, width, height
# below the menu bar).
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


def shown(text, limit=60):
    """A typed text as the action's line prints it: whole when short."""
    return repr(text if len(text) < limit else text[:20] + "...(%d)" % len(text))


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


def check_reminder_bytes(data):
    """The reminder file holds one quoted line ending CR LF; a message, or None when it does."""
    if (len(data) >= 5 and data.startswith(b'"') and data.endswith(b'"\r\n')
            and data.count(b"\n") == 1 and data.count(b"\r") == 1):
        return None
    return "reminder.ini is not one quoted line ending CR LF: %r" % data[:200]


def check_seven_values(values, where):
    """values: the program's values under "lastsettings", by lower-case key, as stored. All seven
    are there, and the reminder's date is empty or a signed number's text."""
    missing = [k for k in SEVEN_KEYS if k not in values]
    if missing:
        raise Failure("%s lacks %s" % (where, missing))
    for k in DATE_KEYS:
        if values[k] is not None and not SIGNED_NUMBER.fullmatch(values[k]):
            raise Failure("%s: %s is %r, not empty or a signed number's text"
                          % (where, k, values[k]))


class Monkey:
    """The stream and the actions on the main window. A platform's part sets ACTIONS (name,
    method, weight) and supplies start(), check_after_action(), final_end(), the windows and
    their places, and where the values are kept."""

    ACTIONS = []
    # What the alarm's three boxes are set to when the monkey arms an alarm.
    FREQUENCIES = [440, 800, 1000, 2000, 37, 32767]
    DURATIONS = [30, 50, 100, 200]
    COUNTS = [0, 1, 2, 3, 5]
    KEYS = ["Tab", "shift+Tab", "Return", "space", "Escape", "Left", "Right", "Up", "Down", "Home",
            "End", "Page_Up", "Page_Down", "Delete", "BackSpace", "ctrl+z", "ctrl+a", "ctrl+c",
            "ctrl+v", "ctrl+x"]

    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.texts = Texts(self.rng)
        self.program = os.path.abspath(args.program)
        self.program_dir = os.path.dirname(self.program)
        self.program_files = set(os.listdir(self.program_dir))
        self.display = xwin.Display(os.environ["DISPLAY"])
        self.proc = None
        self.step = 0
        self.counts = {}
        self.starts = 0

    def say(self, what):
        print("%6d %s %s" % (self.step, time.strftime("%H:%M:%S"), what), flush=True)

    # --- what a platform's part supplies ---------------------------------------------------

    def start(self):
        raise NotImplementedError

    def check_after_action(self):
        raise NotImplementedError

    def final_end(self):
        raise NotImplementedError

    def main_origin(self):
        """The main window's client area below its menu bar on the screen: x, y, width."""
        raise NotImplementedError

    def menu_bar_point(self):
        """A point on the menu bar's first menu."""
        raise NotImplementedError

    def windows(self):
        """The program's shown windows as (id, title)."""
        raise NotImplementedError

    def window_rect(self, w):
        raise NotImplementedError

    def close_window(self, w):
        raise NotImplementedError

    def answer_message(self, w, key):
        raise NotImplementedError

    def move_to(self, x, y):
        # xdotool's --sync waits some 15 s for a move to where the pointer is already.
        loc = dict(f.split(":") for f in xdo("getmouselocation").split() if ":" in f)
        if (str(x), str(y)) != (loc.get("x"), loc.get("y")):
            xdo("mousemove", "--sync", x, y)

    def click_at(self, x, y, button=1):
        self.move_to(x, y)
        xdo("click", button)

    def must_paste(self, text):
        """Texts that cannot be typed on the keyboard come in pasted."""
        return len(text) > 100 or any(ord(c) < 32 or ord(c) == 127 for c in text)

    def paste(self, text):
        self.display.set_clipboard(text)
        xdo("key", "ctrl+v")
        self.display.serve(0.5)

    def summary_lines(self):
        return []

    # --- the stored values -------------------------------------------------------------------

    def check_reminder_file(self, at_rest):
        path = os.path.join(self.program_dir, "reminder.ini")
        for attempt in range(3):
            try:
                with open(path, "rb") as f:
                    data = f.read()
            except FileNotFoundError:
                return
            problem = self.reminder_problem(data)
            if not problem:
                return
            if at_rest or attempt == 2:
                raise Failure(problem)
            time.sleep(0.3)  # perhaps caught in the middle of a write

    def reminder_problem(self, data):
        """What is wrong with the reminder file's bytes, or None."""
        return check_reminder_bytes(data)

    def check_program_folder(self):
        """Nothing but the reminder file is left beside the program."""
        stray = set(os.listdir(self.program_dir)) - self.program_files - {"reminder.ini"}
        if stray:
            raise Failure("stray files beside the program: %s" % sorted(stray))

    # --- actions on the main window ----------------------------------------------------------

    def click_control(self, name, offset=True, button=1):
        """Clicks a control of the main window; where, or None where it is not in view."""
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
        self.click_at(o[0] + px, o[1] + py, button)
        return o[0] + px, o[1] + py

    def type_into(self, name, text, replace=True):
        self.click_control(name, offset=False)
        if replace:
            xdo("key", "ctrl+a", "BackSpace")
        if not text:
            return
        if self.must_paste(text) or self.rng.random() < 0.2:
            # Long texts and control characters come in as a user brings them: pasted.
            self.paste(text)
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
        self.say("type into %s%s: %s" % (name, "" if replace else " (appending)", shown(text)))
        self.type_into(name, text, replace)

    def act_menu(self):
        menu = self.rng.randrange(len(MENUS))
        item = self.rng.randint(1, MENUS[menu])
        finish = self.rng.choice(["Return", "Return", "Return", "Escape"])
        self.say("menu %d item %d, %s" % (menu, item, finish))
        if not self.main_origin():
            return
        self.click_at(*self.menu_bar_point())
        time.sleep(0.3)
        keys = ["Right"] * menu + ["Down"] * item + [finish]
        if finish == "Escape":
            keys.append("Escape")
        xdo("key", "--delay", 60, *keys)

    def alarm_settings(self):
        return (str(self.rng.choice(self.FREQUENCIES)), str(self.rng.choice(self.DURATIONS)),
                str(self.rng.choice(self.COUNTS)))

    def act_set_alarm(self):
        now = time.localtime()
        t = time.localtime(time.time() + (60 if self.rng.random() < 0.4 else 0))
        alarm = "%d:%02d" % (t.tm_hour, t.tm_min)
        freq, dura, count = self.alarm_settings()
        self.say("set alarm %s (%s Hz, %s ms, %s beeps) at %02d:%02d:%02d"
                 % (alarm, freq, dura, count, now.tm_hour, now.tm_min, now.tm_sec))
        self.set_alarm(alarm, freq, dura, count)

    def set_alarm(self, alarm, freq, dura, count):
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
        keys = [self.rng.choice(self.KEYS) for _ in range(self.rng.randint(1, 6))]
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
        self.close_window(w)

    def act_other_window(self):
        wins = [w for w in self.windows() if w[1] != MAIN_TITLE]
        if not wins:
            return self.act_click()
        w, title = self.rng.choice(wins)
        g = self.window_rect(w)
        if not g:
            return
        x, y, width, height = g
        if title in MESSAGE_TITLES and self.rng.random() < 0.6:
            key = self.rng.choice(["Return", "space", "Escape"])
            self.say("answer %r with %s" % (title, key))
            self.answer_message(w, key)
            return
        px, py = self.rng.randrange(max(1, width)), self.rng.randrange(max(1, height))
        self.say("click %r at %d,%d" % (title, px, py))
        self.click_at(x + px, y + py)

    # --- the run -----------------------------------------------------------------------------

    def run(self):
        print("monkey: seed %d, %.1f minutes" % (self.args.seed, self.args.minutes), flush=True)
        end = time.monotonic() + self.args.minutes * 60
        names = [a[0] for a in self.ACTIONS]
        weights = [self.args.weights.get(a[0], a[2]) for a in self.ACTIONS]
        funcs = {a[0]: a[1] for a in self.ACTIONS}
        unknown = set(self.args.weights) - set(names)
        if unknown:
            print("monkey: no such action: %s" % ", ".join(sorted(unknown)), file=sys.stderr)
            return 2
        try:
            self.start()
            while time.monotonic() < end:
                self.step += 1
                if self.proc is None:
                    self.start()
                name = self.rng.choices(names, weights)[0]
                began = time.monotonic()
                funcs[name](self)
                if time.monotonic() - began > 10:
                    self.say("(the action took %.1f s)" % (time.monotonic() - began))
                self.counts[name] = self.counts.get(name, 0) + 1
                time.sleep(self.rng.choice([0, 0.05, 0.1, 0.3]))
                self.check_after_action()
            self.step += 1
            self.final_end()
        except Failure as f:
            print("MONKEY FAILED at action %d (seed %d): %s" % (self.step, self.args.seed, f),
                  flush=True)
            self.on_failure()
            self.summary()
            return 1
        finally:
            self.abandon()
        self.summary()
        print("MONKEY PASSED (seed %d)" % self.args.seed, flush=True)
        return 0

    def on_failure(self):
        """After a failure, before the program is ended: what else is worth keeping."""

    def abandon(self):
        """After a failure: the program is ended without ceremony."""
        if self.proc and self.proc.poll() is None:
            self.proc.kill()

    def summary(self):
        total = sum(self.counts.values())
        print("monkey: seed %d; %d actions: %s" % (
            self.args.seed, total,
            ", ".join("%s %d" % (k, v) for k, v in sorted(self.counts.items()))), flush=True)
        for line in self.summary_lines():
            print("monkey: " + line, flush=True)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--platform", choices=["qt", "wine"], default="qt")
    p.add_argument("--program", required=True)
    p.add_argument("--minutes", type=float, default=3)
    p.add_argument("--seed", type=int, default=None)
    p.add_argument("--logs", default=None, help="folder for the program's output of each run")
    p.add_argument("--probe", help="wine: tollvane_probe.exe")
    p.add_argument("--prefix", help="wine: the Wine prefix of the session")
    p.add_argument("--weight", action="append", default=[], metavar="ACTION=W",
                   help="another weight for an action, so that a run dwells on it")
    args = p.parse_args()
    args.weights = {k: float(v) for k, v in (w.rsplit("=", 1) for w in args.weight)}
    if args.seed is None:
        args.seed = int.from_bytes(os.urandom(4), "big")
    if args.logs is None:
        args.logs = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(args.program))),
                                 "logs")
    os.makedirs(args.logs, exist_ok=True)
    if args.platform == "qt":
        import qt_program
        return qt_program.QtMonkey(args).run()
    import wine_program
    return wine_program.WineMonkey(args).run()


if __name__ == "__main__":
    sys.exit(main())
