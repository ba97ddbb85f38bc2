#!/usr/bin/env bash
# Builds everything and both architectures' Debian packages, and runs the
# whole test suite, each test on a virtual X display of its own, the arm64
# build under qemu included; in CI also the clean install of the amd64
# packages. Then the same tests under AddressSanitizer/LeakSanitizer and a
# bounded fuzz run over the message handlers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
bash scripts/package.sh amd64
bash scripts/package.sh arm64
BUILD_DIR=${BUILD_DIR:-build}
# Two tests a core: they mostly wait on the application, a broker or a display.
(
  cd "$BUILD_DIR"
  ctest --output-on-failure -j"$(( 2 * $(nproc) ))" "$@"
)
if [ "${CI:-}" = true ]; then
  bash scripts/clean-install.sh
fi
bash scripts/sanitize.sh
bash scripts/fuzz.sh
