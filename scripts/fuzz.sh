#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz/ (clang, address and
# undefined-behaviour sanitizers) and runs each for SECONDS seconds (default
# 60) on a fresh copy of its seed corpus in fuzz/corpus/. Prints executions,
# seconds and corpus size per target; exits non-zero if any target failed.
# Inputs that make a target fail are kept in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
[[ -n "$seconds" ]] || seconds=60
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || ((seconds < 1)); then
  echo "fuzz.sh: SECONDS must be a whole number of seconds, not '$seconds'" >&2
  exit 2
fi
scripts/deps.sh fuzz

build=build-fuzz
sanitize="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S . -B $build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="$sanitize -fno-omit-frame-pointer" -DALPHABET_WERROR=ON \
    -DALPHABET_TESTS=OFF -DALPHABET_FUZZ=ON >/dev/null
fi
targets=()
for source in fuzz/fuzz_*.cpp; do
  name=$(basename "$source" .cpp)
  targets+=("${name#fuzz_}")
done
cmake --build $build -j2 --target "${targets[@]/#/fuzz_}"

failed=0
summary=()
for target in "${targets[@]}"; do
  work=$build/work/$target
  artifacts=$build/artifacts/$target
  rm -rf "$work"
  mkdir -p "$work" "$artifacts"
  seeds=0
  if [[ -d fuzz/corpus/$target ]]; then
    cp fuzz/corpus/"$target"/* "$work"/ 2>/dev/null || true
    seeds=$(find "$work" -type f | wc -l)
  fi
  log=$build/$target.log
  echo "== fuzz_$target: $seconds s from $seeds seed(s)" >&2
  start=$(date +%s.%N)
  status=0
  # -close_fd_mask=3 silences the loader's messages; libFuzzer and the sanitizers still report.
  "$build/bin/fuzz_$target" "$work" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -close_fd_mask=3 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" >"$log" 2>&1 || status=$?
  end=$(date +%s.%N)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  files=$(find "$work" -type f | wc -l)
  bytes=$(find "$work" -type f -printf '%s\n' | awk '{s += $1} END {print s + 0}')
  elapsed=$(awk -v a="$start" -v b="$end" 'BEGIN {printf "%.0f", b - a}')
  result=ok
  if ((status != 0)); then
    result="FAILED (exit $status; see $log and $artifacts/)"
    failed=1
    grep -E 'ERROR|property failed|runtime error|Test unit written' "$log" | head -5 >&2 || true
  fi
  summary+=("$(printf '%-12s %12s %8s %8s %10s  %s' "$target" "${runs:-?}" "$elapsed" "$files" "$bytes" "$result")")
done

printf '%-12s %12s %8s %8s %10s  %s\n' target executions seconds corpus bytes result
printf '%s\n' "${summary[@]}"
exit $failed
