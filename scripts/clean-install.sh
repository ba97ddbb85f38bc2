#!/usr/bin/env bash
# Installs the amd64 packages from dist/out/ with apt into a throwaway minimal
# Debian 12 root (debootstrap), then, in a network namespace of its own, starts
# the broker with its installed configuration, the simulator, and the
# application as its unit does but on a virtual display, and waits for the
# passenger screen. Builds the packages first when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(Quillon VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
debs=(dist/out/quillon_"${version}"_amd64.deb dist/out/quillon-simulator_"${version}"_amd64.deb)
[ -f "${debs[0]}" ] && [ -f "${debs[1]}" ] || bash scripts/package.sh amd64
dpkg-query -W -f='${Status}' debootstrap 2>/dev/null | grep -q "install ok installed" ||
  { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap; }

root=$(mktemp -d /var/tmp/quillon-root.XXXXXX)
log=$root.log
trap 'rm -rf "$root" "$log"' EXIT
chmod 755 "$root"
start=$SECONDS
# Chained: errexit does not reach into a function tested with ||.
install_all() {
  timeout 600 debootstrap --variant=minbase bookworm "$root" &&
    cp "${debs[@]}" "$root/tmp/" &&
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d" && # no service starts in the root
    chmod +x "$root/usr/sbin/policy-rc.d" &&
    timeout 600 chroot "$root" sh -c 'apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y \
      --no-install-recommends /tmp/quillon_*.deb /tmp/quillon-simulator_*.deb xvfb'
}
install_all >"$log" 2>&1 || { tail -30 "$log" >&2; exit 1; }
echo "Installed into a fresh root in $((SECONDS - start)) s"
[ -L "$root/etc/systemd/system/multi-user.target.wants/quillon.service" ] ||
  { echo "FAIL: the unit was not enabled" >&2; exit 1; }
chroot "$root" dpkg-query -W -f='${Conffiles}' quillon | grep -q /etc/quillon/gui.conf ||
  { echo "FAIL: the settings file is no conffile" >&2; exit 1; }

# Everything below dies with the namespaces; the broker's port is private.
timeout 120 unshare --net --mount --pid --fork bash -euo pipefail -s "$root" <<'CHECK'
root=$1
ip link set lo up
mount -t proc proc "$root/proc"
in_root() { chroot "$root" "$@"; }
echo CLEAN-0001 >"$root/etc/serialnumber"
# As the Debian installer writes it: localhost is also ::1.
printf '127.0.0.1\tlocalhost\n::1\t\tlocalhost ip6-localhost ip6-loopback\n' >"$root/etc/hosts"
in_root install -d -o mosquitto /run/mosquitto
in_root mosquitto -c /etc/mosquitto/mosquitto.conf 2>/dev/null &
in_root Xvfb :7 -screen 0 480x800x24 -nolisten tcp >/dev/null 2>&1 &
in_root quillon-simulator -H 127.0.0.1 -P 1883 >/dev/null 2>&1 &
for _ in $(seq 100); do [ -S "$root/tmp/.X11-unix/X7" ] && ss -Hltn | grep -q . && break; sleep 0.1; done
listeners=$(ss -Hltn | awk '{print $4}' | sort -u | xargs)
[ "$listeners" = 127.0.0.1:1883 ] || { echo "FAIL: the broker listens on '$listeners'" >&2; exit 1; }
# The unit's command, on the virtual display, logging to standard error too.
unit=$root/lib/systemd/system/quillon.service
dir=$(sed -n 's/^WorkingDirectory=//p' "$unit")
exec_start=$(sed -n 's/^ExecStart=//p' "$unit")
chroot "$root" env DISPLAY=:7 QT_QPA_PLATFORM=xcb sh -c "cd $dir && exec $exec_start -e" >"$root/tmp/app.log" 2>&1 &
app=$!
for _ in $(seq 120); do
  if grep -q "Setting screen : ScanScreens" "$root/tmp/app.log"; then
    echo "PASS: the installed application reached the passenger screen"
    exit 0
  fi
  kill -0 $app 2>/dev/null || break
  sleep 0.5
done
echo "FAIL: no passenger screen; the application's log:" >&2
tail -40 "$root/tmp/app.log" >&2
exit 1
CHECK
