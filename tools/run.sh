#!/usr/bin/env bash
# Installs what is missing, builds the program and runs its main job with the
# simulated board: with a display, the program itself (the board is COM1 in its
# setup dialog; press OK, then Acquire); without one, the same acquisition from
# the command line, printing where the data file and its analysis went.
# Extra arguments go to the program. Use tools/run.sh --no-demo for a real board.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset default
cmake --build --preset default --target KZ7305EVM KZ7305EVM_driver kz7305-sim kz7305evm-cli
bin=build/default/bin

demo=--demo
if [ "${1:-}" = "--no-demo" ]; then
  demo=""
  shift
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$bin/KZ7305EVM" $demo "$@"
fi

echo "No display: acquiring from the simulated board on the command line instead."
out=$(mktemp -d /tmp/kz7305evm-XXXXXX)
"$bin/kz7305-sim" --link "$out/board" > "$out/board.log" 2>&1 &
board=$!
trap 'kill $board 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$out/board" ] && break; sleep 0.1; done

"$bin/kz7305evm-cli" acquire --port "$out/board" --samples 4096 --analyze fft --window blackman-harris -o "$out/block.csv"
"$bin/kz7305evm-cli" analyze "$out/block.csv" --view fft --window blackman-harris --save "$out/block-fft.csv" > /dev/null
"$bin/kz7305evm-cli" plot "$out/block.csv" --view fft --window blackman-harris --marks all -o "$out/block-fft.png"
echo
echo "Data file (time domain): $out/block.csv"
echo "Spectrum data file:      $out/block-fft.csv"
echo "Graph of the spectrum:   $out/block-fft.png"
