#!/usr/bin/env bash
# Sets up a fresh machine, checks the format of the C++ files, and runs every test:
#   1. the normal build (everything, the benchmarks too) and the whole suite;
#   2. the whole suite again under AddressSanitizer + UndefinedBehaviorSanitizer;
#   3. the suites labelled tsan (engine, platform, link) under ThreadSanitizer;
#   4. every libFuzzer target for a bounded time, seeded by the corpora
#      that step 1's tests wrote.
# Each build makes only what it runs, with every warning in our code an error
# (ZT_WERROR). A suite runs as one process (tests/CMakeLists.txt says which
# run a process per test); its cases are counted from GoogleTest's XML.
# A failed test is run once more, only its failed cases where they are known,
# and the summary names every test that passed only on that second run.
# ZT_FUZZ_SECONDS sets the time per fuzzer (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
fuzz_seconds=${ZT_FUZZ_SECONDS:-60}
started=$SECONDS

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
retried=()
passed=0
skipped=0
failed=0
status=0
steps=()  # how long each step took
mark=$SECONDS
step_done() { steps+=("$1 $((SECONDS - mark)) s"); mark=$SECONDS; }

# Prints "passed|failed|skipped Suite.Case" for every case of a GoogleTest XML
# report (one <testcase> element a line; a failed one holds <failure>).
xml_cases() {
  awk '
    function flush() { if (name != "") print state, name; name = "" }
    /<testcase / {
      flush()
      match($0, / name="[^"]*"/); n = substr($0, RSTART + 7, RLENGTH - 8)
      match($0, / classname="[^"]*"/); c = substr($0, RSTART + 12, RLENGTH - 13)
      name = c "." n
      state = ($0 ~ /status="notrun"|result="skipped"/) ? "skipped" : "passed"
      next
    }
    /<failure/ { if (name != "") state = "failed" }
    END { flush() }' "$1"
}

# The ctest tests that failed, from ctest's list at the end of its output.
ctest_failed() {
  sed -n '/The following tests FAILED:/,$p' "$1" | awk '$2 == "-" {print $3}'
}

regex_quote() { sed 's/[][\.*^$()+?{}|]/\\&/g' <<< "$1"; }

# Runs ctest in a build folder and counts the test cases; a failed test runs
# once more (a real-time deadline missed on a crowded machine), with only its
# failed cases when the first run's report names them.
run_ctest() {  # build-dir label [ctest args...]
  local dir=$1 label=$2
  shift 2
  local log="$dir/ctest.log" results="$dir/test-results" first="$dir/test-results-first"
  rm -rf "$results" "$first" "$log.retry"
  set +e
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300 "$@") 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  set -e
  local -a failures
  mapfile -t failures < <(ctest_failed "$log")
  # The first run's reports stay for a look afterwards; a retry writes anew.
  mkdir -p "$results"
  cp -r "$results" "$first"
  local test
  local -A again=()      # test -> the cases run again ("" for all of it)
  local -A failing=()    # tests that failed on the second run too
  for test in "${failures[@]}"; do
    again[$test]=""
    # A crash, a time-out or a failure outside the cases leaves no failed case
    # in the report (or no report): then all of it runs again.
    [ -f "$first/$test.xml" ] &&
      again[$test]=$(xml_cases "$first/$test.xml" | awk '$1 == "failed" {print $2}' | paste -sd: -)
    rm -f "$results/$test.xml"
    local filter=${again[$test]} what="$test (all of it)"
    [ -n "$filter" ] && what="$test: $(sed 's/:/, /g' <<< "$filter")"
    [ "$filter" = "$test" ] && what=$test
    echo "== $label: running again: $what"
    set +e
    (cd "$dir" && GTEST_FILTER=${filter:-*} ctest --output-on-failure --timeout 300 \
      -R "^$(regex_quote "$test")\$") 2>&1 | tee -a "$log.retry"
    local again_rc=${PIPESTATUS[0]}
    set -e
    if [ "$again_rc" -eq 0 ]; then
      retried+=("$label: $what")
    else
      failing[$test]=1
    fi
  done
  # Count the cases of every test: a retried test's cases as the second run
  # left them, the rest as the first run did.
  local p=0 s=0 f=0 states
  local -a tests
  mapfile -t tests < <(ls "$first" "$results" | sed -n 's/\.xml$//p' | sort -u)
  for test in "${tests[@]}"; do
    states=$({ [ ! -f "$results/$test.xml" ] || xml_cases "$results/$test.xml"
               [ ! -f "$first/$test.xml" ] || xml_cases "$first/$test.xml"; } | awk '!seen[$2]++ {print $1}')
    p=$((p + $(grep -c '^passed' <<< "$states" || true)))
    s=$((s + $(grep -c '^skipped' <<< "$states" || true)))
    f=$((f + $(grep -c '^failed' <<< "$states" || true)))
    # Failed twice with no failed case to show (a crash, a time-out, an error
    # after the cases): the test itself is the failure.
    if [ -n "${failing[$test]+x}" ] && ! grep -q '^failed' <<< "$states"; then f=$((f + 1)); fi
  done
  for test in "${!failing[@]}"; do  # failed twice without any report
    [ -f "$first/$test.xml" ] || [ -f "$results/$test.xml" ] || f=$((f + 1))
  done
  # ctest failing with no failed test to name, or nothing run at all, is a
  # failure too, never a pass.
  if { [ "$rc" -ne 0 ] && [ "${#failures[@]}" -eq 0 ]; } || [ $((p + s + f)) -eq 0 ]; then
    echo "== $label: ctest exited with $rc after $((p + s + f)) test cases"
    f=$((f + 1))
  fi
  local ran
  ran=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#' "$log" || true)
  passed=$((passed + p))
  skipped=$((skipped + s))
  failed=$((failed + f))
  summary+=("$label: $p passed, $s skipped, $f failed (test cases, from $ran ctest tests)")
  [ "$f" -eq 0 ] && [ "${#failing[@]}" -eq 0 ]
}

echo "== format"
# Every C++ file of the tree must already be as clang-format writes it with
# the repository's .clang-format; one call checks them all and names each
# file that is not (one failure for all of them).
mapfile -t cxx_files < <(git ls-files -- '*.cpp' '*.h' '*.hpp' '*.cc')
set +e
format_out=$(clang-format --dry-run --Werror --ferror-limit=1 "${cxx_files[@]}" 2>&1)
format_rc=$?
set -e
mapfile -t unformatted < <(grep -oE '^[^:]+:[0-9]+:[0-9]+: (error|warning): code should be clang-formatted' \
  <<< "$format_out" | cut -d: -f1 | sort -u)
if [ "$format_rc" -eq 0 ]; then
  summary+=("format: ${#cxx_files[@]} files as clang-format writes them")
  passed=$((passed + 1))
elif [ "${#unformatted[@]}" -gt 0 ]; then
  printf 'not formatted: %s\n' "${unformatted[@]}"
  summary+=("format: ${#unformatted[@]} of ${#cxx_files[@]} files not formatted (clang-format -i them)")
  failed=$((failed + 1))
  status=1
else
  head -n 20 <<< "$format_out"
  summary+=("format: clang-format failed (exit $format_rc)")
  failed=$((failed + 1))
  status=1
fi
step_done format

# The four builds compile through ccache: a later run of the command, from
# this clone or another one anywhere on the machine, compiles only what
# changed. Paths are taken relative to the clone and the folder a compile
# runs in is left out of the hash (it only names the sources in the debug
# information), so clones share hits.
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
launcher=()
command -v ccache > /dev/null &&
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
configure() {  # build-dir [cmake args...]
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DZT_WERROR=ON "${launcher[@]}" "$@"
}

echo "== normal build"
configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
step_done "normal build"
rm -rf build/corpus && mkdir -p build/corpus
ZT_CORPUS_DIR="$root/build/corpus" run_ctest build normal || status=1
step_done "normal tests"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
configure build-asan -DCMAKE_BUILD_TYPE=Debug -DZT_SANITIZE=address,undefined -DZT_BENCH=OFF
cmake --build build-asan -j "$jobs" --target zt_tests
step_done "asan build"
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_ctest build-asan asan || status=1
step_done "asan tests"

echo "== ThreadSanitizer (engine, platform, link)"
# The thread suites are Qt-free; leaving the widgets out keeps this build short,
# and only the suites it runs are built.
configure build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZT_SANITIZE=thread -DZT_BENCH=OFF \
  -DZT_WITH_QT=OFF
cmake --build build-tsan -j "$jobs" --target zt_tests_tsan
step_done "tsan build"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run_ctest build-tsan tsan -L tsan || status=1
step_done "tsan tests"

echo "== libFuzzer targets, ${fuzz_seconds}s each, $jobs at a time"
CC=clang CXX=clang++ configure build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZT_FUZZ=ON -DZT_TESTS=OFF -DZT_BENCH=OFF -DZT_WITH_QT=OFF
cmake --build build-fuzz -j "$jobs" --target zt_fuzzers
step_done "fuzz build"
fuzz() {  # name: runs one fuzzer, its output in build-fuzz/NAME.log
  local name=$1
  local work="build-fuzz/corpus/$name" seeds="build/corpus/$name"
  mkdir -p "$work" "$seeds"
  ASAN_OPTIONS=detect_leaks=1 "build-fuzz/fuzzers/$name" -max_total_time="$fuzz_seconds" \
    -print_final_stats=1 -artifact_prefix="build-fuzz/$name-" "$work" "$seeds" \
    > "build-fuzz/$name.log" 2>&1
}
fuzzers=()
for fuzzer in build-fuzz/fuzzers/*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  fuzzers+=("$name")
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  echo "-- $name"
  (fuzz "$name" && echo 0 || echo $?) > "build-fuzz/$name.rc" &
done
wait
step_done fuzzing
for name in "${fuzzers[@]}"; do
  if [ "$(cat "build-fuzz/$name.rc")" = 0 ]; then
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
# Every test that failed once and passed when run again, with its cases.
if [ "${#retried[@]}" -gt 0 ]; then
  printf 'passed only when run again: %s\n' "${retried[@]}"
fi
echo "time: $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s ($(printf '%s, ' "${steps[@]}" | sed 's/, $//'))"
echo "all: $passed passed, $failed failed, $skipped skipped, ${#retried[@]} passed only when run again"
exit "$status"
