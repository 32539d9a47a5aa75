#!/bin/sh
# Runs tests/shell/atspi.py against the program under an X server and a
# D-Bus session of their own, with the accessibility bus that a desktop
# starts for a screen reader. Exit code 77 (skipped) only when that bus
# cannot be started here.
helfer=$1
skript=$2
tmp=$(mktemp -d) || exit 1
trap 'kill $xpid 2>/dev/null; rm -rf "$tmp"' EXIT INT TERM
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xpid=$!
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || { echo "FEHLER: Xvfb startet nicht"; cat "$tmp/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$tmp/display")"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
export XDG_RUNTIME_DIR="$tmp"
timeout 90 dbus-run-session -- sh -c '
  if ! timeout 20 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1; then
    echo "SKIP: der Bus der Zugänglichkeit (at-spi2-core) startet hier nicht"; exit 77
  fi
  exec /usr/bin/python3 "$1" "$2"' sh "$skript" "$helfer"
