#!/usr/bin/env bash
# Takes the README's screenshot: the real program under Xvfb on the demo site, after a search
# and a double-click on a row. Needs a built tree (scripts/run.sh or scripts/test.sh builds one).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshot.png}
keyword=${2:-月光}
work=$(mktemp -d /tmp/mdshotXXXXXX)
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

# A 360 browser as the desktop's default, so that start-up shows no warning box.
mkdir -p "$work/config" "$work/data/applications"
printf '#!/bin/sh\n' >"$work/360se" && chmod +x "$work/360se"
printf '[Desktop Entry]\nType=Application\nName=360\nExec=%s %%u\n' "$work/360se" >"$work/data/applications/b.desktop"
printf '[Default Applications]\nx-scheme-handler/http=b.desktop\n' >"$work/config/mimeapps.list"

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 640x560x24 -nolisten tcp -noreset &
pids+=($!)
./build/site/melodrift-demo-site --port 0 >"$work/site.log" &
pids+=($!)
for _ in $(seq 100); do port=$(awk '/^listening/ {print $2}' "$work/site.log"); [ -n "$port" ] && break; sleep 0.1; done
export DISPLAY=$display
XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data \
  http_proxy=http://127.0.0.1:$port ./build/melodrift &
pids+=($!)
win=""
for _ in $(seq 100); do win=$(xdotool search --name 'Melodrift -By Velbrook' 2>/dev/null | head -n1) && [ -n "$win" ] && break; sleep 0.1; done
sleep 0.5
xdotool mousemove --window "$win" 80 440 click 1
xdotool type --delay 50 "$keyword"
xdotool key Return
sleep 1.5
xdotool mousemove --window "$win" 100 122 click --repeat 2 --delay 80 1
xdotool mousemove --window "$win" 100 150
sleep 0.5
./build/tools/grabscreen "$out" "$win"
echo "saved $out"
