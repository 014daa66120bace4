"""The console window as the end-to-end cases see it: its layout as data, the native controls
found at their places, and the steps that bring the console up."""

import re
import time

import harness

CONSOLE = "Quorvane 1.0"
PASSWORD_DIALOG = "Change password"
LOCK_SCREEN = "Form1"

# Client area in twips.
CLIENT = (9855, 9225)

# The console's controls: name, kind, containing frame, caption, left, top, width, height (twips,
# relative to the frame or to the client area). Kinds: F frame, B push button, K check box,
# O option button, C drop-down list, L label, T text box, LB list box.
LAYOUT = [
    ("Frame6", "F", "", " Modes ", 240, 240, 4815, 5535),
    ("optEveryday", "O", "Frame6", "Changing mode", 120, 240, 1935, 375),
    ("Label12", "L", "Frame6", "Game time (in minutes)", 600, 750, 2295, 255),
    ("cmbGameTime", "C", "Frame6", "", 3000, 720, 855, 315),
    ("Label13", "L", "Frame6", "Break time (in minutes)", 600, 1080, 2295, 255),
    ("cmbBreakTime", "C", "Frame6", "", 3000, 1080, 855, 315),
    ("optOneTime", "O", "Frame6", "One time mode", 120, 1440, 2415, 375),
    ("Label14", "L", "Frame6", "Start at", 600, 1845, 735, 255),
    ("Label10", "L", "Frame6", "(hour minute)", 1440, 1845, 1215, 255),
    ("cmbStartTimeH", "C", "Frame6", "", 2760, 1800, 855, 315),
    ("cmbStartTimeM", "C", "Frame6", "", 3840, 1800, 855, 315),
    ("Label9", "L", "Frame6", "(month day)", 1440, 2205, 1095, 255),
    ("cmbStartDateM", "C", "Frame6", "", 2760, 2160, 855, 315),
    ("cmbStartDateD", "C", "Frame6", "", 3840, 2160, 855, 315),
    ("Label1", "L", "Frame6", "Total time (in minutes)", 600, 2640, 2175, 255),
    ("cmbTotalTime", "C", "Frame6", "", 2760, 2640, 855, 315),
    ("optBedTime", "O", "Frame6", "Bed time mode", 120, 2880, 2295, 375),
    ("Label15", "L", "Frame6", "Start time the computer can be on", 600, 3240, 3375, 255),
    ("Label16", "L", "Frame6", "(hour minute)", 1200, 3480, 1215, 255),
    ("cmbStartH", "C", "Frame6", "", 2520, 3480, 855, 315),
    ("cmbStartM", "C", "Frame6", "", 3480, 3480, 855, 315),
    ("Label2", "L", "Frame6", "Latest time the computer can be on", 600, 3840, 3375, 255),
    ("Label6", "L", "Frame6", "(hour minute)", 1200, 4200, 1215, 255),
    ("cmbBedH", "C", "Frame6", "", 2520, 4200, 855, 315),
    ("cmbBedM", "C", "Frame6", "", 3480, 4200, 855, 315),
    ("chkShutDown", "K", "Frame6", "Shut down the computer when the game time is over",
     120, 4800, 3735, 495),
    ("Frame2", "F", "", " Allowed Games and Programs ", 240, 5880, 4815, 1935),
    ("lstAllowed", "LB", "Frame2", "", 240, 480, 3015, 1230),
    ("cmdAdd", "B", "Frame2", "Add new", 3480, 480, 1095, 350),
    ("Command3", "B", "Frame2", "Edit", 3480, 960, 1095, 350),
    ("cmdDelete", "B", "Frame2", "Delete", 3480, 1440, 1095, 350),
    ("Frame4", "F", "", " Allowance ", 240, 7920, 4815, 1095),
    ("optOnlyListed", "O", "Frame4", "Allow only listed games and programs", 240, 240, 3615, 375),
    ("optEverything", "O", "Frame4", "Allow everthing", 240, 600, 2775, 375),
    ("Frame8", "F", "", " Commands ", 5160, 240, 4455, 2175),
    ("Command1", "B", "Frame8", "Start", 240, 480, 1695, 375),
    ("Command8", "B", "Frame8", "Help", 2400, 480, 1695, 375),
    ("Command2", "B", "Frame8", "Close", 240, 960, 1695, 375),
    ("Command4", "B", "Frame8", "Minimize", 2400, 960, 1695, 375),
    ("chkLaunch", "K", "Frame8", "Launch on Windows Startup", 240, 1800, 3735, 255),
    ("Frame3", "F", "", " Password ", 5160, 2520, 4455, 975),
    ("Command6", "B", "Frame3", "Change password", 2400, 360, 1695, 375),
    ("Frame7", "F", "", " Sounds ", 5160, 3600, 4455, 1455),
    ("chkRingStart", "K", "Frame7", "Signal when game time begins", 120, 480, 3735, 255),
    ("chkRingEnd", "K", "Frame7", "Signal when game time is about to end", 120, 720, 3735, 375),
    ("Frame5", "F", "", " Locked screen ", 5160, 5160, 4455, 3855),
    ("chkShowTime", "K", "Frame5", "Show time left on the locked screen", 240, 360, 3615, 255),
    ("chkBackPicture", "K", "Frame5", "Background picture", 240, 840, 2535, 255),
    ("Command7", "B", "Frame5", "Edit", 3000, 840, 1095, 375),
    ("lblBackPicture", "L", "Frame5", "None", 480, 1080, 3135, 255),
    ("Label3", "L", "Frame5", "Message", 240, 1440, 975, 255),
    ("txtMessage", "T", "Frame5", "", 240, 1680, 3855, 1935),
    # holds the stored password; placed below the client area, never seen
    ("lblPassword", "L", "", None, 4800, 20000, 1935, 495),
]

ROWS = {row[0]: row for row in LAYOUT}

# The mode lists, by the option button that enables them.
MODE_LISTS = {
    "optEveryday": {"cmbGameTime", "cmbBreakTime"},
    "optOneTime": {"cmbStartTimeH", "cmbStartTimeM", "cmbStartDateM", "cmbStartDateD",
                   "cmbTotalTime"},
    "optBedTime": {"cmbStartH", "cmbStartM", "cmbBedH", "cmbBedM"},
}
ALL_MODE_LISTS = set().union(*MODE_LISTS.values())

PLAY_MINUTES = ["0", "1", "5", "10", "15", "20", "30", "40", "50", "60", "70", "80", "90", "100",
                "120", "140", "160", "180", "210", "240", "270", "300", "350", "400"]
HOURS = [str(h) for h in range(1, 25)]
MINUTES = [str(m) for m in range(60)]
# Items of the drop-down lists (the day list depends on the month).
LIST_ITEMS = {
    "cmbGameTime": PLAY_MINUTES,
    "cmbBreakTime": PLAY_MINUTES,
    "cmbTotalTime": ["0", "1", "10", "20", "30", "45", "60", "90", "120", "150", "180", "210",
                     "240", "300", "360", "420"],
    "cmbStartDateM": [str(m) for m in range(1, 13)],
    "cmbStartTimeH": HOURS, "cmbStartH": HOURS, "cmbBedH": HOURS,
    "cmbStartTimeM": MINUTES, "cmbStartM": MINUTES, "cmbBedM": MINUTES,
}

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
