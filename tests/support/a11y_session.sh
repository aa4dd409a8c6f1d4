#!/usr/bin/env bash
# Runs a command where an assistive technology would listen: a display of its own (Xvfb), a
# session bus and the accessibility bus, and Qt's AT-SPI bridge switched on.
# Usage: a11y_session.sh COMMAND [ARGS...]
set -uo pipefail
for n in $(seq 100 160); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
export DISPLAY=:$n
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null' EXIT
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  launcher=$!
  "$@"
  status=$?
  kill "$launcher" 2>/dev/null
  exit $status' a11y_session "$@"
