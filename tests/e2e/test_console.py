"""The console window of the Windows program under Wine, reached through the first run: its layout
at two display scalings, the mode options enabling their lists, settings saved from the real
controls and shown again after a restart, the "Launch on Windows Startup" registration and its box
following the Run value, and the close box hiding the console.

    python3 test_console.py --exe ... --inspector ... [unittest arguments, e.g. ConsoleLayout]
"""

import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from console import (ALL_MODE_LISTS, CLIENT, CONSOLE, LAYOUT, MODE_LISTS,  # noqa: E402
                     ConsoleTest, caption, complete_first_run, expected_rect, find_controls, px)

# What the preview begins its description with, by mode.
PREVIEW = {"optEveryday": "Games for ", "optOneTime": "One stretch of games ",
           "optBedTime": "Every day from "}

RUN_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"


def enabled_lists(controls):
    return {n for n in ALL_MODE_LISTS if controls[n]["enabled"]}


class ConsoleLayout(ConsoleTest):
    def check_layout(self, dpi):
        complete_first_run(self.case)
        self.case.screenshot("console at %d dpi" % dpi)
        console = self.case.window(CONSOLE)
        client = console["client"]
        self.assertLessEqual(abs(client["w"] - px(CLIENT[0], dpi)), 1, "client width")
        self.assertLessEqual(abs(client["h"] - px(CLIENT[1], dpi)), 1, "client height")
        found = find_controls(console, dpi)
        for name, kind, frame, text, *_ in LAYOUT:
            with self.subTest(control=name):
                self.assertIn(name, found, "a %s at %s px" % (kind, expected_rect(name, dpi)))
                c = found[name]
                if text is not None and kind not in ("C", "T", "LB"):
                    self.assertEqual(caption(c), text)
                self.assertTrue(c["visible"])
                # the first run's plan is Changing mode: only its lists take input
                self.assertEqual(c["enabled"],
                                 name not in ALL_MODE_LISTS - MODE_LISTS["optEveryday"])
        others = [(c["class"], c["text"]) for c in console["controls"] if c["depth"] == 1 and
                  c["hwnd"] not in {f["hwnd"] for f in found.values()}]
        self.assertEqual(others, [], "no other controls")
        self.assertGreaterEqual(found["lblPassword"]["pos"]["y"], client["h"],
                                "the password label lies below the client area")

    def test_layout_at_96_dpi(self):
        self.assertEqual(self.case.screen()["dpiX"], 96, "the prefix's default resolution")
        self.check_layout(96)

    def test_layout_at_150_percent(self):
        self.case.set_dpi(144)
        if self.case.screen()["dpiX"] != 144:
            self.skipTest("this Wine does not take LogPixels")
        self.check_layout(144)


class SettingsTest(ConsoleTest):
    def restart_and_read_console(self, mode):
        """Ends the program, starts it again and returns its console's controls: it loads them
        hidden, as every start after the first run does."""
        self.case.stop()
        self.case.start()
        self.case.wait_tray_icon()
        self.case.wait_for('"Mode" = "%s"' % mode, lambda: self.case.reg_query().get("Mode") == mode)

        def loaded():
            console = self.case.window(CONSOLE, visible=False)
            found = find_controls(console, self.dpi) if console else {}
            return found if len(found) == len(LAYOUT) and found["cmbGameTime"]["items"] else None
        controls = self.case.wait_for("the console to load its settings", loaded)
        self.assertFalse(self.case.window(CONSOLE), "the console stays hidden")
        return controls

    def assert_shows(self, controls, expected):
        """Checks controls by name: a text, or a check box's or option's state as an int."""
        self.assertEqual({n: controls[n]["checked" if isinstance(v, int) else "text"]
                          for n, v in expected.items()}, expected)


class ModeSelection(SettingsTest):
    def test_each_mode_enables_its_lists_and_close_saves_the_console_as_left(self):
        controls = self.open_console()
        self.assertEqual(enabled_lists(controls), MODE_LISTS["optEveryday"])
        texts = {n: controls[n]["text"] for n in ALL_MODE_LISTS}
        for option in ("optOneTime", "optBedTime", "optEveryday", "optBedTime"):
            with self.subTest(option=option):
                self.click(option)
                # the click's handler sets the lists and the preview in the same event that
                # selects the option
                controls = self.wait_controls("%s selected" % option,
                                              lambda c: c[option]["checked"] == 1)
                self.assertIn(PREVIEW[option], controls["txtPlanPreview"]["text"])
                self.assertEqual(enabled_lists(controls), MODE_LISTS[option])
                self.assertEqual([o for o in MODE_LISTS if controls[o]["checked"]], [option])
                # the options, labels and the shutdown box stay usable; the values stay
                for name in list(MODE_LISTS) + ["chkShutDown", "Label12", "Label15"]:
                    self.assertTrue(controls[name]["enabled"], name)
                self.assertEqual({n: controls[n]["text"] for n in ALL_MODE_LISTS}, texts)
        self.assertEqual(self.case.reg_query().get("Made"), "1", "choosing a mode saves nothing")

        self.pick("cmbStartH", "7")
        self.pick("cmbBedM", "45")
        self.wait_controls("the preview to follow the pickers", lambda c: re.search(
            r"Every day from 07:\d\d to \d\d:45", c["txtPlanPreview"]["text"]))
        self.pick("cmbBedH", "7")
        self.pick("cmbStartM", "50")  # the latest time is now before the start
        self.wait_controls("the preview to warn", lambda c: "07:45 the next day" in
                           c["txtPlanPreview"]["text"].split("\r\n")[0])
        self.pick("cmbStartM", "0")
        self.click("chkShowTime")
        self.case.type(CONSOLE, self.hwnd("txtMessage"), "Lights out")
        self.wait_controls("the box cleared", lambda c: c["chkShowTime"]["checked"] == 0)
        self.case.screenshot("bed time mode")
        self.click("Command2")  # Close
        self.case.wait_exit(self.proc)
        values = self.case.reg_query()
        expected = {"Made": "3", "StartTimeH": "7", "BedTimeM": "45", "ShowTime": "0",
                    "Message": "Lights out", "Mode": "5", "GameTime": "90"}
        self.assertEqual({k: values.get(k) for k in expected}, expected)

        controls = self.restart_and_read_console("5")
        self.assertEqual(enabled_lists(controls), MODE_LISTS["optBedTime"])
        self.assert_shows(controls, {"optBedTime": 1, "cmbStartH": "7", "cmbBedM": "45",
                                     "chkShowTime": 0, "txtMessage": "Lights out"})


class SaveThroughControls(SettingsTest):
    def test_start_saves_the_plan_and_a_restart_shows_it(self):
        self.open_console()
        self.pick("cmbGameTime", "10")
        self.case.type(CONSOLE, self.hwnd("cmbBreakTime"), "25")  # the lists take typed values
        self.case.type(CONSOLE, self.hwnd("txtMessage"), "Homework first")
        self.click("chkRingEnd")  # checked at first: cleared
        self.click("chkShutDown")  # cleared at first: checked
        self.click("optOnlyListed")
        self.wait_controls("the clicks to take effect", lambda c: (
            c["chkShutDown"]["checked"], c["chkRingEnd"]["checked"], c["optOnlyListed"]["checked"])
            == (1, 0, 1))
        self.click("Command1")  # Start
        expected = {"Made": "1", "GameTime": "10", "BreakTime": "25", "Message": "Homework first",
                    "SoundEnd": "0", "SoundBegin": "1", "ShutDown": "1", "Allowance": "1",
                    "Mode": "2", "GameTimeOn": "-1"}
        self.case.wait_for("the plan saved, a game period running", lambda: {
            k: (self.case.reg_query() or {}).get(k) for k in expected} == expected)
        self.case.screenshot("started")

        controls = self.restart_and_read_console("2")
        self.assert_shows(controls, {"cmbGameTime": "10", "cmbBreakTime": "25",
                                     "txtMessage": "Homework first", "chkRingEnd": 0,
                                     "chkShutDown": 1, "optOnlyListed": 1, "optEveryday": 1})


class StartupRegistration(ConsoleTest):
    def test_each_press_switches_the_registration(self):
        path = self.case.install() + "\\Quorvane 1.0.exe"
        controls = self.open_console()
        self.assertIsNone(self.registered(), "the first run registers nothing")
        self.assertEqual(controls["chkLaunch"]["checked"], 0, "and the box says so")
        # cleared: a press registers the program and checks the box; checked: a press removes the
        # value and clears the box
        for checked, registered in ((1, path), (0, None)):
            self.click("chkLaunch")
            self.wait_controls("the box at %d" % checked,
                               lambda c: c["chkLaunch"]["checked"] == checked)
            self.assertEqual(self.registered(), registered)
            if registered:
                self.assertEqual(self.case.reg_query(RUN_KEY, types=True)["Hollowmere"], "REG_SZ")

        # The title bar's close box hides the console as Minimize does: the icon stays, and the
        # tray's Start opens the console again, its box showing the Run value as written and
        # deleted from outside meanwhile.
        for value, checked in ((path, 1), (None, 0)):
            self.case.reg_import({"Hollowmere": value}, RUN_KEY)
            self.case.close_window(CONSOLE, syscommand=True)
            self.case.wait_for("the console hidden", lambda: self.case.window(CONSOLE) is None)
            self.assertIsNone(self.proc.poll(), "Quorvane still runs")
            self.assertTrue(self.case.tray().get("icon"), "the icon stays")
            self.assertEqual(self.case.reg_query().get("Mode"), "5")
            self.menu(1)  # Start
            self.answer("abc")
            self.case.wait_window(CONSOLE)
            self.wait_controls("the box at %d" % checked, lambda c: c["chkLaunch"]["checked"] == checked)

    def registered(self):
        return (self.case.reg_query(RUN_KEY) or {}).get("Hollowmere")


if __name__ == "__main__":
    unittest.main(argv=harness.configure(sys.argv), verbosity=2)
