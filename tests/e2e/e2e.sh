#!/usr/bin/env bash
# The real program as a person uses it: Xvfb, the demo site as the HTTP proxy, real mouse and key
# events from xdotool. Screenshots of every step go to the output folder.
# Usage: e2e.sh MELODRIFT DEMO-SITE GRABSCREEN CLOSEWINDOW OUTPUT-FOLDER
set -uo pipefail
melodrift=$1 site=$2 grab=$3 closewindow=$4 out=$5
rm -rf "$out" && mkdir -p "$out"
name=end-to-end
source "$(dirname "$0")/harness.sh"
on_failure() { shot "failure"; echo "program log:" && tail -n 20 "$work/program.log"; }
# On the terminal first: --help and --version answer without a window; a window that cannot be
# opened (no display, one that does not answer, a platform that cannot start) is said in one line.
"$melodrift" --version | grep -qx "melodrift [0-9][0-9.]*" || fail "--version"
"$melodrift" --help | grep -q "^Usage: melodrift" || fail "--help"
for n in $(seq 20 60); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
mkdir -m 700 "$work/runtime"
for desktop in "-u DISPLAY -u WAYLAND_DISPLAY" "-u WAYLAND_DISPLAY DISPLAY=:$n" \
               "-u DISPLAY WAYLAND_DISPLAY=gone XDG_RUNTIME_DIR=$work/runtime" \
               "-u WAYLAND_DISPLAY DISPLAY=:$n QT_QPA_PLATFORM=xcb" "QT_QPA_PLATFORM=nosuch"; do
  said=$(env -u QT_QPA_PLATFORM $desktop "$melodrift" 2>&1)
  status=$?
  [ $status -eq 1 ] && [[ $said == "melodrift: cannot open its window: "* ]] && [ "$(wc -l <<<"$said")" -eq 1 ] ||
    fail "with $desktop: status $status, $said"
done
ok "--help, --version and a window that cannot open answer on the terminal"
# A display of our own (started as a desktop session starts the program: DISPLAY alone), and the
# desktop's default browser set to a 360 browser script.
start_xvfb "$n" 800x600
use_fake_desktop

start_site "$site" 1500

app=""
win=""
start_program() {
  xdotool getdisplaygeometry >/dev/null 2>&1 || fail "the X server is gone (see $out/xvfb.log)"
  "$melodrift" >>"$work/program.log" 2>&1 &
  app=$!
  find_window
  sleep 0.5
}
# Closes the window as a window manager would; once the window is gone the process must end, with
# status 0, within a second. A request that changes nothing is sent again.
close_program() {
  local tries=0
  while xdotool search --onlyvisible --name 'Melodrift -By Velbrook' 2>/dev/null | grep -qx "$win"; do
    [ $tries -ge 5 ] && fail "the window does not close ($1)"
    "$closewindow" "$win"
    tries=$((tries + 1))
    sleep 0.3
  done
  local waited=0
  while kill -0 "$app" 2>/dev/null; do
    if [ $waited -eq 10 ]; then gdb -p "$app" -batch -ex 'thread apply all bt 12' 2>/dev/null | grep -E '^#|^Thread' > "$out/exit-backtrace.txt" 2>&1; fi
    [ $waited -ge 10 ] && fail "still running a second after the window closed ($1)"
    sleep 0.1
    waited=$((waited + 1))
  done
  wait "$app"
  local rc=$?
  [ $rc -eq 0 ] || fail "exit status $rc after closing ($1)"
  ok "closed $1; the process ended within $(((waited + 3) * 100)) ms of the window"
}
click() { xdotool mousemove --window "$win" "$1" "$2" click "${3:-1}"; }
search_for() { click 88 449; xdotool key ctrl+a; xdotool type --delay 40 "$1"; xdotool key Return; }
row() { echo $((97 + ($1 - 1) * 18 + 9)); }

start_program
shot start
# xdotool types a character the keyboard lacks by remapping a key for it; on a busy machine the
# program may read the key before the new mapping, so a mistyped search is typed again.
for try in 1 2 3; do
  searches=$(grep -c "so.asp?key=" "$work/site.log")
  search_for "中文歌曲 mp3"
  seen "GET http://so.melodrift-music.example/so.asp?key=%D6%D0%CE%C4%B8%E8%C7%FA%20mp3" 10 && break
  [ "$(grep -c "so.asp?key=" "$work/site.log")" -gt "$searches" ] || fail "no search request"
done
seen "GET http://so.melodrift-music.example/so.asp?key=%D6%D0%CE%C4%B8%E8%C7%FA%20mp3" 1 || fail "no search request"
ok "search request with the encoded keyword"
sleep 1
shot search

click 272 444
seen "so.asp?page=2&key=%D6%D0%CE%C4%B8%E8%C7%FA%20mp3" 10 || fail "no request for page 2"
ok "next page requested"
sleep 1
shot next-page

xdotool mousemove --window "$win" 100 "$(row 2)" click --repeat 2 --delay 60 1
seen "GET http://www.melodrift-music.example/mp3.asp?id=100002" 10 || fail "row 2 was not played"
ok "row 2 played"
sleep 0.7
shot playing
seen "GET http://www.melodrift-music.example/mp3.asp?id=100003" 20 || fail "row 3 did not follow in loop mode"
ok "row 3 followed when the song ended"
shot next-song
seen "GET http://www.melodrift-music.example/mp3.asp?id=100005" 20 || fail "rows 4 and 5 did not follow"
sleep 0.5
one_request_per_play "$work/site.log" || fail "the automatic advance asked for a song more than once"
ok "each automatic advance asked for its song's page and file once"

click 100 "$(row 1)" 3
sleep 0.5
shot menu
xdotool key Down Down Return
sleep 2
shot save-dialog
xdotool key Return
saved="$HOME/月光下的爱.mp3"
for _ in $(seq 100); do [ -s "$saved" ] && break; sleep 0.1; done
[ -s "$saved" ] || fail "the download did not arrive"
ok "download saved as $saved"
sleep 0.5
shot downloaded
close_program "during playback"

start_program
search_for "_silent"
seen "key=%5Fsilent" 10 || seen "key=_silent" 1 || fail "no silent search request"
sleep 0.3
shot silent-search
close_program "during a search"

start_program
search_for "_special"
seen "key=_special" 10 || fail "no special search"
sleep 1
click 100 "$(row 1)" 3
sleep 0.5
xdotool key Down Down Return
seen "mp3.asp?id=slow" 10 || fail "the slow download did not start"
sleep 2
xdotool key Return
sleep 0.5
shot slow-download
close_program "during a download"
leftovers=$(find "$HOME" -maxdepth 1 -name '慢速*' -o -maxdepth 1 -name '*.wav.*' -o -maxdepth 1 -name 'slow*' | wc -l)
[ "$leftovers" -eq 0 ] || fail "a cut download left files behind: $(ls -A "$HOME")"
ok "the cut download left nothing behind"
# Songs of minutes, still downloading when the person moves on: 30 switches by double-click, Enter,
# the Menu key's "试听" and the desktop's "next" (MPRIS, on a session bus of our own). Each play costs
# the site the new song's page and file; a song left is never asked for again.
start_site "$site" 0 "$work/long.log"
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS=${bus%%$'\n'*}
pids+=("${bus##*$'\n'}")
start_program
search_for ""
for _ in $(seq 100); do grep -q "so.asp?key=" "$work/long.log" && break; sleep 0.1; done
sleep 1
plays=0
for i in $(seq 30); do
  r=$(((i * 7) % 15 + 1))
  case $((i % 4)) in
    0) xdotool mousemove --window "$win" 100 "$(row "$r")" click --repeat 2 --delay 60 1 ;;
    1) click 100 "$(row "$r")"; xdotool key Return ;;
    2) click 100 "$(row "$r")"; xdotool key Menu; sleep 0.4; xdotool key Down Return ;;
    3) dbus-send --session --type=method_call --dest="org.mpris.MediaPlayer2.melodrift.instance$app" \
         /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Player.Next ;;
  esac
  plays=$((plays + 1))
  # The new song's file has begun and is far from downloaded when the next switch comes.
  waited=0
  until [ "$(grep -c '/audio/' "$work/long.log")" -ge $plays ]; do
    [ $waited -lt 200 ] || fail "switch $i (way $((i % 4))) started no song"
    sleep 0.1
    waited=$((waited + 1))
  done
  sleep 1.2
done
sleep 2
shot switches
one_request_per_play "$work/long.log" || fail "a song left was asked for again"
[ "$(grep -c 'mp3.asp?id=' "$work/long.log")" -eq 30 ] || fail "$(grep -c 'mp3.asp?id=' "$work/long.log") song pages for 30 plays"
ok "30 switches while songs downloaded: 30 song pages, 30 files, nothing for a song left"
close_program "while a song of minutes downloads"
[ "$(grep -cE 'mp3.asp|/audio/' "$work/long.log")" -eq 60 ] || fail "closing asked the site for the song again"
ok "closing asked for nothing more"
echo "end-to-end: $passed passed, 0 failed"
