"""The console window as the end-to-end cases see it: its layout as data, the native controls
found at their places, and the steps that bring the console up."""

import os
import re
import time

import harness

CONSOLE = "Quorvane 1.0"
PASSWORD_DIALOG = "Change password"
REQUEST = "Password request"
LOCK_SCREEN = "Form1"

# Client area in twips.
CLIENT = (9855, 9825)

# The console's controls as the program's layout table places them: name, kind, containing frame,
# caption, left, top, width, height (twips, relative to the frame or to the client area). Kinds:
# F frame, B push button, K check box, O option button, C drop-down list, L label, T text box,
# LB list box. The cases check that the native controls realise that table.
KINDS = {"Frame": "F", "Button": "B", "CheckBox": "K", "OptionButton": "O", "ComboBox": "C",
         "Label": "L", "TextBox": "T", "ListBox": "LB"}
_ROW = re.compile(r'\{"(\w+)",\s*Kind::(\w+),\s*"(\w*)",\s*"([^"]*)",\s*"[^"]*",\s*'
                  r'(\d+),\s*(\d+),\s*(\d+),\s*(\d+),')
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "console",
                       "frm_main.cpp"), encoding="utf-8") as _f:
    # lblPassword holds the stored password: its caption is not the table's
    LAYOUT = [(name, KINDS[kind], frame, None if name == "lblPassword" else text, *map(int, rect))
              for name, kind, frame, text, *rect in _ROW.findall(_f.read())]
ROWS = {row[0]: row for row in LAYOUT}

# The mode lists, by the option button that enables them.
MODE_LISTS = {
    "optEveryday": {"cmbGameTime", "cmbBreakTime"},
    "optOneTime": {"cmbStartTimeH", "cmbStartTimeM", "cmbStartDateM", "cmbStartDateD",
                   "cmbTotalTime"},
    "optBedTime": {"cmbStartH", "cmbStartM", "cmbBedH", "cmbBedM"},
}
ALL_MODE_LISTS = set().union(*MODE_LISTS.values())

# Native kinds: window class and, for buttons, the style families that fit.
NATIVE = {
    "F": ("Button", {"groupbox"}),
    "B": ("Button", {"push", "defpush"}),
    "K": ("Button", {"checkbox", "autocheckbox", "3state", "auto3state"}),
    "O": ("Button", {"radio", "autoradio"}),
    "C": ("ComboBox", None),
    "L": ("Static", None),
    "T": ("Edit", None),
    "LB": ("ListBox", None),
}


def px(twips, dpi):
    """Twips to pixels as Windows rounds them (MulDiv: halves away from zero)."""
    return (twips * dpi + 720) // 1440


def expected_rect(name, dpi):
    """(x, y, w, h) in pixels in the console's client area."""
    _, _, frame, _, left, top, width, height = ROWS[name]
    while frame:
        left += ROWS[frame][4]
        top += ROWS[frame][5]
        frame = ROWS[frame][2]
    return px(left, dpi), px(top, dpi), px(width, dpi), px(height, dpi)


def fits(control, kind, want):
    """Of the kind's class and button style, and within a pixel of the expected rectangle; a
    drop-down list's closed height comes from its font: no taller than its place."""
    cls, styles = NATIVE[kind]
    p, (x, y, w, h) = control["pos"], want
    return (control["class"].lower() == cls.lower()
            and (styles is None or control.get("kind") in styles)
            and max(abs(p["x"] - x), abs(p["y"] - y), abs(p["w"] - w)) <= 1
            and (0 < p["h"] <= h + 1 if kind == "C" else abs(p["h"] - h) <= 1))


def find_controls(console, dpi):
    """{name: native control} for every row of the layout found at its place with its kind;
    names not found are missing from the result."""
    children = [c for c in console["controls"] if c["depth"] == 1]
    found = {}
    for name, kind, *_ in LAYOUT:
        want = expected_rect(name, dpi)
        hits = [c for c in children if fits(c, kind, want)
                and c["hwnd"] not in {f["hwnd"] for f in found.values()}]
        if hits:
            found[name] = hits[0]
    return found


def caption(control):
    return control["text"].replace("&", "")


_TIME_LEFT = re.compile(r"^([ -]\d+):([ -]\d+):([ -]\d+)$")


def time_left_seconds(text):
    """Seconds shown by a time-left caption such as " 0: 0: 57"; None for other text."""
    m = _TIME_LEFT.match(text)
    if not m:
        return None
    h, mnt, s = (int(g.replace(" ", "")) for g in m.groups())
    return h * 3600 + mnt * 60 + s


def time_left_label(lock_screen):
    """The lock screen's time-left label (a static control showing h:m:s), or None."""
    for c in lock_screen["controls"]:
        if c["class"].lower() == "static" and time_left_seconds(c["text"]) is not None:
            return c
    return None


def complete_first_run(case, password="abc"):
    """Starts the program on a clean prefix, sets the first password, and waits for the console
    that this shows; returns (process, console window)."""
    proc = case.start()
    case.wait_window(PASSWORD_DIALOG)
    case.type(PASSWORD_DIALOG, "class:Edit:1", password)
    case.type(PASSWORD_DIALOG, "class:Edit:2", password)
    case.click(PASSWORD_DIALOG, "Change")
    return proc, case.wait_window(CONSOLE)


def lock_screen(case):
    """The program's visible lock screen covering the whole screen, with its controls, or None."""
    screen = case.screen()
    for w in case.windows(True, True):
        r = w["rect"]
        if w["text"] == LOCK_SCREEN and (r["x"], r["y"], r["w"], r["h"]) == (
                0, 0, screen["width"], screen["height"]):
            return w
    return None


class ConsoleTest(harness.CaseTest):
    """A case that works the console, reached through the first run."""

    def open_console(self):
        self.proc, console = complete_first_run(self.case)
        self.dpi = self.case.screen()["dpiX"]
        self.controls = find_controls(console, self.dpi)
        return self.controls

    def hwnd(self, name):
        return "hwnd:" + self.controls[name]["hwnd"]

    def click(self, name):
        """A real click (through the input queue) at the middle of the control."""
        self.case.click(CONSOLE, self.hwnd(name), "--input")

    def pick(self, name, item):
        self.case.pick(CONSOLE, self.hwnd(name), item)

    def wait_controls(self, what, probe):
        """Waits until probe(the console's controls, as they are now) holds; returns them."""
        def check():
            console = self.case.window(CONSOLE)
            found = find_controls(console, self.dpi) if console else {}
            return found if found and probe(found) else None
        return self.case.wait_for(what, check)

    def menu(self, downs, button="right"):
        """Opens the icon's menu with a click in Wine's tray and picks the item `downs` rows down
        (separators and hidden items are skipped)."""
        self.case.inspect("tray-click", button)
        self.case.wait_for("the menu", lambda: any(
            w["class"] == "#32768" for w in self.case.windows()))
        self.case.screenshot("menu")
        self.case.inspect("menu-keys", *(["down"] * downs + ["enter"]))

    def answer(self, password):
        self.case.wait_window(REQUEST)
        self.case.type(REQUEST, "class:Edit:1", password)
        self.case.click(REQUEST, "Enter")

    def start_plan(self, option, picks, allowance="optOnlyListed"):
        """Selects a mode and what is allowed, picks the mode's lists and presses Start."""
        for name in (option, allowance):
            self.click(name)
        for name, item in picks:
            self.wait_controls(name + " enabled", lambda c: c[name]["enabled"])
            self.pick(name, item)
        self.click("Command1")

    def time_left(self):
        """(seconds shown by the lock screen, when), or None while it is not up."""
        lock = lock_screen(self.case)
        label = lock and time_left_label(lock)
        return label and (time_left_seconds(label["text"]), time.time())
