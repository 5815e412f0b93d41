#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice: a
# release build with warnings as errors, and a debug build under AddressSanitizer
# and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

for preset in ci asan; do
  echo "== $preset build =="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done

# A short fuzzing run of every fuzz target (clang, libFuzzer, ASan + UBSan).
echo "== fuzz =="
cmake --preset fuzz -DKZ_FUZZ_SECONDS=30
cmake --build --preset fuzz
ctest --preset fuzz -j2
