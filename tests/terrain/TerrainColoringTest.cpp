#include "terrain/TerrainColoring.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kv {
namespace {

TEST(TerrainColoringTest, SlopeOfATriangle)
{
    struct TCase {
        const char* Name;
        Triangle3D Triangle;
        double Degrees;
    };
    const TCase cases[] = {
        {"flat", {{0, 5, 0}, {1, 5, 0}, {0, 5, 1}}, 0.0},
        {"45 degrees along x", {{0, 0, 0}, {1, 1, 0}, {0, 0, 1}}, 45.0},
        {"top straight above bottom", {{0, 0, 0}, {0, 3, 0}, {1, 1, 0}}, 90.0},
        // Corners 0 and 1 share the top; the earlier one (0, above 2 by 1 over a run of 2) wins.
        {"equal tops: the earlier corner", {{0, 1, 0}, {5, 1, 0}, {2, 0, 0}}, std::atan(0.5) * 180 / M_PI},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_NEAR(TriangleSlopeDegrees(c.Triangle), c.Degrees, 1e-9);
    }
}

TEST(TerrainColoringTest, ColorBySlopeUsesTheSlopeBarAndRemovesTheTexture)
{
    TColorBar bar;
    ResetSlopeBar(bar);
    ASSERT_EQ(bar.Count(), 13);
    EXPECT_EQ(bar.Top(), 90);
    EXPECT_EQ(bar.Bottom(), 0);
    TGLMesh mesh;
    mesh.AddTriangle({0, 5, 0}, {1, 5, 0}, {0, 5, 1}, 0); // flat
    mesh.AddTriangle({0, 0, 0}, {0, 3, 0}, {1, 1, 0}, 0); // vertical
    mesh.AddTriangle({0, 0, 0}, {1, 1, 0}, {0, 0, 1}, 0); // 45 degrees
    mesh.Texture->Enabled = true;
    mesh.Texture->Width = 4;
    std::vector<int32_t> counts;
    ColorBySlope(mesh, bar, [&](int32_t i) { counts.push_back(i); });
    EXPECT_EQ(mesh.FaceColor.Get(0), (TColorTriple{{RGBColor(0, 255, 0), RGBColor(0, 255, 0), RGBColor(0, 255, 0)}}));
    EXPECT_EQ(mesh.FaceColor.FaceColor(1), RGBColor(255, 255, 255)) << "the steepest band";
    // 45 degrees lies on entry 6's boundary (90 - 7.5 x 6): the band at or below it.
    EXPECT_EQ(mesh.FaceColor.FaceColor(2), RGBColor(171, 173, 167));
    EXPECT_EQ(counts, std::vector<int32_t>{0});
    EXPECT_FALSE(mesh.Texture->Enabled);
    EXPECT_EQ(mesh.Texture->Width, 0);
}

TEST(TerrainColoringTest, ColorFacesSpansTheBarOverTheMeshHeights)
{
    TColorBar bar;
    ResetDepthBar(bar);
    TGLMesh mesh;
    mesh.AddTriangle({0, -10, 0}, {1, 30, 0}, {0, 10, 1}, 0);
    ColorFaces(mesh, bar);
    EXPECT_EQ(bar.Top(), 30);
    EXPECT_EQ(bar.Bottom(), -10);
    const TColorTriple colors = mesh.FaceColor.Get(0);
    EXPECT_EQ(colors.Color[0], bar.Entries().back().Color) << "the lowest corner";
    EXPECT_EQ(colors.Color[1], bar.Entries()[1].Color) << "the top takes entry 1, not entry 0";
    EXPECT_EQ(colors.Color[2], bar.GetLevelColor(10));

    TGLMesh empty;
    ColorFaces(empty, bar);
    EXPECT_EQ(bar.Top(), 30) << "an empty mesh changes nothing";
}

TEST(TerrainColoringTest, DepthTextureStripesFollowTheBands)
{
    TColorBar bar;
    bar.SetColorCount(dc12); // 13 entries, 12 bands of 128 / 12 rows
    TBitmap ramp;
    BuildDepthTexture(bar, ramp);
    ASSERT_EQ(ramp.Width(), DepthTextureWidth);
    ASSERT_EQ(ramp.Height(), DepthTextureHeight);
    const auto& entries = bar.Entries();
    for (int32_t band = 1; band <= 12; ++band) {
        SCOPED_TRACE(band);
        const int32_t first = int32_t(std::lround(entries[size_t(band - 1)].Position * 128.0 / 100000));
        const int32_t last = int32_t(std::lround(entries[size_t(band)].Position * 128.0 / 100000)) - 1;
        for (int32_t y : {first, last})
            for (int32_t x : {0, 255})
                EXPECT_EQ(ramp.GetPixel(x, y), entries[size_t(band)].Color);
    }
}

TEST(TerrainColoringTest, DepthTextureStretchesOverTheHeightAndSurvivesAFlatMesh)
{
    TColorBar bar;
    TBitmap ramp;
    BuildDepthTexture(bar, ramp);
    struct TCase {
        const char* Name;
        double Top;
        double ScaleY;
    };
    for (const TCase& c : {TCase{"4 high", 4.0, 0.25}, TCase{"flat", 0.0, 1.0}}) {
        SCOPED_TRACE(c.Name);
        TGLMesh mesh;
        mesh.AddTriangle({0, 0, 0}, {1, c.Top, 0}, {0, 0, 1}, 0x123456);
        ApplyDepthTexture(mesh, ramp);
        const TGLObjectTexture& texture = *mesh.Texture;
        EXPECT_EQ(texture.Scale(), (Vector2D{0, c.ScaleY}));
        EXPECT_EQ(texture.Offset(), (Vector2D{0, 0.49}));
        EXPECT_EQ(texture.Pitch(), -90);
        EXPECT_EQ(texture.TextureMode, tmComputed);
        EXPECT_EQ(texture.ManualTextureMap(), mmCylindrical);
        EXPECT_TRUE(texture.Enabled);
        EXPECT_EQ(texture.Width, DepthTextureWidth);
        EXPECT_EQ(mesh.GetColor(), 0xFFFFFFu);
    }
}

} // namespace
} // namespace kv
