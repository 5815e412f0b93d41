#!/usr/bin/env bash
# Renews the pictures in docs/ on a virtual display (Xvfb, 1280 x 800) with a
# window manager (openbox): the first start with the setup dialog in front, the
# main window at its default size after acquiring the simulated board's tone
# (FFT view with its marks) and at its minimum size, its shorted input (noise
# figures, trend and histogram with its normal curve), and the plot window's four views of
# a sine with noise (8192 samples, 24 bits, 10 kHz, tone on bin 97 at
# -0.5 dBFS with small 2nd and 3rd harmonics), loads it into a plot window on
# a virtual display (Xvfb) and grabs each view.
#   bash tools/screenshots.sh [preset]     (default preset: default)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target kz-grab-views kz-grab-main KZ7305EVM_driver kz7305-sim >/dev/null

work=$(mktemp -d)
trap 'kill "${wm:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
data="$work/sine-with-noise.csv"
awk 'BEGIN {
    n = 8192; fs = 10000; bin = 97; full = 2 ^ 23; pi = atan2(0, -1); srand(7)
    printf "KZ7305\r\nCreated: 12/7/2026 10:00:00 PM\r\nNumber of Bits:,24\r\n"
    printf "LSB Size:, 2.98023223876953E-07 \r\nSample Points:, %d \r\nSample Frequency:, %d \r\n", n, fs
    printf "Time Domain Data\r\nStandard Deviation (ppm):, 0 \r\nMean:, 0 \r\nMinimum:, 0 \r\nMaximum:, 0 \r\nSample Points:\r\n"
    for (i = 0; i < n; i++) {
        p = 2 * pi * bin * i / n
        # Gaussian noise of 30 codes rms from two uniform numbers.
        g = sqrt(-2 * log(1 - rand())) * cos(2 * pi * rand()) * 30
        v = 0.944 * full * sin(p) + full * 10 ^ (-95 / 20) * sin(2 * p + 0.3) + full * 10 ^ (-102 / 20) * sin(3 * p + 1.1) + g
        printf "%d\r\n", (v < 0 ? -int(-v + 0.5) : int(v + 0.5))
    }
}' > "$data"

# The first free display, so that runs side by side do not share a screen.
n=77
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
display=:$n
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp &
xvfb=$!
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
sleep 1
DISPLAY=$display "build/$preset/bin/kz-grab-views" "$data" docs
# A first start, an acquisition from the simulated board and its shorted input;
# settings of its own, so the user's placement and driver choice play no part.
XDG_CONFIG_HOME="$work" DISPLAY=$display "build/$preset/bin/kz-grab-main" docs
echo "docs/view-*.png, docs/first-start.png, docs/main-window*.png, docs/noise-*.png and docs/figures-*.png renewed"
