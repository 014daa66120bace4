#!/usr/bin/env python3
"""Prints Quorvane's footprint beside a trivial program of ours; nothing here is asserted.

The trivial program (bench/trivial.cpp) is one window and a message loop; started with "tick" it
updates a label once a second. It is built with the same compiler and link options, and both are
measured in the same run under Wine (x86_64 build; this Wine has no 32-bit side) on a virtual X
display, so that the difference holds on a noisy machine:

- start-up: from the start of the process to Quorvane's notification icon (a normal start: the
  settings of a completed first run are stored), to the trivial program's window, and to the
  icon of the trivial program started with "tray" (one icon with a balloon, in a prefix of its
  own, as the tray watcher sees any icon); the median of a few runs, each in a fresh copy of a
  booted prefix with the desktop already up, the starts taking turns at going first (the icon is
  polled every 5 ms, the window every 20 ms); and where Quorvane's time goes, from the moments
  it stamps when QV_STARTUP_TRACE names a file (process created, WinMain, each form realised, the
  icon added) up to the watcher seeing the icon;
- idle: Quorvane in the notification area once its icon refresh (about 3 s) is over, beside the
  trivial program; with a plan running: Quorvane's lock screen up and counting down (a
  Changing-mode plan, game time 0 and break time 5, started from the console), beside the ticking
  trivial program. For each, over the same stretch of time: private memory (USS: the private pages
  in /proc/PID/smaps_rollup of the Wine process that is the Windows program), threads, wake-ups
  per second (voluntary and involuntary context switches of all its threads, /proc/PID/task/*/status)
  and CPU time per minute (/proc/PID/stat);
- sizes of the stripped i686 programs (the build that ships) and of the installer when one was
  built beside the program; the DLLs the program imports, all loaded at its start.

Goals: idle USS at most 3 MB above the trivial program's, start-up to the icon at most 50 ms
above the trivial program's icon, no idle wake-ups once the icon refresh is over, the program at
most 512 KiB; with a plan running, at most 10 wake-ups a second and 30 ms of CPU a minute above
the ticking trivial program.

    footprint.py [--exe32 EXE --trivial32 EXE | --source DIR --build32 DIR] [--installer EXE]
                 [--exe64 EXE --trivial64 EXE --inspector EXE] [--template DIR] [--display :N]
                 [--runs N] [--seconds S] [--no-plan] [--no-idle]
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import figures  # noqa: E402  (beside this file; it puts tests/e2e on the path)
import harness  # noqa: E402
from console import CONSOLE, LOCK_SCREEN, complete_first_run, find_controls  # noqa: E402

INSTALLER = "Quorvane 1.0 setup.exe"
TRIVIAL = "Trivial"
TRIVIAL_TICKING = "Trivial ticking"
TRACE = r"C:\startup-trace.txt"
USS_GOAL_KB = 3 * 1024
START_GOAL_MS = 50
# With a plan running, beside the ticking trivial program
PLAN_WAKEUPS_GOAL = 10
PLAN_CPU_GOAL_MS = 30
# Quorvane re-sends its icon for about 3 s after start-up; idle is measured after that.
SETTLE = 6.0
# Time for a watcher's inspector to be up and polling before the program it waits for starts.
WATCHER_UP = 2.0


# ---- counters of one process ---------------------------------------------------------------

def _read(path):
    with open(path) as f:
        return f.read()


def _field(text, name):
    m = re.search(r"^%s:\s+(\d+)" % name, text, re.M)
    return int(m.group(1)) if m else 0


class Counters:
    """One reading of a Linux process: context switches per thread, CPU seconds (the whole
    process, ended threads included), thread count and USS in kB."""

    def __init__(self, pid):
        self.at = time.monotonic()
        self.switches = {}
        for tid in os.listdir("/proc/%d/task" % pid):
            try:
                status = _read("/proc/%d/task/%s/status" % (pid, tid))
            except OSError:  # the thread ended meanwhile
                continue
            self.switches[tid] = (_field(status, "voluntary_ctxt_switches") +
                                  _field(status, "nonvoluntary_ctxt_switches"))
        stat = _read("/proc/%d/stat" % pid)
        fields = stat[stat.rindex(")") + 2:].split()  # the name may hold spaces
        self.cpu = (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
        rollup = _read("/proc/%d/smaps_rollup" % pid)
        self.uss_kb = sum(_field(rollup, n) for n in ("Private_Clean", "Private_Dirty",
                                                      "Private_Hugetlb"))
        self.threads = len(self.switches)


class Usage:
    """What one process did between two readings."""

    def __init__(self, first, last):
        seconds = last.at - first.at
        # threads that ended between the readings are lost; new ones count from their start
        switches = sum(n - first.switches.get(tid, 0) for tid, n in last.switches.items())
        self.wakeups = switches / seconds
        self.cpu_ms_per_min = (last.cpu - first.cpu) * 1000 * 60 / seconds
        self.uss_kb = last.uss_kb
        self.threads = last.threads


def measure_together(pids, seconds):
    """Usage of each process over the same stretch of time."""
    first = [Counters(p) for p in pids]
    time.sleep(seconds)
    return [Usage(a, Counters(p)) for a, p in zip(first, pids)]


# ---- starting the programs -----------------------------------------------------------------

def launch_trivial(case, exe, *args):
    out = open(os.path.join(case.dir, "trivial-%d.out" % len(case.procs)), "wb")
    proc = subprocess.Popen(["wine", exe, *args], cwd=os.path.dirname(exe), env=case.env,
                            stdout=out, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
    proc.started_at = time.time()
    proc.output = out
    case.procs.append(proc)  # ended with the case
    return proc


def start_trivial(case, exe, tick=False):
    """Starts the trivial program in the case's prefix; returns (process, seconds from its start
    to its window seen)."""
    title = TRIVIAL_TICKING if tick else TRIVIAL
    watch = case.watch(title, 60, exe=os.path.basename(exe))
    time.sleep(WATCHER_UP)
    proc = launch_trivial(case, exe, *(["tick"] if tick else []))
    return proc, watch.result() - proc.started_at


def start_trivial_tray(case, exe):
    """Seconds from the trivial program's start with "tray" to its icon seen."""
    return figures.time_to_tray(case, start=lambda: launch_trivial(case, exe, "tray"))


def start_quorvane(case):
    """A normal start; returns (process, seconds from its start to its notification icon, its
    trace: [(seconds since the process start, what)], the last one the watcher seeing the icon)."""
    case.env["QV_STARTUP_TRACE"] = TRACE
    try:
        seconds = figures.time_to_tray(case)
    finally:
        del case.env["QV_STARTUP_TRACE"]
    proc = case.procs[-1]
    trace = []
    try:
        with open(case.prefix_path(TRACE)) as f:
            for line in f:
                at, what = line.rstrip("\n").split(" ", 1)
                trace.append((float(at) - proc.started_at, what))
    except (OSError, ValueError):
        trace = []
    return proc, seconds, trace + [(seconds, "icon seen by the watcher")] if trace else []


def start_plan(case):
    """First run, then a Changing-mode plan from the console: the lock screen of a 5-minute break
    comes up at once. Returns the program's process."""
    proc, console = complete_first_run(case)
    controls = find_controls(console, case.screen()["dpiX"])
    case.pick(CONSOLE, "hwnd:" + controls["cmbGameTime"]["hwnd"], "0")
    case.pick(CONSOLE, "hwnd:" + controls["cmbBreakTime"]["hwnd"], "5")
    appears = case.watch(LOCK_SCREEN, 30)
    case.click(CONSOLE, "hwnd:" + controls["Command1"]["hwnd"], "--input")
    appears.result()
    # The pointer rests where Start was. Wine watches for it to leave the (now hidden) button with
    # a 1 ms system timer until the pointer moves, about 1700 wake-ups a second that a real user's
    # next mouse move ends; the pointer is moved, as that user would.
    subprocess.run(["xdotool", "mousemove", "5", "5"], env=case.env, capture_output=True, timeout=10)
    return proc


def settle_since(started_at):
    time.sleep(max(0.0, started_at + SETTLE - time.time()))


# ---- printing ------------------------------------------------------------------------------

def mb(kb):
    return kb / 1024


def print_usage(heading, rows, seconds):
    print("  %s, over %.0f s:" % (heading, seconds))
    print("    %-34s %9s %8s %12s %11s" % ("", "USS", "threads", "wake-ups/s", "CPU ms/min"))
    for name, u in rows:
        print("    %-34s %6.2f MB %8d %12.1f %11.0f"
              % (name, mb(u.uss_kb), u.threads, u.wakeups, u.cpu_ms_per_min))
    (_, q), (_, t) = rows
    print("    %-34s %+6.2f MB %+8d %+12.1f %+11.0f"
          % ("Quorvane adds", mb(q.uss_kb - t.uss_kb), q.threads - t.threads,
             q.wakeups - t.wakeups, q.cpu_ms_per_min - t.cpu_ms_per_min))


def imports(exe):
    objdump = shutil.which("x86_64-w64-mingw32-objdump") or shutil.which("i686-w64-mingw32-objdump")
    if not objdump:
        return None
    out = subprocess.run([objdump, "-p", exe], capture_output=True, text=True).stdout
    return sorted(set(re.findall(r"DLL Name: (\S+?)\.dll", out, re.I)), key=str.lower)


def build_i686(source, build):
    """Builds the i686 program, the trivial one and the installer; returns the programs' paths."""
    toolchain = os.path.join(source, "cmake", "mingw-i686.cmake")
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        subprocess.run(["cmake", "-S", source, "-B", build, "-DCMAKE_TOOLCHAIN_FILE=" + toolchain],
                       check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build, "--target", "quorvane", "footprint_trivial", "-j2"],
                   check=True, stdout=subprocess.DEVNULL)
    # and the installer, where makensis is at hand (there is no such target without it)
    subprocess.run(["cmake", "--build", build, "--target", "installer"], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    return (os.path.join(build, "Quorvane 1.0.exe"), os.path.join(build, "footprint", "trivial.exe"))


def print_sizes(opts):
    exe32, trivial32 = opts.exe32, opts.trivial32
    if not exe32 and opts.source and opts.build32:
        try:
            exe32, trivial32 = build_i686(opts.source, opts.build32)
        except (OSError, subprocess.CalledProcessError) as e:
            print("  i686 build failed: %s" % e)
    shown = exe32 if exe32 and os.path.exists(exe32) else opts.exe64
    if shown and os.path.exists(shown):
        dlls = imports(shown)
        if dlls is not None:
            print("  DLLs %s imports (%d): %s" % (os.path.basename(shown), len(dlls), " ".join(dlls)))
    if not (exe32 and os.path.exists(exe32)):
        print("  sizes: no i686 build")
        return
    size, stripped = figures.stripped_size(exe32)
    line = "  size of %s (i686%s): %.1f KiB (goal <= %d KiB)" % (
        os.path.basename(exe32), ", stripped" if stripped else "", size / 1024,
        figures.SIZE_GOAL // 1024)
    if trivial32 and os.path.exists(trivial32):
        line += "; trivial program: %.1f KiB" % (figures.stripped_size(trivial32)[0] / 1024)
    print(line)
    installer = opts.installer or os.path.join(os.path.dirname(os.path.abspath(exe32)), INSTALLER)
    if os.path.exists(installer):
        print("  size of %s: %.1f KiB" % (os.path.basename(installer), os.path.getsize(installer) / 1024))
    else:
        print("  installer: none built in %s" % os.path.dirname(os.path.abspath(installer)))


# ---- the runs ------------------------------------------------------------------------------

def tray_baseline(opts, template, display, artifacts, run):
    case = harness.Case("footprint-tray-%d" % run, opts.exe64, opts.inspector, template, display,
                        artifacts)
    try:
        return start_trivial_tray(case, opts.trivial64)
    finally:
        case.close()


def print_breakdown(traces):
    """The median of each step over the runs whose trace has the same steps as the first."""
    steps = [what for _, what in traces[0]]
    same = [t for t in traces if [what for _, what in t] == steps]
    print("    where Quorvane's time goes (median of %d traced runs, ms from the process start):"
          % len(same))
    before = [0.0] * len(same)
    for i, what in enumerate(steps):
        at = statistics.median(t[i][0] for t in same)
        step = statistics.median(t[i][0] - b for t, b in zip(same, before))
        before = [t[i][0] for t in same]
        print("      %-40s %+6.0f ms   at %5.0f ms" % (what, step * 1000, at * 1000))


def print_start_up(quorvane_times, trivial_times, tray_times, traces):
    def line(name, times):
        print("    %-38s %5.0f ms (%.0f-%.0f)" % (name, statistics.median(times) * 1000,
                                                  min(times) * 1000, max(times) * 1000))
    q = statistics.median(quorvane_times) * 1000
    print("  start-up under Wine (x86_64 build, %d runs, median, min-max):" % len(quorvane_times))
    line("Quorvane to its notification icon", quorvane_times)
    line("trivial program to its window", trivial_times)
    if tray_times:
        line("trivial program to its tray icon", tray_times)
    print("    %-38s %+5.0f ms (window baseline)"
          % ("Quorvane adds", q - statistics.median(trivial_times) * 1000))
    if tray_times:
        print("    %-38s %+5.0f ms (tray baseline; goal <= %d ms)"
              % ("Quorvane adds", q - statistics.median(tray_times) * 1000, START_GOAL_MS))
    if traces:
        print_breakdown(traces)


def start_up_and_idle(opts, template, display, artifacts):
    """Start-up times over opts.runs runs; after the first run's starts, both programs idle."""
    quorvane_times, trivial_times, tray_times, traces = [], [], [], []
    idle = None if not opts.no_idle else False
    for i in range(opts.runs):
        case = harness.Case("footprint-start-%d" % (i + 1), opts.exe64, opts.inspector, template,
                            display, artifacts)
        try:
            if i % 2 == 0:
                tray_times.append(tray_baseline(opts, template, display, artifacts, i + 1))
                trivial, t = start_trivial(case, opts.trivial64)
                quorvane, q, trace = start_quorvane(case)
            else:
                quorvane, q, trace = start_quorvane(case)
                trivial, t = start_trivial(case, opts.trivial64)
            quorvane_times.append(q)
            trivial_times.append(t)
            if trace:
                traces.append(trace)
            if idle is None:
                settle_since(max(quorvane.started_at, trivial.started_at))
                idle = measure_together([quorvane.pid, trivial.pid], opts.seconds)
        except (harness.HarnessError, OSError, ValueError) as e:
            print("  run %d: %s" % (i + 1, e))
        finally:
            case.close()
        if i % 2 == 1:
            try:
                tray_times.append(tray_baseline(opts, template, display, artifacts, i + 1))
            except (harness.HarnessError, OSError, ValueError) as e:
                print("  run %d, tray baseline: %s" % (i + 1, e))
    if quorvane_times:
        print_start_up(quorvane_times, trivial_times, tray_times, traces)
    else:
        print("  start-up: not measured")
    if idle:
        print_usage("idle: Quorvane in the notification area beside the trivial program",
                    [("Quorvane in the notification area", idle[0]),
                     ("trivial program", idle[1])], opts.seconds)
        print("    goals: USS at most %.0f MB above the trivial program's, no wake-ups"
              % mb(USS_GOAL_KB))


def plan_running(opts, template, display, artifacts):
    case = harness.Case("footprint-plan", opts.exe64, opts.inspector, template, display, artifacts)
    try:
        quorvane = start_plan(case)
        trivial, _ = start_trivial(case, opts.trivial64, tick=True)
        settle_since(trivial.started_at)
        usage = measure_together([quorvane.pid, trivial.pid], opts.seconds)
    except (harness.HarnessError, OSError, ValueError) as e:
        print("  plan running: not measured (%s)" % e)
        return
    finally:
        case.close()
    print_usage("a plan running: Quorvane's lock screen counting down beside the ticking trivial "
                "program", [("Quorvane, lock screen up", usage[0]),
                            ("trivial program, label ticking", usage[1])], opts.seconds)
    print("    goals: at most %+d wake-ups/s and %+d CPU ms/min above the ticking trivial program"
          % (PLAN_WAKEUPS_GOAL, PLAN_CPU_GOAL_MS))


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--exe32")
    ap.add_argument("--trivial32")
    ap.add_argument("--source")
    ap.add_argument("--build32")
    ap.add_argument("--installer", help="the installer (default: beside the i686 program)")
    ap.add_argument("--exe64")
    ap.add_argument("--trivial64")
    ap.add_argument("--inspector")
    ap.add_argument("--template")
    ap.add_argument("--display")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--seconds", type=float, default=20, help="length of each usage measurement")
    ap.add_argument("--no-plan", action="store_true", help="skip the running plan (~1 min)")
    ap.add_argument("--no-idle", action="store_true", help="skip the idle usage (20 s)")
    opts = ap.parse_args()

    print("Quorvane's footprint beside a trivial program (printed, not asserted)")
    print_sizes(opts)
    if not (opts.exe64 and opts.trivial64 and opts.inspector):
        print("  start-up and usage: need the x86_64 builds (--exe64, --trivial64, --inspector)")
        return 0
    opts.trivial64 = os.path.abspath(opts.trivial64)
    template = os.path.abspath(opts.template or os.path.join(
        os.path.dirname(os.path.abspath(opts.exe64)), "e2e-prefix"))
    artifacts = tempfile.mkdtemp(prefix="qv-footprint-")
    try:
        display = harness.Display(opts.display)
        harness.ensure_template(template, display.name)
        start_up_and_idle(opts, template, display.name, artifacts)
        if not opts.no_plan:
            plan_running(opts, template, display.name, artifacts)
    finally:
        shutil.rmtree(artifacts, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
