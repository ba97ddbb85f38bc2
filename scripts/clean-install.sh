#!/usr/bin/env bash
# Installs the amd64 packages from dist/out/ with apt into a throwaway minimal
# Debian 12 root (debootstrap), as an upgrade of what the root-run package
# left on a device (its settings conffile in /etc/quillon, events beside the
# program, the serial number in /etc), and checks they were carried over to
# the application's own user. Then, in a network namespace of its own, starts the broker with its
# installed configuration, the simulator, and the application as its unit
# does (its user, groups, folder and environment) but on a virtual display,
# and waits for the passenger screen. Last, the fleet link's bridge is
# written and the package removed: the bridge goes with it. Builds the
# packages first when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(Quillon VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
debs=(dist/out/quillon_"${version}"_amd64.deb dist/out/quillon-simulator_"${version}"_amd64.deb)
if [ ! -f "${debs[0]}" ] || [ ! -f "${debs[1]}" ]; then
  bash scripts/package.sh amd64
fi
dpkg-query -W -f='${Status}' debootstrap 2>/dev/null | grep -q "install ok installed" ||
  { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap; }

root=$(mktemp -d /var/tmp/quillon-root.XXXXXX)
log=$root.log
trap 'rm -rf "$root" "$log" "$root.events"' EXIT
chmod 755 "$root"
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
in_root() { chroot "$root" "$@"; }

# The root-run package as an upgrade meets it: a stand-in of the last such
# version that ships the settings as a conffile, changed on the device since,
# the event log beside the program and the serial number.
old_layout() {
  local old=$root/tmp/old
  mkdir -p "$old/DEBIAN" "$old/etc/quillon" "$root/opt/kivo/quillon" &&
    printf 'Package: quillon\nVersion: 1.0.21\nArchitecture: amd64\nMaintainer: Test <test@kivo.example>\nDescription: root-run stand-in\n' \
      >"$old/DEBIAN/control" &&
    echo /etc/quillon/gui.conf >"$old/DEBIAN/conffiles" &&
    printf '[mqtt]\nhost=127.0.0.1\nport=1883\n' >"$old/etc/quillon/gui.conf" &&
    dpkg-deb --root-owner-group --build "$old" "$root/tmp/quillon-old.deb" &&
    chroot "$root" dpkg -i /tmp/quillon-old.deb &&
    printf '[gui]\nlocale=en_GB\ndisplayOffMin=7\n\n[mqtt]\nhost=127.0.0.1\nport=1883\n' >"$root/etc/quillon/gui.conf" &&
    printf '[events]\n1\\category=Application\n1\\desc=\n1\\name=Before the upgrade\n1\\timestamp=%s\nsize=1\n' \
      "$(date -u +%Y-%m-%dT%H:%M:%S)" >"$root/opt/kivo/quillon/events.ini" &&
    cp "$root/opt/kivo/quillon/events.ini" "$root.events" &&
    echo CLEAN-0001 >"$root/etc/serialnumber"
}

start=$SECONDS
# Chained: errexit does not reach into a function tested with ||.
install_all() {
  timeout 600 debootstrap --variant=minbase bookworm "$root" &&
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d" && # no service starts in the root
    chmod +x "$root/usr/sbin/policy-rc.d" &&
    old_layout &&
    cp "${debs[@]}" "$root/tmp/" &&
    timeout 600 chroot "$root" sh -c 'apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y \
      --no-install-recommends /tmp/quillon_*.deb /tmp/quillon-simulator_*.deb xvfb'
}
install_all >"$log" 2>&1 || { tail -30 "$log" >&2; exit 1; }
echo "Installed over the root-run package in a fresh root in $((SECONDS - start)) s"

unit=$root/lib/systemd/system/quillon.service
state=/var/lib/quillon
[ -L "$root/etc/systemd/system/multi-user.target.wants/quillon.service" ] || fail "the unit was not enabled"
[ "$(sed -n 's/^User=//p' "$unit")" = quillon ] || fail "the unit does not run the application as quillon"
# The unit's hardening, scored offline (0 best, 10 worst); 2.0 when written.
if command -v systemd-analyze >/dev/null; then
  systemd-analyze security --offline=true --root="$root" --threshold=25 quillon.service | tail -1 ||
    fail "the unit's hardening scores worse than 2.5"
fi
conffiles=$(in_root dpkg-query -W -f='${Conffiles}' quillon)
[[ $conffiles != *" /etc/quillon/gui.conf "* ]] || fail "the settings are still a conffile"
[ "$(in_root stat -c '%a %U:%G' $state/gui.conf)" = "640 quillon:quillon" ] ||
  fail "the settings file is $(in_root stat -c '%a %U:%G' $state/gui.conf)"
[ ! -e "$root/etc/quillon/gui.conf" ] || fail "the old settings file is still in place"
[ "$(in_root stat -c '%a' /etc/quillon/gui.conf.dpkg-bak)" = 600 ] || fail "the old settings file is not kept for root alone"
grep -qx "displayOffMin=7" "$root$state/gui.conf" || fail "the device's settings were not kept"
grep -qx "deviceId=$state/serialnumber" "$root$state/gui.conf" || fail "the settings do not name the new serial-number file"
[ "$(cat "$root$state/serialnumber")" = CLEAN-0001 ] || fail "the serial number was not kept"
cmp -s "$root.events" "$root$state/events.ini" || fail "the event log was not kept"
echo "PASS: the root-run device's settings, events and serial number moved to $state"

# Everything below dies with the namespaces; the broker's port is private.
timeout 120 unshare --net --mount --pid --fork bash -euo pipefail -s "$root" <<'CHECK'
root=$1
ip link set lo up
mount -t proc proc "$root/proc"
in_root() { chroot "$root" "$@"; }
# As the Debian installer writes it: localhost is also ::1.
printf '127.0.0.1\tlocalhost\n::1\t\tlocalhost ip6-localhost ip6-loopback\n' >"$root/etc/hosts"
in_root install -d -o mosquitto /run/mosquitto
in_root mosquitto -c /etc/mosquitto/mosquitto.conf 2>/dev/null &
in_root Xvfb :7 -screen 0 480x800x24 -nolisten tcp >/dev/null 2>&1 &
in_root quillon-simulator -H 127.0.0.1 -P 1883 >/dev/null 2>&1 &
for _ in $(seq 100); do [ -S "$root/tmp/.X11-unix/X7" ] && ss -Hltn | grep -q . && break; sleep 0.1; done
listeners=$(ss -Hltn | awk '{print $4}' | sort -u | xargs)
[ "$listeners" = 127.0.0.1:1883 ] || { echo "FAIL: the broker listens on '$listeners'" >&2; exit 1; }

# The unit's command as its user with its groups (those this root has), in its
# folder with its environment, on the virtual display, logging to standard
# error too. Called straight, not through in_root, so that $! is the
# application's own process (each command execs the next).
unit=$root/lib/systemd/system/quillon.service
setting() { sed -n "s/^$1=//p" "$unit"; }
user=$(setting User)
groups=()
for group in $(setting SupplementaryGroups); do
  if in_root getent group "$group" >/dev/null; then groups+=("$group"); fi
done
mapfile -t environment < <(setting Environment)
# What systemd makes for the unit before it starts.
in_root install -d -m "$(setting RuntimeDirectoryMode)" -o "$user" "/run/$(setting RuntimeDirectory)"
chroot "$root" setpriv --reuid="$user" --regid="$(setting Group)" --groups="$(IFS=,; echo "${groups[*]}")" -- \
  env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME="$(in_root getent passwd "$user" | cut -d: -f6)" USER="$user" \
  "${environment[@]}" DISPLAY=:7 QT_QPA_PLATFORM=xcb \
  sh -c "cd $(setting WorkingDirectory) && umask $(setting UMask) && exec $(setting ExecStart) -e" >"$root/tmp/app.log" 2>&1 &
app=$!
for _ in $(seq 120); do
  if grep -qs "Setting screen : ScanScreens" "$root/tmp/app.log"; then
    uid=$(awk '/^Uid:/ {print $2}' "$root/proc/$app/status")
    [ "$uid" = "$(in_root id -u "$user")" ] || { echo "FAIL: the application runs as uid $uid" >&2; exit 1; }
    grep -q "Loading saved events : from=0 to=1" "$root/tmp/app.log" ||
      { echo "FAIL: the application did not read the kept events" >&2; exit 1; }
    ! grep -q "Cannot write" "$root/tmp/app.log" || { echo "FAIL: the application cannot write its files" >&2; exit 1; }
    echo "PASS: the installed application reached the passenger screen as $user"
    exit 0
  fi
  kill -0 $app 2>/dev/null || break
  sleep 0.5
done
echo "FAIL: no passenger screen; the application's log:" >&2
tail -40 "$root/tmp/app.log" >&2
exit 1
CHECK

# The fleet link's bridge, as the unit's first step writes it, and gone with
# the package; purging takes the application's own files.
bridge=/etc/mosquitto/conf.d/quillon-bridge.conf
printf 'host=127.0.0.1\ninsecure=true\nusername=CLEAN-0001\npassword=secret\n' >"$root/etc/quillon/fleet.conf"
in_root /opt/kivo/quillon/quillon-bridge.sh 2>/dev/null || fail "the bridge script refused the installed settings"
grep -qx "remote_clientid CLEAN-0001" "$root$bridge" || fail "no bridge for the device's serial number"
[ "$(in_root stat -c '%a %G' $bridge)" = "640 mosquitto" ] || fail "the bridge file is $(in_root stat -c '%a %G' $bridge)"
in_root dpkg --remove quillon >>"$log" 2>&1 || fail "the package could not be removed"
[ ! -e "$root$bridge" ] || fail "the bridge outlived the package"
in_root dpkg --purge quillon >>"$log" 2>&1 || fail "the package could not be purged"
[ ! -e "$root$state" ] || fail "$state outlived the purge"
echo "PASS: the bridge went with the package, and $state with the purge"
