"""Killing the program hard at a random moment of a running plan, then starting it again.

The Wine process of the program gets SIGKILL: no exit code runs, the window lock stays on the
other program's window, and whatever was being stored is cut off. The next start must load every
setting as it was, enable what the lock left disabled, resume the plan about a minute later (a
Changing-mode period from its stored seconds, the other modes from the clock), and hand out or
take away at most the 30 s between two saves of the run state. Each mode uses "Allow only listed
games and programs", so the lock screen shows the time left in game time too.

    python3 test_kills.py --exe ... --inspector ... [unittest arguments]

QV_KILL_SEED fixes the random moments (the seed in use is printed).
"""

import json
import os
import random
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Config  # noqa: E402
from console import CONSOLE, LOCK_SCREEN, complete_first_run, find_controls  # noqa: E402
from console import time_left_label, time_left_seconds  # noqa: E402

RUN_STATE = ("FinalTime", "GameTimeOn", "BreakTimeOn")
SAVE_INTERVAL = 30
SLACK = 2  # a reading of the lock screen takes up to about a second on each side


def clock_hour(hour):
    """A picker hour (1..24) for an hour of the day (0..23, or more)."""
    return str(hour % 24 or 24)


def plan_picks(mode):
    """(option button, [(picker, item)]) for a plan in this mode that is running now."""
    now = time.localtime()
    if mode == "Changing":  # a game of 0 minutes ends at once: a break of 5 minutes follows
        return "optEveryday", [("cmbGameTime", "0"), ("cmbBreakTime", "5")]
    if mode == "One time":  # starts at the midnight ahead: a break until then
        return "optOneTime", [("cmbStartTimeH", "24"), ("cmbStartTimeM", "0")]
    # Bed time from two hours ahead to three: a break until then
    return "optBedTime", [("cmbStartH", clock_hour(now.tm_hour + 2)), ("cmbStartM", "0"),
                          ("cmbBedH", clock_hour(now.tm_hour + 3)), ("cmbBedM", "0")]


class KilledPlan:
    """One case: a plan in one mode, another program's window, and the kills."""

    def __init__(self, case, mode):
        self.case, self.mode = case, mode
        self.other_proc = subprocess.Popen(
            ["wine", case.inspector_exe, "window", "Other program", "3600"], env=case.env,
            stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, text=True)
        self.other = json.loads(self.other_proc.stdout.readline())["hwnd"]
        self.proc, console = complete_first_run(case)
        controls = find_controls(console, case.screen()["dpiX"])
        option, picks = plan_picks(mode)
        for name in (option, "optOnlyListed"):
            case.click(CONSOLE, "hwnd:" + controls[name]["hwnd"], "--input")
        for name, item in picks:
            case.wait_for(name + " enabled", lambda: find_controls(
                case.window(CONSOLE), case.screen()["dpiX"])[name]["enabled"])
            case.pick(CONSOLE, "hwnd:" + controls[name]["hwnd"], item)
        case.click(CONSOLE, "hwnd:" + controls["Command1"]["hwnd"], "--input")
        case.wait_for("the lock screen", self.reading, timeout=30)
        case.wait_for("the other window disabled", lambda: not self.other_enabled())

    def close(self):
        self.other_proc.kill()
        self.other_proc.wait(10)

    def reading(self):
        """(seconds left shown by the lock screen, when), or None while it is not up."""
        screen = self.case.screen()
        for w in self.case.windows(True, True):
            r = w["rect"]
            if w["text"] == LOCK_SCREEN and (r["w"], r["h"]) == (screen["width"], screen["height"]):
                label = time_left_label(w)
                return label and (time_left_seconds(label["text"]), time.time())
        return None

    def other_enabled(self):
        _, objs = self.case.inspect("list", "--hwnd", self.other, "--top")
        return objs[0]["enabled"]

    def kill_and_restart(self, delay):
        """Waits delay seconds, kills the program, checks the store and starts the program
        again; returns the seconds of the running period gained (negative: lost) once the plan
        has resumed."""
        case = self.case
        before_values = case.reg_query()
        time.sleep(delay)
        left, at = case.wait_for("a reading", self.reading)
        self.proc.kill()
        self.proc.wait(10)
        case.note("killed %.1f s after the previous start with %d s left" % (delay, left))
        case.wait_for("the program's windows gone", lambda: not case.top_windows())

        values = case.reg_query()
        kept = {k: v for k, v in before_values.items() if k not in RUN_STATE}
        if {k: v for k, v in values.items() if k not in RUN_STATE} != kept:
            raise AssertionError("settings changed by the kill: %r -> %r" % (before_values, values))
        if not (values.get("Mode") == "2" and values.get("GameTimeOn") in ("0", "-1") and
                values.get("BreakTimeOn") in ("0", "-1") and
                values.get("FinalTime", "").lstrip("-").isdigit()):
            raise AssertionError("run state half written: %r" % values)

        self.proc = case.start()
        case.wait_tray_icon()
        case.wait_for("the other window enabled again", self.other_enabled, timeout=20)
        # the resume timer starts the plan on its 61st tick
        again, again_at = case.wait_for("the plan resumed", self.reading, timeout=100)
        gained = again - left if self.mode == "Changing" else (again_at + again) - (at + left)
        case.note("resumed with %d s left: %+.1f s" % (again, gained))
        return gained


def new_plan(test, mode):
    case = Config.new_case(test.id().split(".", 1)[1])
    test.addCleanup(case.close)
    plan = KilledPlan(case, mode)
    test.addCleanup(plan.close)
    return plan


class KillAndRestart(unittest.TestCase):
    seed = int(os.environ.get("QV_KILL_SEED") or random.randrange(1 << 30))

    def check_mode(self, mode):
        print("\nQV_KILL_SEED=%d" % self.seed, file=sys.stderr)
        rng = random.Random("%d %s" % (self.seed, mode))
        plan = new_plan(self, mode)
        for _ in range(2):  # a second kill lands in the resumed plan
            gained = plan.kill_and_restart(rng.uniform(0, 40))
            if mode == "Changing":
                self.assertGreaterEqual(gained, -SLACK, "a stored period does not shrink")
            self.assertLessEqual(abs(gained), SAVE_INTERVAL + SLACK)

    def test_changing_mode(self):
        self.check_mode("Changing")

    def test_one_time_mode(self):
        self.check_mode("One time")

    def test_bed_time_mode(self):
        self.check_mode("Bed time")


if __name__ == "__main__":
    unittest.main(argv=harness.configure(sys.argv), verbosity=2)
