# Shared by the end-to-end scripts (sourced): a work folder, pass and fail reports, a desktop whose
# default browser is a 360 browser script, the demo site as the HTTP proxy, waits on its log.
# The sourcing script sets `name` (for the summary) and may define on_failure (extra details).
work=$(mktemp -d /tmp/mde2eXXXXXX)
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
passed=0
ok() { echo "ok: $*"; passed=$((passed + 1)); }
fail() {
  echo "FAIL: $*"
  declare -F on_failure >/dev/null && on_failure
  echo "site log:" && tail -n 20 "$work/site.log"
  echo "$name: $passed passed, 1 failed"
  exit 1
}
key() { xdotool key --delay 60 "$@"; sleep 0.3; }
# A screenshot of the display as step N of `$out`, when the script has a `$grab` tool.
step=0
shot() { step=$((step + 1)); QT_QPA_PLATFORM=xcb "$grab" "$out/$(printf %02d "$step")-$1.png" >/dev/null 2>&1 || true; }
# A display of our own, the first free from :$1 on, $2 in size, and the program's only one (the test
# preset's offscreen platform is not); -noreset: a server that resets when its last client leaves
# can fail the next one to come.
start_xvfb() {
  for n in $(seq "$1" $(($1 + 40))); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
  export DISPLAY=:$n
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY
  Xvfb "$DISPLAY" -screen 0 "$2"x24 -nolisten tcp -noreset >"${out:-$work}/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
}
# Waits up to $2 seconds for the site to see a request line that contains $1.
seen() {
  local deadline=$((SECONDS + $2))
  until grep -qF -- "$1" "$work/site.log"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}
# The desktop's default browser: a 360 browser script (so start-up shows no box); HOME is ours.
use_fake_desktop() {
  mkdir -p "$work/config" "$work/data/applications" "$work/home"
  printf '#!/bin/sh\n' >"$work/360se" && chmod +x "$work/360se"
  printf '[Desktop Entry]\nType=Application\nName=360\nExec=%s %%u\n' "$work/360se" >"$work/data/applications/b.desktop"
  printf '[Default Applications]\nx-scheme-handler/http=b.desktop\n' >"$work/config/mimeapps.list"
  export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data HOME=$work/home
  unset no_proxy NO_PROXY
}
# Starts the demo site (song length $2 ms, 0 for minutes) from binary $1, logging to $3 (site.log
# in the work folder by default), and makes it this process's proxy.
start_site() {
  local log=${3:-$work/site.log}
  "$1" --port 0 --song-ms "$2" >"$log" &
  pids+=($!)
  local port=""
  for _ in $(seq 100); do port=$(awk '/^listening/ {print $2}' "$log"); [ -n "$port" ] && break; sleep 0.1; done
  [ -n "$port" ] || fail "the demo site did not start"
  export http_proxy=http://127.0.0.1:$port
}
# Waits for the program's window and sets `win` to it.
find_window() {
  win=""
  for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --name 'Melodrift -By Velbrook' 2>/dev/null | head -n1)
    [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] || fail "the window did not appear"
}
# MPRIS's Volume: Get, or Set with a value.
mpris() { dbus-send --session --print-reply --dest="org.mpris.MediaPlayer2.melodrift.instance$app" /org/mpris/MediaPlayer2 \
  "org.freedesktop.DBus.Properties.$1" string:org.mpris.MediaPlayer2.Player string:Volume "${@:2}"; }
# Starts $melodrift, waits for its window and gives it the keyboard; `app` is its process.
run_program() {
  "$melodrift" >>"$work/program.log" 2>&1 &
  app=$!
  pids+=($app)
  find_window
  sleep 1
  xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
}
# True when every song page in site log $1 is followed by its file and nothing else for it: no
# range asked again, no page or file of a song after another song's page.
one_request_per_play() {
  awk '/mp3\.asp\?id=|\/audio\// {
    if ($2 ~ /mp3\.asp/) { if (want != "") exit 1; split($2, p, "id="); want = p[2]; next }
    if (want == "" || index($2, "/audio/" want ".") == 0 || $3 == "Range:") exit 1
    want = ""
  }' "$1"
}
