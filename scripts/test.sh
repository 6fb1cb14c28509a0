#!/usr/bin/env bash
# Sets up a fresh machine, checks the format of the C++ files, and runs every test:
#   1. the normal build and the whole suite;
#   2. the whole suite again under AddressSanitizer + UndefinedBehaviorSanitizer;
#   3. the engine, platform and link suites under ThreadSanitizer;
#   4. every libFuzzer target for a bounded time, seeded by the corpora
#      that step 1's tests wrote.
# ZT_FUZZ_SECONDS sets the time per fuzzer (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
fuzz_seconds=${ZT_FUZZ_SECONDS:-60}

bash scripts/setup.sh --tests

# JACK's server registry has eight entries, and a killed server's entry stays
# until a server of the same name starts again. With no JACK server running
# at all, the registry and the test servers' leftovers can go.
if ! pgrep -x 'jackd|jackdbus' > /dev/null 2>&1; then
  rm -rf /dev/shm/jack-shm-registry /dev/shm/jack_zt-test-* /dev/shm/jack_sem.*_zt-test-* \
    2> /dev/null || true
fi

export QT_QPA_PLATFORM=offscreen
export ZT_AUDIO_DRIVER=none
summary=()
passed=0
failed=0

run_ctest() {  # build-dir label [ctest args...]
  local dir=$1 label=$2
  shift 2
  local log="$dir/ctest.log"
  set +e
  # Real-time suites (JACK periods, process start-up) can miss a deadline on a
  # crowded machine: a failed test is run once more, and fails if it fails again.
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300 --repeat until-pass:2 "$@") 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  set -e
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -n "$line" ]; then
    local total fails
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    fails=$(sed -E 's/.*, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - fails))
    failed=$((failed + fails))
  elif [ "$rc" -ne 0 ]; then
    failed=$((failed + 1))
  fi
  summary+=("$label: $line (exit $rc)")
  return "$rc"
}

status=0

echo "== format"
# Every C++ file of the tree must already be as clang-format writes it with
# the repository's .clang-format; a file that is not counts as one failure.
mapfile -t cxx_files < <(git ls-files -- '*.cpp' '*.h' '*.hpp' '*.cc')
unformatted=()
for f in "${cxx_files[@]}"; do
  clang-format --dry-run --Werror "$f" > /dev/null 2>&1 || unformatted+=("$f")
done
if [ "${#unformatted[@]}" -eq 0 ]; then
  summary+=("format: ${#cxx_files[@]} files as clang-format writes them")
  passed=$((passed + 1))
else
  printf 'not formatted: %s\n' "${unformatted[@]}"
  summary+=("format: ${#unformatted[@]} of ${#cxx_files[@]} files not formatted (clang-format -i them)")
  failed=$((failed + 1))
  status=1
fi

echo "== normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
rm -rf build/corpus && mkdir -p build/corpus
ZT_CORPUS_DIR="$root/build/corpus" run_ctest build normal || status=1

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZT_SANITIZE=address,undefined -DZT_BENCH=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_ctest build-asan asan || status=1

echo "== ThreadSanitizer (engine, platform, link)"
# The thread suites are Qt-free; leaving the widgets out keeps this build short.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZT_SANITIZE=thread -DZT_BENCH=OFF -DZT_WITH_QT=OFF
cmake --build build-tsan -j "$jobs"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run_ctest build-tsan tsan -L tsan || status=1

echo "== libFuzzer targets, ${fuzz_seconds}s each"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZT_FUZZ=ON -DZT_TESTS=OFF -DZT_BENCH=OFF -DZT_WITH_QT=OFF
cmake --build build-fuzz -j "$jobs"
for fuzzer in build-fuzz/fuzzers/*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  work="build-fuzz/corpus/$name"
  mkdir -p "$work"
  seeds="build/corpus/$name"
  mkdir -p "$seeds"
  echo "-- $name"
  if ASAN_OPTIONS=detect_leaks=1 "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=1 \
      -artifact_prefix="build-fuzz/$name-" "$work" "$seeds" > "build-fuzz/$name.log" 2>&1; then
    runs=$(grep -E '^stat::number_of_executed_units' "build-fuzz/$name.log" | awk '{print $2}')
    summary+=("fuzz $name: ${runs:-?} executions, nothing found")
    passed=$((passed + 1))
  else
    tail -n 60 "build-fuzz/$name.log"
    summary+=("fuzz $name: FAILED, see build-fuzz/$name.log")
    failed=$((failed + 1))
    status=1
  fi
done

echo
echo "== summary"
printf '%s\n' "${summary[@]}"
echo "all: $passed passed, $failed failed"
exit "$status"
