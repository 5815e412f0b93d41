#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice: a
# release build with warnings as errors, and a debug build under AddressSanitizer
# and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

# The tests keep to their own temporary folders: the user's settings of the
# program are the same after the run as before it.
settings="${XDG_CONFIG_HOME:-$HOME/.config}/KZ7305EVM"
settings_state() { find "$settings" -type f -exec sha256sum {} + 2> /dev/null | sort; }
settings_before=$(settings_state)

# Runs one preset's tests; fails also when a test left one of the programs
# running, or touched the user's settings.
run_tests() {
  local status=0
  ctest --preset "$1" -j2 || status=$?
  bash tools/check-orphans.sh "build/$1" || status=1
  if [ "$(settings_state)" != "$settings_before" ]; then
    echo "the $1 tests changed the user's settings in $settings" >&2
    status=1
  fi
  return $status
}

for preset in ci asan; do
  echo "== $preset build =="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  run_tests "$preset"
done

# A short fuzzing run of every fuzz target (clang, libFuzzer, ASan + UBSan).
echo "== fuzz =="
cmake --preset fuzz -DKZ_FUZZ_SECONDS=30
cmake --build --preset fuzz
run_tests fuzz
