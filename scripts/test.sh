#!/usr/bin/env bash
# Builds everything and runs the whole test suite under a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
cd "$BUILD_DIR"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --output-on-failure -j"$(nproc)" "$@"
