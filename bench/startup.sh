#!/usr/bin/env bash
# How long the program takes to show its window, and its resident memory 3 s later, idle: each run
# starts it on a display of its own (Xvfb) with a desktop whose default browser is a 360 browser
# (so no warning box waits), no sound server and no network.
# Usage: bench/startup.sh [BUILD-DIR] [RUNS]   (default: build, 5)
set -uo pipefail
melodrift=$(cd "${1:-build}" && pwd)/melodrift
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/data/applications" "$work/home"
printf '#!/bin/sh\n' >"$work/360se" && chmod +x "$work/360se"
printf '[Desktop Entry]\nType=Application\nName=360\nExec=%s %%u\n' "$work/360se" >"$work/data/applications/b.desktop"
printf '[Default Applications]\nx-scheme-handler/http=b.desktop\n' >"$work/config/mimeapps.list"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data HOME=$work/home
for n in $(seq 120 160); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
export DISPLAY=:$n
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
for _ in $(seq "${2:-5}"); do
  start=$(date +%s%N)
  "$melodrift" >/dev/null 2>&1 &
  app=$!
  for _ in $(seq 500); do xdotool search --onlyvisible --name 'Melodrift -By Velbrook' >/dev/null 2>&1 && break; sleep 0.02; done
  xdotool search --onlyvisible --name 'Melodrift -By Velbrook' >/dev/null 2>&1 || { echo "no window within 10 s"; exit 1; }
  shown=$(date +%s%N)
  sleep 3
  echo "window after $(((shown - start) / 1000000)) ms, resident $(awk '/VmRSS/ {print $2}' "/proc/$app/status") KiB idle"
  kill "$app" && wait "$app" 2>/dev/null
done
