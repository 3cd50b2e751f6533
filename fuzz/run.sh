#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer into build-fuzz/ and runs
# each for a bounded time (FUZZ_SECONDS, default 60), two at a time.
#   fuzz/run.sh [-Dcmake-option...] [target...]
# New inputs go to build-fuzz/corpus/<target>; the seeds in
# fuzz/corpus/<target> are only read. An input that makes a target fail is
# kept as build-fuzz/crashes/<target>/crash-*: copy it into
# fuzz/regressions/<target>/ with the fix, and the game's builds replay it
# from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
out=build-fuzz
options=()
targets=()
for arg in "$@"; do
  case $arg in
    -D*) options+=("$arg") ;;
    *) targets+=("$arg") ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(level_reader best_times pixel_format surface_copy compose bmp_decode)

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CXX=${FUZZ_CXX:-clang++-14} cmake -S fuzz -B "$out" "${launcher[@]}" "${options[@]}" >/dev/null
cmake --build "$out" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

run() {
  local target=$1
  mkdir -p "$out/corpus/$target" "$out/crashes/$target"
  if "$out/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -max_len=8192 \
      -artifact_prefix="$out/crashes/$target/" "$out/corpus/$target" "fuzz/corpus/$target" \
      >"$out/$target.log" 2>&1; then
    echo "fuzz $target: $(grep -o 'stat::number_of_executed_units: [0-9]*' "$out/$target.log" | grep -o '[0-9]*$') executions in ${seconds} s, no failure"
  else
    echo "fuzz $target FAILED; the input is in $out/crashes/$target/:"
    grep -E 'fuzz check failed|ERROR|SUMMARY|runtime error' "$out/$target.log" | head -5
    return 1
  fi
}

status=0
pids=()
for target in "${targets[@]}"; do
  run "$target" &
  pids+=($!)
  if [ ${#pids[@]} -ge 2 ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
exit $status
