#!/usr/bin/env bash
# Builds Melodrift and runs the whole test suite headless (no display, no audio device, loopback
# only): the unit and integration tests with the end-to-end run of the real program under Xvfb,
# the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of
# every fuzzer (MELODRIFT_FUZZ_SECONDS each, 60 by default).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default -j"$jobs"

cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j"$jobs" --label-exclude "e2e|static|package"

cmake --preset fuzz -DMELODRIFT_FUZZ_SECONDS="${MELODRIFT_FUZZ_SECONDS:-60}" >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz -j"$jobs"
