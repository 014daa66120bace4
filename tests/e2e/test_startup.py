"""Start-up roads of the Windows program under Wine: the first run with its password dialog, the
normal start into the notification area, and starts over damaged stored settings.

    python3 test_startup.py --exe ... --inspector ... [unittest arguments, e.g. FirstRun]
"""

import datetime
import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from console import CONSOLE, PASSWORD_DIALOG  # noqa: E402

MISMATCH = "Passwords do not match"

# What the first run writes, as the program's table of defaults says, StartMonth and StartDay
# (today's date) aside.
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "settings",
                       "schema.cpp"), encoding="utf-8") as _f:
    FIRST_RUN_VALUES = dict(re.findall(r'\{"(\w+)", "([^"]*)"\}', _f.read()))

# Stored passwords: per character, the length of its decimal ANSI code, then the code.
ABC = "297298299"


class StartupTest(harness.CaseTest):
    def start_first_run(self):
        """Starts on the clean prefix and waits for the password dialog."""
        proc = self.case.start()
        dialog = self.case.wait_window(PASSWORD_DIALOG)
        self.case.screenshot("password dialog")
        return proc, dialog

    def enter_passwords(self, first, second):
        self.case.type(PASSWORD_DIALOG, "class:Edit:1", first)
        self.case.type(PASSWORD_DIALOG, "class:Edit:2", second)
        self.case.click(PASSWORD_DIALOG, "Change")

    def edits(self, window):
        return [c for c in window["controls"] if c["class"].lower() == "edit"]

    def registry(self):
        return self.case.reg_query() or {}

    def assert_alive(self, proc):
        self.assertIsNone(proc.poll(), "the program ended (exit code %s)" % proc.poll())

    def assert_first_run_state(self):
        values = self.registry()
        self.assertEqual(values.get("Mode"), "6")
        self.assertNotIn("Password", values)


class FirstRun(StartupTest):
    def test_defaults_then_different_passwords_refused_then_equal_ones_stored(self):
        today = datetime.date.today()
        proc, dialog = self.start_first_run()
        self.assertEqual(len(self.edits(dialog)), 2, "two password boxes")
        for e in self.edits(dialog):
            self.assertTrue(e["visible"] and e["enabled"] and e["password"], "masked entries")
            self.assertEqual(e["text"], "")
        buttons = {c["text"].replace("&", "") for c in dialog["controls"]
                   if c["class"].lower() == "button" and c["visible"]}
        self.assertTrue({"Change", "Cancel"} <= buttons, buttons)
        self.case.holds("only the password dialog visible", lambda: [
            w["text"] for w in self.case.windows()] == [PASSWORD_DIALOG], duration=2)

        values = self.case.reg_query()
        values.pop("AdminNoteShown", None)  # seeded with the prefix
        dates = (values.pop("StartMonth", None), values.pop("StartDay", None))
        self.assertEqual(values, FIRST_RUN_VALUES, "first-run values (no Password among them)")
        later = datetime.date.today()
        self.assertIn(dates, {(str(d.month), str(d.day)) for d in (today, later)})
        self.assertEqual(set(self.case.reg_query(types=True).values()), {"REG_SZ"})

        # Different passwords: a message, nothing stored, the dialog keeps both entries.
        self.enter_passwords("abc", "abd")
        box = self.case.wait_for("the mismatch message", lambda: [
            b for b in self.case.message_boxes() if MISMATCH in b["message"]])[0]
        self.case.screenshot("mismatch message")
        self.assert_first_run_state()
        self.case.click("hwnd:" + box["hwnd"], "OK")
        self.case.wait_for("the message box to close", lambda: not self.case.message_boxes())
        dialog = self.case.window(PASSWORD_DIALOG)
        self.assertEqual([e["text"] for e in self.edits(dialog)], ["abc", "abd"])
        self.assertIsNone(self.case.window(CONSOLE))
        self.assert_first_run_state()

        # Equal ones, with a space, a digit and an accent (codes 65 98 32 57 233): stored per
        # character; the dialog gives way to the console.
        self.enter_passwords("Ab 9\u00e9", "Ab 9\u00e9")
        self.case.wait_window(CONSOLE)
        self.case.wait_for("the dialog to close", lambda: not self.case.window(PASSWORD_DIALOG))
        self.case.screenshot("console")
        values = self.registry()
        self.assertEqual((values.get("Mode"), values.get("Password")), ("5", "2652982322573233"))
        self.assert_alive(proc)


class PasswordChange(StartupTest):
    def test_change_twice_shows_empty_boxes_close_ends_idle_and_next_start_hides(self):
        proc, _ = self.start_first_run()
        self.enter_passwords("abc", "abc")
        self.case.wait_window(CONSOLE)
        self.assertEqual(self.registry().get("Password"), ABC)
        self.case.click(CONSOLE, "Change password")
        self.case.wait_window(PASSWORD_DIALOG)
        self.case.type(PASSWORD_DIALOG, "class:Edit:1", "zzz")
        self.case.type(PASSWORD_DIALOG, "class:Edit:2", "zzz")
        self.case.click(CONSOLE, "Change password")  # pressed again while the dialog is open
        self.case.wait_for("both boxes emptied on the screen", lambda: [
            e["text"] for e in self.edits(self.case.window(PASSWORD_DIALOG))] == ["", ""])
        self.enter_passwords("new", "new")
        self.case.wait_for("the new password stored",
                           lambda: self.registry().get("Password") == "311031013119")

        # Close ends the program with no plan running; the next start waits hidden in the tray.
        self.case.click(CONSOLE, "Close")
        self.case.wait_exit(proc)
        self.assertEqual(self.registry().get("Mode"), "5")
        proc = self.case.start()
        self.case.wait_tray_icon()
        self.case.wait_for('"Mode" = "5"', lambda: self.registry().get("Mode") == "5")
        self.case.screenshot("idle in the tray")
        self.case.holds("no visible window", lambda: not self.case.windows(), duration=2)
        self.assertEqual(self.registry().get("Password"), "311031013119")
        self.assert_alive(proc)


class FirstRunAbandoned(StartupTest):
    def test_cancel_and_the_close_box_end_the_program_and_the_next_start_asks_again(self):
        proc, _ = self.start_first_run()
        self.case.type(PASSWORD_DIALOG, "class:Edit:1", "abc")
        self.case.click(PASSWORD_DIALOG, "Cancel")
        self.case.wait_exit(proc)
        self.assert_first_run_state()

        proc, _ = self.start_first_run()
        self.case.close_window(PASSWORD_DIALOG, syscommand=True)
        self.case.wait_exit(proc)
        self.assert_first_run_state()


class BadStoredSettings(StartupTest):
    def test_every_value_damaged_the_program_still_comes_up(self):
        names = list(FIRST_RUN_VALUES) + ["StartMonth", "StartDay", "Password"]
        for value in ("", "abc", "99999999999999999999", "-2147483649", "7" * 4096 + "x"):
            with self.subTest(value=value[:20]):
                self.case.stop()
                self.case.reg_import({name: value for name in names})
                proc = self.case.start()
                self.case.wait_for("a notification icon or a window", lambda: (
                    self.case.tray().get("icon") or self.case.windows() or proc.poll() is not None),
                    timeout=harness.START_TIMEOUT)
                self.case.screenshot("started")
                self.case.holds("the program running", lambda: proc.poll() is None, duration=4)


if __name__ == "__main__":
    unittest.main(argv=harness.configure(sys.argv), verbosity=2)
