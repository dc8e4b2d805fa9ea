"""tollvane.exe's part of the monkey (scripts/monkey-windows.sh): the program under Wine on the
session's own X display and prefix, driven through the X server as a user drives it, so that
Wine turns the clicks and keys into real Windows input; tollvane_probe.exe reads what a user
would see (tests/win32/monkey/probe.cpp).

Besides the actions both programs share, it right-clicks (context menus, the system menu), opens
the menus with F10 and the arrows, drags and sizes windows by their frames, arms alarms with long
rings, starts the program a second time while it runs, ends the session (wineboot
--end-session), kills the program's process (SIGKILL), and ends the session, kills it or starts
it again while an alarm rings.

After every action: no crash (Wine's crash dialog, an unhandled exception or a failed assertion in
the program's output); the main window answers WM_NULL within 2 s; the seconds box moves on
within 2 s (a ring holds the clock for its length, which is allowed); no window the program does
not have; at most one tollvane.exe; the reminder file absent or one quoted line. After every end:
the process's exit code; under the program's registry key nothing but its own values, each a
REG_SZ; after an exit or a session end all seven, the reminder's date in its form, the alarm and
its three boxes as the window showed them (the alarm with " Has Passed" once it rang, also when
the session ended during the ring); after a kill, the values as they were before it (or the alarm
saved as rung, by a ring that ended just before the kill). A reminder
just stored: in the file as the reminder box showed it, whole, in the ANSI code page where that
holds it and in UTF-8 after the byte-order mark where it does not.
"""

import json
import os
import select
import signal
import subprocess
import sys
import time

from monkey import (BOXES, CLOCK_TITLE, MAIN_CONTROLS, MAIN_TITLE, MENUS, MESSAGE_TITLES,
                    SEVEN_KEYS, Failure, Monkey, check_reminder_bytes, check_seven_values, shown,
                    xdo)

WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake",
                        "wine-run.sh")
ANSWER_MS = 2000
SECONDS_S = 2.0  # the seconds box moves on within this
HELD_S = 1.5  # a clock standing longer is held (by a ring, say)
START_S = 60
END_S = 30  # a session end, or the exit after a ring
SECOND_START_S = 20
XWIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xwin.py")
SHOP_TITLE = "Tinkerbox"  # the shop's name in the default build
KNOWN_TITLES = {MAIN_TITLE, CLOCK_TITLE, "About Tollvane3", "Tollvane Help",
                "Tollvane Help (not found)", SHOP_TITLE} | set(MESSAGE_TITLES)
# Windows of the program that have no title of their own: menus and tooltips.
UNTITLED_CLASSES = {"#32768", "tooltips_class32"}
# The windows whose own loops (a menu, a move or size by the frame) the program never hears of.
FOREIGN_WINDOWS = {"TollvaneHelpWindow", "TollvaneShopWindow"}
CRASH_MARKS = ("wine: Unhandled", "Assertion", "terminate called",
               "This application has requested the Runtime", "abnormal program termination")
REGISTRY_ROOT = "Software\\VB and VBA Program Settings"
LASTSETTINGS = REGISTRY_ROOT + "\\Vuvuririvivur\\lastsettings"
STATE = REGISTRY_ROOT + "\\Vuvuririvivur\\State"
REG_SZ = 1
UTF8_MARK = b"\xef\xbb\xbf"
GUI_INMOVESIZE, GUI_INMENUMODE = 0x2, 0x4
CAPTION_BUTTONS = {8, 9, 20, 21}  # HTMINBUTTON, HTMAXBUTTON, HTCLOSE, HTHELP
# Reminders as users write them, in the ANSI code page and beyond it.
REMINDERS = ["Dentist at 4", "Café, crème brûlée", "Ζυρίχη στις 9", "Позвонить маме", "☕ at 9",
             "日本語のメモ", "  spaces, commas,  "]
SCREEN = (1280, 1024)  # the session's display (cmake/wine-session.sh)


class Probe:
    """tollvane_probe.exe, kept running: one command a line, one JSON line back."""

    def __init__(self, prefix, exe, log):
        self.command = ["sh", WINE_RUN, prefix, exe]
        self.log = log
        self.proc = None

    def ask(self, line, timeout=20):
        for attempt in range(2):
            if not self.proc or self.proc.poll() is not None:
                self.proc = subprocess.Popen(self.command, stdin=subprocess.PIPE,
                                             stdout=subprocess.PIPE, stderr=self.log)
            try:
                self.proc.stdin.write((line + "\n").encode())
                self.proc.stdin.flush()
            except BrokenPipeError:
                self.close()
                continue
            ready, _, _ = select.select([self.proc.stdout], [], [], timeout)
            if not ready:
                self.close()
                raise Failure("the probe did not answer %r within %d s" % (line, timeout))
            reply = self.proc.stdout.readline()
            if reply:
                return json.loads(reply.decode("utf-8", "replace"))
            self.close()
        raise Failure("the probe ended while asked %r" % line)

    def close(self):
        if self.proc:
            if self.proc.poll() is None:
                self.proc.kill()
            self.proc.wait()
            self.proc = None


def clock_text(t):
    return "%d:%02d" % (t.tm_hour, t.tm_min)


class WineMonkey(Monkey):
    DURATIONS = [30, 50, 100, 200, 1000, 2500]  # short rings and long ones
    KEYS = Monkey.KEYS + ["F10", "F1", "alt+v", "alt+h"]
    RING_MAX_S = max(Monkey.COUNTS) * max(DURATIONS) / 1000 + 3

    def __init__(self, args):
        super().__init__(args)
        self.prefix = os.path.abspath(args.prefix)
        self.probe_log = open(os.path.join(args.logs, "probe.log"), "wb")
        self.probe = Probe(self.prefix, os.path.abspath(args.probe), self.probe_log)
        self.log = None
        self.log_path = None
        self.on_screen = []  # the program's windows at the last look
        self.seen = {}  # what the windows showed at the last check
        self.seen_settled = True  # and no ring held input back then
        self.stamp = None  # the clock's text and since when it stands there
        self.stamp_since = 0.0
        self.last_hit = None  # the window the last click landed on and its top-level window
        self.ends = {}
        self.second_starts = 0
        self.rings_seen = 0
        self.slowest_exit = 0.0  # from the last answer to the process's end
        self.reminder_bytes = None  # the reminder file as last seen
        self.codepage = None
        self.reminders_stored = 0
        self.clipboard = None  # the process that holds what was pasted last

    # --- the program ----------------------------------------------------------------------

    def wine(self, *args, **kw):
        return subprocess.Popen(["sh", WINE_RUN, self.prefix, *args], stdin=subprocess.DEVNULL,
                                cwd=self.program_dir, **kw)

    def start(self):
        running = self.probe.ask("processes")["tollvane"]
        if running:
            raise Failure("the program runs already before a start: %s" % running)
        self.starts += 1
        self.log_path = os.path.join(self.args.logs, "run-%03d.log" % self.starts)
        self.log = open(self.log_path, "wb")
        self.proc = self.wine(self.program, stdout=self.log, stderr=subprocess.STDOUT)
        self.say("start (run %d, pid %d, log %s)" % (self.starts, self.proc.pid, self.log_path))
        deadline = time.monotonic() + START_S
        while time.monotonic() < deadline:
            self.check_crash(self.log_path)
            if self.proc.poll() is not None:
                raise Failure("the program ended while starting, code %s" % self.proc.returncode)
            self.look()
            if self.main_window():
                self.stamp = None
                self.last_hit = None
                self.read_texts()  # what it restored
                return
            time.sleep(0.2)
        raise Failure("the main window did not appear within %d s" % START_S)

    def check_crash(self, log_path):
        try:
            with open(log_path, "rb") as f:
                text = f.read().decode("utf-8", "replace")
        except OSError:
            return
        for mark in CRASH_MARKS:
            at = text.find(mark)
            if at >= 0:
                raise Failure("the program's output (%s) tells of a crash:\n%s"
                              % (log_path, text[max(0, at - 200):at + 4000]))

    def ended(self, why, kind, expect_code=0, rung=None, before=None):
        """The program is gone: it ended as `kind` expects, leaving its values intact."""
        code = self.proc.returncode
        self.log.close()
        self.check_crash(self.log_path)
        if code != expect_code:
            raise Failure("the program ended with code %s after %s" % (code, why))
        self.ends[kind] = self.ends.get(kind, 0) + 1
        self.say("ended (%s)" % why)
        self.proc = None
        self.check_values_at_rest(kind, rung, before)

    def wait_ended(self, seconds, what):
        try:
            self.proc.wait(seconds)
        except subprocess.TimeoutExpired:
            self.backtraces()
            raise Failure("the program still runs %d s after %s" % (seconds, what))

    def backtraces(self):
        """Where every thread of a program that hangs or will not end stands: as Wine's debugger
        sees the Windows process, if Wine still lists it, and as Linux sees the process that
        carries it."""
        listed = self.probe.ask("processes")["tollvane"]
        print("monkey: Wine's processes named tollvane.exe: %s" % (listed or "none"), flush=True)
        task = "/proc/%d/task" % self.proc.pid if self.proc else ""

        def read(tid, name):
            try:
                with open(os.path.join(task, tid, name)) as f:
                    return f.read().strip()
            except OSError:
                return "?"
        for tid in sorted(os.listdir(task)) if os.path.isdir(task) else []:
            print("monkey: thread %s (%s) state %s, waiting in %s" % (
                tid, read(tid, "comm"), read(tid, "stat").split(") ")[-1][:1],
                read(tid, "wchan")), flush=True)
        for pid in listed:
            path = os.path.join(self.args.logs, "threads-%d.txt" % pid)
            with open(path, "wb") as f:
                debugger = subprocess.Popen(["sh", WINE_RUN, self.prefix, "winedbg", str(pid)],
                                            stdin=subprocess.PIPE, stdout=f,
                                            stderr=subprocess.STDOUT, cwd=self.program_dir)
                try:
                    debugger.communicate(b"bt all\ndetach\nquit\n", timeout=60)
                except subprocess.TimeoutExpired:
                    debugger.kill()
                    debugger.wait()
            print("monkey: the threads of process %d: %s" % (pid, path), flush=True)

    def final_end(self):
        if self.proc is None:
            self.start()
        self.read_texts()
        self.session_end(None)

    def on_failure(self):
        shot = os.path.join(self.args.logs, "failure.png")
        subprocess.run(["import", "-window", "root", shot], stderr=subprocess.DEVNULL)
        print("monkey: the screen at the failure: %s" % shot, flush=True)
        print("monkey: the program's windows: %s" % json.dumps(self.on_screen), flush=True)

    def abandon(self):
        if self.proc and self.proc.poll() is None:
            os.kill(self.proc.pid, signal.SIGKILL)
            self.proc.wait()
        self.probe.close()
        self.drop_clipboard()

    # --- what the probe sees ----------------------------------------------------------------

    def look(self):
        """The program's shown windows; fails on a crash dialog, a session end waiting on a
        program that does not answer, or a window the program does not have."""
        wins = self.probe.ask("windows")["windows"]
        for w in wins:
            exe = w["exe"].lower()
            if exe == "winedbg.exe" or w["title"] == "Program Error":
                self.check_crash(self.log_path)
                raise Failure("Wine's crash dialog is shown: %r" % w["title"])
            if exe == "wineboot.exe":
                self.backtraces()
                raise Failure("the session's end waits for a program that does not answer")
            if exe == "tollvane.exe" and w["class"] not in UNTITLED_CLASSES and \
                    w["title"] not in KNOWN_TITLES:
                raise Failure("a window the program does not have: %r (class %s)"
                              % (w["title"], w["class"]))
        self.on_screen = [w for w in wins if w["exe"].lower() == "tollvane.exe"]
        return self.on_screen

    def main_window(self):
        for w in self.on_screen:
            if w["class"] == "Tollvane.frmAlarmClock" and w["rect"][0] > -30000:
                return w
        return None

    def settle_texts(self):
        """The texts once the program has taken in the input sent to it (a ring holds it back
        until its end): two reads alike with no ring due, the clock moved on since the first (a
        clock's tick comes after the input queued before it)."""
        deadline = time.monotonic() + self.RING_MAX_S + 3
        def boxes(texts):
            main = texts.get("frmAlarmClock") or {}
            return [main.get(name) for name in BOXES]

        last = boxes(self.read_texts())
        first = self.clock_stamp(self.seen)
        while time.monotonic() < deadline:
            time.sleep(0.3)
            now = boxes(self.read_texts())
            stamp = self.clock_stamp(self.seen)
            if now == last and self.seen_settled and (stamp is None or stamp != first):
                break
            last = now
        return self.seen

    def read_texts(self):
        self.seen = self.probe.ask("texts")
        now = time.monotonic()
        stamp = self.clock_stamp(self.seen)
        if stamp is None or stamp != self.stamp:
            self.stamp, self.stamp_since = stamp, now
        # Input that comes during a ring waits for its end: what the boxes show meanwhile may not
        # be what they will hold. A ring shows by the alarm armed at a time just past, or, where
        # the typing has changed the alarm's box, by the clock standing still.
        held = stamp is not None and now - self.stamp_since > HELD_S
        self.seen_settled = not self.may_ring(self.seen) and not held
        return self.seen

    def check_after_action(self):
        began = time.monotonic()
        self.check_program()
        took = time.monotonic() - began
        if took > 5:
            self.say("(the checks took %.1f s)" % took)

    def check_program(self):
        if self.proc is None:
            return
        self.check_crash(self.log_path)
        if self.proc.poll() is not None:
            return self.ended("the last action", "exit")
        asked = time.monotonic()
        answer = self.probe.ask("answer %d" % ANSWER_MS)
        if answer["answer"] != "ok":
            # A program on its way out after File > Exit or its close box answers no more: it
            # must be gone soon. One that crashed waits for Wine's crash dialog.
            self.check_crash(self.log_path)
            self.look()
            try:
                self.proc.wait(END_S)
            except subprocess.TimeoutExpired:
                self.backtraces()
                raise Failure("the program did not answer within %d ms (%s)"
                              % (ANSWER_MS, answer["answer"]))
            took = time.monotonic() - asked
            self.slowest_exit = max(self.slowest_exit, took)
            return self.ended("the last action, %.1f s after it stopped answering" % took, "exit")
        before = self.seen if self.seen_settled else {}
        self.look()
        running = self.probe.ask("processes")["tollvane"]
        if len(running) > 1:
            raise Failure("%d copies of the program run: %s" % (len(running), running))
        self.check_clock()
        self.check_reminder_file(False)
        self.check_stored_reminder(before)

    # --- the clock --------------------------------------------------------------------------

    def clock_stamp(self, texts):
        """The shown clock's hour:minute and :second, or None when no clock is in view."""
        for name in ("frmAlarmClock", "frmclock"):
            view = texts.get(name)
            if view and view["visible"] and not view["iconic"]:
                if view["txttimetot"] is None or view["txttimetot2"] is None:
                    return None
                return view["txttimetot"], view["txttimetot2"]
        return None

    def may_ring(self, texts):
        """The alarm is armed at a time of the last moments: a ring may hold the clock."""
        main = texts.get("frmAlarmClock") or {}
        if main.get("CmdSet", True):
            return False
        now = time.time()
        times = {clock_text(time.localtime(now - s)) for s in range(0, int(self.RING_MAX_S) + 2)}
        return main.get("TxtTime") in times

    def foreign_loop(self, texts):
        """The loop the program is in when that loop is one it never hears of, described; or
        None."""
        loops = texts.get("loops") or {}
        if loops.get("moveSize") in FOREIGN_WINDOWS:
            return "%s held by its frame" % loops["moveSize"]
        owner = loops.get("menuOwner", "")
        if owner in FOREIGN_WINDOWS:
            return "a menu of %s" % owner
        if not loops.get("flags", 0) & GUI_INMENUMODE or owner.startswith("Tollvane.") or \
                not self.last_hit:
            return None
        # A menu opened by a click (Wine names no owner of such a menu): whose it is, the click
        # tells.
        if self.last_hit["root"] in FOREIGN_WINDOWS:
            return "a menu of %s" % self.last_hit["root"]
        if self.last_hit["class"] != self.last_hit["root"]:
            return "the menu of a control of class %s" % self.last_hit["class"]
        return None

    def check_clock(self, during=None, held_in=None):
        """The seconds box moves on within SECONDS_S; while a menu is open or a window is held
        by its frame (`during`; `held_in` a loop of another window the press landed in), it is
        watched until it does."""
        texts = self.read_texts()
        now = time.monotonic()
        stamp = self.clock_stamp(texts)
        if stamp is None:
            self.stamp = None
            return
        if stamp != self.stamp:
            self.stamp, self.stamp_since = stamp, now
        loops = texts.get("loops") or {}
        modal = during or loops.get("flags", 0) & (GUI_INMOVESIZE | GUI_INMENUMODE)
        if not modal and now - self.stamp_since <= SECONDS_S:
            return
        foreign = self.foreign_loop(texts) or held_in
        limit = SECONDS_S
        ringing = self.may_ring(texts)
        if ringing:
            limit = self.RING_MAX_S
        while True:
            waited = time.monotonic() - self.stamp_since
            if waited > limit:
                self.backtraces()
                raise Failure("the seconds box stood at %s%s for %.1f s%s%s; loops %s"
                              % (stamp[0], stamp[1], waited,
                                 " (%s)" % during if during else "",
                                 " in %s" % foreign if foreign else
                                 " while a menu is open"
                                 if loops.get("flags", 0) & GUI_INMENUMODE else "",
                                 json.dumps(loops)))
            time.sleep(0.2)
            texts = self.read_texts()
            now = time.monotonic()
            if self.clock_stamp(texts) != stamp:
                self.stamp, self.stamp_since = self.clock_stamp(texts), now
                if ringing:
                    self.rings_seen += 1
                return

    def ring_underway(self, texts, within):
        """The alarm shown in the main window is ringing: armed at the clock's minute while the
        clock stands still. Returns the alarm's text, or None."""
        deadline = time.monotonic() + within
        first = self.clock_stamp(texts)
        since = time.monotonic()
        while self.may_ring(texts):
            main = texts["frmAlarmClock"]
            if self.clock_stamp(texts) != first:
                first, since = self.clock_stamp(texts), time.monotonic()
            elif time.monotonic() - since >= 1.5:
                self.rings_seen += 1
                return main["TxtTime"]
            if time.monotonic() > deadline:
                return None
            time.sleep(0.2)
            texts = self.read_texts()
        return None

    # --- the stored values ------------------------------------------------------------------

    def registry(self):
        """The values under the program's key, by lower-case key path and value name."""
        keys = self.probe.ask("settings")
        return {path.lower(): {name.lower(): v for name, v in values.items()}
                for path, values in keys.items()}

    def check_values_at_rest(self, kind, rung, before):
        keys = self.registry()
        known = {k.lower() for k in (REGISTRY_ROOT, REGISTRY_ROOT + "\\Vuvuririvivur",
                                     LASTSETTINGS, STATE)}
        for path, values in keys.items():
            if path not in known:
                raise Failure("a registry key the program does not have: %s" % path)
            allowed = {LASTSETTINGS.lower(): SEVEN_KEYS, STATE.lower(): ("remset",)}.get(path, ())
            for name, v in values.items():
                if name not in allowed:
                    raise Failure("a value the program does not have: %s\\%s" % (path, name))
                if v["type"] != REG_SZ or not v["terminated"]:
                    raise Failure("%s\\%s is not a terminated REG_SZ: %r" % (path, name, v))
        state = keys.get(STATE.lower(), {})
        if "remset" in state and state["remset"]["text"] != "Set":
            raise Failure("State\\remset is %r, not \"Set\"" % state["remset"]["text"])
        values = {k: v["text"] for k, v in keys.get(LASTSETTINGS.lower(), {}).items()}
        if kind == "kill":
            # The program saves the alarm as soon as it has rung: a ring that ended between the
            # look before the kill and the kill leaves it saved as rung.
            rung_meanwhile = dict(before, timealarm=before.get("timealarm", "") + " Has Passed")
            if values != before and values != rung_meanwhile:
                raise Failure("a kill changed the saved values: %r before, %r after"
                              % (before, values))
        else:
            check_seven_values(values, "the registry")
            self.check_saved_boxes(values, rung)
        self.check_reminder_file(True)
        self.check_program_folder()

    def code_page(self):
        """The system's ANSI code page, as Python names it."""
        if not self.codepage:
            self.codepage = "cp%d" % self.probe.ask("codepage")["acp"]
        return self.codepage

    def code_page_holds(self, text):
        try:
            return text.encode(self.code_page()).decode(self.code_page()) == text
        except UnicodeError:
            return False

    def stored_text(self, data):
        """The text of a reminder file as the program reads it back: in UTF-8 after the
        byte-order mark, else in the ANSI code page."""
        if data.startswith(UTF8_MARK):
            return data[len(UTF8_MARK) + 1:-3].decode("utf-8")
        return data[1:-3].decode(self.code_page(), "replace")

    def reminder_problem(self, data):
        """The file is one quoted line ending CR LF, in the ANSI code page, or in UTF-8 after the
        byte-order mark where that code page cannot hold the text."""
        if not data.startswith(UTF8_MARK):
            return check_reminder_bytes(data)
        problem = check_reminder_bytes(data[len(UTF8_MARK):])
        if problem:
            return "after its UTF-8 mark, " + problem
        try:
            text = self.stored_text(data)
        except UnicodeDecodeError:
            return "reminder.ini is not UTF-8 after its UTF-8 mark: %r" % data[:200]
        if self.code_page_holds(text):
            return ("reminder.ini holds %r in UTF-8 after a mark, which the ANSI code page (%s) "
                    "holds" % (text, self.code_page()))
        return None

    def check_stored_reminder(self, before):
        """A reminder just stored is in the file as the reminder box showed it, whole."""
        try:
            with open(os.path.join(self.program_dir, "reminder.ini"), "rb") as f:
                data = f.read()
        except FileNotFoundError:
            data = None
        if data == self.reminder_bytes:
            return
        self.reminder_bytes = data
        typed = (before.get("frmAlarmClock") or {}).get("TxtRem")
        if data is None or typed is None or self.reminder_problem(data):
            return
        self.reminders_stored += 1
        stored = self.stored_text(data)
        if stored != typed:
            raise Failure("reminder.ini holds %r (%r); the reminder box showed %r"
                          % (stored, data[:200], typed))

    def check_saved_boxes(self, values, rung):
        """The alarm and its three boxes were saved as the window showed them last; after an end
        during a ring, the alarm as rung."""
        if rung and values["timealarm"] != rung + " Has Passed":
            raise Failure("an end during the ring of %s saved the alarm as %r"
                          % (rung, values["timealarm"]))
        main = self.seen.get("frmAlarmClock")
        if not main or not self.seen_settled:
            return
        boxes = {"timealarm": main["TxtTime"], "alarmmusic": main["txtfreq1"],
                 "alarmmusic2": main["txtdura1"], "alarmmusic3": main["txtam"]}
        for key, text in boxes.items():
            ok = values[key] == text
            if key == "timealarm" and text is not None and not ok:
                ok = values[key] == text + " Has Passed"  # it rang meanwhile
            if text is not None and not ok:
                raise Failure("%s was saved as %r; the window showed %r"
                              % (key, values[key], text))

    # --- where things are -------------------------------------------------------------------

    def main_origin(self):
        w = self.main_window()
        if not w:
            return None
        x, y, width, _ = w["client"]
        return x, y, width

    def menu_bar_point(self):
        x, y, _, _ = self.main_window()["client"]
        return x + 15, y - 10

    def windows(self):
        return [(w["hwnd"], w["title"]) for w in self.on_screen
                if w["class"] not in UNTITLED_CLASSES and w["rect"][0] > -30000]

    def find(self, hwnd):
        for w in self.on_screen:
            if w["hwnd"] == hwnd:
                return w
        return None

    def window_rect(self, hwnd):
        w = self.find(hwnd)
        return tuple(w["rect"]) if w else None

    def title_point(self, w):
        if "titleBar" not in w:
            return None
        x, y, width, height = w["titleBar"]
        return x + width // 3, y + height // 2

    def close_window(self, hwnd):
        w = self.find(hwnd)
        if w and w.get("closeBox"):
            x, y, width, height = w["titleBar"]
            self.click_at(x + width - 11, y + height // 2)

    def answer_message(self, hwnd, key):
        w = self.find(hwnd)
        point = w and self.title_point(w)
        if point:
            self.click_at(*point)
        xdo("key", key)

    def must_paste(self, text):
        # Wine takes from the keyboard only what the X keyboard map holds.
        return super().must_paste(text) or any(ord(c) > 126 for c in text)

    def paste(self, text):
        # Wine asks for the text when the program pastes, which a ring may put off for seconds:
        # the clipboard is held by a process of its own that serves it meanwhile, as the program
        # a user copied from would.
        self.drop_clipboard()
        self.clipboard = subprocess.Popen([sys.executable, XWIN, "clipboard"],
                                          stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.clipboard.stdin.write(text.encode("utf-8", "surrogatepass"))
        self.clipboard.stdin.close()
        self.clipboard.stdout.readline()  # it owns the clipboard
        time.sleep(0.3)  # Wine asks at once what the clipboard holds
        xdo("key", "ctrl+v")
        time.sleep(0.3)

    def drop_clipboard(self):
        if self.clipboard:
            self.clipboard.kill()
            self.clipboard.wait()
            self.clipboard = None

    # --- actions of tollvane.exe's own ------------------------------------------------------

    def act_right_click(self):
        if self.rng.random() < 0.6:
            name = self.rng.choice(list(MAIN_CONTROLS))
            self.say("right click %s" % name)
            o = self.main_origin()
            left, top, w, h = MAIN_CONTROLS[name]
            px = left + self.rng.randint(0, max(0, w - 1))
            py = top + self.rng.randint(0, max(0, h - 1))
            if o and px < o[2]:
                self.click_at(o[0] + px, o[1] + py, 3)
            return
        wins = self.windows()
        if not wins:
            return
        hwnd, title = self.rng.choice(wins)
        x, y, width, height = self.window_rect(hwnd)
        px, py = self.rng.randrange(max(1, width)), self.rng.randrange(max(1, height))
        self.say("right click %r at %d,%d" % (title, px, py))
        self.click_at(x + px, y + py, 3)

    def act_menu_keys(self):
        menu = self.rng.randrange(len(MENUS))
        item = self.rng.randint(1, MENUS[menu])
        finish = self.rng.choice(["Return", "Return", "Escape"])
        self.say("F10, menu %d item %d, %s" % (menu, item, finish))
        keys = ["F10"] + ["Right"] * menu + ["Down"] * item + [finish]
        if finish == "Escape":
            keys += ["Escape", "Escape"]
        xdo("key", "--delay", 60, *keys)

    def act_drag(self):
        wins = [w for w in self.windows() if self.title_point(self.find(w[0]))]
        if not wins:
            return self.act_click()
        hwnd, title = self.rng.choice(wins)
        dx, dy = self.rng.randint(-250, 250), self.rng.randint(-200, 200)
        hold = self.rng.random() < 0.4
        x, y = self.title_point(self.find(hwnd))
        tx = min(max(x + dx, 60), SCREEN[0] - 60)
        ty = min(max(y + dy, 15), SCREEN[1] - 60)
        self.say("drag %r by its title bar to %d,%d%s" % (title, tx, ty, ", held" if hold else ""))
        self.hold_and_move(x, y, tx, ty, hold, "%r held by its title bar" % title)

    def act_size(self):
        wins = self.windows()
        if not wins:
            return self.act_click()
        hwnd, title = self.rng.choice(wins)
        dx, dy = self.rng.randint(-150, 250), self.rng.randint(-150, 250)
        hold = self.rng.random() < 0.3
        x, y, width, height = self.window_rect(hwnd)
        cx, cy = x + width - 2, y + height - 2
        tx = min(max(cx + dx, 100), SCREEN[0] - 5)
        ty = min(max(cy + dy, 100), SCREEN[1] - 5)
        self.say("size %r by its corner to %d,%d%s" % (title, tx, ty, ", held" if hold else ""))
        self.hold_and_move(cx, cy, tx, ty, hold, "%r held by its corner" % title)

    def click_at(self, x, y, button=1):
        if not (0 <= x < SCREEN[0] and 0 <= y < SCREEN[1]):
            return  # a part of a window dragged off the screen, out of the pointer's reach
        # What the click lands on tells whose a menu it opens is; a click into a menu keeps what
        # opened that menu.
        hit = self.probe.ask("at %d %d" % (x, y))
        if hit["class"] != "#32768":
            self.last_hit = hit
        super().click_at(x, y, button)

    def hold_and_move(self, x, y, tx, ty, hold, what):
        if not (0 <= x < SCREEN[0] and 0 <= y < SCREEN[1]):
            return  # off the screen, out of the pointer's reach
        # The press may land on another window lying over this one: where it lands decides whose
        # loop holds the thread.
        hit = self.probe.ask("at %d %d" % (x, y))
        foreign = None
        if hit["root"] in FOREIGN_WINDOWS:
            foreign = "a press held on %s (%s)" % (hit["root"], hit["class"])
        self.move_to(x, y)
        xdo("mousedown", "1")
        try:
            for i in (1, 2, 3):
                self.move_to(x + (tx - x) * i // 3, y + (ty - y) * i // 3)
                time.sleep(0.05)
            if hold and self.proc and self.proc.poll() is None:
                self.stamp = None
                if hit.get("part") in CAPTION_BUTTONS:
                    # A caption button held down runs the system's own loop, which takes nothing
                    # but the mouse, on Windows as under Wine: the clock stands until it is let
                    # go, and goes on afterwards (the next action's check).
                    time.sleep(2)
                else:
                    self.check_clock(during=what, held_in=foreign)
        finally:
            xdo("mouseup", "1")

    def act_store_reminder(self):
        text = self.texts.any() if self.rng.random() < 0.6 else self.rng.choice(REMINDERS)
        self.say("store a reminder: %s" % shown(text))
        self.click_control("cmdRem", offset=False)  # the reminder panel into view
        time.sleep(0.2)
        self.look()
        self.click_control("Calendar1")
        self.type_into("TxtRem", text)
        self.settle_texts()  # the text the stored one is compared with
        self.click_control("cmdremset", offset=False)

    def act_second_start(self):
        self.second_start()

    def second_start(self):
        self.second_starts += 1
        path = os.path.join(self.args.logs, "second-%03d.log" % self.second_starts)
        self.say("second start (log %s)" % path)
        with open(path, "wb") as log:
            second = self.wine(self.program, stdout=log, stderr=subprocess.STDOUT)
        try:
            code = second.wait(SECOND_START_S)
        except subprocess.TimeoutExpired:
            self.look()
            second.kill()
            second.wait()
            raise Failure("a second start still ran after %d s; windows: %s"
                          % (SECOND_START_S, [(w["title"], w["class"]) for w in self.on_screen]))
        self.check_crash(path)
        if code != 0:
            raise Failure("a second start ended with code %s" % code)
        if self.proc and self.proc.poll() is None:
            # The running program shows its full view.
            deadline = time.monotonic() + 5
            while not self.main_window():
                if time.monotonic() > deadline:
                    raise Failure("a second start did not bring the main window back")
                time.sleep(0.2)
                self.look()

    def act_session_end(self):
        self.session_end(self.ring_underway(self.read_texts(), 2.0))

    def session_end(self, rung):
        """wineboot --end-session; the boxes read last are what it must save."""
        self.say("session end%s" % (" during the ring of %s" % rung if rung else ""))
        # --restart: the session ends without Wine then starting what the Run key names, as a
        # new session would: with an alarm set that is the program, a copy the monkey does not own.
        ended = self.wine("wineboot", "--end-session", "--restart", stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
        try:
            ended.wait(END_S)
        except subprocess.TimeoutExpired:
            self.look()
            self.backtraces()
            raise Failure("wineboot --end-session did not return within %d s" % END_S)
        self.wait_ended(END_S, "the session's end")
        self.ended("session end", "session end", rung=rung)

    def act_kill(self):
        self.kill()

    def kill(self, rung=None):
        before = {k: v["text"]
                  for k, v in self.registry().get(LASTSETTINGS.lower(), {}).items()}
        self.say("kill -9%s" % (" during the ring of %s" % rung if rung else ""))
        os.kill(self.proc.pid, signal.SIGKILL)
        self.wait_ended(END_S, "SIGKILL")
        self.ended("SIGKILL", "kill", expect_code=-signal.SIGKILL, before=before)

    def main_to_front(self):
        """What a user does before arming an alarm to ring: message boxes answered, and the main
        window brought to the front by a click on its title bar where that shows. Whether the
        main window is then the active one, which the keys go to."""
        for _ in range(3):
            boxes = [w for w in self.windows() if w[1] in MESSAGE_TITLES]
            if not boxes:
                break
            for hwnd, title in boxes:
                self.answer_message(hwnd, "Return")
            time.sleep(0.3)
            self.look()
        main = self.main_window()
        if not main or "titleBar" not in main:
            return False
        x, y, width, height = main["titleBar"]
        py = y + height // 2
        for px in range(x + 20, x + width - 60, 40):
            if 0 <= px < SCREEN[0] and 0 <= py < SCREEN[1] and \
                    self.probe.ask("at %d %d" % (px, py))["root"] == main["class"]:
                self.click_at(px, py)
                time.sleep(0.2)
                # A window the main one owns (About, a message box) keeps the keys.
                active = (self.read_texts().get("loops") or {}).get("active")
                return active == main["class"]
        return False

    def act_ring_and_end(self):
        freq = str(self.rng.choice(self.FREQUENCIES))
        dura = str(self.rng.choice([1000, 2500]))
        count = str(self.rng.choice([2, 3]))
        how = self.rng.choice(["session end", "session end", "kill", "second start", "exit"])
        # A ring of an alarm set before holds the typing that arms this one: its end is waited
        # for, so what the boxes show is what they hold.
        self.settle_texts()
        if not self.main_to_front() and how == "exit":
            how = "session end"  # File > Exit from the keyboard needs the main window in front
        now = time.localtime()
        if now.tm_sec > 48:
            # Too late in the minute to arm and ring before it ends: the next minute it is.
            time.sleep(60.5 - now.tm_sec)
            now = time.localtime()
        alarm = clock_text(now)
        self.say("ring and %s: alarm %s (%s Hz, %s ms, %s beeps) at %02d:%02d:%02d"
                 % (how, alarm, freq, dura, count, now.tm_hour, now.tm_min, now.tm_sec))
        self.set_alarm(alarm, freq, dura, count)
        rung = self.ring_underway(self.read_texts(), 5.0)
        self.say("ringing" if rung else "no ring seen")
        if how == "session end":
            self.read_texts()
            self.session_end(rung)
        elif how == "kill":
            self.kill(rung)
        elif how == "second start":
            self.second_start()
        else:
            # File > Exit from the keyboard: the keys wait for the ring's end.
            self.read_texts()
            self.say("File > Exit by keys")
            xdo("key", "--delay", 60, "F10", "Down", "Return")
            self.wait_ended(self.RING_MAX_S + END_S, "File > Exit")
            self.ended("File > Exit", "exit", rung=rung)

    ACTIONS = [
        ("click", Monkey.act_click, 28),
        ("type", Monkey.act_type, 24),
        ("menu", Monkey.act_menu, 6),
        ("menu by keys", act_menu_keys, 4),
        ("right click", act_right_click, 6),
        ("set alarm", Monkey.act_set_alarm, 5),
        ("stop", Monkey.act_stop, 3),
        ("keys", Monkey.act_keys, 9),
        ("close box", Monkey.act_close, 5),
        ("other window", Monkey.act_other_window, 12),
        ("drag", act_drag, 4),
        ("size", act_size, 2),
        ("store reminder", act_store_reminder, 2),
        ("second start", act_second_start, 1.5),
        ("session end", act_session_end, 1),
        ("kill", act_kill, 0.7),
        ("ring and end", act_ring_and_end, 0.8),
    ]

    def summary_lines(self):
        lines = ["%d starts, %d second starts; ends: %s; rings seen %d; reminders stored %d; "
                 "slowest exit after the program stopped answering %.1f s"
                 % (self.starts, self.second_starts,
                    ", ".join("%s %d" % kv for kv in sorted(self.ends.items())) or "none",
                    self.rings_seen, self.reminders_stored, self.slowest_exit)]
        return lines
