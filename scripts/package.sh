#!/usr/bin/env bash
# Builds the Debian packages quillon and quillon-simulator for amd64 (default)
# or arm64 into dist/out/ and checks them with lintian. Installs what is
# missing first; for arm64 that is the cross compilers, the arm64 libraries
# through multiarch and qemu with the arm64 run-time modules, which the arm64
# tests use to run the packaged binary (build-arm64/quillon).
set -euo pipefail
cd "$(dirname "$0")/.."
ARCH=${1:-amd64}
case "$ARCH" in amd64 | arm64) ;; *) echo "usage: $0 [amd64|arm64]" >&2; exit 2 ;; esac

version=$(sed -n 's/^project(Quillon VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ "$(dpkg-parsechangelog -SVersion)" != "$version" ]; then
  echo "debian/changelog is not at version $version of CMakeLists.txt: add an entry (dch -v $version)" >&2
  exit 1
fi

bash scripts/install-deps.sh
TOOLS=(debhelper lintian)
if [ "$ARCH" = arm64 ]; then
  TOOLS+=(crossbuild-essential-arm64 pkgconf:arm64 qemu-user
    qml-module-qtquick2:arm64 qml-module-qtquick-window2:arm64 qml-module-qtquick-controls2:arm64
    qml-module-qtquick-templates2:arm64 qml-module-qtquick-layouts:arm64
    qml-module-qtquick-virtualkeyboard:arm64
    qtvirtualkeyboard-plugin:arm64 qml-module-qt-labs-folderlistmodel:arm64)
fi
missing=()
for p in "${TOOLS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ] || ! dpkg-checkbuilddeps -a "$ARCH" 2>/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  if [ "$ARCH" = arm64 ] && ! dpkg --print-foreign-architectures | grep -qx arm64; then
    dpkg --add-architecture arm64
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
  apt-get build-dep -y -qq --no-install-recommends -a "$ARCH" ./
fi

host_tools=
if [ "$ARCH" != "$(dpkg --print-architecture)" ]; then
  # The build machine's svg2png and soundgen, from the normal build tree.
  host_tools=$PWD/${BUILD_DIR:-build}
  [ -f "$host_tools/CMakeCache.txt" ] || cmake -S . -B "$host_tools" >/dev/null
  cmake --build "$host_tools" --target svg2png soundgen -j"$(nproc)" >/dev/null
fi

mkdir -p dist/out
rm -f dist/out/*_"$ARCH".*deb
start=$SECONDS
QUILLON_HOST_TOOLS=$host_tools DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" \
  nice -n 10 dpkg-buildpackage -b -a"$ARCH" --no-sign \
  --buildinfo-file="dist/out/quillon_${version}_$ARCH.buildinfo" --buildinfo-option=-udist/out \
  --changes-file="dist/out/quillon_${version}_$ARCH.changes" --changes-option=-udist/out \
  >"dist/out/build-$ARCH.log" 2>&1 || { tail -40 "dist/out/build-$ARCH.log" >&2; exit 1; }
echo "Built the $ARCH packages in $((SECONDS - start)) s (log: dist/out/build-$ARCH.log)"
lintian --allow-root --fail-on error dist/out/quillon_"${version}_$ARCH".deb dist/out/quillon-simulator_"${version}_$ARCH".deb
ls -l dist/out/*_"${version}_$ARCH".deb
