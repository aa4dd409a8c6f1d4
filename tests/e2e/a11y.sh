#!/usr/bin/env bash
# The real program without a mouse, read as a screen reader reads it: under
# tests/support/a11y_session.sh (Xvfb, session bus, accessibility bus), keys from xdotool only, the
# window's rows and controls read over AT-SPI with pyatspi. Its sound goes to a private PulseAudio
# server with a null sink, where pactl reads and moves the program's stream.
# Usage: a11y.sh MELODRIFT DEMO-SITE OUTPUT-FOLDER
set -uo pipefail
melodrift=$1 site=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out" && mkdir -p "$out"
name=accessibility
source "$here/harness.sh"
on_failure() { echo "program log:" && tail -n 20 "$work/program.log"; }
slider() { /usr/bin/python3 "$here/read_list.py" value 音量; }
# The newest stream on the sound server (the program's song), and a stream's volume in %.
stream() { pactl list short sink-inputs | awk 'END { print $1 }'; }
volume_of() { pactl list sink-inputs | awk -v idx="$1" '/^Sink Input #/ { on = ($3 == "#" idx) } on && /^[ \t]*Volume:/ { sub(/%/, "", $5); print $5; exit }'; }
# Waits until `$1` prints `$2`.
until_is() { for _ in $(seq 50); do [ "$($1)" = "$2" ] && return 0; sleep 0.1; done; false; }
rows() { /usr/bin/python3 "$here/read_list.py" rows; }
# Ctrl+L to the keyword box, tried again while the window is still taking the focus.
to_keyword_box() {
  for _ in $(seq 10); do
    xdotool windowfocus --sync "$win" 2>/dev/null
    key ctrl+l
    /usr/bin/python3 "$here/read_list.py" focus | grep -qxF "text	关键字" && return 0
  done
  return 1
}

mkdir -m 700 "$work/pulse"
export PULSE_SERVER=unix:$work/pulse/native PULSE_RUNTIME_PATH=$work/pulse
start_pulse() {
  pulseaudio --daemonize=no --exit-idle-time=-1 -n --system=false -L module-null-sink \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native" >>"$work/pulse.log" 2>&1 &
  pulse=$!
  pids+=($pulse)
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl info >/dev/null 2>&1 || fail "the sound server did not start: $(tail -n 3 "$work/pulse.log")"
}
start_pulse
use_fake_desktop
start_site "$site" 20000
sitepid=${pids[-1]}
run_program

names=$(/usr/bin/python3 "$here/read_list.py" names) || fail "the window cannot be read over AT-SPI"
echo "$names" >"$out/names.txt"
for expected in "text	关键字" "push button	搜索" "push button	翻页" "push button	播放" "push button	停止" \
                "slider	进度" "slider	音量" "label	时间" "list	歌曲列表" "radio button	单曲播放" \
                "radio button	列表循环" "radio button	随机播放" "label	Melodrift" "label	已安装360浏览器"; do
  grep -qxF "$expected" <<<"$names" || fail "no control named \"$expected\" (see $out/names.txt)"
done
grep -qE "^(push button|toggle button|check box)	静音$" <<<"$names" || fail "no mute button named 静音"
ok "every control reads with its name"

# Search from the keyboard alone: Ctrl+L to the keyword box, type, Enter.
to_keyword_box || fail "Ctrl+L did not reach the keyword box"
ok "Ctrl+L put the keyboard in the keyword box"
xdotool type --delay 40 "Love"
key Return
seen "so.asp?key=Love" 10 || fail "no search request"
for _ in $(seq 50); do [ "$(rows | wc -l)" -ge 2 ] && break; sleep 0.2; done
rows >"$out/rows.txt"
[ "$(cut -f1,2 "$out/rows.txt")" = "$(printf 'Love-Letter\tID：100060\nLove-Me-Slowly\tID：100067')" ] ||
  fail "the screen reader reads: $(cat "$out/rows.txt")"
ok "the screen reader reads every row's title and ID"

# Into the list (past the player's five controls), down to row 1, then 2, Enter plays it.
key Tab Tab Tab Tab Tab Tab
for row in 1 2; do
  key Down
  sed -n ${row}p <(rows) | grep -qP "\tselected,focused$" || fail "row $row is not selected and focused: $(rows)"
done
ok "Tab into the list, then Down, chose row 1 and Down row 2, and the screen reader knows"
key Return
seen "mp3.asp?id=100067" 10 || fail "row 2 did not play"
ok "Enter played row 2"
sed -n 2p <(rows) | grep -qF "正在播放" || fail "the playing row does not say so: $(rows | sed -n 2p)"
ok "the screen reader hears which row plays"

# The sound server sees a music stream with the program's icon; the slider, the desktop's mixer
# and MPRIS move one volume, which the next song's stream takes too.
for _ in $(seq 100); do [ -n "$(stream)" ] && break; sleep 0.1; done
idx=$(stream)
for property in "application.process.id = \"$app\"" 'media.role = "music"' 'application.icon_name = "org.melodrift.Melodrift"'; do
  pactl list sink-inputs | grep -qF "$property" || fail "the stream has no $property"
done
until_is "volume_of $idx" 50 || fail "the stream is at $(volume_of "$idx") %, the slider at $(slider)"
pactl set-sink-input-volume "$idx" 30%
until_is slider 30 || fail "the mixer set 30 %, the slider shows $(slider)"
mpris Get | grep -q "double 0.3" || fail "MPRIS reads $(mpris Get | tail -n1)"
mpris Set variant:double:0.8 >/dev/null
until_is "volume_of $idx" 80 && until_is slider 80 || fail "MPRIS set 0.8: stream $(volume_of "$idx") %, slider $(slider)"
key Up Return
seen "mp3.asp?id=100060" 10 || fail "row 1 did not play"
for _ in $(seq 100); do [ "$(stream)" != "$idx" ] && break; sleep 0.1; done
until_is "volume_of $(stream)" 80 || fail "the next song's stream is at $(volume_of "$(stream)") %"
ok "a music stream with the program's icon, one volume for the slider, the mixer, MPRIS and the next song"

# The sound server restarts while the song plays: the program lives on, the song goes on through
# the new server at the program's volume, and the slider still moves the stream's.
kill "$pulse" && wait "$pulse" 2>/dev/null
start_pulse
for _ in $(seq 100); do [ -n "$(stream)" ] && break; sleep 0.1; done
kill -0 "$app" 2>/dev/null || fail "the program ended with the sound server"
until_is "volume_of $(stream)" 80 || fail "no stream at 80 % on the new server: $(pactl list short sink-inputs)"
corked() { pactl list sink-inputs | awk '/Corked:/ { print $2 }'; }
until_is corked no || fail "the song does not play on the new server: $(pactl list sink-inputs | grep -E 'Corked|State')"
to_keyword_box && for _ in $(seq 8); do
  /usr/bin/python3 "$here/read_list.py" focus | grep -qxF "slider	音量" && break
  key Tab
done
key Page_Down
until_is "volume_of $(stream)" "$(slider)" || fail "the slider at $(slider), the stream at $(volume_of "$(stream)") %"
ok "through a restart of the sound server the song plays on at the program's volume, which the slider moves"
for _ in $(seq 8); do /usr/bin/python3 "$here/read_list.py" focus | grep -q "^list" && break; key Tab; done

# The Menu key opens the row's menu; its download saves the song through the save dialog.
key Menu
key Down Down Return
sleep 2
key Return # the save dialog's Save
saved="$HOME/Love-Letter.mp3"
for _ in $(seq 100); do [ -s "$saved" ] && break; sleep 0.1; done
[ -s "$saved" ] || fail "the download chosen from the keyboard did not arrive: $(ls -A "$HOME")"
ok "the Menu key's download saved $saved"

# With the site gone a search says that it failed, and why, where a screen reader reads it.
kill "$sitepid"
to_keyword_box
key Return
for _ in $(seq 50); do
  /usr/bin/python3 "$here/read_list.py" names | grep -qxF "label	搜索失败：连接被拒绝" && break
  sleep 0.2
done
/usr/bin/python3 "$here/read_list.py" names >"$out/names-offline.txt"
grep -qxF "label	搜索失败：连接被拒绝" "$out/names-offline.txt" || fail "no failure said (see $out/names-offline.txt)"
ok "with the site gone, panel 2 reads 搜索失败：连接被拒绝"

echo "accessibility: $passed passed, 0 failed"
