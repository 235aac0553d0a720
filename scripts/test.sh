#!/usr/bin/env bash
# Builds everything and runs all tests (C++, the CLI's output fingerprints, the Python and Dask
# tests through ctest), then rebuilds the core and command-line tests with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs them again, then runs every file-reader
# fuzz harness for a bounded time (scripts/fuzz.sh, ORVANE_FUZZ_SECONDS each).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
orvane_ensure_packages
export QT_QPA_PLATFORM=offscreen

echo "== build (build/: core, CLI, GUI, Python module)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_GUI=ON -DORVANE_BUILD_PYTHON=ON >/dev/null
cmake --build build -j "$ORVANE_JOBS"
echo "== tests"
ctest --test-dir build --output-on-failure -j "$ORVANE_JOBS" --timeout 600

echo "== sanitized build (build-asan/)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-g1 -DORVANE_SANITIZE=ON \
  -DORVANE_BUILD_GUI=OFF >/dev/null
cmake --build build-asan -j "$ORVANE_JOBS" --target orvane_core_tests orvane-cli orvane_cli_tests
echo "== sanitized tests"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
build-asan/tests/orvane_core_tests --gtest_brief=1
build-asan/tests/orvane_cli_tests --gtest_brief=1
echo "== fuzzing the file readers (ORVANE_FUZZ_SECONDS=${ORVANE_FUZZ_SECONDS:-30} each)"
scripts/fuzz.sh
echo "== all tests passed"
