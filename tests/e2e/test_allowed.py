"""Allowed games and programs, on the Windows program under Wine: a stored list shown by the
console and the lock screen with the programs' icons; a program started there by a double-click
has the screen until it or game time ends; the list edited through the console's dialogs is
stored at once. A stand-in game (test_game.cpp) logs its start, command line and clicks.

    python3 test_allowed.py --exe ... --inspector ... --test-game test_game.exe [unittest arguments]
"""

import os
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Config  # noqa: E402
from console import CONSOLE, LOCK_SCREEN, ConsoleTest  # noqa: E402

LIST_KEY = harness.APP_KEY + r"\ListOfGames"
PATH_KEY = harness.APP_KEY + r"\PathOfGames"
ADD_DIALOG = "Add games and program"
EDIT_DIALOG = "Edit name"
WS_MAXIMIZE = 0x01000000
TAB, ESC, VK_A = 0x09, 0x1B, 0x41
KEY_DOWNS = (0x100, 0x104)


def install_game(case, path, delay_ms=0, window=True):
    """Copies the stand-in game to that C: path; with a delay its window comes that much later
    (without a window it ends then)."""
    target = case.prefix_path(path)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    shutil.copy(Config.test_game, target)
    if delay_ms or not window:
        with open(os.path.splitext(target)[0] + ".ini", "w") as f:
            f.write("[game]\r\ndelay=%d\r\nwindow=%d\r\n" % (delay_ms, window))


def xdotool(case, *args):
    return subprocess.run(["xdotool"] + [str(a) for a in args], env=case.env, capture_output=True,
                          text=True, timeout=60).stdout.split()


def focus(case, title):
    """Gives the X focus to the window of that title (keys reach Wine only through it)."""
    found = xdotool(case, "search", "--onlyvisible", "--name", "^%s$" % title)
    if found:
        xdotool(case, "windowfocus", "--sync", found[-1])


def game_log(case, path):
    """The lines the stand-in game at that path has written, split at tabs."""
    log = os.path.splitext(case.prefix_path(path))[0] + ".log"
    if not os.path.exists(log):
        return []
    with open(log, encoding="latin-1") as f:
        return [line.split("\t") for line in f.read().splitlines()]


def seed_list(case, entries):
    """Stores (name, path) entries the way the program stores its list."""
    case.reg_import({"Name%d" % i: n for i, (n, _) in enumerate(entries, 1)}, LIST_KEY)
    case.reg_import({"Path%d" % i: p for i, (_, p) in enumerate(entries, 1)}, PATH_KEY)


def stored_list(case):
    """(name, path) entries as stored now, in the order of their numbers."""
    names, paths = case.reg_query(LIST_KEY) or {}, case.reg_query(PATH_KEY) or {}
    return [(names.get("Name%d" % i), paths.get("Path%d" % i))
            for i in range(1, max(len(names), len(paths)) + 1)]


def lock_screen_list(case):
    """(the lock screen, its list view) while the list is shown, else None."""
    lock = case.window(LOCK_SCREEN)
    views = [c for c in (lock or {}).get("controls", []) if c["class"] == "SysListView32"]
    return (lock, views[0]) if views and views[0]["visible"] else None


def double_click_item(case, view, index):
    """Double-clicks an item of the lock screen's list at its icon, as a user does; returns the
    Unix time of the click."""
    icon, client = view["icons"][index], view["client"]
    return case.act("click", LOCK_SCREEN, "hwnd:" + view["hwnd"], "--input", "--double", "--at",
                    "%d,%d" % (icon["x"] + icon["w"] // 2 - client["x"],
                               icon["y"] + icon["h"] // 2 - client["y"]))[0]["at"]


def green_share(case, rect):
    """Share of the screen's pixels in rect that are the stand-in game's icon green."""
    geometry = "%dx%d+%d+%d" % (rect["w"], rect["h"], rect["x"], rect["y"])
    ppm = subprocess.run(["import", "-display", case.display, "-window", "root", "-crop", geometry,
                          "-depth", "8", "ppm:-"], capture_output=True, timeout=30).stdout
    # "P6\n<w> <h>\n255\n" and then the pixels, three bytes each
    pixels = ppm.split(b"\n", 3)[3]
    rgb = [pixels[i:i + 3] for i in range(0, len(pixels) - 2, 3)]
    return sum(1 for p in rgb if p == b"\x00\xff\x00") / max(len(rgb), 1)


class AllowedTest(ConsoleTest):
    def setUp(self):
        if not Config.test_game:
            self.skipTest("needs --test-game")
        super().setUp()
        self.folder = self.case.install()


class LaunchFromLockScreen(AllowedTest):
    GAME = r"C:\Program Files\Test Game\game.exe"
    DECOY = r"C:\Program.exe"  # what an unquoted command line would start
    GAME_WINDOW = "Test game game"

    def game_window(self):
        _, objs = self.case.inspect("list", "--exe", "game.exe", "--visible", "--top")
        return next((w for w in objs if w["text"] == self.GAME_WINDOW), None)

    def game_pids(self):
        _, objs = self.case.inspect("procs", "--exe", "game.exe", check=False)
        return {o["pid"] for o in objs}

    def launch(self, view):
        """Starts the game from its item; returns its window."""
        double_click_item(self.case, view, 0)
        return self.case.wait_for("the game's window", self.game_window)

    def test_a_listed_program_gets_the_screen_until_it_ends_or_game_time_does(self):
        install_game(self.case, self.GAME, delay_ms=1500)  # Quorvane waits for a late window
        install_game(self.case, self.DECOY)
        seed_list(self.case, [("Test game", self.GAME), ("Gone", r"C:\Missing\nothing.exe")])
        self.open_console()
        self.assertEqual(self.controls["lstAllowed"]["items"], ["Test game", "Gone"])

        self.click("optOnlyListed")
        self.pick("cmbGameTime", "1")
        self.pick("cmbBreakTime", "5")
        self.click("Command1")  # Start
        game_ends = time.monotonic() + 60
        _, view = self.case.wait_for("the lock screen with its list",
                                       lambda: lock_screen_list(self.case))
        self.case.screenshot("game time")
        self.assertEqual((view["count"], view["items"]), (2, ["Test game", "Gone"]))
        self.assertTrue(all(i >= 0 for i in view["images"]), view["images"])
        self.assertGreater(green_share(self.case, view["icons"][0]), 0.5, "the game's own icon")
        self.assertLess(green_share(self.case, view["icons"][1]), 0.05, "a default icon")

        # A program that cannot be started leaves the lock screen as it was.
        double_click_item(self.case, view, 1)
        self.case.holds("the lock screen usable", lambda: self.case.window(LOCK_SCREEN)["enabled"],
                        duration=1.5)

        # Started, quoted, from Quorvane's folder; its window, late but waited for, takes input.
        game = self.launch(view)
        started = game_log(self.case, self.GAME)[0]
        self.assertEqual(started[0], "started")
        self.assertEqual(started[2:], [self.folder, '"%s"' % self.GAME])
        self.assertEqual(game_log(self.case, self.DECOY), [], "the decoy never starts")
        self.case.wait_for("the game in front, maximized, the lock screen disabled", lambda: (
            self.case.inspect("foreground")[1][0]["hwnd"] == game["hwnd"] and
            int(self.game_window()["style"], 16) & WS_MAXIMIZE and
            not self.case.window(LOCK_SCREEN)["enabled"]))
        self.assertTrue(self.game_window()["enabled"])
        # Under load Wine may draw the maximized window where it stood before for a moment, so
        # that real input lands beside the button: a click that did not arrive is given again.
        for attempt in range(3):
            self.case.click(self.GAME_WINDOW, "Play", "--input", "--exe", "game.exe")
            try:
                self.case.wait_for("the click", lambda: ["clicked"] in game_log(self.case, self.GAME),
                                   timeout=5)
                break
            except harness.HarnessError:
                if attempt == 2:
                    raise
                self.case.note("the click did not arrive; again")
        self.case.screenshot("game running")

        # The game ends by itself: the lock screen takes over again within about a second.
        unlocked = self.case.watch(LOCK_SCREEN, 15, False, "--enabled")
        self.case.close_window("hwnd:" + game["hwnd"])
        ended = self.case.wait_for("the game's end", lambda: [
            float(line[1]) for line in game_log(self.case, self.GAME) if line[0] == "ended"])[0]
        back = unlocked.result() - ended
        self.case.note("the lock screen enabled %.2f s after the game ended" % back)
        self.assertLess(back, 1.5, "the lock screen is back")

        # Started again, it is ended with game time; the break locks the lock screen.
        game = self.launch(lock_screen_list(self.case)[1])
        lines = len(game_log(self.case, self.GAME))
        pid = int(game_log(self.case, self.GAME)[-1][1])
        self.assertIn(pid, self.game_pids())
        self.case.wait_for("the end of game time", lambda: pid not in self.game_pids(),
                           timeout=game_ends - time.monotonic() + 15)
        self.case.wait_for("the lock screen locked for the break", lambda: (
            self.case.window(LOCK_SCREEN) or {}).get("enabled") and not lock_screen_list(self.case))
        self.case.screenshot("break")
        self.assertEqual(game_log(self.case, self.GAME)[lines:], [], "ended from outside")

    def test_task_switch_keys_stay_blocked_while_a_launch_waits(self):
        """The launcher waits about 5 s for a window that never comes, holding the program's window
        thread. Under Wine a key is read from X by the thread of the focused window and then waits
        for each hook's answer: with another program's window in focus, keys go on reaching the
        witness during the launch only if the program's hook answers from a thread of its own."""
        install_game(self.case, self.GAME, delay_ms=120000, window=False)
        seed_list(self.case, [("Test game", self.GAME)])
        self.case.spawn("window", "Other program", "900")
        self.open_console()
        spy = self.case.spawn("keys", "900")  # installed before the program's hook: a witness
        self.click("optOnlyListed")
        self.pick("cmbGameTime", "1")
        self.pick("cmbBreakTime", "5")
        self.click("Command1")
        _, view = self.case.wait_for("the lock screen with its list", lambda: lock_screen_list(self.case))
        keys = lambda since, vks: [k for k in spy.lines if k.get("vk") in vks and k.get("msg") in KEY_DOWNS
                                   and k["at"] >= since]

        begin = double_click_item(self.case, view, 0)
        self.case.wait_for("the game started", lambda: game_log(self.case, self.GAME))
        focus(self.case, "Other program")  # set free while the program comes up
        xdotool(self.case, "key", "alt+Tab", "ctrl+Escape", "a")
        # then as fast as xdotool types
        xdotool(self.case, "key", "--delay", "0", *["alt+Tab", "ctrl+Escape", "a", "alt+Escape", "b"] * 20)
        self.case.wait_for("the lock screen locked again", lambda: (
            lambda lock: lock and lock["enabled"] and
            self.case.inspect("foreground")[1][0]["hwnd"] == lock["hwnd"])(self.case.window(LOCK_SCREEN)),
            timeout=15)
        letters = self.case.wait_for("the letters at the witness", lambda: (
            lambda a: a if len(a) == 21 else None)(keys(begin, {VK_A})))
        self.case.note("the first letter reached the witness %.2f s after the double-click"
                       % (letters[0]["at"] - begin))
        self.assertLess(letters[0]["at"] - begin, 4.5, "the keys came while the launch waited")
        self.assertEqual(keys(begin, {TAB, ESC}), [], "a task-switch key got through")

        # The hook is still in place.
        focus(self.case, LOCK_SCREEN)
        after = time.time()
        xdotool(self.case, "key", "alt+Tab", "ctrl+Escape", "a")
        self.case.wait_for("the letter at the witness", lambda: keys(after, {VK_A}))
        self.assertEqual(keys(after, {TAB, ESC}), [], "a task-switch key got through")
        self.assertIsNone(self.proc.poll(), "the program runs on")


class EditThroughDialogs(AllowedTest):
    PUZZLE = r"C:\Games\puzzle.exe"
    RACER = r"C:\Games\racer.exe"

    def dialog_boxes(self, title):
        """{"name", "location"} text boxes of an open list dialog (the location is read-only)."""
        dialog = self.case.wait_window(title)
        edits = [c for c in dialog["controls"] if c["class"] == "Edit"]
        return {("location" if e["readonly"] else "name"): e for e in edits}

    def add_through_file_dialog(self, path):
        self.case.click(ADD_DIALOG, "...")
        box = self.case.wait_for("the open-file dialog", lambda: next(
            (w for w in self.case.windows() if w["class"] == "#32770"), None))
        self.case.screenshot("open-file dialog")
        self.case.type("hwnd:" + box["hwnd"], "class:Edit", path)  # the file name box
        self.case.click("hwnd:" + box["hwnd"], "Open")
        boxes = self.case.wait_for("the chosen file", lambda: (
            lambda b: b if b["location"]["text"] == path else None)(self.dialog_boxes(ADD_DIALOG)))
        self.assertEqual(boxes["name"]["text"], path.rsplit("\\", 1)[1])
        self.case.click(ADD_DIALOG, "Add")
        self.case.wait_for("the entry added", lambda: (
            lambda b: b["name"]["text"] == "" and b["location"]["text"] == "None")(
                self.dialog_boxes(ADD_DIALOG)))

    def console_items(self):
        return [c for c in self.case.window(CONSOLE)["controls"]
                if c["hwnd"] == self.controls["lstAllowed"]["hwnd"]][0]["items"]

    def test_add_change_and_delete_are_stored_at_once(self):
        install_game(self.case, self.PUZZLE)
        install_game(self.case, self.RACER)
        self.open_console()
        self.click("cmdAdd")
        stored = []
        for path in (self.PUZZLE, self.RACER):
            self.add_through_file_dialog(path)
            stored.append((path.rsplit("\\", 1)[1], path))
            self.assertEqual(stored_list(self.case), stored)
        self.case.click(ADD_DIALOG, "Close")
        self.case.wait_for("the dialog closed", lambda: not self.case.window(ADD_DIALOG))

        # Changing a name moves the entry to the end.
        self.case.act("select", CONSOLE, self.hwnd("lstAllowed"), "puzzle.exe")
        self.click("Command3")  # Edit
        name = self.dialog_boxes(EDIT_DIALOG)["name"]
        self.case.type(EDIT_DIALOG, "hwnd:" + name["hwnd"], "Puzzle")
        self.case.click(EDIT_DIALOG, "Change")
        self.case.wait_for("the dialog closed", lambda: not self.case.window(EDIT_DIALOG))
        self.assertEqual(stored_list(self.case),
                         [("racer.exe", self.RACER), ("Puzzle", self.PUZZLE)])
        self.assertEqual(self.console_items(), ["racer.exe", "Puzzle"])

        for name, left in (("racer.exe", [("Puzzle", self.PUZZLE)]), ("Puzzle", [])):
            self.case.act("select", CONSOLE, self.hwnd("lstAllowed"), name)
            self.click("cmdDelete")
            self.case.wait_for("%r deleted" % name, lambda: stored_list(self.case) == left)
        self.assertEqual(self.console_items(), [])
        self.case.screenshot("emptied")


if __name__ == "__main__":
    unittest.main(argv=harness.configure(sys.argv), verbosity=2)
