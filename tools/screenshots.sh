#!/usr/bin/env bash
# Takes a picture of every shown page of the window, in a real X server (Xvfb) when there
# is one, else offscreen, into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build >/dev/null
cmake --build build -j "$(nproc)" --target pravenor-screenshots
if command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/pravenor-screenshots docs/screenshots
    # The window as it opens on a laptop screen, and on one that scales by one and a half.
    xvfb-run -a -s "-screen 0 1366x768x24" build/tools/pravenor-screenshots docs/screenshots \
        --fit fit_1366x768.png
    QT_SCALE_FACTOR=1.5 xvfb-run -a -s "-screen 0 1280x900x24" \
        build/tools/pravenor-screenshots docs/screenshots --fit fit_1280x900_scale_1.5.png
else
    QT_QPA_PLATFORM=offscreen build/tools/pravenor-screenshots docs/screenshots
fi
