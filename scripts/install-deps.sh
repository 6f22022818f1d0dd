#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the fuzzers need. Idempotent and
# quick when nothing is missing: it asks dpkg first and calls apt-get only for what is absent.
set -euo pipefail

packages=(
  g++ cmake ninja-build ccache pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev   # libFuzzer and the sanitizer runtimes for the fuzz targets
  qt6-base-dev libqt6opengl6-dev libxkbcommon-dev libglu1-mesa-dev   # Qt 6 Widgets, OpenGL widgets, GLU
  xvfb xauth                 # a virtual display for the tests that need one (xvfb-run)
  libjpeg-dev libpng-dev libgif-dev libtiff-dev   # picture decoders (libtiff for TIFFs our reader leaves aside)
  libgdal-dev                # GeoTIFF, SRTM .hgt, ASCII grids and the other rasters GDAL reads
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev   # MP4 movies with H.264 (FFmpeg, libx264)
  libpugixml-dev             # the XML scene files
  # Peers for tests and benchmarks only, never linked: the tests check that another program
  # reads the files we write, and the benchmarks compare our speed with theirs (gdaldem, and
  # scripts/bench-gdal.sh timing GDAL reading the same file as the USGS DEM reader, with hyperfine).
  gdal-bin python3-gdal hyperfine
  ffmpeg                     # ffprobe and ffmpeg play the movies we write back in the tests
  # admesh checks that the STL solids we write are closed and consistently oriented; the
  # convert benchmark writes the same triangles with numpy for comparison.
  admesh python3-numpy
  assimp-utils               # `assimp info` reads the .x, .obj, .ply and .glb files we write
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
  "${sudo[@]}" apt-get update
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
