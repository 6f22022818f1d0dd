#include "terrain/STLWriter.h"

#include "platform/FileIO.h"
#include "platform/KVError.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace kv {

namespace {

struct TSolidCorner {
    float x, y, z;
};

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

TPrintSolid BuildPrintSolid(const TTerrainSamples& samples, const TPrintOptions& options)
{
    const int32_t nx = samples.Counts.NX;
    const int32_t ny = samples.Counts.NY;
    if (nx < 2 || ny < 2)
        throw EKorvelaError("A printed solid needs at least 2 samples in each direction; the grid gives " +
                            std::to_string(nx) + " x " + std::to_string(ny) + ".");
    if (!(samples.StepX > 0) || !(samples.StepY > 0))
        throw EKorvelaError("A printed solid needs a positive spacing between samples.");
    if (!(options.Exaggeration > 0) || !std::isfinite(options.Exaggeration))
        throw EKorvelaError("The vertical exaggeration must be above 0, found " + Number(options.Exaggeration) + ".");

    const double width = (nx - 1) * samples.StepX;
    const double depth = (ny - 1) * samples.StepY;
    double scale = 1.0;
    if (options.PrintSizeMM) {
        if (!(*options.PrintSizeMM > 0) || !std::isfinite(*options.PrintSizeMM))
            throw EKorvelaError("The print size must be above 0 mm, found " + Number(*options.PrintSizeMM) + ".");
        scale = *options.PrintSizeMM / std::max(width, depth);
    }
    const double exaggeration = options.Exaggeration * scale;
    double base = 0.0;
    if (options.BaseMM) {
        if (!(*options.BaseMM > 0) || !std::isfinite(*options.BaseMM))
            throw EKorvelaError("The base must be thicker than 0 mm, found " + Number(*options.BaseMM) + ".");
        base = options.PrintSizeMM ? *options.BaseMM : *options.BaseMM / 1000.0;
    } else {
        base = (samples.Extents.Max - samples.Extents.Min) * options.BaseHeightPercent / 100.0 * exaggeration;
        if (!(base > 0))
            throw EKorvelaError("The base would have no thickness (" + Number(options.BaseHeightPercent) +
                                "% of an elevation range of " + Number(samples.Extents.Max - samples.Extents.Min) +
                                " m); give a thickness in millimetres instead.");
    }

    // Every corner is computed once, so that corners shared by triangles are equal to the bit.
    std::vector<float> xs(static_cast<size_t>(nx));
    std::vector<float> ys(static_cast<size_t>(ny));
    for (int32_t i = 0; i < nx; ++i)
        xs[size_t(i)] = float(i * samples.StepX * scale);
    for (int32_t j = 0; j < ny; ++j)
        ys[size_t(j)] = float((ny - 1 - j) * samples.StepY * scale); // row 0 is the north edge
    std::vector<float> zs(samples.Heights.size());
    for (size_t k = 0; k < zs.size(); ++k)
        zs[k] = float(base + (samples.Heights[k] - samples.Extents.Min) * exaggeration);
    const auto top = [&](int32_t i, int32_t j) {
        return TSolidCorner{xs[size_t(i)], ys[size_t(j)], zs[size_t(j) * size_t(nx) + size_t(i)]};
    };
    const auto bottom = [&](int32_t i, int32_t j) { return TSolidCorner{xs[size_t(i)], ys[size_t(j)], 0.0f}; };

    // The rim, counter-clockwise seen from above: the south edge west to east, the east edge south
    // to north, the north edge east to west, the west edge north to south.
    std::vector<std::pair<int32_t, int32_t>> rim;
    rim.reserve(size_t(2 * (nx - 1) + 2 * (ny - 1)));
    for (int32_t i = 0; i < nx - 1; ++i)
        rim.emplace_back(i, ny - 1);
    for (int32_t j = ny - 1; j > 0; --j)
        rim.emplace_back(nx - 1, j);
    for (int32_t i = nx - 1; i > 0; --i)
        rim.emplace_back(i, 0);
    for (int32_t j = 0; j < ny - 1; ++j)
        rim.emplace_back(0, j);

    TPrintSolid solid;
    const size_t triangles = 2 * size_t(nx - 1) * size_t(ny - 1) + 3 * rim.size();
    solid.Corners.reserve(9 * triangles);
    const auto add = [&](const TSolidCorner& a, const TSolidCorner& b, const TSolidCorner& c) {
        solid.Corners.insert(solid.Corners.end(), {a.x, a.y, a.z, b.x, b.y, b.z, c.x, c.y, c.z});
    };
    // The surface, the same triangles as the scene's terrain.
    for (int32_t j = 0; j < ny - 1; ++j)
        for (int32_t i = 0; i < nx - 1; ++i) {
            add(top(i, j), top(i, j + 1), top(i + 1, j));
            add(top(i, j + 1), top(i + 1, j + 1), top(i + 1, j));
        }
    // The walls, facing out, and the floor, facing down, fanned from its centre.
    const TSolidCorner centre{float(width * scale / 2), float(depth * scale / 2), 0.0f};
    for (size_t k = 0; k < rim.size(); ++k) {
        const auto [pi, pj] = rim[k];
        const auto [qi, qj] = rim[(k + 1) % rim.size()];
        add(bottom(pi, pj), bottom(qi, qj), top(qi, qj));
        add(bottom(pi, pj), top(qi, qj), top(pi, pj));
        add(centre, bottom(qi, qj), bottom(pi, pj));
    }
    return solid;
}

namespace {

void PutUint32(char* out, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        out[k] = char((value >> (8 * k)) & 0xFF);
}

void PutFloat(char* out, float value)
{
    PutUint32(out, std::bit_cast<uint32_t>(value));
}

} // namespace

std::string STLBytes(const TPrintSolid& solid)
{
    const int64_t count = solid.TriangleCount();
    if (count > int64_t(UINT32_MAX))
        throw EKorvelaError("An STL file holds at most 4294967295 triangles; the solid has " + std::to_string(count) +
                            ".");
    std::string bytes(84 + 50 * size_t(count), '\0');
    // The header must not begin with "solid", which marks the text form.
    const char header[] = "Korvela3D terrain, binary STL, Z up";
    std::memcpy(bytes.data(), header, sizeof header - 1);
    PutUint32(bytes.data() + 80, uint32_t(count));
    char* out = bytes.data() + 84;
    const float* c = solid.Corners.data();
    for (int64_t t = 0; t < count; ++t, c += 9, out += 50) {
        const double ax = c[3] - c[0], ay = c[4] - c[1], az = c[5] - c[2];
        const double bx = c[6] - c[0], by = c[7] - c[1], bz = c[8] - c[2];
        double nx = ay * bz - az * by;
        double ny = az * bx - ax * bz;
        double nz = ax * by - ay * bx;
        const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (length > 0) {
            nx /= length;
            ny /= length;
            nz /= length;
        }
        PutFloat(out, float(nx));
        PutFloat(out + 4, float(ny));
        PutFloat(out + 8, float(nz));
        for (int k = 0; k < 9; ++k)
            PutFloat(out + 12 + 4 * k, c[k]);
        // The attribute word stays 0.
    }
    return bytes;
}

void WriteSTLFile(const std::filesystem::path& fileName, const TPrintSolid& solid)
{
    WriteFileAtomically(fileName, STLBytes(solid));
}

} // namespace kv
