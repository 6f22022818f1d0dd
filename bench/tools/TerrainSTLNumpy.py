"""The convert command's printable solid written with numpy, as the floor of what a Python route
reaches: the same sample counts, bilinear thinning, surface triangles, walls and floor fan as
korvela3d-cli convert, written as binary STL. The grid comes ready in memory's own layout (a .npy
file of the elevations, north row first, made once beforehand), so no parsing is timed.

    TerrainSTLNumpy.py GRID.npy COLS ROWS OUT.stl [BUDGET_K] [DX DY]

COLS x ROWS cells from the north-west corner; spacing DX, DY metres (30 unless given),
exaggeration 2, base 5 %.
"""
import sys

import numpy as np
path, cols, rows, out = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
budget = int(sys.argv[5]) if len(sys.argv) > 5 else 100
dx, dy = (float(sys.argv[6]), float(sys.argv[7])) if len(sys.argv) > 7 else (30.0, 30.0)
exaggeration, base_percent = 2.0, 5.0

grid = np.load(path).astype(np.float64)[:rows, :cols]  # north first

limit = budget * 1024.0
nx, ny, sx, sy = cols, rows, 1.0, 1.0
if 2.0 * cols * rows > limit:
    aspect = cols / rows
    s = np.sqrt(limit / (2.0 * aspect))
    ny, nx = int(s) + 1, int(aspect * s) + 1
    sx, sy = cols / nx, rows / ny
valid = grid > -32767.0
low, high = grid[valid].min(), grid[valid].max()

x = np.arange(nx) * sx
y = np.arange(ny) * sy
gx, gy = x.astype(np.int64), y.astype(np.int64)
fx, fy = (x - gx)[None, :], (y - gy)[:, None]
gx1, gy1 = np.minimum(gx + 1, cols - 1), np.minimum(gy + 1, rows - 1)
g00, g10 = grid[np.ix_(gy, gx)], grid[np.ix_(gy, gx1)]
g01, g11 = grid[np.ix_(gy1, gx)], grid[np.ix_(gy1, gx1)]
bottom = g00 + (g10 - g00) * fx
top = g01 + (g11 - g01) * fx
h = (bottom + (top - bottom) * fy).astype(np.float32).astype(np.float64)
h = np.maximum(h, low)

step_x, step_y = dx * sx, dy * sy
base = (high - low) * base_percent / 100.0 * exaggeration
points = np.empty((ny, nx, 3), np.float32)
points[:, :, 0] = (np.arange(nx) * step_x)[None, :]
points[:, :, 1] = ((ny - 1 - np.arange(ny)) * step_y)[:, None]
points[:, :, 2] = base + (h - low) * exaggeration
floor = points.copy()
floor[:, :, 2] = 0

a, b = points[:-1, :-1], points[1:, :-1]  # (i, j), (i, j+1)
c, d = points[:-1, 1:], points[1:, 1:]    # (i+1, j), (i+1, j+1)
surface = np.concatenate([np.stack([a, b, c], 2).reshape(-1, 3, 3), np.stack([b, d, c], 2).reshape(-1, 3, 3)])
# Row-major order as the convert command writes it: both triangles of a cell together.
surface = surface.reshape(2, -1, 3, 3).transpose(1, 0, 2, 3).reshape(-1, 3, 3)

# The rim counter-clockwise from above: south edge, east edge, north edge, west edge.
ri = np.concatenate([np.arange(nx - 1), np.full(ny - 1, nx - 1), np.arange(nx - 1, 0, -1), np.zeros(ny - 1, np.int64)])
rj = np.concatenate([np.full(nx - 1, ny - 1), np.arange(ny - 1, 0, -1), np.zeros(nx - 1, np.int64), np.arange(ny - 1)])
qi, qj = np.roll(ri, -1), np.roll(rj, -1)
pt, qt, pb, qb = points[rj, ri], points[qj, qi], floor[rj, ri], floor[qj, qi]
centre = np.broadcast_to(np.array([(nx - 1) * step_x / 2, (ny - 1) * step_y / 2, 0], np.float32), pb.shape)
rim = np.stack([np.stack([pb, qb, qt], 1), np.stack([pb, qt, pt], 1), np.stack([centre, qb, pb], 1)], 1).reshape(-1, 3, 3)

triangles = np.concatenate([surface, rim])
normals = np.cross(triangles[:, 1] - triangles[:, 0], triangles[:, 2] - triangles[:, 0]).astype(np.float64)
normals /= np.maximum(np.linalg.norm(normals, axis=1, keepdims=True), 1e-300)
record = np.dtype([("normal", "<f4", 3), ("corners", "<f4", (3, 3)), ("attribute", "<u2")])
body = np.zeros(len(triangles), record)
body["normal"] = normals
body["corners"] = triangles
with open(out, "wb") as f:
    f.write(b"numpy terrain, binary STL".ljust(80, b" "))
    f.write(np.uint32(len(triangles)).tobytes())
    body.tofile(f)
print(f"{out}: {len(triangles)} triangles, {nx} x {ny} samples of {cols} x {rows} cells")
