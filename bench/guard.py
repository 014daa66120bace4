#!/usr/bin/env python3
"""The guard service under Wine: a running plan (a break on the lock screen) ended from outside as
Task Manager's End task does, again and again; prints how long the lock screen took to come back
and how many seconds of the break the child gained each time, beside their goals. Each try
starts at a random phase of the lock screen's second; tries are 16 s apart, so the guard never
takes them for a crash loop (five ends within a minute).

    guard.py --setup SETUP_X64 --exe64 EXE --inspector EXE [--tries 20] [--template DIR]
"""

import argparse
import os
import random
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402
import test_service  # noqa: E402

GOAL_BACK = 2.0  # seconds from End task to the lock screen shown again
GOAL_GAIN = 3.0  # seconds of the running period a child gains per End task
SPACING = 16.0


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--setup", required=True)
    ap.add_argument("--exe64", required=True)
    ap.add_argument("--inspector", required=True)
    ap.add_argument("--tries", type=int, default=20)
    ap.add_argument("--template")
    opts = ap.parse_args()
    test_service.setup_exe = os.path.abspath(opts.setup)
    harness.configure([sys.argv[0], "--exe", opts.exe64, "--inspector", opts.inspector,
                       "--artifacts", os.path.join(tempfile.gettempdir(), "qv-bench-guard")]
                      + (["--template", opts.template] if opts.template else []))
    bench = test_service.Guarded("test_end_task_brings_the_plan_back_whatever_the_child_wrote_and_bad_clients_change_nothing")
    bench.setUp()
    backs, gains = [], []
    try:
        bench.start_plan_in_break("30")
        for i in range(opts.tries):
            started = time.monotonic()
            time.sleep(random.uniform(0, 1))
            left, at, ended = bench.end_task()
            # the inspector stamps the moment the new lock screen shows
            shown = bench.case.watch(test_service.LOCK_SCREEN, 40)
            again, again_at = bench.case.wait_for("the lock screen back", bench.time_left, timeout=40, interval=0.05)
            backs.append(shown.result() - ended)
            gains.append((again_at + again) - (at + left))
            print("  try %2d: back after %.1f s, %+.1f s gained" % (i + 1, backs[-1], gains[-1]), flush=True)
            time.sleep(max(0, SPACING - (time.monotonic() - started)))
    finally:
        bench.doCleanups()
    if not backs:
        return 1
    print("guard, %d End tasks under Wine (a gain is read off the lock screen, +-1 s):" % len(backs))
    print("  lock screen back:    median %.1f s, worst %.1f s   (goal <= %.0f s)"
          % (statistics.median(backs), max(backs), GOAL_BACK))
    print("  seconds gained:      median %+.1f s, worst %+.1f s  (goal <= %.0f s)"
          % (statistics.median(gains), max(gains), GOAL_GAIN))
    return 0


if __name__ == "__main__":
    sys.exit(main())
