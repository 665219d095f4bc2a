#!/usr/bin/env bash
# Installs what the build needs (Debian 12, as root), then configures and builds.
# Sourced by run.sh and test.sh; quick when everything is already there.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${CORVANE_BUILD_DIR:-$ROOT/build}"

PACKAGES=(g++ cmake ninja-build ccache qt6-base-dev qt6-svg-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev libceres-dev libboost-math-dev fonts-wine fonts-dejavu-core xvfb xauth)
# The tests also read the PDF the chart writes (pdftoppm) and render its SVG (rsvg-convert),
# check the desktop entry, and build and check the Debian package (dpkg-shlibdeps, file, lintian).
[ "${CORVANE_TEST_TOOLS:-}" = "1" ] && PACKAGES+=(poppler-utils librsvg2-bin desktop-file-utils dpkg-dev file lintian)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "corvane: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The cache values this run asks for; CMake runs only for a new build folder or when one of
# them differs from what the folder's cache holds.
want=("CMAKE_BUILD_TYPE=${CORVANE_BUILD_TYPE:-RelWithDebInfo}")
# (CMake keeps the extra tests' folder as an absolute path.)
[ -n "${CORVANE_EXTRA_TESTS:-}" ] && want+=("CORVANE_EXTRA_TESTS=$(realpath -ms "$CORVANE_EXTRA_TESTS")")
[ "${CI:-}" = "true" ] && want+=("CORVANE_WERROR=ON")
# More NAME=VALUE pairs from the caller (the sanitizer build), separated by spaces.
read -r -a more <<< "${CORVANE_CMAKE_ARGS:-}"
want+=("${more[@]}")
cached() { sed -n "s/^$1:[A-Z]*=//p" "$BUILD/CMakeCache.txt" 2>/dev/null; }
configure=0
[ -f "$BUILD/build.ninja" ] && [ -f "$BUILD/CMakeCache.txt" ] || configure=1
args=()
for kv in "${want[@]}"; do
  args+=("-D$kv")
  [ "$configure" -eq 1 ] || [ "$(cached "${kv%%=*}")" = "${kv#*=}" ] || configure=1
done
if [ "$configure" -eq 1 ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja "${args[@]}" >/dev/null
fi
cmake --build "$BUILD" -j "$(nproc)"
