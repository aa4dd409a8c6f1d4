#!/usr/bin/env bash
# Builds Melodrift and runs the whole test suite headless: no display, no audio device, loopback only.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
export QT_QPA_PLATFORM=offscreen
ctest --preset default -j"$(nproc)"
