#!/usr/bin/env python3
"""Prints Quorvane's figures; nothing here is asserted.

- the share of tests in the code: non-blank lines of tests/ against those and the lines of src/;
  goal: at most 36%
- size of the stripped i686 "Quorvane 1.0.exe" (the build that ships); goal: at most 512 KiB
- time from the start of the program's process to its notification icon under Wine, measured
  from outside (the x86_64 build of the same sources; this Wine has no 32-bit side): the median
  of a few normal starts, each in a fresh copy of a booted prefix with the desktop already up
- wall-clock length of a 2-minute period under Wine, measured from outside: a Changing-mode plan
  with game time 0 and break time 2 (typed into the list's box) is started from the console; the
  break runs from the moment the lock screen is seen to the moment it is seen hidden again

    figures.py [--exe32 EXE | --source DIR --build32 DIR] [--exe64 EXE --inspector EXE]
               [--fake-shutdown EXE] [--template DIR] [--runs N] [--no-period]
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402
from console import (CONSOLE, LOCK_SCREEN, complete_first_run, find_controls)  # noqa: E402

SIZE_GOAL = 512 * 1024
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def code_lines(paths):
    total = 0
    for path in paths:
        with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
            total += sum(1 for line in f if line.strip())
    return total


def test_share():
    """(test lines, product lines) of the files git tracks."""
    files = subprocess.run(["git", "ls-files"], cwd=ROOT, capture_output=True, text=True,
                           check=True).stdout.split("\n")
    tests = [f for f in files if f.startswith("tests/") and
             f.endswith((".cpp", ".h", ".hpp", ".cc", ".sh", ".py"))]
    product = [f for f in files if f.startswith("src/") and f.endswith((".cpp", ".h", ".hpp", ".cc"))]
    return code_lines(tests), code_lines(product)

# A store left by a completed first run (password "abc"): the program takes the normal road.
NORMAL_START = {
    "Made": "1", "GameTime": "90", "BreakTime": "30", "StartH": "1", "StartM": "1",
    "StartMonth": "1", "StartDay": "1", "TotalTime": "90", "Allowance": "2", "SoundBegin": "1",
    "SoundEnd": "1", "ShowTime": "1", "chkBackPicture": "0", "BackPicture": "None", "Message": "",
    "Mode": "5", "StartUp": "0", "BedTimeH": "11", "BedTimeM": "0", "StartTimeH": "10",
    "StartTimeM": "30", "ShutDown": "0", "BreakTimeOn": "0", "GameTimeOn": "0", "FinalTime": "0",
    "Password": "297298299",
}


def build_i686(source, build):
    """Builds the i686 program; returns its path."""
    toolchain = os.path.join(source, "cmake", "mingw-i686.cmake")
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        subprocess.run(["cmake", "-S", source, "-B", build, "-DCMAKE_TOOLCHAIN_FILE=" + toolchain],
                       check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build, "--target", "quorvane", "-j2"], check=True,
                   stdout=subprocess.DEVNULL)
    return os.path.join(build, "Quorvane 1.0.exe")


def stripped_size(exe):
    strip = shutil.which("i686-w64-mingw32-strip")
    if not strip:
        return os.path.getsize(exe), False
    with tempfile.TemporaryDirectory() as tmp:
        copy = os.path.join(tmp, "copy.exe")
        shutil.copy(exe, copy)
        subprocess.run([strip, copy], check=True)
        return os.path.getsize(copy), True


def time_to_tray(case, timeout=60, start=None):
    """One start: seconds from the program's process start to the inspector seeing its icon.
    start: starts another program instead (returns its Popen with started_at)."""
    case.reg_import(NORMAL_START)
    watch_out = os.path.join(case.workdir, "tray-watch.out")
    with open(watch_out, "w") as out:
        # The watcher polls every few milliseconds and stamps the moment it sees an icon.
        watcher = subprocess.Popen(["wine", case.inspector_exe, "tray", "--ready", "--wait",
                                    str(timeout)], env=case.env, stdout=out,
                                   stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        case.wait_for("the tray watcher", lambda: "ready" in open(watch_out).read(), timeout=30,
                      interval=0.02)
        proc = (start or case.start)()
        try:
            watcher.wait(timeout + 10)
        except subprocess.TimeoutExpired:
            watcher.kill()
    lines = [l for l in open(watch_out).read().splitlines() if l.startswith('{"tray"')]
    if watcher.returncode != 0 or not lines:
        raise harness.HarnessError("no notification icon within %ss" % timeout)
    seen = json.loads(lines[-1])["at"]
    return seen - proc.started_at


def period_length(case, fake_shutdown):
    """Seconds from the lock screen appearing for a 2-minute break to its hiding at the break's
    end. A period of N seconds shows N .. 0 and switches on the tick after: N + 1 ticks."""
    case.install(extra=[fake_shutdown] if fake_shutdown else [])
    _, console = complete_first_run(case)
    controls = find_controls(console, case.screen()["dpiX"])
    case.pick(CONSOLE, "hwnd:" + controls["cmbGameTime"]["hwnd"], "0")
    # no 2-minute item: the list takes typed text
    case.type(CONSOLE, "hwnd:" + controls["cmbBreakTime"]["hwnd"], "2")
    appears = case.watch(LOCK_SCREEN, 30)
    case.click(CONSOLE, "hwnd:" + controls["Command1"]["hwnd"], "--input")
    shown = appears.result()
    hidden = case.watch(LOCK_SCREEN, 200, gone=True).result()
    return hidden - shown


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--exe32")
    ap.add_argument("--source")
    ap.add_argument("--build32")
    ap.add_argument("--exe64")
    ap.add_argument("--inspector")
    ap.add_argument("--template")
    ap.add_argument("--display")
    ap.add_argument("--fake-shutdown", help="stand-in shutdown.exe placed beside the program")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--no-period", action="store_true", help="skip the 2-minute period (~2.5 min)")
    opts = ap.parse_args()

    print("Quorvane figures (printed, not asserted)")
    try:
        tests, product = test_share()
        print("  tests: %d lines, src: %d lines: tests are %.1f%% of the code (goal <= 36%%)"
              % (tests, product, 100.0 * tests / (tests + product)))
    except (OSError, subprocess.CalledProcessError) as e:
        print("  test share: %s" % e)
    exe32 = opts.exe32
    if not exe32 and opts.source and opts.build32:
        try:
            exe32 = build_i686(opts.source, opts.build32)
        except (OSError, subprocess.CalledProcessError) as e:
            print("  i686 build failed: %s" % e)
    if exe32 and os.path.exists(exe32):
        size, stripped = stripped_size(exe32)
        print("  size of %s (i686%s): %d bytes = %.1f KiB (goal <= %d KiB)"
              % (os.path.basename(exe32), ", stripped" if stripped else "", size, size / 1024,
                 SIZE_GOAL // 1024))
    else:
        print("  size: no i686 build")

    if not (opts.exe64 and opts.inspector):
        print("  start-up time: needs the x86_64 build (--exe64, --inspector)")
        return 0
    template = os.path.abspath(opts.template or os.path.join(
        os.path.dirname(os.path.abspath(opts.exe64)), "e2e-prefix"))
    artifacts = tempfile.mkdtemp(prefix="qv-figures-")
    times = []
    try:
        display = harness.Display(opts.display)
        harness.ensure_template(template, display.name)
        for i in range(opts.runs):
            case = harness.Case("start-%d" % (i + 1), opts.exe64, opts.inspector, template,
                                display.name, artifacts)
            try:
                times.append(time_to_tray(case))
            except harness.HarnessError as e:
                print("  run %d: %s" % (i + 1, e))
            finally:
                case.close()
    finally:
        shutil.rmtree(artifacts, ignore_errors=True)
    if times:
        print("  start to notification icon under Wine (x86_64 build, normal start, %d runs): "
              "median %.0f ms (min %.0f, max %.0f)"
              % (len(times), statistics.median(times) * 1000, min(times) * 1000,
                 max(times) * 1000))
    else:
        print("  start to notification icon: not measured")

    if opts.no_period:
        return 0
    artifacts = tempfile.mkdtemp(prefix="qv-figures-")
    try:
        case = harness.Case("period", opts.exe64, opts.inspector, template, display.name, artifacts)
        try:
            length = period_length(case, opts.fake_shutdown)
            print("  a 2-minute break under Wine, from the lock screen seen shown to seen hidden "
                  "(measured from outside): %.2f s vs 120 s (%+.2f s; a period of N s switches on "
                  "its (N + 1)th tick, so 121 s is due)" % (length, length - 120))
        except harness.HarnessError as e:
            print("  2-minute period: not measured (%s)" % e)
        finally:
            case.close()
    finally:
        shutil.rmtree(artifacts, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
