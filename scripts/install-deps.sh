#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Idempotent: packages already present are left alone.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git ccache
  clang libclang-rt-14-dev
  qtbase5-dev qtdeclarative5-dev qtdeclarative5-dev-tools qtquickcontrols2-5-dev
  libqt5svg5-dev libqt5serialport5-dev qttools5-dev qttools5-dev-tools
  qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-controls
  qml-module-qtquick-controls2 qml-module-qtquick-templates2 qml-module-qtquick-layouts
  qml-module-qtqml-models2 qml-module-qtquick-extras
  qml-module-qtquick-dialogs qml-module-qtquick-shapes
  qml-module-qt-labs-folderlistmodel
  qtvirtualkeyboard-plugin qml-module-qtquick-virtualkeyboard
  libmosquitto-dev mosquitto mosquitto-clients
  libqrcodegencpp-dev zbar-tools
  fonts-dejavu-core
  xvfb xauth libgl1-mesa-dri xdotool
  socat procps iproute2 imagemagick
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages (run as root to install): ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
