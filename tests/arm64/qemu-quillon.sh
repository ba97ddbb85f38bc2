#!/usr/bin/env bash
# Runs the arm64 quillon (QUILLON_ARM64_BIN) under qemu with the arm64
# libraries from multiarch. With --test PROGRAM ARGS it runs the test program
# instead, with QUILLON_BIN pointing here, so the program drives the arm64
# build. Exits 77, CTest's skip, when there is no arm64 build.
set -euo pipefail
bin=${QUILLON_ARM64_BIN:?}
if [ ! -x "$bin" ]; then
  echo "SKIP: no arm64 build at $bin; bash scripts/package.sh arm64 makes one"
  exit 77
fi
if [ "${1:-}" = --test ]; then
  shift
  QUILLON_BIN=$(readlink -f "$0") exec "$@"
fi
exec qemu-aarch64 "$bin" "$@"
