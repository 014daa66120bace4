"""The setup program under Wine (its x86_64 build): a silent installation and the installed
program's first start; removals, silent and by hand, refused while Quorvane runs and complete
after it has ended, keeping or deleting the settings.

    python3 test_install.py --setup "Quorvane 1.0 setup x64.exe" --exe "Quorvane 1.0.exe" \\
        --inspector inspector.exe [--template DIR] [--artifacts DIR] [--display :N] [Install]
"""

import argparse
import filecmp
import os
import re
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Config  # noqa: E402

SOURCE = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
INSTALL_DIR = r"C:\Program Files\Quorvane"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
SHORTCUT = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Quorvane.lnk"
PASSWORD_DIALOG = "Change password"
SETUP_TIMEOUT = 60
UNINSTALLER = "Uninstall.exe"

setup_exe = None


def version():
    """The version as the user sees it, from the one place it is written."""
    with open(os.path.join(SOURCE, "res", "version.h")) as f:
        text = f.read()
    major, minor = (re.search(r"#define QV_VERSION_%s (\d+)" % part, text).group(1)
                    for part in ("MAJOR", "MINOR"))
    return "%s.%s" % (major, minor)


class Install(unittest.TestCase):
    def setUp(self):
        self.case = Config.new_case(self.id().split(".", 1)[1])
        self.addCleanup(self.case.close)
        # The shortcut would otherwise also become a menu entry of the build machine's desktop.
        self.case.env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
        self.folder = self.case.prefix_path(INSTALL_DIR)
        build = os.path.dirname(Config.exe)
        self.sources = {  # installed file: the one it must be a copy of
            self.case.exe_name: Config.exe,
            "sound.wav": os.path.join(build, "sound.wav"),
            "Quorvane.html": os.path.join(build, "Quorvane.html"),
            "quorvane.ico": os.path.join(SOURCE, "res", "quorvane.ico"),
        }

    # -- steps --

    def run_setup(self):
        self.case.note("setup /S")
        rc, _, _ = harness.run_quiet(["wine", setup_exe, "/S"], self.case.env, SETUP_TIMEOUT, "setup")
        self.case.note("setup ended with %d" % rc)
        return rc

    def start_uninstaller(self, silent):
        """Starts the uninstaller that the uninstall entry names; returns its Popen.

        Started plainly, the uninstaller copies itself to the temporary folder, starts the copy
        with `_?=<install folder>` and returns at once. This does the same, so that the process
        waited for is the one that does the work. The folder must come last and unquoted, which
        Wine's command line from separate arguments does not allow (it quotes an argument with
        spaces), so a batch file starts the copy and passes on its exit code."""
        uninstaller = self.case.reg_query(UNINSTALL_KEY)["UninstallString"].strip('"')
        temp = r"C:\windows\temp\qv-uninstall"
        os.makedirs(self.case.prefix_path(temp), exist_ok=True)
        shutil.copy(self.case.prefix_path(uninstaller), self.case.prefix_path(temp))
        batch = temp + r"\uninstall.bat"
        with open(self.case.prefix_path(batch), "w", newline="\r\n") as f:
            f.write('@"%s\\%s"%s _?=%s\n@exit %%errorlevel%%\n'
                    % (temp, UNINSTALLER, " /S" if silent else "", INSTALL_DIR))
        self.case.note("uninstaller%s" % (" /S" if silent else ""))
        return subprocess.Popen(["wine", "cmd", "/c", batch], env=self.case.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def end_uninstaller(self, proc):
        try:
            rc = proc.wait(SETUP_TIMEOUT)
        except subprocess.TimeoutExpired:
            proc.kill()
            raise harness.HarnessError("the uninstaller did not end in %ss" % SETUP_TIMEOUT)
        self.case.note("uninstaller ended with %d" % rc)
        return rc

    def uninstall_silently(self):
        return self.end_uninstaller(self.start_uninstaller(silent=True))

    def uninstaller_window(self, text):
        """Waits for a visible window of the uninstaller with an enabled control that shows this
        text (or a text that contains it); returns it with its controls."""
        def probe():
            _, objs = self.case.inspect("list", "--exe", UNINSTALLER, "--visible")
            for top in (o for o in objs if o["depth"] == 0):
                controls = [o for o in objs if o["top"] == top["hwnd"] and o["depth"] > 0]
                if any(text in c["text"].replace("&", "") and c["enabled"] for c in controls):
                    top["controls"] = controls
                    return top
        return self.case.wait_for("the uninstaller's window with %r" % text, probe)

    def press(self, window, button):
        self.case.note("press %r" % button)
        self.case.inspect("click", "hwnd:" + window["hwnd"], button, "--exe", UNINSTALLER)

    def start_installed_program(self):
        self.case.exe_command = INSTALL_DIR + "\\" + self.case.exe_name
        self.case.exe_cwd = self.folder
        proc = self.case.start()
        self.case.wait_window(PASSWORD_DIALOG)
        return proc

    def end_program(self, proc):
        proc.kill()
        self.case.wait_exit(proc)
        self.case.wait_for("Quorvane's windows to go",
                           lambda: not self.case.top_windows(visible=False))

    def installed_files(self):
        return sorted(os.listdir(self.folder)) if os.path.isdir(self.folder) else []

    # -- checks --

    def assert_installed(self):
        self.assertEqual(self.installed_files(), sorted(list(self.sources) + [UNINSTALLER]))
        for name, source in self.sources.items():
            self.assertTrue(filecmp.cmp(source, os.path.join(self.folder, name), shallow=False),
                            "installed %s is the built one" % name)
        self.assertTrue(os.path.isfile(self.case.prefix_path(SHORTCUT)), "Start-menu shortcut")

        entry = self.case.reg_query(UNINSTALL_KEY)
        self.assertIsNotNone(entry, "Add or Remove Programs entry")
        for name, data in {"DisplayName": "Quorvane", "DisplayVersion": version(),
                           "Publisher": "Hollowmere", "NoModify": "0x1", "NoRepair": "0x1"}.items():
            self.assertEqual(entry.get(name), data, name)
        for name in ("UninstallString", "DisplayIcon"):
            path = entry[name].strip('"')
            self.assertTrue(path.startswith(INSTALL_DIR + "\\"), entry[name])
            self.assertTrue(os.path.isfile(self.case.prefix_path(path)), entry[name])
        total = sum(os.path.getsize(os.path.join(self.folder, n)) for n in self.installed_files())
        self.assertAlmostEqual(int(entry["EstimatedSize"], 16), total / 1024, delta=5,
                               msg="EstimatedSize in KiB")

    def test_silent_install_start_and_uninstall(self):
        self.assertEqual(self.run_setup(), 0)
        self.assert_installed()

        # The installed program starts into its first run.
        proc = self.start_installed_program()
        self.case.screenshot("installed program's first run")

        # While it runs, neither the uninstaller nor a new setup goes ahead.
        self.assertNotEqual(self.uninstall_silently(), 0, "uninstaller while Quorvane runs")
        self.assert_installed()
        self.assertNotEqual(self.run_setup(), 0, "setup while Quorvane runs")
        self.assertIsNone(proc.poll(), "Quorvane still runs")

        self.end_program(proc)
        self.case.reg_import({"Message": "kept"})
        run_value = INSTALL_DIR + "\\" + self.case.exe_name
        self.case.reg_import({"Hollowmere": run_value, "Other": r"C:\other.exe"}, RUN_KEY)

        self.assertEqual(self.uninstall_silently(), 0)
        self.assertFalse(os.path.exists(self.folder), "install folder removed: %s"
                         % self.installed_files())
        self.assertFalse(os.path.exists(self.case.prefix_path(SHORTCUT)), "shortcut removed")
        self.assertIsNone(self.case.reg_query(UNINSTALL_KEY), "uninstall entry removed")
        run = self.case.reg_query(RUN_KEY)
        self.assertNotIn("Hollowmere", run)
        self.assertEqual(run.get("Other"), r"C:\other.exe", "other programs' start-up values stay")
        settings = self.case.reg_query() or {}
        self.assertEqual(settings.get("Message"), "kept", "a silent removal keeps the settings")
        self.assertEqual(settings.get("Made"), "1", "the first run's values stay too")

    def test_uninstall_by_hand_explains_a_refusal_and_can_delete_the_settings(self):
        self.assertEqual(self.run_setup(), 0)
        proc = self.start_installed_program()
        uninstaller = self.start_uninstaller(silent=False)
        box = self.uninstaller_window("Quorvane is running")
        self.case.screenshot("refused while running")
        message = " ".join(c["text"] for c in box["controls"])
        self.assertIn("choose Exit", message)
        self.press(box, "OK")
        self.assertNotEqual(self.end_uninstaller(uninstaller), 0)
        self.assert_installed()

        self.end_program(proc)
        uninstaller = self.start_uninstaller(silent=False)
        self.press(self.uninstaller_window("Uninstall"), "Uninstall")
        question = self.uninstaller_window("Keep Quorvane's settings")
        self.case.screenshot("settings question")
        self.press(question, "No")
        self.press(self.uninstaller_window("Close"), "Close")
        self.assertEqual(self.end_uninstaller(uninstaller), 0)
        self.assertFalse(os.path.exists(self.folder), "install folder removed")
        self.assertIsNone(self.case.reg_query(UNINSTALL_KEY), "uninstall entry removed")
        self.assertIsNone(self.case.reg_query(harness.APP_KEY), "settings deleted")
        self.assertIsNone(self.case.reg_query(r"HKCU\Software\Hollowmere"), "and their empty parent")


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--setup", required=True, help="the x86_64 setup program")
    opts, rest = parser.parse_known_args(sys.argv[1:])
    setup_exe = os.path.abspath(opts.setup)
    unittest.main(argv=harness.configure([sys.argv[0]] + rest), verbosity=2)
