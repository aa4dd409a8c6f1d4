#!/usr/bin/env bash
# The soak on a private PulseAudio server's null sink, so that the player plays through pulsesink as
# on a desktop (without a server it plays to whatever autoaudiosink finds).
# Usage: bench/soak_pulse.sh [BUILD-DIR] [SOAK-OPTIONS...], e.g. bench/soak_pulse.sh build --songs 60 --load 2
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
shift || true
work=$(mktemp -d)
mkdir -m 700 "$work/pulse"
export PULSE_SERVER=unix:$work/pulse/native PULSE_RUNTIME_PATH=$work/pulse
pulseaudio --daemonize=no --exit-idle-time=-1 -n --system=false -L "module-null-sink sink_name=soak" \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native" >"$work/pulse.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; wait; rm -rf "$work"' EXIT
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
QT_QPA_PLATFORM=offscreen "$build/bench/soak" "$@"
