#!/usr/bin/env python3
"""Runs the libFuzzer targets of tests/fuzz and prints, per target, the executions and findings.

Each target starts from a fresh copy of its seeds (tests/fuzz/corpus/<target>) in
<build>/fuzz-runs/<target>, where the inputs it finds and any crashing input are kept. Exits with
1 when a target found something, so ctest uses it for its short runs.

    fuzz.py [--build build/asan] [--runs] [--timeout S] LIMIT [target ...]

LIMIT is seconds per target, or executions with --runs; targets default to all of them.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
TARGETS = ["startup", "password", "convert"]


def run(build, target, limit, runs, timeout):
    work = os.path.join(build, "fuzz-runs", target)
    shutil.rmtree(work, ignore_errors=True)
    corpus = os.path.join(work, "corpus")
    shutil.copytree(os.path.join(ROOT, "tests", "fuzz", "corpus", target), corpus)
    artifacts = os.path.join(work, "findings")
    os.makedirs(artifacts)
    cmd = [os.path.join(build, "fuzz_" + target), corpus, f"-timeout={timeout}",
           "-print_final_stats=1", f"-artifact_prefix={artifacts}/",
           f"-runs={limit}" if runs else f"-max_total_time={limit}"]
    words = os.path.join(ROOT, "tests", "fuzz", target + ".dict")
    if os.path.exists(words):
        cmd.append(f"-dict={words}")
    # A smaller quarantine keeps the allocator from touching fresh pages on every run.
    env = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "quarantine_size_mb=16"))
    proc = subprocess.run(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, errors="replace")
    stats = dict(re.findall(r"^stat::(\w+):\s*(\d+)", proc.stdout, re.M))
    findings = sorted(os.listdir(artifacts))
    if proc.returncode and not findings:
        findings = [f"exit code {proc.returncode}"]
    if findings:
        print(proc.stdout[-6000:])
    execs, rate = stats.get("number_of_executed_units", "0"), stats.get("average_exec_per_sec", "0")
    print(f"{target:10} {execs:>10} executions  {rate:>6} /s  "
          f"corpus {len(os.listdir(corpus)):>4}  findings: {', '.join(findings) or 'none'}", flush=True)
    return not findings


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", default=os.path.join(ROOT, "build", "asan"))
    ap.add_argument("--runs", action="store_true", help="LIMIT counts executions, not seconds")
    ap.add_argument("--timeout", type=int, default=10, help="seconds one input may take")
    ap.add_argument("limit", type=int)
    ap.add_argument("targets", nargs="*", default=TARGETS)
    a = ap.parse_args()
    ok = all([run(a.build, t, a.limit, a.runs, a.timeout) for t in a.targets])
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
