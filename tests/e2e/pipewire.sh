#!/usr/bin/env bash
# The real program on PipeWire, as Debian 12's desktops run it (pipewire, wireplumber and
# pipewire-pulse, a null sink): twenty changes of song in loop mode in one stream and six songs
# chosen (a new stream each) at 40 % leave the stream, the player (MPRIS's Volume, the slider's) and
# what WirePlumber keeps for other music players at 40 %. Skips (77) where PipeWire cannot start.
# Usage: pipewire.sh MELODRIFT DEMO-SITE
set -uo pipefail
melodrift=$1 site=$2
here=$(cd "$(dirname "$0")" && pwd)
name=pipewire
source "$here/harness.sh"
on_failure() { echo "program log:" && tail -n 20 "$work/program.log"; }
# The volume in % of the newest stream of a program named $1.
volume_of() { pactl list sink-inputs | awk -v who="$1" '/^Sink Input #/ { v = "" } /^[ \t]*Volume:/ { v = $5 }
  /application.process.binary = / { if (index($0, "\"" who "\"")) found = v } END { sub(/%/, "", found); print found }'; }

export XDG_RUNTIME_DIR=$work/run && mkdir -m 700 "$XDG_RUNTIME_DIR"
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native XDG_STATE_HOME=$work/state
for server in pipewire wireplumber pipewire-pulse; do "$server" >>"$work/pw.log" 2>&1 & pids+=($!) && sleep 0.5; done
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || { echo "SKIP: PipeWire did not start: $(tail -n 3 "$work/pw.log")"; exit 77; }
pw-cli create-node adapter '{ factory.name=support.null-audio-sink node.name="null" media.class=Audio/Sink
  object.linger=true audio.position=[FL FR] }' >/dev/null
for _ in $(seq 50); do pactl list short sinks | grep -q null && break; sleep 0.1; done
pactl set-default-sink null || fail "no null sink: $(pactl list short sinks)"
start_xvfb 170 800x600
use_fake_desktop
start_site "$site" 1500
QT_LOGGING_RULES=melodrift.playback.info=true run_program
key ctrl+l && xdotool type --delay 40 Love && key Return
seen "so.asp?key=Love" 10 || fail "no search request"
pactl subscribe >"$work/events" & pids+=($!) && sleep 1
key Tab Tab Tab Tab Tab Tab Down Return
seen "mp3.asp?id=100060" 10 || fail "the song did not play"
mpris Set variant:double:0.4 >/dev/null || fail "MPRIS did not take the volume"
for _ in $(seq 600); do [ "$(grep -c 'mp3.asp?id=' "$work/site.log")" -ge 21 ] && break; sleep 0.1; done
[ "$(grep -c 'mp3.asp?id=' "$work/site.log")" -ge 21 ] && [ "$(grep -c "'remove' on sink-input" "$work/events")" = 1 ] ||
  fail "twenty changes of song: $(grep -c "'remove' on sink-input" "$work/events") streams closed (pulsesink's probe is one)"
for row in Up Down Up Down Up Down; do key "$row" Return && sleep 1; done
[ "$(grep -c 'playback: load ' "$work/program.log")" -ge 7 ] || fail "the six songs chosen were not loaded"
[ "$(volume_of melodrift)" = 40 ] && mpris Get | grep -q "double 0.4" || fail "stream $(volume_of melodrift) %, player $(mpris Get | tail -n1)"
ok "twenty changes of song in one stream and six chosen leave the stream and the player at 40 %"
kill "$app" && wait "$app" 2>/dev/null
# Another music player now starts where WirePlumber's saved volume for music says.
paplay --raw --property=media.role=music </dev/zero & pids+=($!)
for _ in $(seq 50); do [ -n "$(volume_of pacat)" ] && break; sleep 0.1; done
[ "$(volume_of pacat)" = 40 ] || fail "another music player starts at $(volume_of pacat) %"
ok "another music player starts at the 40 % the program left"
echo "$name: $passed passed, 0 failed"
