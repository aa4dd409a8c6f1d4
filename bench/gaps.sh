#!/usr/bin/env bash
# The silence a listener hears between songs in loop mode: the real program plays into a private
# PulseAudio server's null sink, whose monitor is recorded; the demo songs are steady tones, so the
# silences between them are read off the recording in 10 ms steps. Run once with the site on
# loopback and once with every answer held back, as a far site's is.
# Usage: bench/gaps.sh [BUILD-DIR] [ANSWER-DELAY-MS ...]   (default: build, 0 and 300)
# SITE_ARGS adds demo-site options: "--wav" for WAV songs, "--tail-hold-ms 3000" for a link that
# holds each file's last tenth back. BUSY=2 keeps both cores busy with two loops meanwhile.
# OUTRANKED=1 (as root) pins the program to one core and runs bursts of three loops there at a
# higher priority (nice -15) than the program's, 50-400 ms on, 300 ms off.
# Each song is a tone of its own: how long each was heard is read off the recording too.
# Needs Xvfb, xdotool, pulseaudio and pulseaudio-utils (scripts/install-deps.sh installs them).
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
shift || true
delays=("${@:-0}")
[ $# -eq 0 ] && delays=(0 300)
melodrift=$build/melodrift site=$build/site/melodrift-demo-site
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=() busy=()
cleanup() { for p in "${pids[@]}" "${busy[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
[ -n "${KEEP:-}" ] && trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; echo "kept $work"' EXIT

for n in $(seq 70 110); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
export DISPLAY=:$n
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
mkdir -m 700 "$work/pulse"
export PULSE_SERVER=unix:$work/pulse/native PULSE_RUNTIME_PATH=$work/pulse
pulseaudio --daemonize=no --exit-idle-time=-1 -n --system=false -L "module-null-sink sink_name=bench" \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native" >"$work/pulse.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
# A desktop whose default browser is a 360 browser, so that no warning box waits at start-up.
mkdir -p "$work/config" "$work/data/applications"
printf '#!/bin/sh\n' >"$work/360se" && chmod +x "$work/360se"
printf '[Desktop Entry]\nType=Application\nName=360\nExec=%s %%u\n' "$work/360se" >"$work/data/applications/b.desktop"
printf '[Default Applications]\nx-scheme-handler/http=b.desktop\n' >"$work/config/mimeapps.list"
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
unset no_proxy NO_PROXY

# Each loop ends by itself, so none outlives the run.
outranked() {
  while :; do
    for _ in 1 2 3; do taskset -c 0 nice -n -15 timeout "0.$((RANDOM % 35 + 5))" sh -c 'while :; do :; done' & done
    wait
    sleep 0.3
  done
}

for delay in "${delays[@]}"; do
  "$site" --port 0 --song-ms "${SONG_MS:-3000}" --answer-delay-ms "$delay" ${SITE_ARGS:-} >"$work/site.log" &
  sitepid=$!
  for _ in $(seq 100); do port=$(awk '/^listening/ {print $2}' "$work/site.log"); [ -n "$port" ] && break; sleep 0.1; done
  parecord -d bench.monitor --raw --format=s16le --rate=16000 --channels=1 "$work/sound.raw" &
  recorder=$!
  http_proxy=http://127.0.0.1:$port QT_LOGGING_RULES="melodrift.playback.info=true" \
    ${OUTRANKED:+taskset -c 0} dbus-run-session -- "$melodrift" >"$work/program.log" 2>&1 &
  app=$!
  for _ in $(seq 100); do win=$(xdotool search --onlyvisible --name 'Melodrift -By Velbrook' 2>/dev/null | head -n1); [ -n "$win" ] && break; sleep 0.1; done
  [ -n "$win" ] || { echo "the window did not appear: $(tail -n 3 "$work/program.log")"; exit 1; }
  sleep 1
  # Search "Love" (two songs), then double-click the first row; loop mode is the default.
  xdotool mousemove --window "$win" 88 449 click 1 && xdotool type --delay 40 Love && xdotool key Return
  for _ in $(seq 100); do grep -q "so.asp" "$work/site.log" && break; sleep 0.1; done
  sleep $((1 + delay / 200))
  xdotool mousemove --window "$win" 100 106 click --repeat 2 --delay 60 1
  for _ in $(seq "${BUSY:-0}"); do sh -c 'while :; do :; done' & busy+=($!); done
  [ -n "${OUTRANKED:-}" ] && { outranked & busy+=($!); }
  sleep ${SECONDS_PLAYED:-40}
  kill "${busy[@]}" 2>/dev/null; busy=()
  pkill -P "$app" 2>/dev/null
  kill "$recorder" 2>/dev/null
  wait "$app" "$recorder" 2>/dev/null
  kill "$sitepid" && wait "$sitepid" 2>/dev/null
  python3 - "$work/sound.raw" "$work/site.log" "$delay" "$work/program.log" <<'PY'
import array, math, re, statistics, sys
raw, log, delay, program = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
pcm = array.array("h", open(raw, "rb").read())
step = 160  # 10 ms at 16 kHz
peaks = [max(map(abs, pcm[i:i + step]), default=0) for i in range(0, len(pcm) - step + 1, step)]
loud = [p > 500 for p in peaks]
level = statistics.median([p for p in peaks if p > 500] or [0])
both = sum(p > 1.5 * level for p in peaks) * 10  # two songs at once
requests = [l.split()[1] for l in open(log) if l.startswith("GET ")]
pages = sum("mp3.asp?id=" in r for r in requests)
files = sum("/audio/" in r for r in requests)
started = len(re.findall(r"melodrift.playback: (load|the queued song starts) ", open(program, errors="replace").read()))
# Which song sounds in each 10 ms: the demo site's tone for each song played, the strongest over a
# window centred there (Goertzel), so a change is placed where the window holds as much of each.
def tone(number, kind):
    return 220 + 10 * (number % 40) if kind == "wav" else 44100 * (6 + number % 12) / 1152
tones = sorted({tone(int(m[1]), m[2]) for m in (re.search(r"/audio/(\d+)\.(\w+)", r) for r in requests) if m})
half = 800 if min((b - a for a, b in zip(tones, tones[1:])), default=99) < 30 else 400
def power(seg, f):
    c, s1, s2 = 2 * math.cos(2 * math.pi * f / 16000), 0.0, 0.0
    for x in seg:
        s1, s2 = x + c * s1 - s2, s1
    return s1 * s1 + s2 * s2 - c * s1 * s2
labels = [max(tones, key=lambda f: power(pcm[max(0, i * step + 80 - half):i * step + 80 + half], f)) if sound else None
          for i, sound in enumerate(loud)]
# A silence between two songs is a gap; one inside a song (a stall) is a pause.
gaps, pauses, quiet, current = [], [], 0, None
for label in labels:
    if label is None:
        quiet += 1
        continue
    if label != current:
        if current is not None:
            gaps.append(quiet * 10)
        current = label
    elif quiet:
        pauses.append(quiet * 10)
    quiet = 0
# How long each song was heard, to the sample: the null sink's silence is digital zero, and a
# change of song is where a sine of each tone, fitted on either side, holds the most of the sound.
segments, start, zeros = [], None, 0
for n, x in enumerate(pcm):
    if abs(x) > 2:
        start, zeros = n if start is None else start, 0
    elif start is not None:
        zeros += 1
        if zeros == 32:
            segments.append((start, n - 31))
            start = None
segments += [(start, len(pcm))] if start is not None else []
def fitted(lo, hi, f):
    """Running sums from which the energy a sine of f fitted to pcm[lo:lo + k] holds is had for every k."""
    w, sums = 2 * math.pi * f / 16000, [(0.0,) * 5]
    for n in range(lo, hi):
        c, s, x, p = math.cos(w * n), math.sin(w * n), pcm[n], sums[-1]
        sums.append((p[0] + x * c, p[1] + x * s, p[2] + c * c, p[3] + s * s, p[4] + c * s))
    return sums
def held(sums, a, b):
    xc, xs, cc, ss, cs = (sums[b][k] - sums[a][k] for k in range(5))
    det = cc * ss - cs * cs
    return (xc * xc * ss - 2 * xc * xs * cs + xs * xs * cc) / det if det > 1e-9 else 0.0
def change(lo, hi, before, after):
    a, b, n = fitted(lo, hi, before), fitted(lo, hi, after), hi - lo
    return lo + max(range(16, n - 16), key=lambda k: held(a, 0, k) + held(b, k, n))
heard, current = [], None
for a, b in segments:
    steps = [(i, labels[i]) for i in range(a // step, min(len(labels), (b - 1) // step + 1)) if labels[i] is not None]
    cuts, songs = [a], [label for _, label in steps[:1]]
    for (_, before), (i, after) in zip(steps, steps[1:]):
        if after != before:
            cuts.append(change(max(a, i * step - 2 * step), min(b, i * step + 2 * step), before, after))
            songs.append(after)
    cuts.append(b)
    for k, label in enumerate(songs):
        if label != current:
            heard.append(0)
            current = label
        heard[-1] += (cuts[k + 1] - cuts[k]) / 16
heard = [round(h) for h in heard[1:-1]]  # the first and the last are cut by the recording
if not gaps:
    sys.exit(f"answer delay {delay} ms: no change of song was heard ({len(loud) // 100} s recorded)")
print(f"answer delay {delay} ms: {len(gaps)} changes of song heard ({started} songs started), silence median "
      f"{statistics.median(gaps):.0f} ms, worst {max(gaps)} ms ({' '.join(map(str, gaps))}), both songs at once {both} ms; "
      f"each song heard {statistics.median(heard or [0]):.0f} ms median, {min(heard or [0])} to {max(heard or [0])} ms; "
      f"{len(pauses)} pauses inside songs ({sum(pauses)} ms); site: {pages} song pages, {files} files")
PY
done
