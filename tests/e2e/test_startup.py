"""Start-up roads of the Windows program under Wine: the first run with its password dialog,
the normal start into the notification area, and starts over damaged stored settings.

    python3 test_startup.py --exe "Quorvane 1.0.exe" --inspector inspector.exe \\
        [--template DIR] [--artifacts DIR] [--display :N] [unittest arguments, e.g. FirstRun]
"""

import datetime
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Config  # noqa: E402

PASSWORD_DIALOG = "Change password"
CONSOLE = "Quorvane 1.0"
MISMATCH = "Passwords do not match"

# What the first run writes, StartMonth and StartDay (today's date) aside.
FIRST_RUN_VALUES = {
    "Made": "1", "GameTime": "90", "BreakTime": "30", "StartH": "1", "StartM": "1",
    "TotalTime": "90", "Allowance": "2", "SoundBegin": "1", "SoundEnd": "1", "ShowTime": "1",
    "chkBackPicture": "0", "BackPicture": "", "Message": "", "Mode": "6", "StartUp": "1",
    "BedTimeH": "11", "BedTimeM": "0", "StartTimeH": "10", "StartTimeM": "30", "ShutDown": "0",
    "BreakTimeOn": "0", "GameTimeOn": "0", "FinalTime": "0",
}

# Every value the program keeps under Controls.
ALL_CONTROLS = sorted(list(FIRST_RUN_VALUES) + ["StartMonth", "StartDay", "Password"])


def encode_password(text, codepage="cp1252"):
    """The stored form: per character, the length of its decimal ANSI code, then the code."""
    return "".join(str(len(str(b))) + str(b) for b in text.encode(codepage))


class ProgramTest(unittest.TestCase):
    """Each test gets a clean prefix of its own; the program is ended when it finishes."""

    def setUp(self):
        self.case = Config.new_case(self.id().split(".", 1)[1])
        self.addCleanup(self.case.close)

    # -- steps shared by the cases --

    def start_first_run(self):
        """Starts on the clean prefix and waits for the password dialog."""
        proc = self.case.start()
        dialog = self.case.wait_window(PASSWORD_DIALOG)
        self.case.screenshot("password dialog")
        return proc, dialog

    def enter_passwords(self, first, second):
        self.case.type(PASSWORD_DIALOG, "class:Edit:1", first)
        self.case.type(PASSWORD_DIALOG, "class:Edit:2", second)
        self.case.screenshot("passwords typed")
        self.case.click(PASSWORD_DIALOG, "Change")

    def complete_first_run(self, password="abc"):
        proc, _ = self.start_first_run()
        self.enter_passwords(password, password)
        console = self.case.wait_window(CONSOLE)
        self.case.screenshot("console")
        return proc, console

    def visible_titles(self):
        return sorted(w["text"] for w in self.case.windows())

    def registry(self):
        return self.case.reg_query() or {}

    def assert_alive(self, proc):
        self.assertIsNone(proc.poll(), "the program ended (exit code %s)" % proc.poll())


class FirstRun(ProgramTest):
    def test_only_the_password_dialog_is_shown_and_the_defaults_are_stored(self):
        today = datetime.date.today()
        proc, dialog = self.start_first_run()

        edits = [c for c in dialog["controls"] if c["class"].lower() == "edit"]
        self.assertEqual(len(edits), 2, "two password boxes")
        for e in edits:
            self.assertTrue(e["visible"] and e["enabled"])
            self.assertTrue(e["password"], "entries are masked")
            self.assertEqual(e["text"], "")
        buttons = {c["text"].replace("&", "") for c in dialog["controls"]
                   if c["class"].lower() == "button" and c["visible"]}
        self.assertTrue({"Change", "Cancel"} <= buttons, buttons)

        # The dialog is and stays the program's only visible window.
        self.case.holds("only the password dialog visible",
                        lambda: self.visible_titles() == [PASSWORD_DIALOG], duration=2)
        self.assert_alive(proc)

        values = self.case.reg_query()
        self.assertIsNotNone(values, "the Controls key exists")
        date_values = {k: values.pop(k, None) for k in ("StartMonth", "StartDay")}
        self.assertEqual(values, FIRST_RUN_VALUES, "first-run values (no Password among them)")
        later = datetime.date.today()
        self.assertIn((date_values["StartMonth"], date_values["StartDay"]),
                      {(str(d.month), str(d.day)) for d in (today, later)})
        types = self.case.reg_query(types=True)
        self.assertEqual({t for t in types.values()}, {"REG_SZ"})


class PasswordChange(ProgramTest):
    def test_equal_passwords_are_stored_and_open_the_console(self):
        proc, console = self.complete_first_run("abc")
        self.assertTrue(console["visible"])
        self.case.wait_for("the password dialog to close",
                           lambda: self.case.window(PASSWORD_DIALOG) is None)
        values = self.registry()
        self.assertEqual(values.get("Mode"), "5")
        self.assertEqual(values.get("Password"), "297298299")
        self.assert_alive(proc)

    def test_password_with_space_digit_and_accent_is_encoded_per_character(self):
        password = "Ab 9\u00e9"  # codes 65 98 32 57 233
        self.complete_first_run(password)
        self.assertEqual(self.registry().get("Password"), "2652982322573233")
        self.assertEqual(encode_password(password), "2652982322573233")

    def test_change_password_twice_in_a_row_shows_empty_boxes(self):
        self.complete_first_run("abc")
        self.case.click(CONSOLE, "Change password")
        self.case.wait_window(PASSWORD_DIALOG)
        self.case.type(PASSWORD_DIALOG, "class:Edit:1", "zzz")
        self.case.type(PASSWORD_DIALOG, "class:Edit:2", "zzz")
        self.case.click(CONSOLE, "Change password")  # pressed again while the dialog is open
        self.case.wait_for("both boxes emptied on the screen", lambda: [
            c["text"] for c in self.case.window(PASSWORD_DIALOG)["controls"]
            if c["class"].lower() == "edit"] == ["", ""])
        self.enter_passwords("new", "new")
        self.case.wait_for("the new password stored",
                           lambda: self.registry().get("Password") == encode_password("new"))

    def test_different_passwords_are_refused_and_nothing_is_stored(self):
        proc, _ = self.start_first_run()
        self.enter_passwords("abc", "abd")
        box = self.case.wait_for("the mismatch message", lambda: [
            b for b in self.case.message_boxes() if MISMATCH in b["message"]])[0]
        self.case.screenshot("mismatch message")
        values = self.registry()
        self.assertNotIn("Password", values)
        self.assertEqual(values.get("Mode"), "6")

        self.case.click("hwnd:" + box["hwnd"], "OK")
        self.case.wait_for("the message box to close", lambda: not self.case.message_boxes())
        dialog = self.case.window(PASSWORD_DIALOG)
        self.assertIsNotNone(dialog, "the dialog stays open")
        self.assertEqual([c["text"] for c in dialog["controls"] if c["class"].lower() == "edit"],
                         ["abc", "abd"], "with both entries")
        self.assertIsNone(self.case.window(CONSOLE))
        self.assertNotIn("Password", self.registry())
        self.assert_alive(proc)


class FirstRunAbandoned(ProgramTest):
    def assert_first_run_again(self):
        values = self.registry()
        self.assertEqual(values.get("Mode"), "6")
        self.assertNotIn("Password", values)

    def test_cancel_ends_the_program_and_the_next_start_asks_again(self):
        proc, _ = self.start_first_run()
        self.case.type(PASSWORD_DIALOG, "class:Edit:1", "abc")
        self.case.click(PASSWORD_DIALOG, "Cancel")
        self.case.wait_exit(proc)
        self.assert_first_run_again()

        self.start_first_run()
        self.assert_first_run_again()

    def test_close_box_ends_the_program(self):
        proc, _ = self.start_first_run()
        self.case.close_window(PASSWORD_DIALOG, syscommand=True)
        self.case.wait_exit(proc)
        self.assert_first_run_again()


class SecondStart(ProgramTest):
    def test_second_start_waits_hidden_in_the_tray(self):
        self.complete_first_run("abc")
        self.case.stop()  # as if the computer had been switched off

        proc = self.case.start()
        self.case.wait_tray_icon()
        self.case.wait_for('"Mode" = "5"', lambda: self.registry().get("Mode") == "5")
        self.case.screenshot("idle in the tray")
        self.case.holds("no visible window of the program", lambda: self.visible_titles() == [],
                        duration=2)
        self.assertEqual(self.registry().get("Password"), "297298299")
        self.assert_alive(proc)

    def test_close_in_the_console_ends_the_program_idle(self):
        proc, _ = self.complete_first_run("abc")
        self.case.click(CONSOLE, "Close")
        self.case.wait_exit(proc)
        values = self.registry()
        self.assertEqual(values.get("Mode"), "5")
        self.assertEqual(values.get("Password"), "297298299")


def _bad_settings_test(value):
    def test(self):
        self.case.reg_import({name: value for name in ALL_CONTROLS})
        proc = self.case.start()
        self.case.wait_for("a notification icon or a window",
                           lambda: self.case.tray().get("icon") or self.case.windows()
                           or proc.poll() is not None, timeout=harness.START_TIMEOUT)
        self.case.screenshot("started")
        self.assert_alive(proc)
        self.case.holds("the program running", lambda: proc.poll() is None, duration=4)
        self.case.screenshot("still running")
    return test


class BadStoredSettings(ProgramTest):
    """Every Controls value damaged; the program must still come up."""
    test_empty_values = _bad_settings_test("")
    test_letters = _bad_settings_test("abc")
    test_huge_numbers = _bad_settings_test("99999999999999999999")
    test_negative_numbers = _bad_settings_test("-2147483649")
    test_long_text = _bad_settings_test("7" * 4096 + "x")


if __name__ == "__main__":
    unittest.main(argv=harness.configure(sys.argv), verbosity=2)
