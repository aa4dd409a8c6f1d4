#!/usr/bin/env bash
# The real program on a Wayland desktop, started as a Wayland session starts it (WAYLAND_DISPLAY
# alone, no platform chosen): weston inside Xvfb, keys from xdotool through weston's window. The
# warning box and the window are maximized and restored by the compositor, then a search and a
# song from the keyboard. Skips (77) where weston cannot start.
# Usage: wayland.sh MELODRIFT DEMO-SITE GRABSCREEN OUTPUT-FOLDER
set -uo pipefail
melodrift=$1 site=$2 grab=$3 out=$4
rm -rf "$out" && mkdir -p "$out"
name=wayland
source "$(dirname "$0")/harness.sh"
on_failure() { shot failure; echo "program log:" && grep -v '^\[' "$work/program.log" | tail -n 20; }
alive() { kill -0 "$app" 2>/dev/null || fail "the program ended ($1): $(grep -E 'error|fatal' "$work/program.log" | head -n 3)"; }

command -v weston >/dev/null || { echo "SKIP: weston is not installed"; exit 77; }
start_xvfb 161 1100x800
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=x11-backend.so --socket=wayland-md --width=1000 --height=700 --idle-time=0 >"$out/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/wayland-md" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/wayland-md" ] || { echo "SKIP: weston did not start: $(tail -n 3 "$out/weston.log")"; exit 77; }
sleep 1
# Weston sees the pointer only once it has entered its output.
xdotool mousemove 1050 750 sleep 0.3 mousemove 500 400

# No 360 browser here: the warning box comes first.
use_fake_desktop
rm "$work/config/mimeapps.list"
start_site "$site" 20000
env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY=wayland-md WAYLAND_DEBUG=client "$melodrift" >"$work/program.log" 2>&1 &
app=$!
for _ in $(seq 100); do grep -q 'set_title("警告")' "$work/program.log" && break; sleep 0.1; done
sleep 1
alive "at start"
grep -q 'set_app_id("org.melodrift.Melodrift")' "$work/program.log" || fail "the app_id is not the desktop entry's"
ok "started on Wayland with WAYLAND_DISPLAY alone, as org.melodrift.Melodrift"
# Weston's own keys maximize and restore whatever window has the focus.
key super+shift+m
shot box-maximized
key super+shift+m
alive "maximizing the warning box"
key space
sleep 1
key super+shift+m
shot window-maximized
key super+shift+m
alive "maximizing and restoring the window"
ok "the warning box and the window were maximized and restored"

key ctrl+l
xdotool type --delay 40 "Love"
key Return
seen "so.asp?key=Love" 10 || fail "no search request"
sleep 1
key Tab Tab Tab Tab Tab Tab
key Down Down Return
seen "/audio/100067." 10 || fail "row 2 did not play"
sleep 1
shot playing
alive "playing"
ok "searched and played from the keyboard"
kill "$app"
echo "wayland: $passed passed, 0 failed"
