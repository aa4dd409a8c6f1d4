#!/usr/bin/env bash
# Runs the search benchmarks and Python's re on the same 10,000-row page, side by side.
set -euo pipefail
cd "$(dirname "$0")/.."
page=$(mktemp)
trap 'rm -f "$page"' EXIT
QT_QPA_PLATFORM=offscreen ./build/bench/bench_search --write-page "$page"
python3 bench/python_findall.py "$page"
