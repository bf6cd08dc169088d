#!/usr/bin/env bash
# Installs what is missing, builds and runs every test:
#   1. a normal build with all unit tests,
#   2. the same tests under AddressSanitizer and UndefinedBehaviorSanitizer,
#   3. the threaded tests under ThreadSanitizer,
#   4. every libFuzzer target for a short time (FUZZ_SECONDS, default 10).
# Ends with one line "N passed, N failed" over all test runs.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh || exit 1

passed=0; failed=0
record() { # record <ctest log>
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$1" | tail -1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  local total bad
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad)); failed=$((failed + bad))
}
run_ctest() { # run_ctest <build dir> <log> [ctest args...]
  local dir=$1 log=$2; shift 2
  (cd "$dir" && ctest --output-on-failure -j "$(nproc)" --timeout 300 "$@") 2>&1 | tee "$log"
  record "$log"
}

out=build/logs; mkdir -p "$out"

echo "== unit tests"
bash scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo || exit 1
run_ctest build/release "$out/release.log"

if [ "${ZV_QUICK:-0}" != 1 ]; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
  bash scripts/build.sh build/asan -DCMAKE_BUILD_TYPE=Debug -DZV_SANITIZE=address,undefined \
    -DZV_BUILD_BENCH=OFF || exit 1
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_ctest build/asan "$out/asan.log" -LE nosan

  echo "== ThreadSanitizer (threaded tests)"
  ZV_TARGETS_FROM=threaded_tests.txt bash scripts/build.sh build/tsan -DCMAKE_BUILD_TYPE=Debug -DZV_SANITIZE=thread \
    -DZV_BUILD_BENCH=OFF || exit 1
  TSAN_OPTIONS=halt_on_error=1 run_ctest build/tsan "$out/tsan.log" -L threaded -LE nosan

  echo "== fuzz targets"
  CC=clang CXX=clang++ ZV_TARGETS_FROM=fuzzers.txt bash scripts/build.sh build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZV_BUILD_FUZZ=ON -DZV_BUILD_TESTS=OFF -DZV_BUILD_BENCH=OFF || exit 1
  secs=${FUZZ_SECONDS:-10}
  while read -r target; do
    [ -n "$target" ] || continue
    exe=$(find build/fuzz -type f -name "$target" -perm -u+x | head -1)
    corpus="$out/corpus-$target"; mkdir -p "$corpus"
    seeds=$(find . -path ./build -prune -o -type d -name "${target}_seeds" -print | head -1)
    if "$exe" -max_total_time="$secs" -print_final_stats=0 "$corpus" ${seeds:+"$seeds"} \
         >"$out/fuzz-$target.log" 2>&1; then
      echo "fuzz $target: ok"; passed=$((passed + 1))
    else
      echo "fuzz $target: FAILED"; tail -30 "$out/fuzz-$target.log"; failed=$((failed + 1))
    fi
  done < build/fuzz/fuzzers.txt
fi

echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
