#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# with a fixed seed, starting from the files in tests/data.
#   FUZZ_SECONDS   time per target (default 60)
# Prints "N passed, N failed" over the targets; a crash leaves its input in
# build/fuzz/crashes/<target>/ (turn it into a regression file in tests/data).
set -uo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${FUZZ_SECONDS:-60}

if ! command -v clang++-14 >/dev/null; then
  echo "fuzz: clang++-14 not found, skipping"
  exit 0
fi
cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz || exit 1

passed=0
failed=0
for target in fuzz_section_text fuzz_model fuzz_definition fuzz_stl; do
  bin=build/fuzz/fuzz/$target
  [ -x "$bin" ] || continue
  corpus=build/fuzz/corpus/$target
  crashes=build/fuzz/crashes/$target
  rm -rf "$corpus"
  mkdir -p "$corpus" "$crashes"
  case $target in
    fuzz_stl) seeds=$(ls tests/data/*.stl 2>/dev/null) ;;
    fuzz_definition) seeds=$(ls tests/data/*.def tests/data/fuzz-resources/*.def 2>/dev/null) ;;
    *) seeds=$(ls tests/data/*.kmf tests/data/fuzz-resources/*.def 2>/dev/null) ;;
  esac
  for s in $seeds; do cp "$s" "$corpus/"; done
  log=build/fuzz/$target.log
  if ASAN_OPTIONS=detect_leaks=1 "$bin" "$corpus" -seed=1 -max_total_time="$SECONDS_PER_TARGET" \
       -max_len=65536 -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$crashes/" >"$log" 2>&1; then
    execs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$')
    [ -z "$execs" ] && execs=$(grep -Eo '#[0-9]+' "$log" | tail -1 | tr -d '#')
    echo "fuzz: $target ok, ${execs:-?} executions in ${SECONDS_PER_TARGET}s"
    passed=$((passed + 1))
  else
    echo "fuzz: $target FAILED, see $log and $crashes"
    tail -40 "$log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: ${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
