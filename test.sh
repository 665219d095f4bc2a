#!/usr/bin/env bash
# Sets up, builds and runs every test through CTest (offscreen, no display needed).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export CORVANE_TEST_TOOLS=1
source "$ROOT/tools/setup.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)" "$@"
