#!/usr/bin/env bash
# Checks that the C++ sources follow .clang-format (the test command runs
# this); with --fix, rewrites them in place instead.
#   scripts/format.sh          report every file that differs, exit 1 if any
#   scripts/format.sh --fix    format every file
set -euo pipefail
cd "$(dirname "$0")/.."
CLANG_FORMAT=${CLANG_FORMAT:-clang-format}
if ! command -v "$CLANG_FORMAT" >/dev/null; then
  echo "format: $CLANG_FORMAT not found" >&2
  exit 1
fi
mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' \
  'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
if [ "${1:-}" = "--fix" ]; then
  "$CLANG_FORMAT" -i "${files[@]}"
  exit 0
fi
if "$CLANG_FORMAT" --dry-run --Werror "${files[@]}"; then
  echo "format: ${#files[@]} files ok"
else
  echo "format: FAILED (run scripts/format.sh --fix)"
  exit 1
fi
