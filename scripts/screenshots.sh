#!/usr/bin/env bash
# Regenerates docs/screens/ from the real application: the built binary and the
# device simulator on a private broker, on a virtual display, driven by pointer
# input only (xdotool) and grabbed from the X server. Not part of the tests.
# SKIP_BUILD=1 reuses the last build; OUT names another folder.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
[ -n "${SKIP_BUILD:-}" ] || bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
OUT=${OUT:-$ROOT/docs/screens}
WORK=$(mktemp -d)
PORT=$((20000 + RANDOM % 20000))
mkdir -p "$OUT"

pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

# The screen is larger than the window so the pointer can rest outside it.
display=77
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 600x900x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\n' "$PORT" >"$WORK/mosquitto.conf"
mosquitto -c "$WORK/mosquitto.conf" >/dev/null 2>&1 &
pids+=($!)
sleep 0.5
"$BUILD_DIR/tools/simulator/quillon-simulator" -H 127.0.0.1 -P "$PORT" </dev/null >"$WORK/simulator.log" 2>&1 &
pids+=($!)
# The stand-in time-zone command fills the Region page's list without systemd.
export PATH="$ROOT/tools/timedatectl:$PATH" TIMEDATECTL_DIR="$WORK"

app=""
start_app() {
  [ -z "$app" ] || { kill "$app"; wait "$app" 2>/dev/null || true; }
  printf '[gui]\ndeviceId=%s\nlocale=en_IE\ndisplayOffMin=0\n\n[log]\nsyslog=false\n' \
    "$WORK/serialnumber" >"$WORK/gui.conf"
  (cd "$WORK" && QUILLON_EVENTS_FILE="$WORK/events.ini" \
    exec "$BUILD_DIR/quillon" -f "$WORK/gui.conf" -H 127.0.0.1 -P "$PORT" >>"$WORK/quillon.log" 2>&1) &
  app=$!
  pids+=($app)
  window=$(xdotool search --sync --onlyvisible --pid "$app" | head -n 1)
  sleep 3
}
sim() { mosquitto_pub -h 127.0.0.1 -p "$PORT" -t kivo/simulator/command -m "$*"; sleep "${WAIT:-1.2}"; }
tap() { xdotool mousemove --window "$window" "$1" "$2" mousedown 1 sleep 0.1 mouseup 1 mousemove 590 890; sleep "${3:-0.8}"; }
hold() { xdotool mousemove --window "$window" "$1" "$2" mousedown 1 sleep 1.5 mouseup 1 mousemove 590 890; sleep 1; }
# A finger's slow upward swipe: scrolls a page to its end.
swipe_up() {
  xdotool mousemove --window "$window" 240 700 mousedown 1
  for y in 660 600 540 480 420 360 300 240 180 120; do xdotool mousemove --window "$window" 240 "$y"; sleep 0.03; done
  xdotool mouseup 1 mousemove 590 890
  sleep 1.5
}
shot() { sleep 0.3; import -window "$window" "$OUT/$1.png"; echo "$1"; }
# shellcheck disable=SC2086 # each key is "x y"
pin() { for key in "$@"; do tap $key 0.3; done; tap 240 636; }
# Keys of the PIN pad.
K1="116 330"; K3="364 330"; K5="240 407"; K7="116 484"

rm -f "$OUT"/*.png
printf 'K12345678' >"$WORK/serialnumber"
start_app
for lang in en_IE el_GR; do
  [ "$lang" = en_IE ] || tap 65 60
  shot "ScanScreens_$lang"
  WAIT=0.8 sim tap valid; shot "Valid_$lang"; sleep 3
  WAIT=0.8 sim tap already; shot "AlreadyValid_$lang"; sleep 3
  WAIT=0.8 sim tap deny 205; shot "Invalid_$lang"; sleep 3
  WAIT=0.8 sim retry; shot "Retry_$lang"; sleep 3
  sim validator noroute; shot "OutOfService_$lang"
  sim validator online; sim service validation offline; shot "OutOfOrder_$lang"
  sim service validation online; sim validator init; shot "Busy_$lang"
  sim validator online
  sim ignition off; shot "ScreenSaver_$lang"
  sim ignition on; sleep 1
  hold 355 60; shot "Login_$lang"
  pin "$K7" "$K3" "$K1" "$K5"
  tap 450 35; tap 380 294 1.5
done
tap 65 60

# The maintenance menu and its pages.
hold 355 60; pin "$K7" "$K3" "$K1" "$K5"
shot Settings-menu
tap 240 114; shot Settings-validator
swipe_up; shot Settings-validator-end
tap 240 734 1.2; shot Settings-validatorconfig
tap 140 714; tap 30 33
tap 240 201 1.5; shot Settings-diagnostics
tap 396 730 1.5; shot Settings-diagnostics-report
tap 240 200 1.2
tap 240 289 1.2; shot Settings-region; tap 30 33
tap 240 376; shot Settings-audio; tap 30 33
tap 240 464; shot Settings-display
# The display-off spin box takes digits: the numeric keyboard.
tap 330 415; shot Settings-keyboard-spinbox; tap 322 745; tap 30 33
tap 240 551; shot Settings-network
tap 360 95; shot Settings-network-ethernet
tap 240 508; tap 330 113; tap 330 155; tap 330 180; shot Settings-keyboard-address
tap 322 745; shot Settings-ethernetconfig
tap 140 521; tap 30 33
tap 240 639; shot Settings-update; tap 30 33
tap 240 726; swipe_up; shot Settings-eventlog; tap 30 33
tap 450 35; tap 380 102; shot Settings-scanconfig
tap 240 770 1
# Five wrong PINs lock the PIN page.
tap 450 35; tap 380 294 1.5
hold 355 60
for _ in 1 2 3 4 5; do pin "$K1"; done
shot Login-locked

# First start: no serial number, typed on the page's key pad.
rm -f "$WORK/serialnumber"
start_app
for lang in en_IE el_GR; do
  [ "$lang" = en_IE ] || tap 65 60
  shot "InitPage_$lang"
  # K, 1, 2, 3.
  for key in "359 568" "119 376" "239 376" "359 376"; do tap $key 0.3; done
  shot "InitPage-keypad_$lang"
  tap 329 632
done
echo "Screens written to $OUT"
