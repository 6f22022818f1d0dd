#!/usr/bin/env bash
# Installs what is missing, builds (Release) and runs the main job on the bundled sample:
# the DEM information and a summary of the elevation grid of data/samples/jacksboro.dem.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
cd "$root"
scripts/install-deps.sh
scripts/configure.sh build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build/release korvela3d-cli >/dev/null
sample=data/samples/jacksboro.dem
echo "== korvela3d-cli info $sample"
build/release/src/cli/korvela3d-cli info "$sample"
echo "== korvela3d-cli grid $sample --summary"
build/release/src/cli/korvela3d-cli grid "$sample" --summary
