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
PROFILE_LIST = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\ProfileList"
SHORTCUT = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Quorvane.lnk"
PASSWORD_DIALOG = "Change password"
SETUP_TIMEOUT = 60
UNINSTALLER = "Uninstall.exe"
SETTINGS = r"Software\Hollowmere\Tarnwell"
LOGGED_ON, NOT_LOGGED_ON = "S-1-5-21-7-7-7-1001", "S-1-5-21-7-7-7-1002"

setup_exe = None


def version():
    """The version as the user sees it, from the one place it is written."""
    with open(os.path.join(SOURCE, "res", "version.h")) as f:
        return ".".join(re.findall(r"#define QV_VERSION_(?:MAJOR|MINOR) (\d+)", f.read()))


class Install(harness.CaseTest):
    def setUp(self):
        super().setUp()
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

    def run_setup(self):
        return harness.run_quiet(["wine", setup_exe, "/S"], self.case.env, SETUP_TIMEOUT, "setup")[0]

    def start_uninstaller(self, silent):
        """Starts the uninstaller that the uninstall entry names; returns its Popen. Started
        plainly, it copies itself to the temporary folder, starts the copy with `_?=<install
        folder>` and returns at once; this does the same, so that the process waited for does the
        work. The folder must come last, unquoted, so a batch file starts the copy."""
        uninstaller = self.case.reg_query(UNINSTALL_KEY)["UninstallString"].strip('"')
        temp = r"C:\windows\temp\qv-uninstall"
        os.makedirs(self.case.prefix_path(temp), exist_ok=True)
        shutil.copy(self.case.prefix_path(uninstaller), self.case.prefix_path(temp))
        batch = temp + r"\uninstall.bat"
        with open(self.case.prefix_path(batch), "w", newline="\r\n") as f:
            f.write('@"%s\\%s"%s _?=%s\n@exit %%errorlevel%%\n'
                    % (temp, UNINSTALLER, " /S" if silent else "", INSTALL_DIR))
        return subprocess.Popen(["wine", "cmd", "/c", batch], env=self.case.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def end_uninstaller(self, proc):
        return self.case.wait_exit(proc, SETUP_TIMEOUT)

    def uninstall_silently(self):
        return self.end_uninstaller(self.start_uninstaller(silent=True))

    def uninstaller_window(self, text):
        """Waits for a visible window of the uninstaller with an enabled control that shows this
        text (or a text that contains it); returns it with its controls."""
        return self.case.wait_for("the uninstaller's window with %r" % text, lambda: next((
            w for w in self.case.windows(True, True, "--exe", UNINSTALLER)
            if any(text in c["text"].replace("&", "") and c["enabled"] for c in w["controls"])),
            None))

    def press(self, window, button):
        self.case.click("hwnd:" + window["hwnd"], button, "--exe", UNINSTALLER)

    def start_installed_program(self):
        self.case.exe_command, self.case.exe_cwd = INSTALL_DIR + "\\" + self.case.exe_name, self.folder
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

    def test_install_refusals_while_running_and_both_removals(self):
        self.assertEqual(self.run_setup(), 0)
        self.assert_installed()
        proc = self.start_installed_program()
        self.case.screenshot("installed program's first run")

        # While Quorvane runs, neither a silent removal nor a new setup goes ahead, and a removal
        # by hand says why.
        self.assertNotEqual(self.uninstall_silently(), 0, "uninstaller while Quorvane runs")
        self.assertNotEqual(self.run_setup(), 0, "setup while Quorvane runs")
        uninstaller = self.start_uninstaller(silent=False)
        box = self.uninstaller_window("Quorvane is running")
        self.case.screenshot("refused while running")
        self.assertIn("choose Exit", " ".join(c["text"] for c in box["controls"]))
        self.press(box, "OK")
        self.assertNotEqual(self.end_uninstaller(uninstaller), 0)
        self.assert_installed()
        self.assertIsNone(proc.poll(), "Quorvane still runs")

        # Once it has ended, a silent removal takes everything but the settings and the other
        # programs' start-up values.
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
        self.assertEqual((settings.get("Message"), settings.get("Made")), ("kept", "1"),
                         "a silent removal keeps the settings")

        # Installed again and removed by hand, answering No to keeping the settings: they go in
        # every profile, of an account logged on (its hive under HKEY_USERS) or not (its
        # NTUSER.DAT, made here from a key of this account).
        self.assertEqual(self.run_setup(), 0)
        self.assert_installed()
        hive = self.other_profiles()
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
        self.assertIsNone(self.case.reg_query(r"HKU\%s\Software\Hollowmere" % LOGGED_ON),
                          "a logged-on account's settings deleted")
        # The other profile's hive was loaded, cleaned and unloaded again. Wine does not write an
        # unloaded hive back to its file (Windows does), so only its unloading can be seen here.
        self.assertIsNone(self.case.reg_query(r"HKU\Quorvane uninstall"), "no hive left loaded")
        self.assertTrue(os.path.isfile(hive), "the profile's NTUSER.DAT stays")

    def other_profiles(self):
        """Two more accounts with Quorvane's settings; returns the path of the NTUSER.DAT of the
        one that is not logged on."""
        self.case.reg_import({"Message": "logged on"},
                             r"HKEY_USERS\%s\%s\Controls" % (LOGGED_ON, SETTINGS))
        source = r"HKCU\Software\QvProfile"
        self.case.reg_import({"Message": "not logged on"}, r"%s\%s\Controls" % (source, SETTINGS))
        self.case.reg_import({"Kept": "yes"}, source + r"\Software\OtherProgram")
        folder = r"C:\users\second"
        os.makedirs(self.case.prefix_path(folder), exist_ok=True)
        self.case.inspect("savehive", r"Software\QvProfile", folder + r"\NTUSER.DAT")
        harness.run_quiet(["wine", "reg", "delete", source, "/f"], self.case.env, SETUP_TIMEOUT)
        for sid, profile in ((LOGGED_ON, r"C:\users\first"), (NOT_LOGGED_ON, folder)):
            self.case.reg_import({"ProfileImagePath": profile}, PROFILE_LIST + "\\" + sid)
        return self.case.prefix_path(folder + r"\NTUSER.DAT")


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--setup", required=True, help="the x86_64 setup program")
    opts, rest = parser.parse_known_args(sys.argv[1:])
    setup_exe = os.path.abspath(opts.setup)
    unittest.main(argv=harness.configure([sys.argv[0]] + rest), verbosity=2)
