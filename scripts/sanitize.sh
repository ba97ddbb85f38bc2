#!/usr/bin/env bash
# Builds everything with AddressSanitizer in its own tree and runs the unit
# and end-to-end tests, each on a virtual X display of its own; any ASan or
# LSan report fails the test it comes from. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${ASAN_BUILD_DIR:-build-asan}
BUILD_DIR=$BUILD_DIR CMAKE_ARGS="-DQUILLON_ASAN=ON" bash scripts/build.sh
supp=$PWD/tests/lsan.supp
export LSAN_OPTIONS=suppressions=$supp:print_suppressions=0
# Tells tests to skip checks ASan makes meaningless (RSS growth).
export QUILLON_SANITIZED=1
# Programs that render through Mesa: the driver is unloaded before LSan runs,
# so its allocations show as unknown frames no suppression can name. They
# keep the memory error checks, without the leak check.
gl='^(tst_GUIManager|tst_Screens|tst_SettingsPages)$'
cd "$BUILD_DIR"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 ctest --output-on-failure -j"$(nproc)" -E "$gl" "$@"
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 ctest --output-on-failure -j"$(nproc)" -R "$gl" "$@"
