#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# with a fixed seed, starting from its seed files in tests/data. The targets
# are those the build lists in build/fuzz/fuzz/targets.txt
# (tests/fuzz/CMakeLists.txt).
#   FUZZ_SECONDS   time per target (default 60)
#   CI             when set (not 0), a missing clang or fuzz target fails
#                  instead of being skipped (.ci/run sets it)
# Prints "N passed, N failed" over the targets; a crash leaves its input in
# build/fuzz/crashes/<target>/ (turn it into a regression file in tests/data).
set -uo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${FUZZ_SECONDS:-60}
STRICT=0
if [ -n "${CI:-}" ] && [ "${CI}" != 0 ]; then STRICT=1; fi

# Under CI a missing piece fails; elsewhere it is skipped with a message.
missing() {
  if [ "$STRICT" = 1 ]; then
    echo "fuzz: $1"
    echo "fuzz: 0 passed, 1 failed"
    exit 1
  fi
  echo "fuzz: $1, skipping"
}

if ! command -v clang++-14 >/dev/null; then
  missing "clang++-14 not found"
  exit 0
fi
cmake --preset fuzz >/dev/null || exit 1
list=build/fuzz/fuzz/targets.txt
[ -s "$list" ] || { echo "fuzz: the build lists no fuzz targets ($list)"; exit 1; }
mapfile -t names < <(cut -f1 "$list")
cmake --build --preset fuzz --target "${names[@]}" || exit 1

passed=0
failed=0
while IFS=$'\t' read -r -a fields; do
  target=${fields[0]}
  bin=${fields[1]}
  if [ ! -x "$bin" ]; then
    if [ "$STRICT" = 1 ]; then
      echo "fuzz: $target FAILED, $bin was not built"
      failed=$((failed + 1))
    else
      echo "fuzz: $target not built, skipping"
    fi
    continue
  fi
  corpus=build/fuzz/corpus/$target
  crashes=build/fuzz/crashes/$target
  rm -rf "$corpus"
  mkdir -p "$corpus" "$crashes"
  for pattern in "${fields[@]:2}"; do
    for s in $pattern; do [ -f "$s" ] && cp "$s" "$corpus/"; done
  done
  log=build/fuzz/$target.log
  if ASAN_OPTIONS=detect_leaks=1 "$bin" "$corpus" -seed=1 -max_total_time="$SECONDS_PER_TARGET" \
       -max_len=65536 -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$crashes/" >"$log" 2>&1; then
    execs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$')
    [ -z "$execs" ] && execs=$(grep -Eo '^#[0-9]+' "$log" | tail -1 | tr -d '#')
    echo "fuzz: $target ok, ${execs:-?} executions in ${SECONDS_PER_TARGET}s"
    passed=$((passed + 1))
  else
    echo "fuzz: $target FAILED, see $log and $crashes"
    tail -40 "$log"
    failed=$((failed + 1))
  fi
done <"$list"
echo "fuzz: ${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
