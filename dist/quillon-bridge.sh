#!/usr/bin/env bash
# Writes the device's broker bridge to the fleet's central broker from the
# fleet settings file and the serial-number file, or removes it when there
# is no fleet settings file. Safe to run at every start: the broker is
# restarted (with -r) only when the bridge file changed, as mosquitto does
# not reload bridges on a signal.
set -euo pipefail

usage() {
  echo "usage: $0 [-f fleet.conf] [-g gui.conf] [-o bridge.conf] [-t template] [-r]" >&2
  exit 2
}

fleet=/etc/quillon/fleet.conf
gui=/etc/quillon/gui.conf
out=/etc/mosquitto/conf.d/quillon-bridge.conf
template=$(dirname "$(readlink -f "$0")")/quillon-bridge.conf.in
restart=false
while getopts "f:g:o:t:r" opt; do
  case $opt in
    f) fleet=$OPTARG ;;
    g) gui=$OPTARG ;;
    o) out=$OPTARG ;;
    t) template=$OPTARG ;;
    r) restart=true ;;
    *) usage ;;
  esac
done

log() { echo "quillon-bridge: $*" >&2; }

# ini_value FILE SECTION KEY: a value of an INI file ("" for no section),
# blanks around it and quotes removed.
ini_value() {
  [[ -r $1 ]] || return 0
  awk -v section="[$2]" -v key="$3" '
    function trim(s) { gsub(/^[[:space:]]+|[[:space:]]+$/, "", s); return s }
    /^[[:space:]]*\[/ { inside = (trim($0) == section); next }
    (section == "[]" || inside) && index($0, "=") {
      name = trim(substr($0, 1, index($0, "=") - 1))
      if (name != key) next
      value = trim(substr($0, index($0, "=") + 1))
      gsub(/^"|"$/, "", value); print value; exit
    }' "$1"
}

restart_broker() {
  if $restart; then
    # Queued, not waited for: this may run while a unit ordered after the
    # broker is starting.
    systemctl --no-block try-restart mosquitto.service || log "could not restart mosquitto"
  fi
}

if [[ ! -f $fleet ]]; then
  if [[ -f $out ]]; then
    rm -f "$out"
    log "no $fleet: bridge removed"
    restart_broker
  fi
  exit 0
fi

serial_file=$(ini_value "$gui" gui deviceId)
serial_file=${serial_file:-/etc/serialnumber}
serial=$(grep -m1 -v '^$' "$serial_file" 2>/dev/null | sed 's/^[[:space:]]*//; s/[[:space:]]*$//' || true)
if [[ -z $serial ]]; then
  log "no serial number in $serial_file yet: bridge not written"
  exit 0
fi
if [[ ! $serial =~ ^[A-Za-z0-9._-]+$ ]]; then
  log "serial number '$serial' cannot be part of a topic"
  exit 1
fi

base=$(ini_value "$gui" mqtt base)
host=$(ini_value "$fleet" "" host)
cafile=$(ini_value "$fleet" "" cafile)
port=$(ini_value "$fleet" "" port)
port=${port:-$([[ -n $cafile ]] && echo 8883 || echo 1883)}
declare -A values=(
  [SERIAL]=$serial [BASE]=${base:-kivo/ui} [HOST]=$host [PORT]=$port [CAFILE]=$cafile
  [USERNAME]=$(ini_value "$fleet" "" username) [PASSWORD]=$(ini_value "$fleet" "" password)
)
if [[ -z $host ]]; then
  log "$fleet names no host"
  exit 1
fi
for name in "${!values[@]}"; do
  if [[ ${values[$name]} =~ [[:space:]] ]]; then
    log "the ${name,,} may not contain blanks"
    exit 1
  fi
done

text=""
while IFS= read -r line || [[ -n $line ]]; do
  for name in "${!values[@]}"; do
    [[ $line == *"@$name@"* ]] || continue
    # A setting left empty drops its line.
    [[ -n ${values[$name]} ]] || continue 2
    line=${line//"@$name@"/"${values[$name]}"}
  done
  text+=$line$'\n'
done <"$template"

tmp=$(mktemp "$out.XXXXXX")
printf '%s' "$text" >"$tmp"
if cmp -s "$tmp" "$out"; then
  rm -f "$tmp"
  exit 0
fi
# The file holds the password; the broker re-reads it as its own user.
chmod 0640 "$tmp"
chgrp mosquitto "$tmp" 2>/dev/null || chmod 0600 "$tmp"
mv -f "$tmp" "$out"
log "bridge for $serial to $host:$port written to $out"
restart_broker
