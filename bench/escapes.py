#!/usr/bin/env python3
"""Prints which escapes from a locked lock screen work under Wine; nothing here is asserted.

A Changing-mode plan (game time 0, break time 5, only listed programs) is started, so a break
holds the lock screen locked. A keyboard hook of another program, installed before the lock,
sees every key that Quorvane lets pass (hooks are called newest first). Then each escape is
tried, as a child would, through the X server (xdotool) or from another program:

- Alt+Tab, Alt+Esc, Ctrl+Esc: work when the key press reaches the other program's hook, or the
  lock screen stops being the foreground window;
- Alt+F4 on the lock screen: works when the lock screen goes away;
- clicking another program's window (under the lock screen): works when that window gets the
  click or the foreground;
- starting a program while locked: works when its window is still enabled after 1.5 s;
- a clock change (the time-change broadcast; setting the time needs a right Wine's containers
  lack): works when Quorvane does not refuse it.

    escapes.py --exe64 EXE --inspector EXE [--template DIR] [--display :N]
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402
from console import CONSOLE, LOCK_SCREEN, complete_first_run, find_controls  # noqa: E402

REFUSED = "You are not allowed to set up time in this mode"
TAB, ESC, F4 = 0x09, 0x1B, 0x73
KEY_DOWNS = (0x100, 0x104)


class Escapes:
    def __init__(self, case):
        self.case = case
        self.procs = []

    def spawn(self, *args):
        proc = subprocess.Popen(["wine", self.case.inspector_exe] + list(args), env=self.case.env,
                                stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, text=True)
        self.procs.append(proc)
        return proc

    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + list(args), env=self.case.env, capture_output=True,
                              text=True, timeout=20).stdout.split()

    def top(self, hwnd):
        _, objs = self.case.inspect("list", "--hwnd", hwnd, "--top")
        return objs[0] if objs else None

    def foreground(self):
        return self.case.inspect("foreground")[1][0]["hwnd"]

    def lock_screen(self):
        for w in self.case.top_windows():
            if w["text"] == LOCK_SCREEN:
                return w
        return None

    def run(self):
        case = self.case
        other = self.spawn("window", "Other program", "900")
        other_hwnd = json.loads(other.stdout.readline())["hwnd"]
        _, console = complete_first_run(case)
        controls = find_controls(console, case.screen()["dpiX"])
        spy = self.spawn("keys", "120")
        spy.stdout.readline()  # the hook is in place
        case.click(CONSOLE, "hwnd:" + controls["optOnlyListed"]["hwnd"], "--input")
        case.pick(CONSOLE, "hwnd:" + controls["cmbGameTime"]["hwnd"], "0")
        case.pick(CONSOLE, "hwnd:" + controls["cmbBreakTime"]["hwnd"], "5")
        case.click(CONSOLE, "hwnd:" + controls["Command1"]["hwnd"], "--input")
        lock = case.wait_for("the lock screen", self.lock_screen, timeout=30)
        time.sleep(2)
        x_windows = self.xdotool("search", "--onlyvisible", "--name", "^%s$" % LOCK_SCREEN)
        if x_windows:
            self.xdotool("windowfocus", "--sync", x_windows[-1])

        results = []
        keys = {"Alt+Tab": ("alt+Tab", TAB), "Alt+Esc": ("alt+Escape", ESC),
                "Ctrl+Esc": ("ctrl+Escape", ESC)}
        windows = {}
        for name, (combo, vk) in keys.items():
            begin = time.time()
            self.xdotool("key", combo)
            time.sleep(1)
            windows[name] = (begin, time.time(), vk)
            moved = self.foreground() != lock["hwnd"]
            results.append([name, moved])

        self.xdotool("key", "alt+F4")
        time.sleep(1.5)
        results.append(["Alt+F4 on the lock screen", self.lock_screen() is None])

        rect = self.top(other_hwnd)["rect"]
        self.xdotool("mousemove", str(rect["x"] + rect["w"] // 2), str(rect["y"] + rect["h"] // 2),
                     "click", "1")
        time.sleep(1.5)
        clicked = self.foreground() == other_hwnd
        results.append(["clicking another program's window", clicked])

        late = self.spawn("window", "Started while locked", "900")
        late_hwnd = json.loads(late.stdout.readline())["hwnd"]
        time.sleep(1.5)
        results.append(["starting a program while locked", self.top(late_hwnd)["enabled"]])

        case.inspect("timechange")
        time.sleep(2)
        refused = any(REFUSED in b["message"] for b in case.message_boxes())
        results.append(["a clock change", not refused])

        for proc in self.procs:
            proc.kill()
        spy_keys = [json.loads(line) for line in spy.communicate(timeout=30)[0].splitlines()
                    if line.startswith('{"vk"')]
        other_out = other.communicate(timeout=30)[0]
        if '"click"' in other_out:  # the other window saw the click
            results[4][1] = True
        for row in results[:3]:
            begin, end, vk = windows[row[0]]
            row[1] = row[1] or any(k["vk"] == vk and k["msg"] in KEY_DOWNS and begin <= k["at"] <= end
                                   for k in spy_keys)
        return results


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--exe64", required=True)
    ap.add_argument("--inspector", required=True)
    ap.add_argument("--template")
    ap.add_argument("--display")
    opts = ap.parse_args()
    template = os.path.abspath(opts.template or os.path.join(
        os.path.dirname(os.path.abspath(opts.exe64)), "e2e-prefix"))
    print("Escapes from a locked lock screen under Wine (goal: none works)")
    artifacts = tempfile.mkdtemp(prefix="qv-escapes-")
    display = harness.Display(opts.display)
    harness.ensure_template(template, display.name)
    case = harness.Case("escapes", opts.exe64, opts.inspector, template, display.name, artifacts)
    try:
        results = Escapes(case).run()
    except (harness.HarnessError, OSError, ValueError, subprocess.SubprocessError) as e:
        print("  not measured: %s" % e)
        return 0
    finally:
        case.close()
    for name, worked in results:
        print("  %-36s %s" % (name, "WORKED" if worked else "blocked"))
    print("  %d of %d escapes worked" % (sum(1 for _, w in results if w), len(results)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
