#!/bin/bash
# The cost of a keystroke under a real X server.
#
#   bench/bench-x.sh BUILD_DIR [BASE_BUILD_DIR]
#
# Each build runs on its own Xvfb with the German layout, from a temporary
# copy of its program directory and with a fresh HOME. The key sender types
# lesson 1 correctly and a seeded stream of home-row keys, round after round;
# with a second build the rounds alternate between the two. Printed are the
# medians over the rounds and, with a base, the ratios new / base.
# ROUNDS, KEYS, PERIOD_MS and SEED may be set in the environment. With FLOOR=1
# a bare Qt window (bench/velkora_xboden) is typed at too, in the same
# rounds: the cost of any window before the trainer does anything.
set -u
BUILD=$(cd "$1" && pwd)
BASE=${2:+$(cd "$2" && pwd)}
ROUNDS=${ROUNDS:-5}
FLOOR=${FLOOR:-}
KEYS=${KEYS:-400}
PERIOD_MS=${PERIOD_MS:-20}
SEED=${SEED:-14}
SENDER=$BUILD/bench/velkora_xsender
[ -x "$SENDER" ] || { echo "bench-x: $SENDER is missing" >&2; exit 1; }
for b in "$BUILD" ${BASE:+"$BASE"}; do
  [ -x "$b/velkora" ] || { echo "bench-x: no program in $b" >&2; exit 1; }
done

WORK=$(mktemp -d /tmp/velkora-bench-x.XXXXXX)
PIDS=()
cleanup() {
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A display number nobody uses: no socket and no lock file.
free_display() {
  local n=$1
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  echo "$n"
}

# start NAME DIR [PROGRAM]: Xvfb, layout, program copy, HOME, program. Sets DISPLAY_<NAME> and PID_<NAME>.
start() {
  local name=$1 dir=$2 exe=${3:-velkora} d
  d=$(free_display $((200 + RANDOM % 200)))
  Xvfb ":$d" -screen 0 1280x1024x24 -noreset -nolisten tcp >"$WORK/xvfb-$name.log" 2>&1 &
  PIDS+=($!)
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$d" ] && break; sleep 0.1; done
  DISPLAY=":$d" setxkbmap de || { echo "bench-x: setxkbmap failed" >&2; exit 1; }
  mkdir -p "$WORK/$name/prog" "$WORK/$name/home"
  find "$dir" -maxdepth 1 -type f \( -name "$exe" -o -iname '*.inf' -o -iname '*.txt' -o -iname '*.wav' \
       -o -iname '*.ani' -o -iname '*.avi' -o -iname '*.mdb' -o -iname '*.chm' \) \
       -exec cp -p {} "$WORK/$name/prog/" \;
  (cd "$WORK/$name/prog" && HOME="$WORK/$name/home" XDG_CONFIG_HOME= XDG_DATA_HOME= DISPLAY=":$d" \
     LANG=de_DE.UTF-8 exec "./$exe" >"$WORK/$name.log" 2>&1) &
  local pid=$!
  PIDS+=($pid)
  sleep 2
  # The splash window closes with Enter; the main window stays.
  DISPLAY=":$d" xdotool key Return 2>/dev/null || true
  sleep 1
  eval "DISPLAY_$name=$d PID_$name=$pid"
}

# last NAME: the newest stored row as "id|zaehler|fehler".
last() { sqlite3 "$WORK/$1/prog/velkora.mdb" "SELECT IDDatensatz, CAST(zaehler AS INTEGER), CAST(fehler AS INTEGER) FROM Auswertung ORDER BY IDDatensatz DESC LIMIT 1"; }

# round NAME MODE: one round, its figures appended to $WORK/NAME-MODE.txt.
FAILED=0
round() {
  local name=$1 mode=$2 d pid out want got before
  eval "d=\$DISPLAY_$name pid=\$PID_$name"
  if [ "$name" = floor ]; then
    # The bare window stores nothing; the text only tells the keys.
    out=$(DISPLAY=":$d" "$SENDER" "$pid" "$WORK/neu/prog/Lektion1.inf" "$mode" "$KEYS" "$PERIOD_MS" "$SEED")
    echo "  $name $mode: $out"
    echo "$out" >>"$WORK/$name-$mode.txt"
    return
  fi
  before=$(last "$name" | cut -d'|' -f1)
  out=$(DISPLAY=":$d" "$SENDER" "$pid" "$WORK/$name/prog/Lektion1.inf" "$mode" "$KEYS" "$PERIOD_MS" "$SEED")
  echo "  $name $mode: $out"
  want=$(sed -n 's/.* zaehler=\([0-9]*\) fehler=\([0-9]*\).*/\1|\2/p' <<<"$out")
  got=$(last "$name")
  if [ "${got%%|*}" = "$before" ]; then
    echo "  bench-x: $name $mode: no row was stored" >&2
    FAILED=1
  elif [ -z "$want" ] || [ "$want" != "${got#*|}" ]; then
    echo "  bench-x: $name $mode: stored zaehler|fehler \"${got#*|}\", sent \"$want\": keys were lost" >&2
    FAILED=1
  fi
  echo "$out" >>"$WORK/$name-$mode.txt"
}

command -v sqlite3 >/dev/null || { echo "bench-x: sqlite3 is missing" >&2; exit 1; }
start neu "$BUILD"
[ -n "$BASE" ] && start base "$BASE"
if [ -n "$FLOOR" ]; then
  [ -x "$BUILD/bench/velkora_xboden" ] || { echo "bench-x: $BUILD/bench/velkora_xboden is missing" >&2; exit 1; }
  start floor "$BUILD/bench" velkora_xboden
fi

echo "bench-x: $ROUNDS rounds, period $PERIOD_MS ms, $KEYS home-row keys (seed $SEED); lesson 1 typed whole"
for r in $(seq "$ROUNDS"); do
  echo "round $r"
  for mode in korrekt heimreihe; do
    # Alternate which build goes first, so neither always follows the other.
    if [ -n "$BASE" ] && [ $((r % 2)) -eq 1 ]; then order="base neu"; elif [ -n "$BASE" ]; then order="neu base"; else order=neu; fi
    for name in $order ${FLOOR:+floor}; do round "$name" "$mode"; done
  done
done

median() { sort -g | awk '{v[NR]=$1} END {if (NR == 0) print 0; else if (NR % 2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
div() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == 0 ? 0 : a / b) }'; }
field() { sed -n "s/.* $2=\([-0-9.]*\).*/\1/p" "$WORK/$1.txt" | median; }

echo
printf '%-10s %-6s %10s %10s %10s %10s %10s\n' mode build "cpu ms/key" "gui ms/key" "rss MB" "lat med" "lat p90"
for mode in korrekt heimreihe; do
  for name in neu ${BASE:+base} ${FLOOR:+floor}; do
    f=$name-$mode
    printf '%-10s %-6s %10.3f %10.3f %10.1f %10.3f %10.3f\n' "$mode" "$name" "$(field $f cpu_ms)" "$(field $f gui_ms)" \
      "$(div "$(field $f rss_kb)" 1024)" "$(field $f lat_med_ms)" "$(field $f lat_p90_ms)"
  done
  if [ -n "$BASE" ]; then
    ratio() { div "$(field neu-$mode "$1")" "$(field base-$mode "$1")"; }
    printf '%-10s %-6s %10.2f %10.2f %10.2f %10.2f %10.2f\n' "$mode" "ratio" "$(ratio cpu_ms)" "$(ratio gui_ms)" \
      "$(ratio rss_kb)" "$(ratio lat_med_ms)" "$(ratio lat_p90_ms)"
  fi
  if [ -n "$BASE" ] && [ -n "$FLOOR" ]; then
    # The bare window against the base: the least any build could reach.
    fratio() { div "$(field floor-$mode "$1")" "$(field base-$mode "$1")"; }
    printf '%-10s %-6s %10.2f %10.2f %10.2f %10.2f %10.2f\n' "$mode" "f/base" "$(fratio cpu_ms)" "$(fratio gui_ms)" \
      "$(fratio rss_kb)" "$(fratio lat_med_ms)" "$(fratio lat_p90_ms)"
  fi
done
[ "$FAILED" -eq 0 ] || { echo "bench-x: keys were lost (see above)" >&2; exit 1; }
