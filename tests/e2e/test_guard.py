"""Guarding a plan, on the Windows program under Wine: the notification-area menu through Wine's
tray with real clicks, the password request, the lock screen's "Exit", and the window lock seen
on another program's windows, and the History window that records it.

    python3 test_guard.py --exe ... --inspector ... [unittest arguments, e.g. TrayMenu]
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from console import CONSOLE, LOCK_SCREEN, REQUEST, ConsoleTest, lock_screen  # noqa: E402

ABOUT = "About Quorvane"
MASTER = "tarpikwell5"
HISTORY = "History"
REFUSED = "You are not allowed to set up time in this mode"


class GuardTest(ConsoleTest):
    def start_changing(self, allowance, game, brk="5"):
        self.start_plan("optEveryday", [("cmbGameTime", game), ("cmbBreakTime", brk)], allowance)
        self.case.wait_for('"Mode" = "2"', lambda: self.mode() == "2")

    def mode(self):
        return (self.case.reg_query() or {}).get("Mode")

    def shown(self, title):
        return self.case.window(title) is not None



class TrayMenu(GuardTest):
    def test_about_then_start_with_a_wrong_and_the_right_password(self):
        self.open_console()
        self.case.click(CONSOLE, "Minimize")
        self.case.wait_for("the console hidden", lambda: not self.shown(CONSOLE))

        # A left click opens the menu too; About needs no password.
        self.menu(3, button="left")  # Start, Help, About
        about = self.case.wait_window(ABOUT)
        self.case.screenshot("about")
        texts = [c["text"] for c in about["controls"]]
        self.assertIn("Quorvane", texts)
        self.assertIn("Version 1.0", texts)
        self.assertFalse(self.shown(REQUEST))
        self.case.click(ABOUT, "OK")
        self.case.wait_for("the About box closed", lambda: not self.shown(ABOUT))

        self.menu(1)  # Start
        self.answer("ABC")
        self.case.screenshot("wrong password")
        self.case.holds("the request open and the console hidden",
                        lambda: self.shown(REQUEST) and not self.shown(CONSOLE), duration=2)
        self.assertEqual(self.mode(), "1")
        self.answer("abc")
        self.case.wait_window(CONSOLE)
        self.case.wait_for("the request closed", lambda: not self.shown(REQUEST))
        self.assertEqual(self.mode(), "1")


class PlanFromTheTray(GuardTest):
    def test_exit_keeps_the_plan_for_the_next_start_and_stop_ends_it(self):
        self.open_console()
        self.start_changing("optEverything", "5")  # game time, lock screen hidden: the tray is free
        self.assertIsNone(lock_screen(self.case))
        self.menu(4)  # Stop, Help, About, Exit
        self.answer("abc")
        self.case.wait_exit(self.proc)
        values = self.case.reg_query()
        self.assertEqual((values.get("Mode"), values.get("GameTimeOn")), ("2", "-1"))

        self.case.start()
        self.case.wait_tray_icon()
        # the normal road would store "5" at once; the resume road leaves "2" and waits
        self.case.holds('"Mode" = "2"', lambda: self.mode() == "2", duration=3)
        self.menu(2)  # as created: Start, Stop, ...
        self.answer("abc")
        self.case.wait_for('"Mode" = "5"', lambda: self.mode() == "5")
        self.assertFalse(self.shown(CONSOLE), "Stop does not open the console")


class LockScreenExit(GuardTest):
    def test_cancel_locks_again_more_time_and_the_master_password_opens_the_console(self):
        other = self.case.spawn("window", "Other program", "600").first["hwnd"]
        self.open_console()
        self.start_changing("optEverything", "0", "5")  # the game of 0 minutes ends at once
        self.case.wait_for("the lock screen", lambda: lock_screen(self.case))
        self.case.wait_for("the other program's window disabled", lambda: not self.case.enabled(other))
        self.case.screenshot("locked")

        self.case.click(LOCK_SCREEN, "Exit", "--input")
        request = self.case.wait_window(REQUEST)
        self.assertTrue(request["enabled"])
        self.assertFalse(lock_screen(self.case)["enabled"], "the lock screen waits behind the request")
        self.assertFalse(self.case.enabled(other))
        self.answer("abd")
        before = self.time_left()[0]
        self.case.click(REQUEST, "Cancel")
        self.case.wait_for("the lock screen locked again", lambda: not self.shown(REQUEST) and (
            lock_screen(self.case) or {}).get("enabled"))
        self.case.holds("the other window disabled", lambda: not self.case.enabled(other), duration=1.5)
        self.assertLess(self.time_left()[0], before, "the count-down went on")

        late = self.case.spawn("window", "Started while locked", "600").first["hwnd"]
        self.case.wait_for("the new window disabled", lambda: not self.case.enabled(late), timeout=6)

        # A clock change is refused (the time-change broadcast: the clock cannot be set here).
        self.case.inspect("timechange", 1)
        box = self.case.wait_for("the refusal", lambda: [
            b for b in self.case.message_boxes() if REFUSED in b["message"]])[0]
        self.case.click("hwnd:" + box["hwnd"], "OK")
        self.case.wait_for("the lock screen locked again", lambda: not self.case.message_boxes() and (
            lock_screen(self.case) or {}).get("enabled"))

        # More time: one minute, typed, given with the master password. Everything is allowed, so
        # the lock screen goes away for that minute; then the break goes on with the time it had.
        self.case.click(LOCK_SCREEN, "Exit", "--input")
        self.case.wait_window(REQUEST)
        self.case.type(REQUEST, "class:Edit:1", MASTER)
        self.case.type(REQUEST, "class:ComboBox:1", "1")
        self.case.screenshot("more time")
        break_left = self.time_left()[0]
        gone = self.case.watch(LOCK_SCREEN, 20, gone=True)
        self.case.click(REQUEST, "Give")
        gone_at = gone.result()
        back = self.case.watch(LOCK_SCREEN, 90)
        self.case.wait_for("the other windows usable", lambda: not self.shown(REQUEST) and (
            self.case.enabled(other) and self.case.enabled(late)))
        self.case.wait_for("more time stored", lambda: (
            self.case.reg_query() or {}).get("ExtraTimeOn") == "2")
        back_at = back.result()
        self.assertTrue(55 <= back_at - gone_at <= 75, "more time lasted %.1f s" % (back_at - gone_at))
        self.assertLessEqual(abs(self.time_left()[0] - break_left), 4, "the break's time left")
        self.case.wait_for("the other window disabled again", lambda: not self.case.enabled(other))

        self.case.click(LOCK_SCREEN, "Exit", "--input")
        self.answer(MASTER)
        self.case.wait_window(CONSOLE)
        self.case.wait_for("the lock screen gone", lambda: lock_screen(self.case) is None)
        self.case.wait_for("both windows enabled again",
                           lambda: self.case.enabled(other) and self.case.enabled(late))
        self.assertEqual(self.mode(), "5")
        self.case.screenshot("console")

        # The History window: what happened, newest first.
        self.click("cmdHistory")
        history = self.case.wait_window(HISTORY)
        events = [item[20:] for c in history["controls"] if c["class"].lower() == "listbox"
                  for item in c["items"]]
        self.assertTrue(events[1].startswith("More time is over: the break goes on ("), events)
        del events[1]
        self.assertEqual(events, ["Plan left with the password",
                                  "The parent gave more time (1 minute)", "A clock change was refused",
                                  "1 wrong password at the lock screen's request",
                                  "Break began (5 minutes)", "Game time began (0 minutes)",
                                  "Plan started (Changing mode)"])
        self.case.screenshot("history")
        self.case.click(HISTORY, "Close")
        self.case.wait_for("the History window closed", lambda: not self.shown(HISTORY))


if __name__ == "__main__":
    unittest.main(argv=harness.configure(sys.argv), verbosity=2)
