#!/usr/bin/env bash
# Configures a build folder once: scripts/configure.sh FOLDER [cmake options]
# Later calls reuse it (ninja re-runs cmake by itself when CMake files change).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$1"
shift
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja "$@"
fi
