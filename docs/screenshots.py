#!/usr/bin/env python3
"""Makes the screenshots of README.md: the Windows program (x86_64 build) is run under Wine on a
virtual X display, driven through the end-to-end harness and its inspector, and photographed.

    python3 docs/screenshots.py --exe "build/win64/Quorvane 1.0.exe" \\
        --inspector build/win64/inspector.exe --fake-shutdown build/win64/e2e-tools/shutdown.exe \\
        [--out docs/screenshots] [--template DIR] [--display :N] [--keep DIR]

One clean copy of the template Wine prefix (booted when missing) holds the whole session:
first run, the console set up with a message and two allowed programs (its text saying what Start
will do), the week dialog filled in and cancelled, the notification-area menu and its password
request, then a Changing-mode plan in game time with the list of allowed programs, the same plan
in a break, its password request giving more time, a One time plan that is over, once more with
its "Exit" framed, and the History window of the whole session. Full-screen pictures are scaled
down to 800 pixels wide; window pictures keep their size and their title bars (Wine draws them
itself here, as there is no window manager). The window pictures that the help page shows are put
into it anew (see `embed`).

Each picture is one step of `Session` listed in `SHOTS`, in the order they run; a new one is a
method that brings the program where it should be and calls `grab`, `grab_window` or `grab_marked`,
and its name in `SHOTS`.
"""

import argparse
import base64
import datetime
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing left beside the harness
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
import harness  # noqa: E402
from console import (CONSOLE, LOCK_SCREEN, PASSWORD_DIALOG, find_controls,  # noqa: E402
                     time_left_label, time_left_seconds)

REQUEST = "Password request"
WEEK = "Week plan"
HISTORY = "History"
REFUSED = "You are not allowed to set up time in this mode"
PASSWORD = "abc"
MESSAGE = "Homework first, then games!"
# Programs of the Wine prefix that stand in for games: each brings its own icon.
PROGRAMS = [("Notepad", r"C:\windows\notepad.exe"),
            ("Minesweeper", r"C:\windows\system32\winemine.exe")]
FULL_WIDTH = 800
# Wine's X11 driver draws the title bar and frame of a window itself when the window manager may
# not (there is none here, so without this no window has a title bar).
DECORATIONS = (r"HKCU\Software\Wine\X11 Driver", {"Decorated": "N"})
MARK = "#e00000"  # what a picture points out is framed in this colour


class Session:
    def __init__(self, case, out):
        self.case = case
        self.out = out
        self.controls = None

    # -- pictures --

    def grab(self, name, crop=None, width=None):
        """Saves the screen (or the rectangle crop = (x, y, w, h) of it) as out/name.png."""
        path = os.path.join(self.out, name + ".png")
        args = ["import", "-display", self.case.display, "-window", "root"]
        if crop:
            x, y, w, h = crop
            args += ["-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage"]
        if width:
            args += ["-resize", "%dx" % width]
        subprocess.run(args + ["-depth", "8", "-strip", path], check=True, timeout=60)
        self.case.note("saved " + path)
        return path

    def grab_window(self, name, window):
        """A window with its title bar and frame."""
        r = window["rect"]
        return self.grab(name, (r["x"], r["y"], r["w"], r["h"]))

    def grab_marked(self, name, rect, width=FULL_WIDTH):
        """The screen with the rectangle rect = (x, y, w, h) framed, to point something out."""
        path = self.grab(name)
        x, y, w, h = rect
        pad = 6
        draw = "rectangle %d,%d %d,%d" % (x - pad, y - pad, x + w + pad, y + h + pad)
        subprocess.run(["convert", path, "-fill", "none", "-stroke", MARK, "-strokewidth", "5",
                        "-draw", draw, "-resize", "%dx" % width, "-depth", "8", "-strip", path],
                       check=True, timeout=60)
        return path

    # -- the program --

    def hwnd(self, name):
        return "hwnd:" + self.controls[name]["hwnd"]

    def click(self, name):
        self.case.click(CONSOLE, self.hwnd(name), "--input")

    def console(self):
        window = self.case.wait_window(CONSOLE)
        self.controls = find_controls(window, self.case.screen()["dpiX"])
        return window

    def lock_screen(self, listed=None):
        """The visible full-screen lock screen, with its controls; with listed, only when its list
        of programs is shown (True) or hidden (False)."""
        screen = self.case.screen()
        for w in self.case.windows(True, True):
            r = w["rect"]
            if w["text"] != LOCK_SCREEN or (r["w"], r["h"]) != (screen["width"], screen["height"]):
                continue
            shown = any(c["class"] == "SysListView32" and c["visible"] for c in w["controls"])
            if listed is None or shown == listed:
                return w
        return None

    def console_control(self, name):
        """One control of the console as it is now."""
        return find_controls(self.case.window(CONSOLE), self.case.screen()["dpiX"])[name]

    def time_left(self):
        """Seconds shown by the lock screen without the list; None without a visible count."""
        lock = self.lock_screen(False)
        label = lock and time_left_label(lock)
        return time_left_seconds(label["text"]) if label and label["visible"] else None

    def answer(self, password, shot=None):
        request = self.case.wait_window(REQUEST)
        self.case.type(REQUEST, "class:Edit:1", password)
        if shot:
            self.grab_window(shot, request)
        self.case.click(REQUEST, "Enter")

    def leave_lock_screen(self):
        """The lock screen's Exit and the password: the plan stops and the console is back."""
        self.case.click(LOCK_SCREEN, "Exit", "--input")
        self.answer(PASSWORD)
        self.console()
        self.case.wait_for("the lock screen gone", lambda: self.lock_screen() is None)

    def start_plan(self):
        self.click("Command1")
        self.case.wait_for("the console hidden", lambda: self.case.window(CONSOLE) is None)

    def pointer_away(self):
        """Moves the mouse pointer to the screen's corner, away from windows and their tips."""
        screen = self.case.screen()
        corner = [str(screen["width"] - 1), str(screen["height"] - 1)]
        subprocess.run(["xdotool", "mousemove"] + corner, env=self.case.env, check=True, timeout=30)

    def settle(self, seconds=1.5):
        """Lets Wine finish painting before a picture."""
        time.sleep(seconds)

    # -- the pictures, in order --

    def first_run(self):
        self.case.start()
        dialog = self.case.wait_window(PASSWORD_DIALOG)
        self.case.type(PASSWORD_DIALOG, "class:Edit:1", PASSWORD)
        self.case.type(PASSWORD_DIALOG, "class:Edit:2", PASSWORD)
        self.settle(0.5)
        self.grab_window("first-password", dialog)
        self.case.click(PASSWORD_DIALOG, "Change")
        self.console()

    def set_up_console(self):
        # Changing mode: 45 minutes of games, 15 minutes of break (the lists take typed minutes)
        self.case.type(CONSOLE, self.hwnd("cmbGameTime"), "45")
        self.case.type(CONSOLE, self.hwnd("cmbBreakTime"), "15")
        self.click("optOnlyListed")
        self.case.type(CONSOLE, self.hwnd("txtMessage"), MESSAGE)
        self.click("txtMessage")  # the focus ends in the message, with no highlight elsewhere
        self.pointer_away()
        self.case.wait_for("the option chosen",
                           lambda: self.console_control("optOnlyListed")["checked"])
        window = self.case.window(CONSOLE)
        self.settle()
        self.grab_window("console", window)

    def week_plan(self):
        """The week dialog with a school week filled in; cancelled, so the plan stays as it was."""
        self.click("cmdWeek")
        window = self.case.wait_window(WEEK)
        # its boxes in rows from Monday down: the day's limit, then two windows' from and to
        edits = sorted((c for c in window["controls"] if c["class"].lower() == "edit"),
                       key=lambda c: (c["rect"]["y"], c["rect"]["x"]))
        school = ["120", "16:00", "19:30"]
        weekend = ["180", "9:00", "12:00", "14:00", "20:00"]
        for day in range(7):
            for box, text in zip(edits[day * 5:day * 5 + 5], school if day < 5 else weekend):
                self.case.type(WEEK, "hwnd:" + box["hwnd"], text)
        self.pointer_away()
        self.settle()
        self.grab_window("week", self.case.window(WEEK))
        self.case.click(WEEK, "Cancel")
        self.case.wait_for("the week dialog closed", lambda: self.case.window(WEEK) is None)

    def tray_menu_and_request(self):
        self.case.click(CONSOLE, "Minimize")
        self.case.wait_for("the console hidden", lambda: self.case.window(CONSOLE) is None)
        self.case.inspect("tray-click", "right")
        menu = self.case.wait_for("the menu", lambda: [
            w for w in self.case.windows() if w["class"] == "#32768"])[0]
        tray = self.case.windows(True, False, "--title", "Wine System Tray")
        self.settle(0.5)
        rects = [menu["rect"]] + [t["rect"] for t in tray]
        x0 = min(r["x"] for r in rects)
        y0 = min(r["y"] for r in rects)
        x1 = max(r["x"] + r["w"] for r in rects)
        y1 = max(r["y"] + r["h"] for r in rects)
        self.grab("tray-menu", (max(x0 - 8, 0), max(y0 - 8, 0), x1 - x0 + 16, y1 - y0 + 16))
        self.case.inspect("menu-keys", "down", "enter")  # Start
        self.answer(PASSWORD, shot="password-request")
        self.console()

    def game_time(self):
        self.start_plan()
        self.case.wait_for("game time with the list", lambda: self.lock_screen(True))
        self.settle(2)
        self.grab("lock-game-time", width=FULL_WIDTH)

    def break_time(self):
        self.leave_lock_screen()
        # a game period of 6 seconds (the list takes a typed fraction of a minute): the 15-minute
        # break follows at once
        self.case.type(CONSOLE, self.hwnd("cmbGameTime"), "0.1")
        self.start_plan()
        self.case.wait_for("the break", lambda: 0 < (self.time_left() or 0) <= 15 * 60, timeout=30)
        self.settle(2)
        self.grab("lock-break", width=FULL_WIDTH)

    def more_time(self):
        """A clock change refused during the break, then the lock screen's request with 15 minutes
        chosen under More time; Give starts them, with the list of allowed programs."""
        self.case.inspect("timechange", 1)
        box = self.case.wait_for("the refusal", lambda: [
            b for b in self.case.message_boxes() if REFUSED in b["message"]])[0]
        self.case.click("hwnd:" + box["hwnd"], "OK")
        self.case.wait_for("the refusal closed", lambda: not self.case.message_boxes())
        self.case.click(LOCK_SCREEN, "Exit", "--input")
        request = self.case.wait_window(REQUEST)
        self.case.type(REQUEST, "class:Edit:1", PASSWORD)
        self.case.pick(REQUEST, "class:ComboBox:1", "15")
        self.pointer_away()
        self.settle(0.5)
        self.grab_window("more-time", self.case.window(REQUEST) or request)
        self.case.click(REQUEST, "Give")
        self.case.wait_for("more time with the list", lambda: self.case.window(REQUEST) is None
                           and self.lock_screen(True))

    def plan_over(self):
        self.leave_lock_screen()
        start = past_start(datetime.datetime.now())
        self.click("optOneTime")
        self.case.wait_for("the One time lists",
                           lambda: self.console_control("cmbStartTimeH")["enabled"])
        # the month first: picking it fills the day list again
        self.case.pick(CONSOLE, self.hwnd("cmbStartDateM"), str(start.month))
        self.case.pick(CONSOLE, self.hwnd("cmbStartDateD"), str(start.day))
        self.case.pick(CONSOLE, self.hwnd("cmbStartTimeH"), str(start.hour))
        self.case.pick(CONSOLE, self.hwnd("cmbStartTimeM"), "0")
        self.case.pick(CONSOLE, self.hwnd("cmbTotalTime"), "30")
        self.start_plan()
        # over: the lock screen without the list and without the time left
        self.case.wait_for("the plan over",
                           lambda: self.lock_screen(False) and self.time_left() is None)
        self.settle(2)
        self.grab("lock-over", width=FULL_WIDTH)

    def lock_exit(self):
        """The same lock screen with its Exit framed: where a parent ends a plan."""
        exit_label = next(c for c in self.lock_screen(False)["controls"]
                          if c["text"].replace("&", "") == "Exit" and c["visible"])
        r = exit_label["rect"]
        screen = self.case.screen()
        # the label reaches past the screen's right edge: frame what can be seen
        w = min(r["w"], screen["width"] - r["x"] - 8)
        self.grab_marked("lock-exit", (r["x"], r["y"], w, r["h"]))

    def history(self):
        """The History window after the steps before: plans, periods, more time, a refused clock
        change."""
        self.leave_lock_screen()
        self.click("cmdHistory")
        window = self.case.wait_window(HISTORY)
        self.pointer_away()
        self.settle()
        self.grab_window("history", self.case.window(HISTORY) or window)
        self.case.click(HISTORY, "Close")
        self.case.wait_for("the History window closed", lambda: self.case.window(HISTORY) is None)


# The pictures, in the order they are taken: each step starts where the one before left off.
SHOTS = ["first_run", "set_up_console", "week_plan", "tray_menu_and_request", "game_time",
         "break_time", "more_time", "plan_over", "lock_exit", "history"]


def past_start(now):
    """A start of a One time plan whose 30 minutes are over by now, in this year (the plan's
    date has no year): the last hour but one today, else yesterday at noon."""
    if now.hour >= 2:  # the hour lists begin at 1
        return now.replace(hour=now.hour - 1, minute=0, second=0, microsecond=0)
    yesterday = now - datetime.timedelta(days=1)
    if yesterday.year != now.year:
        raise SystemExit("no One time start earlier this year: run again after 2:00")
    return yesterday.replace(hour=12, minute=0, second=0, microsecond=0)


def embed(page, folder):
    """Puts the pictures into the help page, which stands alone beside the program: each
    <img src="..." data-shot="NAME.png"> gets folder/NAME.png as a data: address."""
    with open(page, encoding="cp1252") as f:
        text = f.read()

    def picture(m):
        with open(os.path.join(folder, m.group(2)), "rb") as f:
            data = base64.b64encode(f.read()).decode("ascii")
        return '<img src="data:image/png;base64,%s"%s' % (data, m.group(1))

    shot = r'<img src="[^"]*"((?:\s+\w+="[^"]*")*?\s+data-shot="([^"]+)")'
    text, n = re.subn(shot, picture, text)
    with open(page, "w", encoding="cp1252", newline="") as f:
        f.write(text)
    return n


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--exe", required=True, help='"Quorvane 1.0.exe", x86_64 build')
    parser.add_argument("--inspector", required=True, help="inspector.exe")
    parser.add_argument("--fake-shutdown", required=True,
                        help="stand-in shutdown.exe, put beside the program")
    parser.add_argument("--out", default=os.path.join(HERE, "screenshots"))
    parser.add_argument("--template", help="template Wine prefix (booted when missing; default: "
                        "e2e-prefix beside the program)")
    parser.add_argument("--display", help="an X display to use instead of a new Xvfb")
    parser.add_argument("--keep", help="keep the session's log and step pictures in this folder")
    parser.add_argument("--help-page", default=os.path.join(HERE, "..", "res", "Quorvane.html"),
                        help="the help page whose pictures are put in anew (\"\" for none)")
    opts = parser.parse_args(argv[1:])

    started = time.monotonic()
    exe = os.path.abspath(opts.exe)
    template = os.path.abspath(opts.template or os.path.join(os.path.dirname(exe), "e2e-prefix"))
    display = harness.Display(opts.display).name
    harness.ensure_template(template, display)
    os.makedirs(opts.out, exist_ok=True)
    artifacts = os.path.abspath(opts.keep) if opts.keep else tempfile.mkdtemp(prefix="qv-shots-")
    case = harness.Case("screenshots", exe, opts.inspector, template, display, artifacts)
    try:
        case.install(extra=[opts.fake_shutdown])
        case.reg_import(DECORATIONS[1], DECORATIONS[0])
        programs = [(n, p) for n, p in PROGRAMS if os.path.exists(case.prefix_path(p))]
        case.reg_import({"Name%d" % i: n for i, (n, _) in enumerate(programs, 1)},
                        harness.APP_KEY + r"\ListOfGames")
        case.reg_import({"Path%d" % i: p for i, (_, p) in enumerate(programs, 1)},
                        harness.APP_KEY + r"\PathOfGames")
        s = Session(case, os.path.abspath(opts.out))
        for step in SHOTS:
            getattr(s, step)()
    except BaseException:
        case.snapshot("failed")
        case.close()
        print("screenshots: failed; the session's log and pictures are in " + case.dir)
        raise
    case.close()
    if not opts.keep:
        shutil.rmtree(artifacts, ignore_errors=True)
    if opts.help_page:
        n = embed(opts.help_page, opts.out)
        print("screenshots: %d pictures put into %s" % (n, os.path.normpath(opts.help_page)))
    total = sum(os.path.getsize(os.path.join(opts.out, f)) for f in os.listdir(opts.out)
                if f.endswith(".png"))
    print("screenshots: %s (%d KB) in %.0f s" % (opts.out, total // 1024,
                                                 time.monotonic() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
