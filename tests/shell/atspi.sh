#!/bin/sh
# Runs atspi.py ($2) against the helper program ($1) under an X server and a
# D-Bus session of their own, with the accessibility bus a desktop starts
# for a screen reader; 77 (skipped) only when that bus cannot start here.
tmp=$(mktemp -d) || exit 1
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$tmp/display" 2>"$tmp/xvfb.log" &
trap "kill $! 2>/dev/null; rm -rf '$tmp'" EXIT INT TERM
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || { echo "FEHLER: Xvfb startet nicht"; cat "$tmp/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$tmp/display")" XDG_RUNTIME_DIR="$tmp" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
timeout 90 dbus-run-session -- sh -c '
  timeout 20 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 ||
    { echo "SKIP: der Bus der Zugänglichkeit (at-spi2-core) startet hier nicht"; exit 77; }
  exec /usr/bin/python3 "$1" "$2"' sh "$2" "$1"
