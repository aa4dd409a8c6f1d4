#!/usr/bin/env bash
# How long the program takes to show its window, and its resident memory 3 s later, idle: each run
# starts it on a display of its own (Xvfb) with the end-to-end runs' desktop (a 360 browser as the
# default, so no warning box waits), no sound server and no network.
# Usage: bench/startup.sh [BUILD-DIR] [RUNS]   (default: build, 5)
set -uo pipefail
melodrift=$(cd "${1:-build}" && pwd)/melodrift
name=startup
source "$(cd "$(dirname "$0")" && pwd)/../tests/e2e/harness.sh"
start_xvfb 120 1024x768
use_fake_desktop
for _ in $(seq "${2:-5}"); do
  start=$(date +%s%N)
  "$melodrift" >/dev/null 2>&1 &
  app=$!
  for _ in $(seq 500); do xdotool search --onlyvisible --name 'Melodrift -By Velbrook' >/dev/null 2>&1 && break; sleep 0.02; done
  xdotool search --onlyvisible --name 'Melodrift -By Velbrook' >/dev/null 2>&1 || fail "no window within 10 s"
  shown=$(date +%s%N)
  sleep 3
  echo "window after $(((shown - start) / 1000000)) ms, resident $(awk '/VmRSS/ {print $2}' "/proc/$app/status") KiB idle"
  kill "$app" && wait "$app" 2>/dev/null
done
