#!/usr/bin/env bash
# Renews the pictures in docs/ as a user sees the program: the main window at
# its default size on the simulated board, on a virtual display (Xvfb) of
# 1280 x 800 with a window manager (openbox): the first start with the setup
# dialog in front, the board's tone in every view, the Tools menu, the
# keyboard help, the window at its smallest, and the shorted input's noise
# figures and trend; a characterisation run's table and graph. Then the FFT
# and Scope views on a 1024 x 768 display.
#   bash tools/screenshots.sh [preset]     (default preset: default)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target kz-grab-main KZ7305EVM_driver kz7305-sim >/dev/null

work=$(mktemp -d)
xvfb=
wm=
stop_display() {
    kill ${wm:+"$wm"} ${xvfb:+"$xvfb"} 2>/dev/null || true
    wait ${wm:+"$wm"} ${xvfb:+"$xvfb"} 2>/dev/null || true
    xvfb=
    wm=
}
trap 'stop_display; rm -rf "$work"' EXIT

# grab WIDTHxHEIGHT [--small]: one run on a display of that size, with
# settings of its own so no placement or driver choice carries over.
grab() {
    # The first free display, so that runs side by side do not share a screen.
    local n=77
    while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${1}x24" -nolisten tcp &
    xvfb=$!
    sleep 1
    DISPLAY=:$n openbox >/dev/null 2>&1 &
    wm=$!
    sleep 1
    mkdir -p "$work/$1"
    XDG_CONFIG_HOME="$work/$1" DISPLAY=:$n "build/$preset/bin/kz-grab-main" ${2:-} docs
    stop_display
}

grab 1280x800
grab 1280x800 --characterisation
grab 1024x768 --small
echo "docs/*.png renewed"
