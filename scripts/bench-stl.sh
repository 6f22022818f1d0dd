#!/usr/bin/env bash
# Times the whole DEM-to-STL route: `korvela3d-cli convert` on a 1500 x 1500 cell box (the north-west cells) of a USGS DEM
# file at the largest budget (1000 K) against bench/tools/TerrainSTLNumpy.py, which writes the same
# triangles with numpy from the same grid, handed over as a .npy file made once beforehand (so its
# time leaves out the parsing ours includes: the floor of a Python route). python3-numpy is a peer,
# never linked. Medians of 5 runs after a warm-up, with hyperfine.
#   scripts/bench-stl.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
scripts/configure.sh build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build/release korvela3d-cli MakeBenchDEM >/dev/null

data="build/bench-data"
file="$data/tile1501.dem"
mkdir -p "$data"
[ -f "$file" ] || build/release/bench/MakeBenchDEM "$file" 1501
python=/usr/bin/python3
ours=(build/release/src/cli/korvela3d-cli convert "$file" --box 0,0,1500,1501 "$data/ours.stl" --budget 1000)
if [ ! -f "$data/tile1501.npy" ]; then
  build/release/src/cli/korvela3d-cli grid "$file" |
    "$python" -c 'import sys, numpy as np; next(sys.stdin); np.save(sys.argv[1], np.loadtxt(sys.stdin, delimiter=",", dtype=np.float64))' "$data/tile1501.npy"
fi
numpy=("$python" bench/tools/TerrainSTLNumpy.py "$data/tile1501.npy" 1500 1500 "$data/numpy.stl" 1000)
"${ours[@]}"
"${numpy[@]}"
hyperfine --warmup 1 --runs 5 --export-markdown "$data/bench-stl.md" "${ours[*]}" "${numpy[*]}"
