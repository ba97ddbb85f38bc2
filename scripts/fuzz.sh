#!/usr/bin/env bash
# Builds the message fuzzer with clang in its own tree and runs it for a
# bounded time (FUZZ_SECONDS, default 60); a crash fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
cmake -S . -B "$BUILD_DIR" -DCMAKE_CXX_COMPILER=clang++ -DQUILLON_FUZZ=ON >/dev/null
cmake --build "$BUILD_DIR" --target fuzz_Messages -j"$(nproc)"

# New inputs go to a scratch directory; the committed seeds stay as they are.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$BUILD_DIR/fuzz-artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}
"$BUILD_DIR/tests/fuzz/fuzz_Messages" "$work" tests/fuzz/corpus \
  -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
  -artifact_prefix="$BUILD_DIR/fuzz-artifacts/"
