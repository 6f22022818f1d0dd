#include "terrain/KVMesh.h"

#include "platform/KVError.h"
#include "terrain/TerrainNormals.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kv {

TSampleCounts SampleCounts(int32_t cols, int32_t rows, int32_t budgetK)
{
    TSampleCounts counts{cols, rows, 1.0, 1.0, false};
    const double budget = double(budgetK) * 1024.0;
    if (2.0 * double(cols) * double(rows) <= budget)
        return counts;
    counts.Thinning = true;
    if (rows == 0)
        return counts;
    const double aspect = double(cols) / double(rows);
    const double s = std::sqrt(budget / (2.0 * aspect));
    counts.NY = int32_t(std::trunc(s)) + 1;
    counts.NX = int32_t(std::trunc(aspect * s)) + 1;
    counts.SX = double(cols) / double(counts.NX);
    counts.SY = double(rows) / double(counts.NY);
    return counts;
}

TElevationExtents GridExtents(const TTopoGrid& grid, double elevationToMetres)
{
    TElevationExtents extents;
    for (int32_t c = 0; c < grid.Cols(); ++c) {
        const double* column = grid.Column(c);
        for (int32_t r = 0; r < grid.Rows(); ++r) {
            if (column[r] <= TerrainVoidLimit)
                continue;
            const double value = column[r] * elevationToMetres;
            extents.Max = std::max(extents.Max, value);
            extents.Min = std::min(extents.Min, value);
        }
    }
    return extents;
}

namespace {

// The grid's value at a fractional cell position; the neighbour past the last live column or
// row is that last one (its weight is zero there).
double Bilinear(const TTopoGrid& grid, double x, double y)
{
    const auto gx = int32_t(std::trunc(x));
    const auto gy = int32_t(std::trunc(y));
    const double fx = x - gx;
    const double fy = y - gy;
    const int32_t gx1 = std::min(gx + 1, grid.Cols() - 1);
    const int32_t gy1 = std::min(gy + 1, grid.Rows() - 1);
    const double bottom = grid.Get(gx, gy) + (grid.Get(gx1, gy) - grid.Get(gx, gy)) * fx;
    const double top = grid.Get(gx, gy1) + (grid.Get(gx1, gy1) - grid.Get(gx, gy1)) * fx;
    return bottom + (top - bottom) * fy;
}

} // namespace

TTerrainSamples SampleTerrain(const TTerrainSource& source, int32_t budgetK)
{
    const TTopoGrid& grid = *source.Grid;
    if (grid.Empty())
        throw EKorvelaError(NoTerrainLoadedMessage);
    TTerrainSamples samples;
    samples.Extents = GridExtents(grid, source.ElevationToMetres);
    if (!samples.Extents.Valid())
        throw EKorvelaError(NoValidSampleMessage);
    const TSampleCounts counts = SampleCounts(grid.Cols(), grid.Rows(), budgetK);
    samples.Counts = counts;
    samples.StepX = source.EastSpacing * counts.SX;
    samples.StepY = source.NorthSpacing * counts.SY;
    samples.CX = (grid.Cols() - 1) * source.EastSpacing / 2;
    samples.CY = (grid.Rows() - 1) * source.NorthSpacing / 2;
    samples.Heights.resize(size_t(counts.NX) * size_t(counts.NY));
    const double lowest = samples.Extents.Min;
    for (int32_t j = 0; j < counts.NY; ++j) {
        double* row = samples.Heights.data() + size_t(j) * size_t(counts.NX);
        for (int32_t i = 0; i < counts.NX; ++i) {
            const double value = counts.Thinning ? Bilinear(grid, i * counts.SX, j * counts.SY) : grid.Get(i, j);
            // Void samples (and blends with them) sit at the lowest valid elevation.
            const double h = double(float(value)) * source.ElevationToMetres;
            row[i] = h < lowest ? lowest : h;
        }
    }
    return samples;
}

Vector3D TTerrainGeometry::Top(int32_t i, int32_t j) const
{
    const TTerrainSamples& s = *Samples;
    const double y = (s.Height(i, j) - s.Extents.Mid()) * UnitFactor * Exaggeration;
    return {(i * s.StepX - s.CX) * UnitFactor, double(float(y)), (j * s.StepY - s.CY) * UnitFactor};
}

Vector3D TTerrainGeometry::Bottom(int32_t i, int32_t j) const
{
    const TTerrainSamples& s = *Samples;
    const double y = (s.Extents.Min - BaseDepth - s.Extents.Mid()) * UnitFactor * Exaggeration;
    return {(i * s.StepX - s.CX) * UnitFactor, double(float(y)), (j * s.StepY - s.CY) * UnitFactor};
}

void AddTerrainTriangles(const TTerrainGeometry& geometry, TGLMesh& mesh,
                         const std::function<void(int32_t row)>& beforeRow)
{
    const int32_t nx = geometry.Samples->Counts.NX;
    const int32_t ny = geometry.Samples->Counts.NY;
    if (nx < 2 || ny < 2)
        return;
    mesh.Reserve(mesh.FaceCount() + 2 * (nx - 1) * (ny - 1));
    // Two rows of corners at a time: each corner is computed once.
    std::vector<Vector3D> upper(static_cast<size_t>(nx));
    std::vector<Vector3D> lower(static_cast<size_t>(nx));
    // A row's triangles are handed to the mesh together.
    std::vector<Vector3D> corners(size_t(6) * size_t(nx - 1));
    for (int32_t i = 0; i < nx; ++i)
        upper[size_t(i)] = geometry.Top(i, 0);
    for (int32_t j = 0; j < ny - 1; ++j) {
        if (beforeRow)
            beforeRow(j);
        for (int32_t i = 0; i < nx; ++i)
            lower[size_t(i)] = geometry.Top(i, j + 1);
        Vector3D* out = corners.data();
        for (int32_t i = 0; i < nx - 1; ++i) {
            const auto k = size_t(i);
            *out++ = upper[k];
            *out++ = lower[k];
            *out++ = upper[k + 1];
            *out++ = lower[k];
            *out++ = lower[k + 1];
            *out++ = upper[k + 1];
        }
        mesh.AddTriangles(corners, TerrainColor);
        upper.swap(lower);
    }
}

void AddBaseTriangles(const TTerrainGeometry& geometry, TGLMesh& mesh)
{
    const int32_t nx = geometry.Samples->Counts.NX;
    const int32_t ny = geometry.Samples->Counts.NY;
    if (nx < 1 || ny < 1)
        return;
    const auto t = [&](int32_t i, int32_t j) { return geometry.Top(i, j); };
    const auto b = [&](int32_t i, int32_t j) { return geometry.Bottom(i, j); };
    mesh.Reserve(mesh.FaceCount() + 2 + 4 * (nx - 1) + 4 * (ny - 1));
    // The floor, facing down.
    mesh.AddTriangle(b(0, ny - 1), b(0, 0), b(nx - 1, ny - 1), BaseColor);
    mesh.AddTriangle(b(0, 0), b(nx - 1, 0), b(nx - 1, ny - 1), BaseColor);
    // North and south walls; each wall follows the terrain's edge profile.
    for (int32_t i = 0; i < nx - 1; ++i) {
        mesh.AddTriangle(t(i, 0), t(i + 1, 0), b(i, 0), BaseColor);
        mesh.AddTriangle(t(i + 1, 0), b(i + 1, 0), b(i, 0), BaseColor);
    }
    for (int32_t i = 0; i < nx - 1; ++i) {
        mesh.AddTriangle(t(i, ny - 1), b(i, ny - 1), t(i + 1, ny - 1), BaseColor);
        mesh.AddTriangle(b(i, ny - 1), b(i + 1, ny - 1), t(i + 1, ny - 1), BaseColor);
    }
    // West and east walls.
    for (int32_t j = 0; j < ny - 1; ++j) {
        mesh.AddTriangle(t(0, j), b(0, j), t(0, j + 1), BaseColor);
        mesh.AddTriangle(b(0, j), b(0, j + 1), t(0, j + 1), BaseColor);
    }
    for (int32_t j = 0; j < ny - 1; ++j) {
        mesh.AddTriangle(t(nx - 1, j + 1), b(nx - 1, j + 1), t(nx - 1, j), BaseColor);
        mesh.AddTriangle(b(nx - 1, j + 1), b(nx - 1, j), t(nx - 1, j), BaseColor);
    }
}

void ConvertTerrain(const TTerrainSource& source, const TTerrainSettings& settings, TGLMesh& terrain, TGLMesh& base,
                    const TConvertProgress& progress)
{
    const auto action = [&](const std::string& text) {
        if (progress.Action)
            progress.Action(text);
    };
    const auto point = [&](const std::string& text) {
        if (progress.Point)
            progress.Point(text);
    };
    point("0");
    // Everything that can refuse the grid comes before anything is emptied.
    const TTerrainSamples samples = SampleTerrain(source, settings.BudgetK);
    action("Resetting Scene");
    if (progress.ResetScene)
        progress.ResetScene();
    action("Allocating Memory");
    terrain.ResetAll();
    base.ResetAll();

    TTerrainGeometry geometry;
    geometry.Samples = &samples;
    geometry.UnitFactor = source.UnitFactor;
    geometry.Exaggeration = settings.Exaggeration;
    geometry.BaseDepth = (samples.Extents.Max - samples.Extents.Min) * settings.BaseHeightPercent / 100.0;

    action("Converting Points");
    if (settings.DrawBase)
        AddBaseTriangles(geometry, base);
    const std::string rows = ":" + std::to_string(samples.Counts.NY);
    AddTerrainTriangles(geometry, terrain, [&](int32_t j) { point(std::to_string(j) + rows); });

    terrain.OnProgress = [&](TGLMesh*, const std::string& message, int32_t percent) {
        action(message);
        point(std::to_string(percent) + "/100");
    };
    try {
        SmoothTerrainNormals(terrain, samples.Counts.NX, samples.Counts.NY, TerrainSmoothingAngle);
    } catch (...) {
        terrain.OnProgress = nullptr;
        throw;
    }
    terrain.OnProgress = nullptr;
    action("Done");
}

namespace {

std::string Fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace

TMeshInformation MeshInformation(int32_t cols, int32_t rows, int32_t budgetK, double availableBytes)
{
    TMeshInformation info;
    info.Cols = cols;
    info.Rows = rows;
    info.Counts = SampleCounts(cols, rows, budgetK);
    const TSampleCounts& c = info.Counts;
    info.Faces = c.NX >= 2 && c.NY >= 2 ? 2 * int64_t(c.NX - 1) * int64_t(c.NY - 1) : 0;
    info.Vertices = 3 * info.Faces;
    info.Normals = 2 * info.Vertices;
    info.RequiredBytes = 41.0 * double(info.Vertices) + 17.0 * double(info.Normals) + 91.0 * double(info.Faces);
    info.AvailableBytes = availableBytes;
    const double cells = double(cols) * double(rows);
    info.Resolution = cells > 0 ? double(c.NX) * double(c.NY) / cells : 0.0;

    info.ArraySizeText =
        std::to_string(cols) + " X " + std::to_string(rows) + " = " + std::to_string(int64_t(cols) * int64_t(rows));
    info.FacesText = std::to_string(info.Faces);
    info.VertexText = std::to_string(info.Vertices);
    info.NormalsText = std::to_string(info.Normals);
    info.MeshSizeText = Fixed(info.RequiredBytes / 1048576.0, 1) + " Meg";
    info.MemSizeText = Fixed(availableBytes / 1048576.0, 1) + " Meg";
    info.ResolutionText = Fixed(info.Resolution, 2);
    if (cells > 0 && (c.NX < 2 || c.NY < 2))
        info.Message = SingleSampleMessage;
    else if (info.RequiredBytes > availableBytes / 2)
        info.Message = LargeMeshMessage;
    return info;
}

} // namespace kv
