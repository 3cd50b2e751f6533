#!/usr/bin/env bash
# Sets up, builds and runs every test. Extra arguments go to cmake's configure
# steps (CI passes -DQM_WERROR=ON).
#
#   build/           every test, the end-to-end tests in X and the browser
#                    build (build-web/) played in Chromium included
#   build-sanitize/  the same sources with AddressSanitizer, UndefinedBehavior-
#                    Sanitizer and LeakSanitizer: the unit and headless tests,
#                    the long soak and the bitmap corpus (no X tests, no
#                    installed-game tests)
#   build-fuzz/      the fuzz targets, FUZZ_SECONDS (default 60) each
#
# Each stage prints how long it took; the summary at the end repeats them.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
timings=()
stage() {
  local name=$1
  shift
  local start=$SECONDS
  echo "=== $name"
  "$@"
  timings+=("$(printf '%-20s %5d s' "$name" $((SECONDS - start)))")
  echo "=== $name took $((SECONDS - start)) s"
}

# A sanitizer report that some test tolerated (a child's output, a message
# matched loosely) still fails the run.
no_sanitizer_reports() {
  local log=build-sanitize/Testing/Temporary/LastTest.log
  if grep -nE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$log"; then
    echo "sanitizer reports in $log"
    return 1
  fi
}

stage "install packages" scripts/install-deps.sh

# Tests on, whatever an earlier configure (scripts/play.sh, a hand-made one)
# left in the cache; ctest fails on a run that finds no test.
stage "configure" cmake -S . -B build -DQM_TESTS=ON "$@"
stage "build" cmake --build build -j"$jobs"
stage "test" ctest --test-dir build --output-on-failure --no-tests=error -j"$jobs"

# -O1 with asserts on: the 200,000-pass soak stays well inside its time. At
# -O1 GCC's maybe-uninitialized analysis raises false alarms on instrumented
# standard headers (<regex>), so that one warning is off in this build only.
stage "sanitize configure" cmake -S . -B build-sanitize -DQM_TESTS=ON -DQM_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1 -Wno-maybe-uninitialized" "$@"
stage "sanitize build" cmake --build build-sanitize -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The unit and headless tests only: the X scenarios, the browser and the installed game
# (cpack included) are the normal build's.
stage "sanitize test" ctest --test-dir build-sanitize --output-on-failure --no-tests=error -j"$jobs" -LE 'e2e|install|web'
stage "sanitize reports" no_sanitizer_reports

fuzz_options=()
for arg in "$@"; do
  case $arg in -DQM_WERROR*) fuzz_options+=("$arg") ;; esac
done
stage "fuzz" fuzz/run.sh "${fuzz_options[@]}"

echo "=== stage times"
printf '%s\n' "${timings[@]}"
