// Draping: a mesh laid out as the grid-to-mesh conversion lays it out receives, at every grid
// point, the texture coordinate of the picture pixel the editor drew that point on, for unturned
// and turned alignments and for cells that are not square on the ground. The coordinates are
// those the viewer draws with and the model files carry (CornerTexCoords).

#include "overlay/OverlayApply.h"

#include "gl/GLTextureCoords.h"
#include "platform/KVError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace kv {
namespace {

struct TGround {
    int32_t Cols;
    int32_t Rows;
    double DX;
    double DY;
    double F;
};

// Column c, row r at ((c dx - cx) f, height, (r dy - cy) f), two triangles per cell; the heights
// vary so that a mapping that leaked the height would show.
void BuildTerrain(TGLMesh& mesh, const TGround& g)
{
    const double cx = (g.Cols - 1) * g.DX / 2;
    const double cy = (g.Rows - 1) * g.DY / 2;
    const auto vertex = [&](int32_t c, int32_t r) {
        return Vector3D{(c * g.DX - cx) * g.F, 40.0 * std::sin(c + 2.0 * r), (r * g.DY - cy) * g.F};
    };
    mesh.ResetAll();
    for (int32_t r = 0; r + 1 < g.Rows; ++r)
        for (int32_t c = 0; c + 1 < g.Cols; ++c) {
            mesh.AddTriangle(vertex(c, r), vertex(c, r + 1), vertex(c + 1, r), 0xC0C0C0);
            mesh.AddTriangle(vertex(c, r + 1), vertex(c + 1, r + 1), vertex(c + 1, r), 0xC0C0C0);
        }
}

// Where the editor draws grid point (c, r): the grid laid out from the alignment, then turned on
// screen about the middle of the frame.
Vector2D EditorPixel(const TOverlayDocument& doc, const TGround& g, int32_t c, int32_t r)
{
    const double w = doc.OverlayBitmap.Width(), h = doc.OverlayBitmap.Height();
    const double sx = w * doc.ScaleX, sy = h * doc.ScaleY;
    const double x0 = w * ((1.0 - g.Cols) / 2 * doc.ScaleX - doc.OffsetX);
    const double y0 = h * ((1.0 - g.Rows) / 2 * doc.ScaleY - doc.OffsetY);
    const double cx = (std::trunc(x0) + std::trunc(x0) + std::trunc(sx * (g.Cols - 1))) / 2;
    const double cy = (std::trunc(y0) + std::trunc(y0) + std::trunc(sy * (g.Rows - 1))) / 2;
    const double a = doc.Rotation * std::numbers::pi / 180;
    const double dx = x0 + c * sx - cx, dy = y0 + r * sy - cy;
    return {cx + dx * std::cos(a) + dy * std::sin(a), cy - dx * std::sin(a) + dy * std::cos(a)};
}

TEST(OverlayApplyTest, EveryGridPointGetsThePixelTheEditorShowedUnderIt)
{
    struct TCase {
        const char* Name;
        TGround Ground;
        double OffsetX, OffsetY, StretchX, StretchY, Rotation;
    };
    const TCase cases[] = {
        {"fitted", {9, 6, 30, 30, 1}, 0, 0, 1, 1, 0},
        {"moved and stretched, feet", {9, 6, 30, 20, 1 / 0.3048}, 0.07, -0.11, 1.2, 0.9, 0},
        {"turned, square cells", {9, 6, 30, 30, 1}, 0, 0, 1, 1, 30},
        {"turned, cells longer east", {9, 6, 30, 18.5, 1}, 0.05, 0.02, 1.1, 0.95, -37},
        {"turned upside down, feet", {7, 11, 10, 27, 1 / 0.3048}, -0.04, 0.1, 0.8, 1.3, 180},
        {"turned a little", {12, 5, 92.6, 61.7, 1}, 0, 0, 1, 1, 3},
    };
    for (const TCase& c : cases) {
        const TGround& g = c.Ground;
        TOverlayDocument doc;
        doc.OverlayBitmap = TBitmap(512, 256, pf24bit);
        FitOverlay(doc, g.Cols, g.Rows);
        doc.OffsetX += c.OffsetX;
        doc.OffsetY += c.OffsetY;
        doc.ScaleX *= c.StretchX;
        doc.ScaleY *= c.StretchY;
        doc.Rotation = c.Rotation;
        TGLMesh mesh;
        BuildTerrain(mesh, g);
        ApplyOverlay(doc, {g.Cols, g.Rows, g.DX, g.DY, g.F}, mesh);
        ASSERT_TRUE(mesh.Texture->Enabled) << c.Name;
        EXPECT_EQ(mesh.Texture->Width, 512);
        EXPECT_EQ(mesh.GetColor(), 0xFFFFFFu);
        const std::vector<Vector2D> texCoords = CornerTexCoords(mesh);
        ASSERT_EQ(texCoords.size(), mesh.Vertices.Items().size()) << c.Name;
        // Corner k of each face: faces are added row by row, (c, r), (c, r + 1), (c + 1, r) first.
        size_t k = 0;
        for (int32_t r = 0; r + 1 < g.Rows; ++r)
            for (int32_t col = 0; col + 1 < g.Cols; ++col, k += 6) {
                const std::pair<int32_t, int32_t> corners[3] = {{col, r}, {col, r + 1}, {col + 1, r}};
                for (size_t j = 0; j < 3; ++j) {
                    const Vector2D st = texCoords[k + j];
                    const Vector2D pixel = EditorPixel(doc, g, corners[j].first, corners[j].second);
                    EXPECT_NEAR(st.x * 512, pixel.x, 2e-3)
                        << c.Name << " at " << corners[j].first << "," << corners[j].second;
                    EXPECT_NEAR((1 - st.y) * 256, pixel.y, 2e-3)
                        << c.Name << " at " << corners[j].first << "," << corners[j].second;
                }
            }
    }
}

// The command line's drape: a picture of C x R pixels over a C x R grid puts every grid point
// on the centre of its own pixel, also when the picture is resampled and padded.
TEST(OverlayApplyTest, AStretchedPictureLaysEachPixelOnItsGridPoint)
{
    struct TCase {
        int32_t Cols, Rows;
    } cases[] = {{8, 4}, {10, 6}, {33, 17}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Cols) + " x " + std::to_string(c.Rows));
        const TBitmap picture(c.Cols, c.Rows, pf24bit);
        const TOverlayDocument doc = StretchedOverlay(picture, c.Cols, c.Rows);
        const TOverlaySize size = DefaultOverlaySize(c.Cols, c.Rows);
        const double w = doc.OverlayBitmap.Width(), h = doc.OverlayBitmap.Height();
        const double left = std::trunc((w - size.Width) / 2), top = std::trunc((h - size.Height) / 2);
        const TGround g{c.Cols, c.Rows, 30, 20, 1};
        TGLMesh mesh;
        BuildTerrain(mesh, g);
        ApplyOverlay(doc, {g.Cols, g.Rows, g.DX, g.DY, g.F}, mesh);
        // Corner 0 of the first face is grid point (0, 0); corner 1 of the last face is (C - 1, R - 1).
        const size_t last = mesh.Vertices.Items().size() - 2;
        const std::vector<Vector2D> texCoords = CornerTexCoords(mesh);
        ASSERT_GT(texCoords.size(), last);
        const Vector2D first = texCoords[0], end = texCoords[last];
        EXPECT_NEAR(first.x * w, left + 0.5 * size.Width / c.Cols, 1e-6);
        EXPECT_NEAR((1 - first.y) * h, top + 0.5 * size.Height / c.Rows, 1e-6);
        EXPECT_NEAR(end.x * w, left + (c.Cols - 0.5) * size.Width / c.Cols, 1e-6);
        EXPECT_NEAR((1 - end.y) * h, top + (c.Rows - 0.5) * size.Height / c.Rows, 1e-6);
    }
    EXPECT_THROW(StretchedOverlay(TBitmap(), 4, 4), EKorvelaError);
}

TEST(OverlayApplyTest, UnturnedAlignmentUsesComputedPlanarCoordinates)
{
    TOverlayDocument doc;
    doc.OverlayBitmap = TBitmap(64, 32, pf24bit);
    FitOverlay(doc, 10, 5);
    doc.OffsetY = -0.4;
    TGLMesh mesh;
    BuildTerrain(mesh, {10, 5, 30, 20, 2});
    ApplyOverlay(doc, {10, 5, 30, 20, 2}, mesh);
    const TGLObjectTexture& t = *mesh.Texture;
    EXPECT_EQ(t.TextureMode, tmComputed);
    EXPECT_EQ(t.ManualTextureMap(), mmPlanar);
    EXPECT_DOUBLE_EQ(t.Scale().x, doc.ScaleX / 60);
    EXPECT_DOUBLE_EQ(t.Scale().y, doc.ScaleY / 40);
    EXPECT_DOUBLE_EQ(t.Offset().x, -0.5);
    EXPECT_DOUBLE_EQ(t.Offset().y, -0.6);
    EXPECT_EQ(t.Roll(), 0.0);
    EXPECT_EQ(t.Pitch(), -90.0);
}

TEST(OverlayApplyTest, RefusesWithoutPictureOrSpacing)
{
    TGLMesh mesh;
    TOverlayDocument doc;
    EXPECT_THROW(ApplyOverlay(doc, {10, 5, 30, 20, 1}, mesh), EKorvelaError);
    doc.OverlayBitmap = TBitmap(8, 8, pf24bit);
    EXPECT_THROW(ApplyOverlay(doc, {10, 5, 0, 20, 1}, mesh), EKorvelaError);
    EXPECT_FALSE(mesh.Texture->Enabled);
}

} // namespace
} // namespace kv
