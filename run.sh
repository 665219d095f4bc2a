#!/usr/bin/env bash
# Sets up, builds and starts Corvane.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$ROOT/tools/setup.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "corvane: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "corvane: start it from a desktop session, or under a virtual one: xvfb-run -s '-screen 0 1280x800x24' ./run.sh" >&2
  exit 1
fi
exec "$BUILD/app/corvane" "$@"
