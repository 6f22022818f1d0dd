#!/usr/bin/env bash
# Times whole processes loading one USGS DEM file: `korvela3d-cli grid --summary FILE` against
# GDAL reading the same file into memory (python3-gdal: Open, then ReadAsArray of band 1).
# Medians of 5 runs after a warm-up (the file is in the page cache for both), with hyperfine.
#   scripts/bench-gdal.sh [FILE]
# Without FILE, build/bench-data/tile3601.dem: the benchmarks' 3601 x 3601 grid, written by
# MakeBenchDEM when missing. GDAL is a peer we compare with, never linked.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
scripts/configure.sh build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build/release korvela3d-cli MakeBenchDEM >/dev/null

data="build/bench-data"
file="${1:-$data/tile3601.dem}"
mkdir -p "$data"
if [ ! -f "$file" ]; then
  echo "Writing $file"
  build/release/bench/MakeBenchDEM "$file"
fi

# Debian's python3-gdal belongs to the system Python, whatever python3 comes first in PATH.
python=/usr/bin/python3
reader="$data/gdal-read.py"
cat >"$reader" <<'PY'
import sys
from osgeo import gdal
gdal.UseExceptions()
# Keep the dataset: a band outlives it only in name (a chained Open().GetRasterBand() reads nothing).
dataset = gdal.Open(sys.argv[1])
band = dataset.GetRasterBand(1)
grid = band.ReadAsArray()
if len(sys.argv) > 2:  # --check: what it read, to compare with our summary (not timed)
    valid = grid[grid != band.GetNoDataValue()]
    print(f"{grid.shape[1]},{grid.shape[0]} valid cells: {valid.size} elevations: {valid.min()} to {valid.max()}")
PY
echo "korvela3d-cli: $(build/release/src/cli/korvela3d-cli grid --summary "$file" | tr '\n' ' ')"
echo "GDAL:          $("$python" "$reader" "$file" --check)"

json="$data/bench-gdal.json"
hyperfine -N --warmup 1 --runs 5 --export-json "$json" \
  -n ours "build/release/src/cli/korvela3d-cli grid --summary $file" \
  -n gdal "$python $reader $file" >/dev/null
"$python" - "$json" "$file" <<'PY'
import json, os, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
ours, gdal = results["ours"], results["gdal"]
size = os.path.getsize(sys.argv[2]) / 1e6
print(f"file:  {sys.argv[2]} ({size:.0f} MB), {os.cpu_count()} cores")
for name, r in (("ours", ours), ("GDAL", gdal)):
    print(f"{name}:  median {r['median'] * 1000:.0f} ms  (user {r['user'] * 1000:.0f} ms, system {r['system'] * 1000:.0f} ms, "
          f"min {r['min'] * 1000:.0f} ms, max {r['max'] * 1000:.0f} ms)")
print(f"ratio: {ours['median'] / gdal['median']:.2f} (ours / GDAL, medians of {len(ours['times'])})")
PY
