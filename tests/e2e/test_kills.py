"""A running plan of each mode killed hard (SIGKILL) at random moments and started again: the
settings come back whole, the lock's disabled windows are enabled again, the plan resumes about
a minute later, and at most the 30 s between two saves of the run state are gained or lost.
QV_KILL_SEED repeats the moments.

    python3 test_kills.py --exe ... --inspector ... [unittest arguments]
"""

import os
import random
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from console import ConsoleTest  # noqa: E402

RUN_STATE = ("FinalTime", "GameTimeOn", "BreakTimeOn")
SAVE_INTERVAL = 30
SLACK = 2  # a reading of the lock screen takes up to about a second on each side


def plan_picks(mode):
    """(option button, [(list, item)]) of a plan in this mode that is in a break now."""
    hour = lambda ahead: str((time.localtime().tm_hour + ahead) % 24 or 24)  # lists hold 1..24
    if mode == "Changing":  # a game of 0 minutes ends at once: a break of 5 minutes follows
        return "optEveryday", [("cmbGameTime", "0"), ("cmbBreakTime", "5")]
    if mode == "One time":  # starts at the midnight ahead
        return "optOneTime", [("cmbStartTimeH", "24"), ("cmbStartTimeM", "0")]
    return "optBedTime", [("cmbStartH", hour(2)), ("cmbStartM", "0"),  # from two hours ahead
                          ("cmbBedH", hour(3)), ("cmbBedM", "0")]


class KilledPlan(ConsoleTest):
    """A plan in one mode beside another program's window, killed again and again."""

    def begin(self, mode):
        self.mode = mode
        self.other = self.case.spawn("window", "Other program", "3600").first["hwnd"]
        self.open_console()
        self.start_plan(*plan_picks(mode))
        self.case.wait_for("a break on the lock screen", lambda: (self.time_left() or (0,))[0] > 0)
        self.case.wait_for("the other window disabled", lambda: not self.case.enabled(self.other))

    def kill_and_restart(self, delay):
        """Waits delay seconds, kills the program, checks the store and starts the program
        again; returns the seconds of the running period gained (negative: lost) once the plan
        has resumed."""
        case = self.case
        before = case.reg_query()
        time.sleep(delay)
        left, at = case.wait_for("a reading", self.time_left)
        self.proc.kill()
        self.proc.wait(10)
        case.note("killed %.1f s after the previous start with %d s left" % (delay, left))
        case.wait_for("the program's windows gone", lambda: not case.windows())

        values = case.reg_query()
        settings = lambda v: {k: x for k, x in v.items() if k not in RUN_STATE}
        self.assertEqual(settings(values), settings(before), "settings changed by the kill")
        self.assertTrue(values.get("Mode") == "2" and values.get("FinalTime", "").lstrip("-").isdigit()
                        and {values.get("GameTimeOn"), values.get("BreakTimeOn")} <= {"0", "-1"},
                        "run state half written: %r" % values)

        self.proc = case.start()
        case.wait_for("the other window enabled again", lambda: case.enabled(self.other), 20)
        # the resume timer starts the plan on its 61st tick
        again, again_at = case.wait_for("the plan resumed", self.time_left, timeout=100)
        gained = again - left if self.mode == "Changing" else (again_at + again) - (at + left)
        case.note("resumed with %d s left: %+.1f s" % (again, gained))
        return gained


class KillAndRestart(KilledPlan):
    seed = int(os.environ.get("QV_KILL_SEED") or random.randrange(1 << 30))

    def check_mode(self, mode):
        print("\nQV_KILL_SEED=%d" % self.seed, file=sys.stderr)
        rng = random.Random("%d %s" % (self.seed, mode))
        self.begin(mode)
        for _ in range(2):  # the second kill lands in the resumed plan
            gained = self.kill_and_restart(rng.uniform(0, 40))
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
