#!/usr/bin/env bash
# The real program without a mouse, read as a screen reader reads it: under
# tests/support/a11y_session.sh (Xvfb, session bus, accessibility bus), keys from xdotool only, the
# window's rows and controls read over AT-SPI with pyatspi.
# Usage: a11y.sh MELODRIFT DEMO-SITE OUTPUT-FOLDER
set -uo pipefail
melodrift=$1 site=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out" && mkdir -p "$out"
name=accessibility
source "$here/harness.sh"
on_failure() { echo "program log:" && tail -n 20 "$work/program.log"; }
key() { xdotool key --delay 60 "$@"; sleep 0.3; }
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

use_fake_desktop
start_site "$site" 20000
"$melodrift" >"$work/program.log" 2>&1 &
pids+=($!)
find_window
sleep 1
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"

names=$(/usr/bin/python3 "$here/read_list.py" names) || fail "the window cannot be read over AT-SPI"
echo "$names" >"$out/names.txt"
for expected in "text	关键字" "push button	搜索" "push button	翻页" "push button	播放" "push button	停止" \
                "slider	进度" "slider	音量" "list	歌曲列表" "radio button	列表循环"; do
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

# Into the list (past the player's five controls), down to row 2, Enter plays it.
key Tab Tab Tab Tab Tab Tab
key Down Down
sed -n 2p <(rows) | grep -qP "\tselected,focused$" || fail "row 2 is not selected and focused: $(rows | sed -n 2p)"
ok "row 2 chosen from the keyboard, and the screen reader knows"
key Return
seen "mp3.asp?id=100067" 10 || fail "row 2 did not play"
ok "Enter played row 2"
sed -n 2p <(rows) | grep -qF "正在播放" || fail "the playing row does not say so: $(rows | sed -n 2p)"
ok "the screen reader hears which row plays"

# The Menu key opens the row's menu; its download saves the song through the save dialog.
key Up
key Menu
key Down Down Return
sleep 2
key Return # the save dialog's Save
saved="$HOME/Love-Letter.mp3"
for _ in $(seq 100); do [ -s "$saved" ] && break; sleep 0.1; done
[ -s "$saved" ] || fail "the download chosen from the keyboard did not arrive: $(ls -A "$HOME")"
ok "the Menu key's download saved $saved"

# With the site gone a search says that it failed, and why, where a screen reader reads it.
kill "${pids[0]}"
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
