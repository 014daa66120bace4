"""A running plan of the Windows program under Wine: a Changing-mode break and its count-down, the
balloon a minute before a game ends, the shutdown when game time is over (a stand-in shutdown.exe in the system's folder records its command
line), a plan resumed a minute after a start, and a Bed time plan whose program was held still
across bed time and then told that the machine woke up.

    python3 test_plan.py --exe ... --inspector ... --fake-shutdown shutdown.exe [unittest arguments]
"""

import os
import shutil
import signal
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Config  # noqa: E402
from console import CONSOLE, LOCK_SCREEN, ConsoleTest, lock_screen  # noqa: E402

# A store left by a completed first run (password "abc") and a Changing-mode plan started with
# "Allow only listed games and programs": a game period of 90 minutes was running at the last
# exit, and the child has raised its stored seconds left to 99999.
RESUMED_GAME = {
    "Made": "1", "GameTime": "90", "BreakTime": "30", "StartH": "1", "StartM": "1",
    "StartMonth": "1", "StartDay": "1", "TotalTime": "90", "Allowance": "1", "SoundBegin": "1",
    "SoundEnd": "1", "ShowTime": "1", "chkBackPicture": "0", "BackPicture": "None",
    "Message": "Play time", "Mode": "2", "StartUp": "0", "BedTimeH": "11", "BedTimeM": "0",
    "StartTimeH": "10", "StartTimeM": "30", "ShutDown": "0", "BreakTimeOn": "0",
    "GameTimeOn": "-1", "FinalTime": "99999", "Password": "297298299",
}

# The resume timer counts 60 down and starts the plan on its 61st tick.
RESUME_DELAY = 61


class PlanTest(ConsoleTest):
    def setUp(self):
        if not Config.fake_shutdown:
            self.skipTest("needs --fake-shutdown")
        super().setUp()
        # the stand-in where the system's shutdown.exe is, and one beside the program (its current
        # folder) that must never be the one started
        folder = self.case.install(extra=[Config.fake_shutdown])
        system = self.case.prefix_path("C:\\windows\\system32")
        shutil.copy(Config.fake_shutdown, os.path.join(system, "shutdown.exe"))
        # Wine would start its own built-in program for a file of the system's folder
        self.case.reg_import({"shutdown.exe": "native"}, r"HKCU\Software\Wine\DllOverrides")
        self.calls_file = os.path.join(system, "shutdown-calls.txt")
        self.beside_file = self.case.prefix_path(folder + "\\shutdown-calls.txt")

    def shutdown_calls(self, beside=False):
        """Argument lists the stand-in shutdown.exe was started with."""
        calls_file = self.beside_file if beside else self.calls_file
        if not os.path.exists(calls_file):
            return []
        with open(calls_file, encoding="latin-1") as f:
            return [line.split()[1:] for line in f.read().splitlines() if line.strip()]

    def assert_counts_down(self, first, later):
        (a, at_a), (b, at_b) = first, later
        self.assertLess(b, a, "the time left goes down")
        self.assertLessEqual(abs((a - b) - (at_b - at_a)), 2.5,
                             "one second per second (%d s shown in %.1f s)" % (a - b, at_b - at_a))


class ChangingMode(PlanTest):
    def test_break_covers_the_screen_counts_down_and_gives_way_to_game_time(self):
        self.open_console()
        self.pick("cmbGameTime", "0")
        self.pick("cmbBreakTime", "1")
        self.case.type(CONSOLE, self.hwnd("txtMessage"), "Time for a break")
        appears = self.case.watch(LOCK_SCREEN, 30)
        self.click("Command1")  # Start
        shown_at = appears.result()
        # A game period of 0 minutes ends on the first tick of the clock: a break of 60 s follows.
        lock = self.case.wait_for("the lock screen", lambda: lock_screen(self.case))
        self.case.screenshot("break")
        self.assertIsNone(self.case.window(CONSOLE), "the console is hidden")
        self.assertIn("Time for a break", [c["text"] for c in lock["controls"]])
        first = self.time_left()
        self.assertTrue(50 <= first[0] <= 60, first)
        time.sleep(4)
        self.assert_counts_down(first, self.time_left())
        values = self.case.reg_query()
        self.assertEqual((values.get("Mode"), values.get("BreakTimeOn"), values.get("GameTimeOn")),
                         ("2", "-1", "0"), "plan running, break stored")

        # 60 s of break, switched on the 61st tick: game time with "Allow everthing" hides it.
        gone_at = self.case.watch(LOCK_SCREEN, 90, gone=True).result()
        self.assertTrue(55 <= gone_at - shown_at <= 75, "break lasted %.1f s" % (gone_at - shown_at))
        # and the game period of 0 minutes ends at once: the next break
        back_at = self.case.watch(LOCK_SCREEN, 20).result()
        self.assertLess(back_at - gone_at, 10)
        self.assertTrue(55 <= self.time_left()[0] <= 60)
        self.assertEqual(self.shutdown_calls(), [], "no shutdown without the box checked")
        self.assertIsNone(self.proc.poll(), "the program runs on")

    def test_the_last_minute_of_a_game_is_announced_in_a_balloon(self):
        # started as the guard starts it: the stored game, 66 s from its end, goes on at once
        self.case.reg_import(dict(RESUMED_GAME, FinalTime="66"))
        self.case.start("/resume")
        self.case.wait_tray_icon()
        warned = self.case.wait_for("the balloon", lambda: "1 minute of game time left." in self.case.tooltips(),
                                    timeout=30)
        self.case.screenshot("last minute")
        self.assertTrue(warned)
        self.assertTrue(40 <= self.time_left()[0] <= 60, "a minute before the end")


class Shutdown(PlanTest):
    def shuts_down(self, option, picks):
        """Starts a plan of this mode and these lists with the shutdown box checked; the stand-in
        is called once, and the lock screen holds a break."""
        self.open_console()
        self.click(option)
        self.wait_controls("the mode's lists", lambda c: c[picks[0][0]]["enabled"])
        for name, item in picks:
            self.pick(name, item)
        self.click("chkShutDown")
        self.wait_controls("the box checked", lambda c: c["chkShutDown"]["checked"] == 1)
        self.click("Command1")
        self.case.wait_for("shutdown.exe to be started", self.shutdown_calls, timeout=20)
        time.sleep(3)  # no second call follows
        self.assertEqual(self.shutdown_calls(), [["-s", "-f", "-t", "0"]])
        self.assertEqual(self.shutdown_calls(beside=True), [], "the system's own, by its full path")
        self.assertIsNotNone(lock_screen(self.case), "a break under the lock screen")

    def test_one_time_plan_waiting_for_its_start_shuts_down_at_once(self):
        # midnight at the end of today (hour 24) lies ahead whatever the time; the date lists
        # show today after the first run
        self.shuts_down("optOneTime", [("cmbStartTimeH", "24"), ("cmbStartTimeM", "0")])

    def test_changing_mode_shuts_down_when_a_game_period_ends(self):
        self.shuts_down("optEveryday", [("cmbGameTime", "0")])


class Resume(PlanTest):
    def test_editing_the_stored_run_state_grants_no_more_than_a_whole_period(self):
        self.case.reg_import(RESUMED_GAME)
        proc = self.case.start()
        appears = self.case.watch(LOCK_SCREEN, RESUME_DELAY + 30)
        self.case.wait_tray_icon()
        self.assertEqual(self.case.top_windows(), [], "nothing shown at start")
        shown_at = appears.result(extra=10)
        waited = shown_at - proc.started_at
        self.assertTrue(RESUME_DELAY - 3 <= waited <= RESUME_DELAY + 10,
                        "the plan resumed %.1f s after the start" % waited)
        first = self.time_left()
        self.case.screenshot("resumed")
        # the stored period goes on, but for no longer than a whole game period
        self.assertTrue(90 * 60 - 10 <= first[0] <= 90 * 60, first)
        self.assertTrue(any(c["class"] == "SysListView32" and c["visible"] for c in lock_screen(
            self.case)["controls"]), "only listed programs: the list is shown during game time")
        time.sleep(3)
        self.assert_counts_down(first, self.time_left())
        self.assertEqual(self.case.reg_query().get("Mode"), "2")

    def test_bed_time_passed_while_stopped_gives_the_break_left_by_the_clock(self):
        """The program is stopped (as the machine would be asleep) from before bed time until after
        it; on waking, the break runs until the next morning's start by the clock, not for a
        whole night counted from bed time."""
        now = time.localtime()
        if not 2 <= now.tm_hour <= 22 or now.tm_min >= 57:
            self.skipTest("needs a bed time later today, within the hour")
        bed_min = now.tm_min + (1 if now.tm_sec < 30 else 2)
        self.open_console()
        self.start_plan("optBedTime", [("cmbStartH", "1"), ("cmbStartM", "0"),
                                       ("cmbBedH", str(now.tm_hour)), ("cmbBedM", str(bed_min))])
        first = self.case.wait_for("the game's time left", self.time_left)
        os.kill(self.proc.pid, signal.SIGSTOP)
        try:
            time.sleep(first[0] + 20)
        finally:
            os.kill(self.proc.pid, signal.SIGCONT)
        self.case.inspect("resume")
        morning = time.mktime(time.localtime()[:3] + (1, 0, 0, 0, 0, -1)) + 86400
        shown = self.case.wait_for("the break", lambda: (lambda t: t and t[0] > 3600 and t)(self.time_left()))
        self.case.screenshot("woken")
        self.assertLessEqual(abs(shown[0] - (morning - shown[1])), 4,
                             "the break ends at the next start by the clock")


if __name__ == "__main__":
    unittest.main(argv=harness.configure(sys.argv), verbosity=2)
