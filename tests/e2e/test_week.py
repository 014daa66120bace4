"""The week plan of the Windows program under Wine: a limit on the day's game time set through the
week dialog, saved and put into words by the console; a Changing-mode plan that reaches it locks
until midnight, and keeps that lock across a kill and the guard's restart.

    python3 test_week.py --exe ... --inspector ... [unittest arguments]
"""

import datetime
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from console import CONSOLE, LOCK_SCREEN, ConsoleTest, lock_screen  # noqa: E402

WEEK = "Week plan"
WEEK_KEY = harness.APP_KEY + "\\Week"
DAYS = ("Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday")
NO_MORE = "No more game time today."
MESSAGE = "Homework first"


def seconds_to_midnight(at):
    moment = datetime.datetime.fromtimestamp(at)
    midnight = datetime.datetime.combine(moment.date() + datetime.timedelta(days=1), datetime.time())
    return (midnight - moment).total_seconds()


class DayLimit(ConsoleTest):
    def limit_boxes(self):
        """The week dialog's "Game time a day" boxes, Monday to Sunday: the left column of edits."""
        edits = [c for c in self.case.window(WEEK)["controls"]
                 if c["depth"] == 1 and c["class"].lower() == "edit"]
        left = min(c["pos"]["x"] for c in edits)
        return sorted((c for c in edits if c["pos"]["x"] == left), key=lambda c: c["pos"]["y"])

    def day_lock(self):
        """(the lock screen's message, seconds it shows, when) while the day's lock is up, else None."""
        lock = lock_screen(self.case)
        texts = lock and [c["text"] for c in lock["controls"] if c["visible"]]
        message = texts and next((t for t in texts if t.startswith(NO_MORE)), None)
        shown = message and self.time_left()
        return shown and (message, *shown)

    def assert_day_lock(self, what):
        message, left, at = self.case.wait_for(what, self.day_lock, timeout=60)
        self.case.screenshot(what)
        self.assertEqual(message.split("\r\n"), [NO_MORE, MESSAGE], "the day's words above the parent's")
        self.assertLessEqual(abs(left - seconds_to_midnight(at)), 5, "the count runs to midnight")

    def test_a_day_limit_set_in_the_week_dialog_locks_until_midnight_also_after_a_restart(self):
        if seconds_to_midnight(time.time()) < 6 * 60:
            self.skipTest("midnight would come during the case")
        self.open_console()

        # one minute on every day: Monday's box, copied by "Same every day" (Monday is selected)
        self.click("cmdWeek")
        self.case.wait_window(WEEK)
        self.case.type(WEEK, "hwnd:" + self.limit_boxes()[0]["hwnd"], "1")
        self.case.click(WEEK, "Same every day")
        boxes = self.case.wait_for("the limit on every day", lambda: (lambda b: all(
            c["text"] == "1" for c in b) and b)(self.limit_boxes()))
        self.assertEqual(len(boxes), 7)
        self.case.click(WEEK, "OK")
        self.case.wait_for("the week dialog closed", lambda: self.case.window(WEEK) is None)
        preview = self.wait_controls("the week in the plan preview", lambda c: "Monday to Sunday: 1 minute"
                                     in c["txtPlanPreview"]["text"])["txtPlanPreview"]["text"]
        self.assertIn("Monday to Sunday: 1 minute of game time", preview)

        # Changing mode, 5 minutes of game time and 1 of break, everything allowed: the game is cut
        # to the day's minute, and then the lock holds until midnight
        self.case.type(CONSOLE, self.hwnd("txtMessage"), MESSAGE)
        game_ends = self.case.watch(LOCK_SCREEN, 150)
        self.start_plan("optEveryday", [("cmbGameTime", "5"), ("cmbBreakTime", "1")], "optEverything")
        self.case.wait_for("the console hidden", lambda: self.case.window(CONSOLE) is None)
        started = time.time()
        week = self.case.wait_for("the week saved at Start", lambda: self.case.reg_query(WEEK_KEY))
        self.assertEqual([week.get(d + "Limit") for d in DAYS], ["1"] * 7)
        locked_at = game_ends.result()
        self.assertLess(locked_at - started, 100, "a minute of play, not five")
        self.assert_day_lock("the day's lock")
        stored = self.case.wait_for("the day's count stored", lambda: (lambda v: int(
            v.get("GameDaySeconds") or 0) >= 60 and v)(self.case.reg_query()), timeout=40)
        self.assertEqual(stored["GameDay"], time.strftime("%Y-%m-%d"))

        # killed, and started again as the guard starts it: the lock is back at once
        self.proc.kill()
        self.proc.wait(10)
        self.case.wait_for("the program's windows gone", lambda: not self.case.windows())
        self.proc = self.case.start("/resume")
        self.assert_day_lock("the day's lock after the restart")
        self.assertIsNone(self.proc.poll(), "the program runs on")


if __name__ == "__main__":
    unittest.main(argv=harness.configure(sys.argv), verbosity=2)
