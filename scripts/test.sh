#!/usr/bin/env bash
# Checks the source format, then builds everything and runs every test:
# the optimised build (window tests under Xvfb), then the core and view tests again under AddressSanitizer,
# LeakSanitizer and UndefinedBehaviorSanitizer (each suite ends with a
# hundred-round soak of the view), then the io and model tests built without SIMD,
# then every fuzz target for about a minute.
set -uo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh || exit 1

passed=0
failed=0
run_suite() {
  local preset=$1
  local log="build/ctest-$preset.log"
  cmake --preset "$preset" >/dev/null || return 1
  cmake --build --preset "$preset" || return 1
  xvfb-run -a -s "-screen 0 1600x1200x24" ctest --preset "$preset" -j2 2>&1 | tee "$log"
  local p f
  p=$(grep -Eo '[0-9]+ tests failed out of [0-9]+' "$log" | tail -1 | awk '{print $6 - $1}')
  f=$(grep -Eo '[0-9]+ tests failed out of [0-9]+' "$log" | tail -1 | awk '{print $1}')
  if [ -z "$p" ]; then p=0; f=1; fi
  passed=$((passed + p))
  failed=$((failed + f))
}

mkdir -p build

# The sources follow .clang-format.
if ./scripts/format.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

run_suite default || failed=$((failed + 1))
run_suite asan || failed=$((failed + 1))
# The scalar code that stands beside each SSE2 path: the io and model
# libraries and their tests alone.
run_suite scalar || failed=$((failed + 1))

# Fuzz every reader for a bounded time with a fixed seed.
if ./scripts/fuzz.sh 2>&1 | tee build/fuzz.log; then :; fi
fp=$(grep -Eo 'fuzz: [0-9]+ passed, [0-9]+ failed' build/fuzz.log | tail -1 | awk '{print $2}')
ff=$(grep -Eo 'fuzz: [0-9]+ passed, [0-9]+ failed' build/fuzz.log | tail -1 | awk '{print $4}')
if [ -n "$fp" ]; then
  passed=$((passed + fp)); failed=$((failed + ff))
elif ! grep -q 'skipping' build/fuzz.log; then
  failed=$((failed + 1))
fi

echo "${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
