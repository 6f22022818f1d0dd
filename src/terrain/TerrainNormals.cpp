#include "terrain/TerrainNormals.h"

#include "platform/HugePages.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kv {

namespace {

// CalcNormals counts coordinates this close as one; the grid's positions must be further apart.
constexpr double PositionTolerance = 1e-11;

// n copies of value in a block that asks for huge pages before it is first touched: these
// working lists run to tens of megabytes, and a conversion makes them once.
template <typename T>
std::vector<T> HugeVector(size_t n, T value)
{
    std::vector<T> items;
    items.reserve(n);
    PreferHugePages(items.data(), n * sizeof(T));
    items.assign(n, value);
    return items;
}

// Strictly increasing, each step wider than the tolerance, all finite.
bool WellSeparated(const std::vector<double>& values)
{
    for (size_t k = 0; k < values.size(); ++k) {
        if (!std::isfinite(values[k]))
            return false;
        if (k > 0 && !(values[k] - values[k - 1] > PositionTolerance))
            return false;
    }
    return true;
}

// The sample each corner of the surface stands on, in corner order: per cell, the triangles
// (i, j) (i, j+1) (i+1, j) and (i, j+1) (i+1, j+1) (i+1, j), row by row.
std::vector<int32_t> CornerSamples(int32_t nx, int32_t ny)
{
    std::vector<int32_t> samples;
    samples.reserve(size_t(6) * size_t(nx - 1) * size_t(ny - 1));
    PreferHugePages(samples.data(), samples.capacity() * sizeof(int32_t));
    for (int32_t j = 0; j < ny - 1; ++j)
        for (int32_t i = 0; i < nx - 1; ++i) {
            const int32_t here = j * nx + i;
            const int32_t nextRow = here + nx;
            samples.insert(samples.end(), {here, nextRow, here + 1, nextRow, nextRow + 1, here + 1});
        }
    return samples;
}

// Whether CalcNormals' comparison of positions, over these corners, is an ordering in which two
// corners are equal exactly when they stand on the same sample.
bool GroupsMatchPositions(std::span<const Vector3D> corners, const std::vector<int32_t>& sampleOf, int32_t nx,
                          int32_t ny)
{
    // Every corner of a sample at one position.
    std::vector<Vector3D> position = HugeVector(size_t(nx) * size_t(ny), Vector3D{});
    std::vector<bool> seen(position.size(), false);
    for (size_t k = 0; k < corners.size(); ++k) {
        const auto s = size_t(sampleOf[k]);
        if (!seen[s]) {
            position[s] = corners[k];
            seen[s] = true;
        } else if (!(corners[k] == position[s])) {
            return false;
        }
    }
    // One x a column and one z a row, both well apart: corners of different columns or rows
    // never compare equal, and the comparison is decided by x, or by z within a column unless y
    // decides first.
    std::vector<double> xs(static_cast<size_t>(nx));
    std::vector<double> zs(static_cast<size_t>(ny));
    for (int32_t i = 0; i < nx; ++i)
        xs[size_t(i)] = position[size_t(i)].x;
    for (int32_t j = 0; j < ny; ++j)
        zs[size_t(j)] = position[size_t(j) * size_t(nx)].z;
    if (!WellSeparated(xs) || !WellSeparated(zs))
        return false;
    for (int32_t j = 0; j < ny; ++j)
        for (int32_t i = 0; i < nx; ++i) {
            const Vector3D& p = position[size_t(j) * size_t(nx) + size_t(i)];
            if (p.x != xs[size_t(i)] || p.z != zs[size_t(j)])
                return false;
        }
    // Within a column the heights decide before z: different heights must be apart by more than
    // the tolerance, or the comparison would not be an ordering at all.
    std::vector<double> ys(static_cast<size_t>(ny));
    for (int32_t i = 0; i < nx; ++i) {
        for (int32_t j = 0; j < ny; ++j) {
            ys[size_t(j)] = position[size_t(j) * size_t(nx) + size_t(i)].y;
            if (!std::isfinite(ys[size_t(j)]))
                return false;
        }
        std::sort(ys.begin(), ys.end());
        ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
        if (!WellSeparated(ys))
            return false;
        ys.resize(size_t(ny));
    }
    return true;
}

} // namespace

void SmoothTerrainNormals(TGLMesh& mesh, int32_t nx, int32_t ny, double angleDegrees)
{
    const int64_t faces = nx >= 2 && ny >= 2 ? 2 * int64_t(nx - 1) * int64_t(ny - 1) : 0;
    if (faces == 0 || mesh.FaceCount() != faces) {
        mesh.CalcNormals(true, angleDegrees);
        return;
    }
    const std::vector<int32_t> sampleOf = CornerSamples(nx, ny);
    if (!GroupsMatchPositions(mesh.Vertices.Items(), sampleOf, nx, ny)) {
        mesh.CalcNormals(true, angleDegrees);
        return;
    }
    mesh.CalcNormals(false, angleDegrees);
    // The corners of each sample in ascending order: a counting sort by sample.
    const size_t samples = size_t(nx) * size_t(ny);
    std::vector<int32_t> starts = HugeVector<int32_t>(samples + 1, 0);
    for (const int32_t s : sampleOf)
        ++starts[size_t(s) + 1];
    for (size_t s = 0; s < samples; ++s)
        starts[s + 1] += starts[s];
    std::vector<int32_t> next(starts.begin(), starts.end() - 1);
    std::vector<int32_t> grouped = HugeVector<int32_t>(sampleOf.size(), 0);
    for (size_t k = 0; k < sampleOf.size(); ++k)
        grouped[size_t(next[size_t(sampleOf[k])]++)] = int32_t(k);
    mesh.SmoothVertexNormals(starts, grouped, angleDegrees);
}

} // namespace kv
