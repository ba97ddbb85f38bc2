#!/usr/bin/env bash
# Builds and runs the demo in ./run (or $QUILLON_WORK): a private broker on
# localhost when none listens there, the application in the background and the
# device simulator in the foreground, reading commands from this terminal.
# Ctrl-C (or the simulator's "quit") stops all three. Extra arguments go to the
# application. Everything the application writes stays in the working folder.
# SKIP_BUILD=1 reuses the last build; MQTT_PORT picks another broker port.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
[ -n "${SKIP_BUILD:-}" ] || bash scripts/build.sh
PORT=${MQTT_PORT:-1883}
BUILD_DIR=${BUILD_DIR:-build}
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$ROOT/$BUILD_DIR" ;; esac
WORK=${QUILLON_WORK:-$ROOT/run}
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)

pids=()
cleanup() {
  trap - EXIT INT TERM
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

broker_listening() {
  (exec 3<>/dev/tcp/127.0.0.1/$PORT) 2>/dev/null
}

if ! broker_listening; then
  cat > "$WORK/mosquitto.conf" <<CONF
listener $PORT 127.0.0.1
allow_anonymous true
persistence false
user $(id -un)
log_dest file $WORK/mosquitto.log
CONF
  mosquitto -c "$WORK/mosquitto.conf" &
  pids+=($!)
  for _ in $(seq 50); do broker_listening && break; sleep 0.1; done
  broker_listening || { echo "The private broker did not start; see $WORK/mosquitto.log" >&2; exit 1; }
  echo "Started a private broker on 127.0.0.1:$PORT"
fi

# First start: the serial number lives in the working folder and is already
# set, so the passenger screen comes up rather than the first-start page.
if [ ! -f "$WORK/gui.conf" ]; then
  printf '[gui]\ndeviceId=%s\n\n[log]\nsyslog=false\n' "$WORK/serialnumber" > "$WORK/gui.conf"
fi
[ -s "$WORK/serialnumber" ] || printf 'QV-DEMO-0001' > "$WORK/serialnumber"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  display=99
  while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 480x800x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
  pids+=($!)
  export DISPLAY=":$display"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  echo "No display found: the application runs on the virtual display $DISPLAY."
fi

# The tests' stand-in timedatectl comes first on the application's PATH: it
# fills the Region page's zone list where systemd does not run, and a zone
# picked in the demo stays in the working folder instead of reaching the host.
mkdir -p "$WORK/timedatectl"
(cd "$WORK" && QUILLON_EVENTS_FILE="$WORK/events.ini" TIMEDATECTL_DIR="$WORK/timedatectl" \
  PATH="$ROOT/tools/timedatectl:$PATH" \
  exec "$BUILD_DIR/quillon" -f "$WORK/gui.conf" -e -H 127.0.0.1 -P "$PORT" "$@" >"$WORK/quillon.log" 2>&1) &
pids+=($!)
echo "The application logs to $WORK/quillon.log"
echo "Type 'help' for the simulator's commands; from another terminal:"
echo "  mosquitto_pub -h 127.0.0.1 -p $PORT -t kivo/simulator/command -m 'tap valid'"

"$BUILD_DIR/tools/simulator/quillon-simulator" -H 127.0.0.1 -P "$PORT"
