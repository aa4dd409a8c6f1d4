#!/usr/bin/env bash
# Every C and C++ file of the tree as .clang-format lays it out; a missing clang-format fails.
# Usage: clang_format.sh SOURCE-DIR
set -uo pipefail
cd "$1"
if ! command -v clang-format >/dev/null; then
  echo "clang-format: not installed (scripts/install-deps.sh brings it)"
  exit 1
fi
files=$(git ls-files '*.cpp' '*.h' '*.c' 2>/dev/null || find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print)
count=$(wc -w <<<"$files")
if [ "$count" -eq 0 ]; then
  echo "clang-format: no sources found"
  exit 1
fi
if ! printf '%s\n' $files | xargs clang-format --dry-run --Werror; then
  echo "clang-format: files above differ from .clang-format (run clang-format -i on them)"
  exit 1
fi
echo "clang-format: $count files as .clang-format lays them out"
