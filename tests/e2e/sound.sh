#!/usr/bin/env bash
# The program's stream as a sound server sees it: a private PulseAudio server with a null sink,
# read and moved with pactl while a song plays, the program read over AT-SPI and MPRIS. Runs under
# tests/support/a11y_session.sh (Xvfb, session bus, accessibility bus).
# Usage: sound.sh MELODRIFT DEMO-SITE
set -uo pipefail
melodrift=$1 site=$2
here=$(cd "$(dirname "$0")" && pwd)
name=sound
source "$here/harness.sh"
on_failure() { echo "program log:" && tail -n 20 "$work/program.log"; pactl list sink-inputs; }
key() { xdotool key --delay 60 "$@"; sleep 0.3; }
slider() { /usr/bin/python3 "$here/read_list.py" value 音量; }
mpris() { dbus-send --session --print-reply --dest="org.mpris.MediaPlayer2.melodrift.instance$app" \
  /org/mpris/MediaPlayer2 org.freedesktop.DBus.Properties."$@"; }
# The program's stream: its index and its properties.
stream() { pactl list sink-inputs | awk -v pid="$app" '
  /^Sink Input #/ { sub(/#/, "", $3); idx = $3; props = "" }
  { props = props "\n" $0 }
  /application.process.id = / { gsub(/"/, "", $3); if ($3 == pid) { print idx; print props; exit } }'; }
volume_of() { pactl list sink-inputs | awk -v idx="$1" '/^Sink Input #/ { on = ($3 == "#" idx) } on && /^[ \t]*Volume:/ { sub(/%/, "", $5); print $5; exit }'; }

mkdir -m 700 "$work/pulse"
export PULSE_SERVER=unix:$work/pulse/native PULSE_RUNTIME_PATH=$work/pulse
pulseaudio --daemonize=no --exit-idle-time=-1 -n --system=false --disallow-exit -L module-null-sink \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native" >"$work/pulse.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || fail "the sound server did not start: $(tail -n 3 "$work/pulse.log")"

use_fake_desktop
start_site "$site" 60000
"$melodrift" >"$work/program.log" 2>&1 &
app=$!
pids+=($app)
find_window
sleep 1
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
key ctrl+l
xdotool type --delay 40 "Love"
key Return
seen "so.asp?key=Love" 10 || fail "no search request"
sleep 1
key Tab Tab Tab Tab Tab Tab
key Down Return
seen "/audio/100060." 10 || fail "the song did not start"
for _ in $(seq 100); do [ -n "$(stream)" ] && break; sleep 0.1; done
info=$(stream)
[ -n "$info" ] || fail "the sound server has no stream of the program"
idx=$(head -n1 <<<"$info")
grep -q 'media.role = "music"' <<<"$info" || fail "the stream's role is not music"
grep -q 'application.icon_name = "org.melodrift.Melodrift"' <<<"$info" || fail "the stream has not the program's icon"
ok "the stream plays as music with the program's icon"

for _ in $(seq 50); do [ "$(volume_of "$idx")" = 50 ] && break; sleep 0.1; done
[ "$(volume_of "$idx")" = 50 ] || fail "the stream is at $(volume_of "$idx") %, the slider at $(slider)"
pactl set-sink-input-volume "$idx" 30%
for _ in $(seq 50); do [ "$(slider)" = 30 ] && break; sleep 0.1; done
[ "$(slider)" = 30 ] || fail "the mixer set 30 %, the slider shows $(slider)"
mpris Get string:org.mpris.MediaPlayer2.Player string:Volume | grep -q "double 0.3" ||
  fail "MPRIS reads $(mpris Get string:org.mpris.MediaPlayer2.Player string:Volume | tail -n1)"
ok "the mixer's 30 % is the slider's and MPRIS's"
mpris Set string:org.mpris.MediaPlayer2.Player string:Volume variant:double:0.8 >/dev/null
for _ in $(seq 50); do [ "$(volume_of "$idx")" = 80 ] && break; sleep 0.1; done
[ "$(volume_of "$idx")" = 80 ] || fail "MPRIS set 0.8, the stream is at $(volume_of "$idx") %"
[ "$(slider)" = 80 ] || fail "MPRIS set 0.8, the slider shows $(slider)"
ok "MPRIS's 0.8 is the stream's 80 % and the slider's"
# The next song's stream takes the same volume.
key Down Return
seen "/audio/100067." 10 || fail "no next song"
sleep 2
idx2=$(stream | head -n1)
[ -n "$idx2" ] && [ "$idx2" != "$idx" ] || fail "no new stream for the next song"
for _ in $(seq 50); do [ "$(volume_of "$idx2")" = 80 ] && break; sleep 0.1; done
[ "$(volume_of "$idx2")" = 80 ] || fail "the next song's stream is at $(volume_of "$idx2") %"
ok "the next song's stream plays at the same volume"
echo "sound: $passed passed, 0 failed"
