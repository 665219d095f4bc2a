#!/usr/bin/env bash
# Installs what the build needs (Debian 12, as root), then configures and builds.
# Sourced by run.sh and test.sh; quick when everything is already there.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${CORVANE_BUILD_DIR:-$ROOT/build}"

PACKAGES=(g++ cmake ninja-build ccache qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev fonts-wine fonts-dejavu-core xvfb xauth)
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

extra=()
[ -n "${CORVANE_EXTRA_TESTS:-}" ] && extra+=("-DCORVANE_EXTRA_TESTS=$CORVANE_EXTRA_TESTS")
if [ ! -f "$BUILD/build.ninja" ] || [ ${#extra[@]} -gt 0 ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}" >/dev/null
fi
cmake --build "$BUILD" -j "$(nproc)"
