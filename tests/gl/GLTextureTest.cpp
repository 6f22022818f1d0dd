#include "gl/GLTexture.h"

#include "GLTestHelpers.h"
#include "gl/GLCubeMap.h"
#include "gl/GLMesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kv {
namespace {

using test::Near;

TEST(TGLBaseBitmapTest, LoadsBitmapsBottomRowFirstAsRGBA)
{
    for (const TPixelFormat format : {pf24bit, pf32bit, pf8bit}) {
        TBitmap bitmap(2, 2, format);
        bitmap.SetPixel(0, 0, 0xFF0000);  // top left: pure blue
        bitmap.SetPixel(1, 0, 0x000000);
        bitmap.SetPixel(0, 1, 0x0000FF);  // bottom left: pure red
        bitmap.SetPixel(1, 1, 0xFFFFFF);
        TGLObjectTexture texture;
        texture.Uploaded = true;
        int changes = 0;
        texture.OnChange = [&](TGLBaseBitmap*) { ++changes; };
        texture.LoadFromBitmap(bitmap);
        ASSERT_EQ(texture.Image.Count(), 16);
        const auto bytes = texture.Image.Items();
        EXPECT_EQ((std::vector<uint8_t>(bytes.begin(), bytes.end())),
                  (std::vector<uint8_t>{255, 0, 0, 255, 255, 255, 255, 255, 0, 0, 255, 255, 0, 0, 0, 255}))
            << int(format);
        EXPECT_EQ(texture.Width, 2);
        EXPECT_EQ(changes, 1);
        EXPECT_FALSE(texture.Uploaded);
    }
}

TEST(TGLObjectTextureTest, SettersNotifyOnlyChanges)
{
    TGLObjectTexture texture;
    int changes = 0;
    texture.OnChange = [&](TGLBaseBitmap*) { ++changes; };
    texture.Uploaded = true;
    texture.SetScale({1, 1});
    texture.SetRoll(0);
    texture.SetHighlight(false);
    EXPECT_TRUE(texture.Uploaded);
    EXPECT_EQ(changes, 0);
    texture.SetScale({2, 1});
    texture.SetSPlane({0, 0, 1, 0});
    EXPECT_FALSE(texture.Uploaded);
    EXPECT_EQ(changes, 2);
}

TEST(TGLObjectTextureTest, AssignCopiesModesAndMappingButNotTheCubeMap)
{
    TGLObjectTexture source;
    source.TextureMode = tmCubeMap;
    source.AutoTextureMap = amSphereMap;
    source.SetManualTextureMap(mmSpherical);
    source.SetOffset({0.5, 0.25});
    source.SetPitch(30);
    source.Image.Add(uint8_t{7});
    source.Enabled = true;
    source.CubeMap->LeftMap.Width = 64;
    TGLObjectTexture copy;
    copy.Uploaded = true;
    copy.Assign(source);
    EXPECT_EQ(copy.TextureMode, tmCubeMap);
    EXPECT_EQ(copy.AutoTextureMap, amSphereMap);
    EXPECT_EQ(copy.ManualTextureMap(), mmSpherical);
    EXPECT_EQ(copy.Offset(), (Vector2D{0.5, 0.25}));
    EXPECT_EQ(copy.Pitch(), 30);
    EXPECT_EQ(copy.Image.Count(), 1);
    EXPECT_TRUE(copy.Enabled);
    EXPECT_FALSE(copy.Uploaded);
    EXPECT_EQ(copy.CubeMap->LeftMap.Width, 0);
}

TEST(TGLObjectTextureTest, ArcTangentTakesAQuarterTurnOnTheYAxis)
{
    EXPECT_DOUBLE_EQ(TextureArcTan2(1, 0), M_PI / 2);
    EXPECT_DOUBLE_EQ(TextureArcTan2(-1, 0), -M_PI / 2);
    EXPECT_DOUBLE_EQ(TextureArcTan2(0, 0), M_PI / 2);
    EXPECT_DOUBLE_EQ(TextureArcTan2(-0.0, 0), M_PI / 2);
    EXPECT_DOUBLE_EQ(TextureArcTan2(1, 1), M_PI / 4);
}

TEST(TGLObjectTextureTest, PlanarMappingScalesAndOffsetsTheTurnedPoint)
{
    TGLObjectTexture texture;
    texture.SetScale({2, 4});
    texture.SetOffset({1, 1});
    const std::vector<Vector3D> vertices = {{1, 2, 3}, {0, 0, 0}};
    texture.ComputeTexCoords(vertices, {}, {});
    ASSERT_EQ(texture.TexCoords.Count(), 2);
    EXPECT_EQ(texture.TexCoords.Get(0), (Vector2D{1, 7}));
    EXPECT_EQ(texture.TexCoords.Get(1), (Vector2D{-1, -1}));

    // A roll of 90 degrees turns x into y about the z axis.
    texture.SetScale({1, 1});
    texture.SetOffset({0, 0});
    texture.SetRoll(90);
    const Vector3D turned = TextureRotate({1, 0, 0}, 0, 0, 90);
    texture.ComputeTexCoords(std::vector<Vector3D>{{1, 0, 0}}, {}, {});
    EXPECT_NEAR(texture.TexCoords.Get(0).x, turned.x, 1e-15);
    EXPECT_NEAR(texture.TexCoords.Get(0).y, turned.y, 1e-15);
    EXPECT_NEAR(std::abs(turned.y), 1, 1e-15);
}

TEST(TGLObjectTextureTest, CylindricalMappingKeepsAFaceAcrossTheSeamTogether)
{
    const auto at = [](double degrees, double z) {
        return Vector3D{std::cos(degrees * DegToRad), std::sin(degrees * DegToRad), z};
    };
    struct TCase {
        const char* Name;
        std::vector<Vector3D> Corners;
        std::vector<double> U;
    };
    // Faces whose normal points away from the axis (outwards).
    const TCase cases[] = {
        {"across the seam", {at(170, 0), at(-170, 0), at(-170, 1)}, {170.0 / 360 - 1, -170.0 / 360, -170.0 / 360}},
        {"near side", {at(-10, 0), at(10, 0), at(10, 1)}, {-10.0 / 360, 10.0 / 360, 10.0 / 360}},
    };
    for (const TCase& c : cases) {
        TGLObjectTexture texture;
        texture.SetManualTextureMap(mmCylindrical);
        texture.ComputeTexCoords(c.Corners, {}, {});
        ASSERT_EQ(texture.TexCoords.Count(), 3) << c.Name;
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(texture.TexCoords.Get(k).x, c.U[size_t(k)], 1e-12) << c.Name << " " << k;
            EXPECT_NEAR(texture.TexCoords.Get(k).y, c.Corners[size_t(k)].z, 1e-12) << c.Name;
        }
    }
    // The documented figures: about 0.472 becomes about -0.528.
    EXPECT_NEAR(170.0 / 360 - 1, -0.528, 1e-3);

    TGLObjectTexture spherical;
    spherical.SetManualTextureMap(mmSpherical);
    spherical.ComputeTexCoords(std::vector<Vector3D>{{1, 0, 1}, {0, 1, 0}, {0, 0, 1}}, {}, {});
    ASSERT_EQ(spherical.TexCoords.Count(), 3);
    EXPECT_NEAR(spherical.TexCoords.Get(0).y, std::atan2(1, std::sqrt(2)) / M_PI, 1e-12);
    EXPECT_NEAR(spherical.TexCoords.Get(2).x, 0.25, 1e-12); // x = 0: a quarter turn

    TGLObjectTexture none;
    none.SetManualTextureMap(7);
    none.ComputeTexCoords(std::vector<Vector3D>{{1, 0, 0}}, {}, {});
    EXPECT_EQ(none.TexCoords.Count(), 0);
}

TEST(TGLObjectTextureTest, GeneratedMatrixScalesTheTranslatedTurnedCoordinate)
{
    TGLObjectTexture texture;
    texture.SetScale({2, 3});
    texture.SetOffset({0.5, 1});
    texture.SetRoll(90);
    // (1, 0) turned by 90 degrees is (0, 1); translated (0.5, 2); scaled (1, 6).
    EXPECT_TRUE(Near(TransformPoint(texture.GeneratedTextureMatrix(), {1, 0, 0}), {1, 6, 0}, 1e-12));
}

TEST(TGLCubeMapTest, ChangesClearUploaded)
{
    TGLCubeMap cube;
    cube.Uploaded = true;
    cube.SetScale({1, 1, 1});
    EXPECT_TRUE(cube.Uploaded);
    cube.SetRPlane({0, 0, 2, 0});
    EXPECT_FALSE(cube.Uploaded);
    cube.Uploaded = true;
    cube.BackMap.Assign(cube.FrontMap);
    EXPECT_FALSE(cube.Uploaded);
    EXPECT_EQ(cube.Faces()[0], &cube.LeftMap);
    EXPECT_EQ(cube.Faces()[5], &cube.BackMap);
}

TEST(TGLMeshTextureTest, MeshesSendComputedCoordinatesOnlyInTheComputedMode)
{
    TGLMesh mesh;
    mesh.AddTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0);
    mesh.PrepareDraw();
    EXPECT_TRUE(mesh.TexCoordsValid);
    EXPECT_TRUE(mesh.DrawArrays({0}).TexCoords.empty()); // generated mode

    mesh.Texture->TextureMode = tmComputed;
    mesh.Texture->SetScale({2, 2});
    EXPECT_FALSE(mesh.TexCoordsValid);
    mesh.PrepareDraw();
    const TMeshDrawArrays arrays = mesh.DrawArrays({0});
    ASSERT_EQ(arrays.TexCoords.size(), 3u);
    EXPECT_EQ(arrays.TexCoords[1], (Vector2D{2, 0}));

    // Coordinates not computed for every corner are not sent.
    mesh.Texture->TexCoords.Clear();
    EXPECT_TRUE(mesh.DrawArrays({0}).TexCoords.empty());
}

} // namespace
} // namespace kv
