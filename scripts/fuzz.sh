#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (build-fuzz/) and runs each for a bounded time.
# ORVANE_FUZZ_SECONDS: seconds per harness (default 30). Any crash, leak, timeout or
# out-of-memory fails the script; the input that caused it is left in build-fuzz/findings/.
# A harness name as argument runs that one only.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${ORVANE_FUZZ_SECONDS:-30}"
jobs="${ORVANE_JOBS:-$(nproc 2>/dev/null || echo 2)}"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_FUZZ=ON \
  >/dev/null
cmake --build build-fuzz -j "$jobs" --target orvane_fuzzers
harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for source in fuzz/*_fuzz.cpp; do harnesses+=("$(basename "$source" .cpp)"); done
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
status=0
for h in "${harnesses[@]}"; do
  findings="build-fuzz/findings/$h"
  work="build-fuzz/corpus-work/$h"  # grows over runs; the seeds stay in fuzz/corpus
  mkdir -p "$findings" "$work"
  echo "== fuzz $h (${seconds}s)"
  if ! build-fuzz/fuzz/"$h" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" \
      "$work" "fuzz/corpus/$h" >"build-fuzz/$h.log" 2>&1; then
    echo "!! $h found a fault; log build-fuzz/$h.log, input in $findings/" >&2
    tail -40 "build-fuzz/$h.log" >&2
    status=1
  else
    grep -E "stat::number_of_executed_units" "build-fuzz/$h.log" || true
  fi
done
exit $status
