#!/usr/bin/env bash
# Builds a release tree with the benchmark programs and prints every figure
# beside its baseline. Not part of the test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_DIR=${BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DQUILLON_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target quillon quillon-simulator bench_bare_window bench_store >/dev/null
echo "figure                                      value       baseline  ratio"
# The programs log to stderr; only the figures go to stdout.
"$BUILD_DIR/bench/bench_store" 2>/dev/null |
  awk -F'\t' '{ split($2, v, " "); split($3, b, " "); printf "%-34s %10s us  %10s us  %6s\n", $1, v[1], b[1], $4 }'
xvfb-run -a -s "-screen 0 1280x1024x24" python3 bench/app_bench.py "$BUILD_DIR" | tail -n +2
