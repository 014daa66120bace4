#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test:
# the native unit and scenario tests (also with the sanitizers, beside a short fuzzing run), then the
# Windows build's tests under Wine + Xvfb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

scripts/deps.sh
scripts/build.sh native
scripts/build.sh asan
scripts/build.sh win32
scripts/build.sh win64

status=0
echo "== Native tests =="
(cd build/native && ctest --output-on-failure -j2 --timeout 120) || status=1
echo "== Native tests with the sanitizers, 20 s of each fuzz target =="
(cd build/asan && ctest --output-on-failure -j2 --timeout 120) || status=1

echo "== Figures =="
build/native/qv_bench || true
cmake --build build/win64 --target figures || true
cmake --build build/win64 --target footprint || true

echo "== Windows build under Wine, two cases at a time =="
# Each case has its own prefix and X display, and mostly waits on the clock.
(cd build/win64 && ctest --output-on-failure -j2 --timeout 600) || status=1
exit $status
