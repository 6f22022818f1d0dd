#!/usr/bin/env bash
# Installs what is missing, builds (Release) and runs the main job on the bundled sample,
# data/samples/jacksboro.dem: the desktop program when a display is available, otherwise the
# command-line tool's DEM information, a summary of the elevation grid, and the sample converted
# into a printable STL solid with a rendered picture of the 3D terrain (drawn under Xvfb).
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
out="$root/build/run"
mkdir -p "$out"
echo "== korvela3d-cli convert $sample --box 0,0,403,343 $out/jacksboro.stl --print-size 150 --render $out/jacksboro-3d.png"
xvfb-run -a -s "-screen 0 1280x1024x24" build/release/src/cli/korvela3d-cli convert "$sample" --box 0,0,403,343 \
  "$out/jacksboro.stl" --print-size 150 --render "$out/jacksboro-3d.png" 2> >(grep -v XDG_RUNTIME_DIR >&2)
echo "The printable solid (150 mm on its longer side) is $out/jacksboro.stl"
echo "The rendered terrain is $out/jacksboro-3d.png"
