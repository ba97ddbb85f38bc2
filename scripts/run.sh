#!/usr/bin/env bash
# Builds and starts the application in ./run, with a private broker on
# localhost when none listens there and the device simulator when it is built.
# Ctrl-C stops everything this script started.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
WORK=${QUILLON_WORK:-$ROOT/run}
mkdir -p "$WORK"

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT INT TERM

broker_listening() {
  (exec 3<>/dev/tcp/127.0.0.1/1883) 2>/dev/null
}

if ! broker_listening; then
  cat > "$WORK/mosquitto.conf" <<CONF
listener 1883 127.0.0.1
allow_anonymous true
persistence false
log_dest file $WORK/mosquitto.log
CONF
  mosquitto -c "$WORK/mosquitto.conf" &
  pids+=($!)
  for _ in $(seq 50); do broker_listening && break; sleep 0.1; done
  echo "Started a private broker on 127.0.0.1:1883"
fi

# First start: keep the serial number inside the working folder.
if [ ! -f "$WORK/gui.conf" ]; then
  printf '[gui]\ndeviceId=%s\n' "$WORK/serialnumber" > "$WORK/gui.conf"
fi

SIMULATOR="$BUILD_DIR/tools/simulator/quillon-simulator"
if [ -x "$SIMULATOR" ]; then
  "$SIMULATOR" --host 127.0.0.1 --port 1883 &
  pids+=($!)
fi

cd "$WORK"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running under a virtual X server." >&2
  xvfb-run -a -s "-screen 0 480x800x24" "$ROOT/$BUILD_DIR/quillon" -f gui.conf -e "$@" &
else
  "$ROOT/$BUILD_DIR/quillon" -f gui.conf -e "$@" &
fi
pids+=($!)
wait "${pids[-1]}"
