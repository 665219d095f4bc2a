#!/usr/bin/env bash
# Builds every test under AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ (no
# benchmarks) and runs them through CTest. Arguments go to ctest (-R test_platform ...).
# CI runs it after ./test.sh; CORVANE_EXTRA_TESTS=<dir> adds the extra test program here too.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export CORVANE_BUILD_DIR="${CORVANE_SANITIZE_BUILD_DIR:-$ROOT/build-asan}"
export CORVANE_BUILD_TYPE=Debug
export CORVANE_CMAKE_ARGS="CORVANE_SANITIZE=ON CORVANE_BUILD_BENCH=OFF"
export CORVANE_TEST_TOOLS=1
source "$ROOT/tools/setup.sh"
export QT_QPA_PLATFORM=offscreen
# Leaks are errors too (no suppressions are needed: Qt's own caches are not reported).
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
# The randomized sessions run 5,000 events a seed here (20,000 in ./test.sh), to keep CI short;
# CORVANE_EVENTS=20000 tools/sanitize.sh -R random runs them whole.
export CORVANE_EVENTS="${CORVANE_EVENTS:-5000}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)" "$@"
