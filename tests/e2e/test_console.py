"""The console window of the Windows program under Wine: its layout at two display scalings, the
mode options enabling their lists, settings saved from the real controls and shown again after a
restart, and the "Launch on Windows Startup" registration.

The console is reached the way a parent first meets it: the first run's password dialog shows it.

    python3 test_console.py --exe "Quorvane 1.0.exe" --inspector inspector.exe \\
        [--template DIR] [--artifacts DIR] [--display :N] [unittest arguments, e.g. ConsoleLayout]
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Config  # noqa: E402
from console import (ALL_MODE_LISTS, CLIENT, CONSOLE, LAYOUT, LIST_ITEMS, MODE_LISTS,  # noqa: E402
                     caption, complete_first_run, expected_rect, find_controls, px)

RUN_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run"


class ConsoleTest(unittest.TestCase):
    def setUp(self):
        self.case = Config.new_case(self.id().split(".", 1)[1])
        self.addCleanup(self.case.close)

    def open_console(self):
        """First run through to the console; returns its controls by name."""
        self.proc, _ = complete_first_run(self.case)
        self.dpi = self.case.screen()["dpiX"]
        return self.controls()

    def controls(self, visible=True):
        console = self.case.window(CONSOLE, visible)
        self.assertIsNotNone(console, "the console window exists")
        found = find_controls(console, self.dpi)
        self.assertEqual(sorted(set(n for n, *_ in LAYOUT) - set(found)), [],
                         "controls not found at their places")
        return found

    def click(self, controls, name):
        """A real click (through the input queue) at the middle of the control."""
        self.case.click(CONSOLE, "hwnd:" + controls[name]["hwnd"], "--input")

    def wait_controls(self, what, probe):
        """Waits until probe(controls) holds; returns the controls."""
        def check():
            c = self.controls()
            return c if probe(c) else None
        return self.case.wait_for(what, check)


class ConsoleLayout(ConsoleTest):
    def check_layout(self, dpi):
        console = self.case.window(CONSOLE)
        self.assertEqual(console["text"], CONSOLE)
        client = console["client"]
        self.assertLessEqual(abs(client["w"] - px(CLIENT[0], dpi)), 1, "client width")
        self.assertLessEqual(abs(client["h"] - px(CLIENT[1], dpi)), 1, "client height")

        children = [c for c in console["controls"] if c["depth"] == 1]
        found = find_controls(console, dpi)
        for name, kind, frame, text, *_ in LAYOUT:
            with self.subTest(control=name):
                self.assertIn(name, found, "a %s at %s px" % (kind, expected_rect(name, dpi)))
                c = found[name]
                if text is not None and kind not in ("C", "T", "LB"):
                    self.assertEqual(caption(c), text)
                self.assertTrue(c["visible"])
                # first-run plan: Changing mode, so only its lists take input
                self.assertEqual(c["enabled"],
                                 name not in ALL_MODE_LISTS - MODE_LISTS["optEveryday"])
                if name in LIST_ITEMS:
                    self.assertEqual(c["items"], LIST_ITEMS[name])
        self.assertEqual(len(children), len(found), "no other controls: %s" % sorted(
            (c["class"], c["text"]) for c in children if c["hwnd"] not in
            {f["hwnd"] for f in found.values()}))
        self.assertEqual(len(found), len(LAYOUT), "every control found")
        self.assertGreaterEqual(found["lblPassword"]["pos"]["y"], client["h"],
                                "the password label lies below the client area")
        self.check_no_overlap(found, dpi, client)

    def check_no_overlap(self, found, dpi, client):
        """Controls overlap no more than their places do (a few places share a pixel row), and
        each lies inside its frame; the frames lie inside the client area."""
        def box(c):
            p = c["pos"]
            return p["x"], p["y"], p["x"] + p["w"], p["y"] + p["h"]

        def overlap(a, b):
            return max(0, min(min(a[2], b[2]) - max(a[0], b[0]), min(a[3], b[3]) - max(a[1], b[1])))

        def planned(name):
            x, y, w, h = expected_rect(name, dpi)
            return x, y, x + w, y + h

        shown = [n for n, kind, *_ in LAYOUT if kind != "F" and n != "lblPassword"]
        for i, a in enumerate(shown):
            for b in shown[i + 1:]:
                allowed = overlap(planned(a), planned(b)) + 1
                self.assertLessEqual(overlap(box(found[a]), box(found[b])), allowed,
                                     "%s and %s overlap" % (a, b))
        for name, kind, frame, *_ in LAYOUT:
            inner = box(found[name])
            outer = box(found[frame]) if frame else (0, 0, client["w"], client["h"])
            if name == "lblPassword":
                continue
            self.assertTrue(outer[0] <= inner[0] and outer[1] <= inner[1] and
                            inner[2] <= outer[2] and inner[3] <= outer[3],
                            "%s inside %s" % (name, frame or "the client area"))

    def test_layout_at_96_dpi(self):
        self.assertEqual(self.case.screen()["dpiX"], 96, "the prefix's default resolution")
        complete_first_run(self.case)
        self.case.screenshot("console at 96 dpi")
        self.check_layout(96)

    def test_layout_at_150_percent(self):
        self.case.set_dpi(144)
        screen = self.case.screen()
        if screen["dpiX"] != 144:
            self.skipTest("this Wine does not take LogPixels (%s dpi)" % screen["dpiX"])
        complete_first_run(self.case)
        self.case.screenshot("console at 144 dpi")
        self.check_layout(144)


class ModeSelection(ConsoleTest):
    def enabled_lists(self, controls):
        return {n for n in ALL_MODE_LISTS if controls[n]["enabled"]}

    def test_each_mode_enables_its_lists_only(self):
        controls = self.open_console()
        self.assertEqual(self.enabled_lists(controls), MODE_LISTS["optEveryday"])
        texts = {n: controls[n]["text"] for n in ALL_MODE_LISTS}
        for option in ("optOneTime", "optBedTime", "optEveryday", "optBedTime"):
            with self.subTest(option=option):
                self.click(controls, option)
                # the click's handler sets the lists in the same event that selects the option
                controls = self.wait_controls("%s to be selected" % option,
                                              lambda c: c[option].get("checked") == 1)
                self.assertEqual(self.enabled_lists(controls), MODE_LISTS[option])
                self.assertEqual([o for o in MODE_LISTS if controls[o].get("checked")], [option],
                                 "one option selected")
                # the options, labels and the shutdown box stay usable; the values stay
                for name in list(MODE_LISTS) + ["chkShutDown", "Label12", "Label15"]:
                    self.assertTrue(controls[name]["enabled"], name)
                self.assertEqual({n: controls[n]["text"] for n in ALL_MODE_LISTS}, texts)
        self.case.screenshot("bed time mode")
        # choosing a mode saves nothing by itself
        self.assertEqual(self.case.reg_query().get("Made"), "1")


class SaveThroughControls(ConsoleTest):
    def restart_and_read_console(self, mode):
        """Ends the program, starts it again and returns its console's controls: it loads them
        hidden, as every start after the first run does."""
        self.case.stop()
        self.case.start()
        self.case.wait_tray_icon()
        self.case.wait_for('"Mode" = "%s"' % mode,
                           lambda: self.case.reg_query().get("Mode") == mode)
        def loaded():
            console = self.case.window(CONSOLE, visible=False)
            found = find_controls(console, self.dpi) if console else {}
            return found if len(found) == len(LAYOUT) and found["cmbGameTime"]["items"] else None
        controls = self.case.wait_for("the console to load its settings", loaded)
        self.assertFalse(self.case.window(CONSOLE), "the console stays hidden")
        return controls

    def test_start_saves_the_plan_and_a_restart_shows_it(self):
        controls = self.open_console()
        self.case.pick(CONSOLE, "hwnd:" + controls["cmbGameTime"]["hwnd"], "10")
        # the lists also take a value typed into their box
        self.case.type(CONSOLE, "hwnd:" + controls["cmbBreakTime"]["hwnd"], "25")
        self.case.type(CONSOLE, "hwnd:" + controls["txtMessage"]["hwnd"], "Homework first")
        self.click(controls, "chkRingEnd")       # checked at first: cleared
        self.click(controls, "chkShutDown")      # cleared at first: checked
        self.click(controls, "optOnlyListed")
        self.wait_controls("the clicks to take effect", lambda c: (
            c["chkShutDown"]["checked"] == 1 and c["chkRingEnd"]["checked"] == 0 and
            c["optOnlyListed"]["checked"] == 1))
        self.case.screenshot("plan set")
        self.click(controls, "Command1")
        expected = {"Made": "1", "GameTime": "10", "BreakTime": "25", "Message": "Homework first",
                    "SoundEnd": "0", "SoundBegin": "1", "ShutDown": "1", "Allowance": "1",
                    "Mode": "2"}
        values = self.case.wait_for("the plan to be saved", lambda: (
            lambda v: v if {k: v.get(k) for k in expected} == expected else None)(
                self.case.reg_query() or {}))
        self.case.screenshot("started")
        self.assertEqual(values.get("GameTimeOn"), "-1", "a game period runs")

        controls = self.restart_and_read_console("2")
        self.assertEqual(controls["cmbGameTime"]["text"], "10")
        self.assertEqual(controls["cmbBreakTime"]["text"], "25")
        self.assertEqual(controls["txtMessage"]["text"], "Homework first")
        self.assertEqual(controls["chkRingEnd"]["checked"], 0)
        self.assertEqual(controls["chkShutDown"]["checked"], 1)
        self.assertEqual(controls["optOnlyListed"]["checked"], 1)
        self.assertEqual(controls["optEveryday"]["checked"], 1)

    def test_close_saves_and_the_next_start_shows_the_console_as_left(self):
        controls = self.open_console()
        self.click(controls, "optBedTime")
        controls = self.wait_controls("Bed time mode", lambda c: c["cmbStartH"]["enabled"])
        self.case.pick(CONSOLE, "hwnd:" + controls["cmbStartH"]["hwnd"], "7")
        self.case.pick(CONSOLE, "hwnd:" + controls["cmbBedM"]["hwnd"], "45")
        self.click(controls, "chkShowTime")
        self.case.type(CONSOLE, "hwnd:" + controls["txtMessage"]["hwnd"], "Lights out")
        self.wait_controls("the box to clear", lambda c: c["chkShowTime"]["checked"] == 0)
        self.click(controls, "Command2")
        self.case.wait_exit(self.proc)
        values = self.case.reg_query()
        expected = {"Made": "3", "StartTimeH": "7", "BedTimeM": "45", "ShowTime": "0",
                    "Message": "Lights out", "Mode": "5", "GameTime": "90"}
        self.assertEqual({k: values.get(k) for k in expected}, expected)

        controls = self.restart_and_read_console("5")
        self.assertEqual(controls["optBedTime"]["checked"], 1)
        self.assertEqual({n for n in ALL_MODE_LISTS if controls[n]["enabled"]},
                         MODE_LISTS["optBedTime"])
        self.assertEqual(controls["cmbStartH"]["text"], "7")
        self.assertEqual(controls["cmbBedM"]["text"], "45")
        self.assertEqual(controls["chkShowTime"]["checked"], 0)
        self.assertEqual(controls["txtMessage"]["text"], "Lights out")


class StartupRegistration(ConsoleTest):
    def registered(self):
        return (self.case.reg_query(RUN_KEY) or {}).get("Hollowmere")

    def test_each_press_switches_the_registration(self):
        folder = self.case.install()
        controls = self.open_console()
        self.assertEqual(controls["chkLaunch"]["checked"], 1, "checked after the first run")
        self.assertIsNone(self.registered(), "the first run registers nothing")
        path = folder + "\\Quorvane 1.0.exe"

        # checked: the press removes (nothing here) and clears the box
        self.click(controls, "chkLaunch")
        self.wait_controls("the box to clear", lambda c: c["chkLaunch"]["checked"] == 0)
        self.assertIsNone(self.registered())
        # cleared: the press registers the program and checks the box
        self.click(controls, "chkLaunch")
        self.wait_controls("the box to be checked", lambda c: c["chkLaunch"]["checked"] == 1)
        self.assertEqual(self.registered(), path)
        self.assertEqual(self.case.reg_query(RUN_KEY, types=True).get("Hollowmere"), "REG_SZ")
        self.case.screenshot("registered")
        # checked again: the value goes
        self.click(controls, "chkLaunch")
        self.wait_controls("the box to clear", lambda c: c["chkLaunch"]["checked"] == 0)
        self.assertIsNone(self.registered())


if __name__ == "__main__":
    unittest.main(argv=harness.configure(sys.argv), verbosity=2)
