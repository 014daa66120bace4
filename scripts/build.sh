#!/usr/bin/env bash
# Builds one flavour of Quorvane into build/<flavour>:
#   native  the portable core, the simulated machine and the tests (Linux)
#   win32   the shipped program, "Quorvane 1.0.exe" for 32-bit Windows
#   win64   the same sources for x86_64 Windows, with the Windows-side test programs (run under Wine)
#   asan    the native tests and the libFuzzer targets of tests/fuzz, built by clang with the
#           address and undefined-behaviour sanitizers
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
flavour="${1:?native, win32, win64 or asan}"
jobs="${JOBS:-2}"

case "$flavour" in
  native) args=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan)
    export CC=clang CXX=clang++
    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_SANITIZE=ON) ;;
  win32) args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake") ;;
  win64) args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake") ;;
  *) echo "unknown flavour $flavour" >&2; exit 2 ;;
esac

cmake -S "$root" -B "$root/build/$flavour" "${args[@]}" > "$root/build-$flavour.log" 2>&1 ||
  { cat "$root/build-$flavour.log"; exit 1; }
cmake --build "$root/build/$flavour" -j"$jobs"
rm -f "$root/build-$flavour.log"
