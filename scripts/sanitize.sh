#!/bin/bash
# Builds everything with AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer into build-asan/ and runs the unit tests and the end-to-end
# scenarios labelled "asan" on it; then the audio tests (streams refilled on
# the timer thread) with ThreadSanitizer from build-tsan/. Extra arguments go
# to ctest.
set -Eeuo pipefail
trap 'echo "sanitize.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/install-deps.sh"
SKV_BUILD_DIR="$ROOT/build-asan" \
  SKV_CMAKE_ARGS="-DSKV_SANITIZE=ON -DSKV_BUILD_BENCH=OFF" "$ROOT/scripts/build.sh"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0"
cd "$ROOT/build-asan"
ctest --output-on-failure -j "$(nproc)" -LE e2e "$@"
if ctest -N -L asan | grep -q "Total Tests: [1-9]"; then
  ctest --output-on-failure -L asan "$@"
fi

# ThreadSanitizer: only the audio tests and their probe are built.
SKV_BUILD_DIR="$ROOT/build-tsan" \
  SKV_CMAKE_ARGS="-DSKV_SANITIZE_THREAD=ON -DSKV_BUILD_BENCH=OFF" \
  "$ROOT/scripts/build.sh" --target audio_tests audio_alsa_probe
cd "$ROOT/build-tsan"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --output-on-failure -R '^(OggStream|Jukebox|AlsaNullDevice)' "$@"
