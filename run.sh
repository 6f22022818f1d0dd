#!/usr/bin/env bash
# Installs what is missing, builds (Release) and runs the main job on the bundled sample,
# data/samples/jacksboro.dem: the desktop program when a display is available, otherwise the
# command-line tool's DEM information and a summary of the elevation grid.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"
scripts/install-deps.sh
scripts/configure.sh build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
sample=data/samples/jacksboro.dem
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  ninja -C build/release korvela3d >/dev/null
  exec build/release/src/app/korvela3d "$sample"
fi
ninja -C build/release korvela3d-cli >/dev/null
echo "(no display: showing the sample with the command-line tool)"
echo "== korvela3d-cli info $sample"
build/release/src/cli/korvela3d-cli info "$sample"
echo "== korvela3d-cli grid $sample --summary"
build/release/src/cli/korvela3d-cli grid "$sample" --summary
