#!/usr/bin/env bash
# Builds and runs every test: the plain build, then the whole suite again under
# AddressSanitizer + UndefinedBehaviorSanitizer and under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:${TSAN_OPTIONS:-}"

echo "=== layers"
scripts/check-layers.sh

for preset in ${PRESETS:-default asan tsan}; do
  echo "=== $preset: build"
  scripts/build.sh "$preset"
  echo "=== $preset: test"
  ctest --preset "$preset"
done
