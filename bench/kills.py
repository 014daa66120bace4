#!/usr/bin/env python3
"""Kills a running plan hard at random moments under Wine and starts it again, many times; prints
the seconds of the running period gained or lost at each resume, the worst of them, and every
failure (a setting lost or half written, a window left disabled, a plan not resumed). The plans of
the three modes run side by side, each in its own prefix, each killed again and again. A kill and
its resume take about 100 s, so 100 kills take about an hour with three plans at a time.

    kills.py --exe64 EXE --inspector EXE [--kills 100] [--seed N] [--modes MODE...] [--template DIR]
"""

import argparse
import os
import random
import sys
import tempfile
import threading
import time
import traceback

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402
from test_kills import SAVE_INTERVAL, KilledPlan  # noqa: E402

MODES = ("Changing", "One time", "Bed time")


def chain(mode, kills, rng, make_case, results, lock):
    plan = KilledPlan("begin")  # the test's steps, on a case of our own
    plan.case = make_case(mode)
    try:
        plan.begin(mode)
        for i in range(kills):
            delay = rng.uniform(0, 60)
            try:
                gained = plan.kill_and_restart(delay)
                line = (mode, i, delay, gained, None)
            except AssertionError as e:
                line = (mode, i, delay, None, str(e))
            with lock:
                results.append(line)
                print("  %-9s kill %2d after %4.1f s: %s" % (
                    mode, i + 1, delay, "%+.1f s" % line[3] if line[4] is None else
                    "FAILED: " + line[4]), flush=True)
            if line[4] is not None:
                break  # the plan's state is unknown from here
    except Exception:
        with lock:
            results.append((mode, -1, 0, None, traceback.format_exc(limit=3)))
            print("  %-9s could not go on: %s" % (mode, results[-1][4]), flush=True)
    finally:
        plan.case.close()


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--exe64", required=True)
    ap.add_argument("--inspector", required=True)
    ap.add_argument("--kills", type=int, default=100)
    ap.add_argument("--seed", type=int, default=random.randrange(1 << 30))
    ap.add_argument("--modes", nargs="+", choices=MODES, default=MODES)
    ap.add_argument("--template")
    ap.add_argument("--display")
    opts = ap.parse_args()
    template = os.path.abspath(opts.template or os.path.join(
        os.path.dirname(os.path.abspath(opts.exe64)), "e2e-prefix"))
    artifacts = tempfile.mkdtemp(prefix="qv-kills-")
    display = harness.Display(opts.display)
    harness.ensure_template(template, display.name)
    print("Kills at random moments of a running plan under Wine, seed %d, artifacts in %s "
          "(goal: at most %d s gained or lost, no failure)" % (opts.seed, artifacts, SAVE_INTERVAL))

    def make_case(mode):
        return harness.Case("kills-" + mode.replace(" ", "-"), opts.exe64, opts.inspector,
                            template, display.name, artifacts)

    results, lock, threads = [], threading.Lock(), []
    begin = time.time()
    for n, mode in enumerate(opts.modes):
        share = opts.kills // len(opts.modes) + (1 if n < opts.kills % len(opts.modes) else 0)
        rng = random.Random("%d %s" % (opts.seed, mode))
        t = threading.Thread(target=chain, args=(mode, share, rng, make_case, results, lock))
        t.start()
        threads.append(t)
    for t in threads:
        t.join()

    gains = [r[3] for r in results if r[3] is not None]
    failures = [r for r in results if r[4] is not None]
    print("  %d kills in %.0f min, %d failures" % (len(gains) + len(failures),
                                                   (time.time() - begin) / 60, len(failures)))
    for mode, i, _, _, why in failures:
        print("  failure (%s, kill %d): %s" % (mode, i + 1, why.strip()))
    if gains:
        worst = max(gains, key=abs)
        print("  worst: %+.1f s of the running period (most gained %+.1f, most lost %+.1f)" % (
            worst, max(gains), min(gains)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
