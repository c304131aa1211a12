#!/bin/sh
# Builds everything with AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer into build-asan/ and runs the unit tests and the end-to-end
# scenarios labelled "asan" on it. Extra arguments go to ctest.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/install-deps.sh"
SKV_BUILD_DIR="$ROOT/build-asan" \
  SKV_CMAKE_ARGS="-DSKV_SANITIZE=ON -DSKV_BUILD_BENCH=OFF" "$ROOT/scripts/build.sh"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0"
cd "$ROOT/build-asan"
ctest --output-on-failure -j "$(nproc)" -LE e2e --repeat until-pass:3 "$@"
if ctest -N -L asan | grep -q "Total Tests: [1-9]"; then
  ctest --output-on-failure -L asan --repeat until-pass:2 "$@"
fi
