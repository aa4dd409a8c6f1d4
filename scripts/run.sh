#!/usr/bin/env bash
# Builds Melodrift and runs it on the bundled demo music site (reached as the HTTP proxy).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
# Only what the run needs; scripts/test.sh builds the rest.
cmake --build --preset default --target melodrift melodrift-demo-site

# The site's log of every request it sees stays for the person to read.
log=build/demo-site.log
./build/site/melodrift-demo-site --port 0 >"$log" &
site=$!
trap 'kill "$site" 2>/dev/null' EXIT
port=""
for _ in $(seq 100); do
  port=$(awk '/^listening/ {print $2}' "$log")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "the demo site did not start" >&2; exit 1; }
echo "demo music site on 127.0.0.1:$port (every request it sees: $log); try the keywords 月光, 中文歌曲 mp3 or Love"

run=(env -u no_proxy -u NO_PROXY "http_proxy=http://127.0.0.1:$port" ./build/melodrift)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "no display: running under Xvfb" >&2
  run=(xvfb-run -a "${run[@]}")
fi
"${run[@]}"
