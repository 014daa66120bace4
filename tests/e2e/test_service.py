"""The guard service under Wine, installed by the x86_64 setup: a running plan ended from outside
(as Task Manager's End task does) comes back within seconds where it stood, whatever the child
wrote into the stored run state; Exit with the password ends it for good; bad clients of the pipe
and a second start change nothing; a silent removal takes the service away.

    python3 test_service.py --setup "Quorvane 1.0 setup x64.exe" --exe ... --inspector ... [Guarded]
"""

import argparse
import os
import shutil
import sys
import threading
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from console import LOCK_SCREEN, ConsoleTest, lock_screen  # noqa: E402

INSTALL_DIR = r"C:\Program Files\Quorvane"
SERVICE = "Quorvane Guard"
SERVICE_KEY = r"HKLM\System\CurrentControlSet\Services\Quorvane Guard"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
STATE_FILE = r"C:\ProgramData\Quorvane\guard.state"
# Seconds from the end to the lock screen shown again: far less than the resume minute of a
# start by hand. How fast it comes back is a figure (bench/guard.py), not asserted here.
BACK_WITHIN = 10
SLACK = 2  # a reading of the lock screen takes up to about a second on each side

setup_exe = None


class ServiceCase(ConsoleTest):
    def setUp(self):
        super().setUp()
        # Another program, as on any desktop: Wine ends its services once no program runs.
        self.case.spawn("window", "Other program", "600")
        rc = harness.run_quiet(["wine", setup_exe, "/S"], self.case.env, 60, "setup")[0]
        self.assertEqual(rc, 0, "silent setup")
        self.case.exe_command = INSTALL_DIR + "\\" + self.case.exe_name
        self.case.exe_cwd = self.case.prefix_path(INSTALL_DIR)
        self.addCleanup(self.keep_guard_log)

    def keep_guard_log(self):
        log = self.case.prefix_path(r"C:\ProgramData\Quorvane\guard.log")
        if os.path.exists(log):
            shutil.copy(log, self.case.dir)

    def service_runs(self):
        out = harness.run_quiet(["wine", "sc", "query", SERVICE], self.case.env, 30)[1]
        return "RUNNING" in out

    def quorvanes(self):
        """Process ids of the program's copies, the service among them."""
        rc, found = self.case.inspect("procs", "--exe", self.case.exe_name, check=False)
        return [p["pid"] for p in found] if rc == 0 else []

    def start_plan_in_break(self, minutes="5"):
        self.open_console()
        self.start_plan("optEveryday", [("cmbGameTime", "0"), ("cmbBreakTime", minutes)])
        first = self.case.wait_for("a break on the lock screen", lambda: (self.time_left() or (0,))[0])
        # past the break's first tick, which tells the guard of it
        self.case.wait_for("the break counting down", lambda: (self.time_left() or (first,))[0] < first - 1)

    def end_task(self):
        """Ends the program as Task Manager does; returns (seconds left before, when it ended)."""
        left, at = self.case.wait_for("a reading", self.time_left)
        ended = self.case.inspect("end", LOCK_SCREEN, "--exe", self.case.exe_name)[1][0]
        self.case.note("ended pid %d with %d s left" % (ended["pid"], left))
        return left, at, ended["at"]

    def assert_back(self, left, at, ended):
        again, again_at = self.case.wait_for("the lock screen back", self.time_left, timeout=15, interval=0.05)
        self.case.note("back after %.1f s with %d s left" % (again_at - ended, again))
        self.assertLessEqual(again_at - ended, BACK_WITHIN, "the lock screen came back late")
        self.assertLessEqual(abs(again - left), SLACK, "the count-down goes on from where it stood")
        self.assertEqual((self.case.reg_query() or {}).get("Mode"), "2")


class Guarded(ServiceCase):
    def test_end_task_brings_the_plan_back_whatever_the_child_wrote_and_bad_clients_change_nothing(self):
        self.assertTrue(self.case.wait_for("the service running", self.service_runs))
        self.assertIn("/guard", self.case.reg_query(SERVICE_KEY)["ImagePath"])
        self.assertEqual(self.case.reg_query(RUN_KEY).get("Hollowmere"), INSTALL_DIR + "\\" + self.case.exe_name)
        self.start_plan_in_break()
        self.assert_back(*self.end_task())

        # The child writes another mode and a long break into the stored run state first.
        self.case.reg_import({"Mode": "5", "FinalTime": "99999"})
        self.assert_back(*self.end_task())
        self.case.screenshot("back after the child's edit")

        # Garbage, a line of 1 MB, a client that writes nothing, a hundred at once; the guard's
        # record deleted; and a second start in the session, which ends at once.
        self.case.inspect("pipe", "running 5 0 0 99999\x01junk")
        self.case.inspect("pipe", "x", "--size", 1 << 20)
        silent = threading.Thread(target=self.case.inspect, args=("pipe", "", "--hold", 5))
        silent.start()
        self.case.inspect("pipe", "stopped", "--clients", 100)
        os.remove(self.case.prefix_path(STATE_FILE))
        second = self.case.start()
        self.assertEqual(self.case.wait_exit(second), 0)
        silent.join()
        self.assertEqual(len([w for w in self.case.windows() if w["text"] == LOCK_SCREEN]), 1)
        self.assertTrue(self.service_runs())
        self.assert_back(*self.end_task())


class ExitAndRemove(ServiceCase):
    def test_exit_with_the_password_is_final_and_a_silent_removal_takes_the_service(self):
        self.open_console()
        self.start_plan("optEverything", [("cmbGameTime", "5"), ("cmbBreakTime", "5")])
        self.case.wait_for('"Mode" = "2"', lambda: (self.case.reg_query() or {}).get("Mode") == "2")
        self.case.inspect("tray-click", "right")
        self.case.wait_for("the menu", lambda: any(w["class"] == "#32768" for w in self.case.windows()))
        self.case.inspect("menu-keys", "down", "down", "down", "down", "enter")  # Stop, Help, About, Exit
        self.case.wait_window("Password request")
        self.case.type("Password request", "class:Edit:1", "abc")
        self.case.click("Password request", "Enter")
        self.case.wait_exit(self.proc)
        self.case.holds("no Quorvane started again", lambda: not self.case.windows(False), duration=10)
        self.assertEqual(len(self.quorvanes()), 1, "the service alone")

        # The uninstaller in place: the folder must come last, unquoted, so a batch file starts it.
        batch = r"C:\windows\temp\uninstall.bat"
        with open(self.case.prefix_path(batch), "w", newline="\r\n") as f:
            f.write('@"%s\\Uninstall.exe" /S _?=%s\n@exit %%errorlevel%%\n' % (INSTALL_DIR, INSTALL_DIR))
        rc = harness.run_quiet(["wine", "cmd", "/c", batch], self.case.env, 60, "uninstaller")[0]
        self.assertEqual(rc, 0)
        self.assertIsNone(self.case.reg_query(SERVICE_KEY), "the service removed")
        self.assertEqual(self.quorvanes(), [], "the service's process ended")
        self.assertNotIn("Hollowmere", self.case.reg_query(RUN_KEY) or {})


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--setup", required=True, help="the x86_64 setup program")
    opts, rest = parser.parse_known_args(sys.argv[1:])
    setup_exe = os.path.abspath(opts.setup)
    unittest.main(argv=harness.configure([sys.argv[0]] + rest), verbosity=2)
