#include "terrain/TerrainColoring.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

constexpr TColor SlopeColors[13] = {
    RGBColor(0, 0, 0),       RGBColor(255, 255, 255), RGBColor(238, 236, 234), RGBColor(221, 218, 214),
    RGBColor(207, 200, 192), RGBColor(187, 185, 179), RGBColor(171, 173, 167), RGBColor(161, 164, 159),
    RGBColor(102, 173, 101), RGBColor(44, 183, 44),   RGBColor(25, 207, 25),   RGBColor(12, 231, 12),
    RGBColor(0, 255, 0),
};

// a x b / c rounded to the nearest whole number, for non-negative values.
int32_t MulDiv(int32_t a, int32_t b, int32_t c)
{
    return int32_t((int64_t(a) * b + c / 2) / c);
}

} // namespace

void ResetSlopeBar(TColorBar& bar)
{
    bar.LabelBars = false;
    bar.ScaleFactor = 1.0;
    bar.SetColorCount(dc12);
    bar.LoadPalette();
    bar.SpaceEvenly();
    for (int32_t i = 0; i < bar.Count() && i < 13; ++i)
        bar.SetEntryColor(i, SlopeColors[i]);
    bar.SetRange(90.0, 0.0);
}

void ResetDepthBar(TColorBar& bar)
{
    bar.LabelBars = true;
    bar.ScaleFactor = 1.0;
    bar.SetColorCount(dc24);
}

void EmptyTexture(TGLMesh& mesh)
{
    mesh.Texture->Clear();
    mesh.Texture->Changed();
}

void ColorFaces(TGLMesh& mesh, TColorBar& depthBar)
{
    EmptyTexture(mesh);
    if (mesh.FaceCount() == 0)
        return;
    depthBar.SetRange(mesh.GetExtentMax().y, mesh.GetExtentMin().y);
    const std::span<const Vector3D> corners = mesh.Vertices.Items();
    const std::span<TColorTriple> colors = mesh.FaceColor.Items();
    for (size_t face = 0; face < colors.size(); ++face)
        for (size_t k = 0; k < 3; ++k)
            colors[face].Color[k] = depthBar.GetLevelColor(corners[3 * face + k].y);
}

double TriangleSlopeDegrees(const Triangle3D& triangle)
{
    const Vector3D* corners[3] = {&triangle.p0, &triangle.p1, &triangle.p2};
    const Vector3D* top = corners[0];
    const Vector3D* bottom = corners[0];
    double highest = -9e99;
    double lowest = 9e99;
    for (const Vector3D* corner : corners) {
        // Strict comparisons: with equal heights the earlier corner wins.
        if (corner->y > highest) {
            highest = corner->y;
            top = corner;
        }
        if (corner->y < lowest) {
            lowest = corner->y;
            bottom = corner;
        }
    }
    const double dx = top->x - bottom->x;
    const double dy = top->y - bottom->y;
    const double dz = top->z - bottom->z;
    double slope = 0.0;
    if (dy != 0.0) {
        const double run = std::sqrt(dx * dx + dz * dz);
        slope = run != 0.0 ? dy / run : 9e99;
    }
    return std::atan2(slope, 1.0) * 57.295779513082320877;
}

void ColorBySlope(TGLMesh& mesh, const TColorBar& slopeBar, const std::function<void(int32_t)>& count)
{
    EmptyTexture(mesh);
    const int32_t faces = mesh.FaceCount();
    for (int32_t i = 0; i < faces; ++i) {
        if (count && i % 100 == 0)
            count(i);
        mesh.FaceColor.SetFaceColor(i, slopeBar.GetLevelColor(TriangleSlopeDegrees(mesh.Vertices.Triangle(i))));
    }
}

void BuildDepthTexture(const TColorBar& depthBar, TBitmap& bitmap)
{
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(DepthTextureWidth, DepthTextureHeight);
    const std::vector<TColorBarEntry>& entries = depthBar.Entries();
    for (size_t i = 1; i < entries.size(); ++i) {
        const int32_t from = std::max(0, MulDiv(entries[i - 1].Position, DepthTextureHeight, BarPositionScale));
        const int32_t to =
            std::min(DepthTextureHeight, MulDiv(entries[i].Position, DepthTextureHeight, BarPositionScale));
        for (int32_t y = from; y < to; ++y)
            for (int32_t x = 0; x < DepthTextureWidth; ++x)
                bitmap.SetPixel(x, y, entries[i].Color);
    }
}

void ApplyDepthTexture(TGLMesh& mesh, const TBitmap& ramp)
{
    const double height = mesh.GetExtentMax().y - mesh.GetExtentMin().y;
    // A flat or empty mesh has no height to stretch the ramp over.
    const double scale = height > 0 && std::isfinite(height) ? 1.0 / height : 1.0;
    mesh.SetColor(clWhite);
    TGLObjectTexture& texture = *mesh.Texture;
    texture.LoadFromBitmap(ramp);
    texture.TextureMode = tmComputed;
    texture.SetManualTextureMap(mmCylindrical);
    texture.SetScale({0.0, scale});
    texture.SetOffset({0.0, 0.49});
    texture.SetYaw(0.0);
    texture.SetPitch(-90.0);
    texture.Enabled = true;
    mesh.TexCoordsValid = false;
    texture.Changed();
}

} // namespace kv
