#!/usr/bin/env bash
# Builds everything and runs the whole test suite under a virtual X display,
# then the same tests under AddressSanitizer/LeakSanitizer and a bounded fuzz
# run over the message handlers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
(
  cd "$BUILD_DIR"
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure -j"$(nproc)" "$@"
)
bash scripts/sanitize.sh
bash scripts/fuzz.sh
