"""The ways a child tries to get past a locked lock screen, each tried under Wine as the child
would: keys through the X server (xdotool), clicks on another program's window, a program started
while locked, a changed clock, and a store edited to grant more time. Killing the program and
starting it again is tried in test_kills.py.

One case serves the lock-screen escapes: a Changing-mode plan (game time 0, break 5, only listed
programs) holds the lock screen locked. Another program's keyboard hook, installed before the lock
(hooks are called newest first), sees every key that the program lets pass, and another program's
window reports the clicks it gets.

    python3 test_escapes.py --exe ... --inspector ... [unittest arguments]
"""

import json
import os
import subprocess
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Config  # noqa: E402
from console import CONSOLE, LOCK_SCREEN, complete_first_run, find_controls  # noqa: E402
from console import time_left_label, time_left_seconds  # noqa: E402
from test_plan import RESUMED_GAME  # noqa: E402

REFUSED = "You are not allowed to set up time in this mode"
TAB, ESC = 0x09, 0x1B
KEY_DOWNS = (0x100, 0x104)


class Spawned:
    """Another program (the inspector) whose JSON lines are collected as they come."""

    def __init__(self, case, *args):
        self.proc = subprocess.Popen(["wine", case.inspector_exe] + list(args), env=case.env,
                                     stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, text=True)
        self.first = json.loads(self.proc.stdout.readline())
        self.lines = []
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            if line.startswith("{"):
                self.lines.append(json.loads(line))

    def kill(self):
        self.proc.kill()
        self.proc.wait(10)


class LockedLockScreen(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.case = case = Config.new_case("LockedLockScreen")
        try:
            cls.other = Spawned(case, "window", "Other program", "900")
            _, console = complete_first_run(case)
            controls = find_controls(console, case.screen()["dpiX"])
            cls.spy = Spawned(case, "keys", "900")  # prints once its hook is in place
            case.click(CONSOLE, "hwnd:" + controls["optOnlyListed"]["hwnd"], "--input")
            case.pick(CONSOLE, "hwnd:" + controls["cmbGameTime"]["hwnd"], "0")
            case.pick(CONSOLE, "hwnd:" + controls["cmbBreakTime"]["hwnd"], "5")
            case.click(CONSOLE, "hwnd:" + controls["Command1"]["hwnd"], "--input")
            cls.lock = case.wait_for("the lock screen locked", lambda: (
                cls.lock_screen() or {}).get("enabled") and cls.lock_screen(), timeout=30)
            case.wait_for("the other window disabled", lambda: not cls.enabled(cls.other))
            found = cls.xdotool("search", "--onlyvisible", "--name", "^%s$" % LOCK_SCREEN)
            if found:
                cls.xdotool("windowfocus", "--sync", found[-1])
        except BaseException:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        for name in ("other", "spy", "late"):
            if hasattr(cls, name):
                getattr(cls, name).kill()
        cls.case.close()

    @classmethod
    def xdotool(cls, *args):
        return subprocess.run(["xdotool"] + list(args), env=cls.case.env, capture_output=True,
                              text=True, timeout=20).stdout.split()

    @classmethod
    def lock_screen(cls):
        return next((w for w in cls.case.top_windows() if w["text"] == LOCK_SCREEN), None)

    @classmethod
    def enabled(cls, program):
        _, objs = cls.case.inspect("list", "--hwnd", program.first["hwnd"], "--top")
        return objs[0]["enabled"]

    def assert_locked(self):
        lock = self.lock_screen()
        self.assertIsNotNone(lock, "the lock screen is up")
        self.assertTrue(lock["enabled"])
        self.assertEqual(self.case.inspect("foreground")[1][0]["hwnd"], lock["hwnd"],
                         "the lock screen keeps the foreground")
        self.assertFalse(self.enabled(self.other), "the other program's window stays disabled")

    def assert_key_blocked(self, combo, vk):
        begin = time.time()
        self.xdotool("key", combo)
        time.sleep(1)
        self.assert_locked()
        passed = [k for k in self.spy.lines if k.get("vk") == vk and k.get("msg") in KEY_DOWNS
                  and begin - 0.5 <= k["at"] <= time.time()]
        self.assertEqual(passed, [], "the key reached another program")

    def test_alt_tab(self):
        self.assert_key_blocked("alt+Tab", TAB)

    def test_alt_esc(self):
        self.assert_key_blocked("alt+Escape", ESC)

    def test_ctrl_esc(self):
        self.assert_key_blocked("ctrl+Escape", ESC)

    def test_alt_f4_on_the_lock_screen(self):
        self.xdotool("key", "alt+F4")
        self.case.holds("the lock screen up", self.lock_screen, duration=1.5)
        self.assert_locked()

    def test_clicking_another_programs_window(self):
        rect = self.case.inspect("list", "--hwnd", self.other.first["hwnd"], "--top")[1][0]["rect"]
        self.xdotool("mousemove", str(rect["x"] + rect["w"] // 2), str(rect["y"] + rect["h"] // 2),
                     "click", "1")
        time.sleep(1.5)
        self.assert_locked()
        self.assertNotIn("click", [e.get("event") for e in self.other.lines])

    def test_starting_a_program_while_locked(self):
        type(self).late = late = Spawned(self.case, "window", "Started while locked", "900")
        self.case.wait_for("the new window disabled", lambda: not self.enabled(late), timeout=3)
        self.assert_locked()

    def check_clock_change(self, count):
        """The program sees a change of the clock or of the date as the time-change broadcast
        (setting the clock needs a right that Wine's containers here lack): one refusal for a
        burst, given back the time of day, and the plan runs on, locked."""
        refusals = lambda: [b for b in self.case.message_boxes() if REFUSED in b["message"]]
        before = time_left_seconds(time_left_label(self.case.window(LOCK_SCREEN))["text"])
        self.case.inspect("timechange", str(count))
        box = self.case.wait_for("the refusal", refusals)[0]
        self.assertTrue(box["enabled"], "the lock leaves the program's own message usable")
        self.case.holds("one message for the burst", lambda: len(refusals()) == 1, duration=2)
        self.case.click("hwnd:" + box["hwnd"], "OK")
        self.case.wait_for("the message closed", lambda: not refusals())
        self.assertEqual(self.case.reg_query().get("Mode"), "2")
        self.case.wait_for("the lock screen locked again", lambda: (
            self.lock_screen() or {}).get("enabled"))
        after = time_left_seconds(time_left_label(self.case.window(LOCK_SCREEN))["text"])
        self.assertLess(after, before, "the break counts on")

    def test_clock_set_forward_and_back(self):
        self.check_clock_change(1)

    def test_date_changed(self):
        self.check_clock_change(20)


class StoredRunState(unittest.TestCase):
    def test_editing_the_stored_run_state_grants_no_more_than_a_period(self):
        """A game period of 90 minutes is running; the child raises its stored seconds left."""
        case = Config.new_case(self.id().split(".", 1)[1])
        self.addCleanup(case.close)
        case.reg_import(dict(RESUMED_GAME, FinalTime="99999"))
        case.start()
        case.wait_tray_icon()

        def shown():
            lock = case.window(LOCK_SCREEN)
            label = lock and time_left_label(lock)
            return label and time_left_seconds(label["text"])

        left = case.wait_for("the plan resumed", shown, timeout=100)
        self.assertLessEqual(left, 90 * 60, "a whole game period at most")
        self.assertGreater(left, 90 * 60 - 10)


if __name__ == "__main__":
    unittest.main(argv=harness.configure(sys.argv), verbosity=2)
