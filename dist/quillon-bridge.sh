#!/usr/bin/env bash
# Writes the device's broker bridge to the fleet's central broker from the
# fleet settings file and the serial-number file, or removes it when there
# is no fleet settings file. Safe to run at every start: the broker is
# restarted (with -r) only when the bridge file changed, as mosquitto does
# not reload bridges on a signal.
#
# Runs as root over files the application's user writes (its settings and
# the serial-number file they name): every value is checked before it goes
# into the broker's configuration, and a refused one leaves the bridge file
# and the broker as they were.
set -euo pipefail
export LC_ALL=C

usage() {
  echo "usage: $0 [-f fleet.conf] [-g gui.conf] [-o bridge.conf] [-t template] [-r]" >&2
  exit 2
}

fleet=/etc/quillon/fleet.conf
gui=/var/lib/quillon/gui.conf
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

# A serial-number file holds one short line; anything longer is not one.
readonly serial_max=256
readonly topic_level='[A-Za-z0-9_-]+'

log() { echo "quillon-bridge: $*" >&2; }
refuse() {
  log "$*: bridge left as it was"
  exit 1
}

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

# The first non-empty line of the serial-number file. Only a regular file is
# read, and only its first bytes, within a time limit: the path comes from
# the application's settings. What the file holds is logged only once it
# has passed for a serial number, as the path may name a file that is not
# meant to be shown.
read_serial() {
  local file=$1 text
  serial=""
  [[ -e $file ]] || return 0
  [[ -f $file ]] || refuse "the serial-number file $file is not a regular file"
  # The x keeps trailing newlines in the count.
  text=$(timeout 2 head -c $((serial_max + 1)) -- "$file" | tr '\0' '?' && echo x) ||
    refuse "the serial-number file $file cannot be read"
  text=${text%x}
  ((${#text} <= serial_max)) || refuse "the serial-number file $file is longer than $serial_max bytes"
  serial=$(printf '%s' "$text" | grep -m1 -v '^[[:space:]]*$' | sed 's/^[[:space:]]*//; s/[[:space:]]*$//' || true)
}

# check_file NAME PATH: an absolute path to a readable regular file, or empty.
check_file() {
  [[ -z $2 ]] && return 0
  [[ $2 == /* && -f $2 && -r $2 ]] || refuse "the $1 $2 is not a readable file"
}

# fill LINE: the template line with each @NAME@ replaced once, left to right;
# a value is never searched again, so a value that holds a placeholder stays
# as it is. Fails for a line whose value is empty: the line is left out.
fill() {
  local rest=$1 result="" name
  while [[ $rest =~ ^([^@]*)@([A-Z]+)@(.*)$ ]]; do
    name=${BASH_REMATCH[2]}
    [[ -n ${values[$name]:-} ]] || return 1
    result+=${BASH_REMATCH[1]}${values[$name]}
    rest=${BASH_REMATCH[3]}
  done
  printf '%s\n' "$result$rest"
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
read_serial "${serial_file:-/etc/serialnumber}"
if [[ -z $serial ]]; then
  log "no serial number in ${serial_file:-/etc/serialnumber} yet: bridge not written"
  exit 0
fi
[[ $serial =~ ^[A-Za-z0-9._-]+$ ]] || refuse "the serial number cannot be part of a topic"

base=$(ini_value "$gui" mqtt base)
base=${base:-kivo/ui}
[[ $base =~ ^$topic_level(/$topic_level)*$ ]] || refuse "the base topic '$base' is not a plain topic"
# Nor one that reaches into, or over, a device service's own topics.
for service in barcode blm board inspector network device; do
  other=$(ini_value "$gui" topics "$service")
  other=${other:-kivo/$service}
  for pair in "$base/ $other/" "$other/ $base/"; do
    read -r a b <<<"$pair"
    [[ $a == "$b"* ]] && refuse "the base topic '$base' overlaps the service topic '$other'"
  done
done
[[ kivo/rfid/ == "$base/"* || $base/ == kivo/rfid/* ]] && refuse "the base topic '$base' overlaps the readers' topics"

host=$(ini_value "$fleet" "" host)
port=$(ini_value "$fleet" "" port)
cafile=$(ini_value "$fleet" "" cafile)
certfile=$(ini_value "$fleet" "" certfile)
keyfile=$(ini_value "$fleet" "" keyfile)
insecure=$(ini_value "$fleet" "" insecure)
port=${port:-$([[ -n $cafile ]] && echo 8883 || echo 1883)}
[[ $host =~ ^[A-Za-z0-9.-]+$ ]] || refuse "$fleet names no host, or one that is not a host name"
if [[ ! $port =~ ^[0-9]{1,5}$ ]] || ((10#$port < 1 || 10#$port > 65535)); then
  refuse "the port '$port' is not a port"
fi
[[ -n $cafile || $insecure == true ]] ||
  refuse "no cafile in $fleet: the link needs TLS unless insecure=true says otherwise"
check_file cafile "$cafile"
check_file certfile "$certfile"
check_file keyfile "$keyfile"
[[ -z $certfile && -z $keyfile || -n $certfile && -n $keyfile && -n $cafile ]] ||
  refuse "a client certificate needs its key and the cafile"

declare -A values=(
  [SERIAL]=$serial [BASE]=$base [HOST]=$host [PORT]=$port [CAFILE]=$cafile
  [CERTFILE]=$certfile [KEYFILE]=$keyfile
  [USERNAME]=$(ini_value "$fleet" "" username) [PASSWORD]=$(ini_value "$fleet" "" password)
)
for name in "${!values[@]}"; do
  [[ ! ${values[$name]} =~ [[:space:][:cntrl:]] ]] || refuse "the ${name,,} may not contain blanks"
done

text=""
while IFS= read -r line || [[ -n $line ]]; do
  if filled=$(fill "$line"); then
    text+=$filled$'\n'
  fi
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
