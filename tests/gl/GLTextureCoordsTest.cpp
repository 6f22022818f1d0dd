#include "gl/GLTextureCoords.h"

#include <gtest/gtest.h>

#include <vector>

namespace kv {
namespace {

// Computed coordinates: the ones the viewer sends, whether they were still to be computed or are
// kept from elsewhere (as a loaded file's are).
TEST(GLTextureCoordsTest, ComputedCoordinatesAreTheOnesTheViewerSends)
{
    TGLMesh mesh;
    mesh.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0);
    mesh.AddTriangle({1, 0, 0}, {1, 1, 0}, {0, 1, 0}, 0);
    mesh.Texture->TextureMode = tmComputed;
    mesh.Texture->SetScale({2, 0.5});
    mesh.Texture->SetOffset({0.25, -1});
    const std::vector<Vector2D> before = CornerTexCoords(mesh);
    mesh.PrepareDraw();
    EXPECT_EQ(before, mesh.DrawArrays({0, 1}).TexCoords);

    for (int32_t i = 0; i < mesh.Texture->TexCoords.Count(); ++i)
        mesh.Texture->TexCoords.Put(i, Vector2D{0.1 * i, 1 - 0.1 * i});
    EXPECT_EQ(CornerTexCoords(mesh), mesh.DrawArrays({0, 1}).TexCoords);
    EXPECT_EQ(CornerTexCoords(mesh)[5], (Vector2D{0.5, 0.5}));
}

// Object-linear: the planes give (s, t) from the corner's own position, then the texture matrix
// turns (90 degrees), translates (0.5, 1) and scales (2, 3) it, in that order.
TEST(GLTextureCoordsTest, ObjectLinearCoordinatesGoThroughTheTextureMatrix)
{
    TGLMesh mesh;
    mesh.AddTriangle({0.25, 7, 0.1}, {1, 0, 0}, {0, 0, 1}, 0);
    TGLObjectTexture& texture = *mesh.Texture;
    texture.TextureMode = tmGenerated;
    texture.AutoTextureMap = amObjectLinear;
    texture.SetSPlane(MakeFloat4(1, 0, 0, 0));
    texture.SetTPlane(MakeFloat4(0, 0, 1, 0));
    texture.SetScale({2, 3});
    texture.SetOffset({0.5, 1});
    texture.SetRoll(90);
    const std::vector<Vector2D> st = CornerTexCoords(mesh);
    ASSERT_EQ(st.size(), 3u);
    // (0.25, 0.1) turned is (-0.1, 0.25), translated (0.4, 1.25), scaled (0.8, 3.75).
    EXPECT_NEAR(st[0].x, 0.8, 1e-12);
    EXPECT_NEAR(st[0].y, 3.75, 1e-12);
}

TEST(GLTextureCoordsTest, ViewDependentCoordinatesAreNotPerVertex)
{
    TGLMesh mesh;
    mesh.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0);
    struct TCase {
        uint8_t Mode, Auto;
    } cases[] = {{tmGenerated, amEyeLinear}, {tmGenerated, amSphereMap}, {tmCubeMap, amObjectLinear}};
    for (const TCase& c : cases) {
        mesh.Texture->TextureMode = c.Mode;
        mesh.Texture->AutoTextureMap = c.Auto;
        EXPECT_TRUE(CornerTexCoords(mesh).empty()) << int(c.Mode) << " " << int(c.Auto);
    }
    mesh.Texture->TextureMode = tmGenerated;
    mesh.Texture->AutoTextureMap = amObjectLinear;
    EXPECT_EQ(CornerTexCoords(mesh).size(), 3u);
}

} // namespace
} // namespace kv
