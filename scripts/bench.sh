#!/usr/bin/env bash
# Builds (Release) and runs every benchmark, or those named: scripts/bench.sh [NAME ...]
# scripts/bench.sh --compare-gdal [FILE] times whole processes against GDAL instead
# (scripts/bench-gdal.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
if [ "${1:-}" = "--compare-gdal" ]; then
  shift
  exec scripts/bench-gdal.sh "$@"
fi
scripts/install-deps.sh
scripts/configure.sh build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build/release
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for source in bench/*.cpp; do names+=("$(basename "$source" .cpp)"); done
fi
for name in "${names[@]}"; do
  echo "== $name"
  # The viewer's and the capture's benchmarks draw with OpenGL: they get a virtual display.
  runner=()
  case "$name" in GLViewerBench | CaptureBench | TerrainRenderBench) runner=(tests/run-with-display.sh) ;; esac
  "${runner[@]}" "build/release/bench/$name" --benchmark_min_time=1
done
