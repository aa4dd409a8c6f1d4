#!/usr/bin/env bash
# The checks of .clang-tidy over the program's own sources; any finding fails, and so does a
# missing clang-tidy.
# Usage: clang_tidy.sh SOURCE-DIR BUILD-DIR (with compile_commands.json)
set -uo pipefail
cd "$1"
if ! command -v clang-tidy >/dev/null; then
  echo "clang-tidy: not installed (scripts/install-deps.sh brings it)"
  exit 1
fi
folders=(net songlist controls search playback browser app site)
files=$(git ls-files "${folders[@]/%//*.cpp}" 2>/dev/null || find "${folders[@]}" -name '*.cpp')
count=$(wc -w <<<"$files")
if [ "$count" -eq 0 ]; then
  echo "clang-tidy: no sources found"
  exit 1
fi
# A finding makes clang-tidy exit non-zero, and so does a clang-tidy that cannot run (a missing
# library, a bad compile database): either fails the check, with what it said.
output=$(printf '%s\n' $files | xargs -P "$(nproc)" -n 2 clang-tidy -p "$2" --quiet 2>&1)
status=$?
findings=$(grep -E 'warning:|error:|Error while processing' <<<"$output")
if [ -n "$findings" ] || [ $status -ne 0 ]; then
  echo "${findings:-$(tail -n 20 <<<"$output")}"
  echo "clang-tidy: failed with status $status, findings in $(grep -c . <<<"$findings") lines ($count files)"
  exit 1
fi
echo "clang-tidy: $count passed, 0 failed"
