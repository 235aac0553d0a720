#!/usr/bin/env bash
# Builds everything and runs all tests, then rebuilds the core and command-line tests with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs them again, then runs every file-reader
# fuzz harness for a bounded time (scripts/fuzz.sh, ORVANE_FUZZ_SECONDS each).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
orvane_ensure_packages
export QT_QPA_PLATFORM=offscreen

gui=ON
[ -f src/app/main.cpp ] || gui=OFF  # the desktop application is not in this checkout yet
echo "== build (build/, GUI $gui)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_GUI=$gui -DORVANE_BUILD_PYTHON=ON >/dev/null
cmake --build build -j "$ORVANE_JOBS"
echo "== tests"
ctest --test-dir build --output-on-failure -j "$ORVANE_JOBS" --timeout 600

echo "== sanitized build (build-asan/)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-g1 -DORVANE_SANITIZE=ON \
  -DORVANE_BUILD_GUI=OFF >/dev/null
targets=(orvane_core_tests orvane-cli)
[ -d tests/cli ] && targets+=(orvane_cli_tests)
cmake --build build-asan -j "$ORVANE_JOBS" --target "${targets[@]}"
echo "== sanitized tests"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
build-asan/tests/orvane_core_tests --gtest_brief=1
if [ -x build-asan/tests/orvane_cli_tests ]; then build-asan/tests/orvane_cli_tests --gtest_brief=1; fi
echo "== fuzzing the file readers (ORVANE_FUZZ_SECONDS=${ORVANE_FUZZ_SECONDS:-30} each)"
scripts/fuzz.sh
echo "== all tests passed"
