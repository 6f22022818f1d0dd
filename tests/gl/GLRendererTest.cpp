#include "gl/GLRenderer.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(GLRenderer, Defaults)
{
    const TGLRenderer renderer;
    EXPECT_EQ(renderer.RenderMode(), rmSmooth);
    EXPECT_TRUE(renderer.FlyThrough);
    EXPECT_EQ(renderer.BackColor(), 0xFF0000u);
    EXPECT_EQ(renderer.FrontColor(), 0x008000u);
    EXPECT_EQ(renderer.LightSpecular, (Float4{0.5f, 0.5f, 0.5f, 1.0f}));
    EXPECT_EQ(renderer.LightShininess, 10.0f);
    EXPECT_EQ(renderer.GetColor(), 0xFFFFFFu);
    EXPECT_EQ(renderer.ColorAlpha(), 1.0f);
}

TEST(GLRenderer, ResetAllRestoresPoseAndMaterial)
{
    TGLRenderer renderer;
    renderer.Position = {1, 2, 3};
    renderer.ResetPos = {1, 2, 3};
    renderer.Scale3D = {2, 3, 4};
    renderer.LightEmission = {1, 1, 1, 1};
    renderer.LightSpecular = {0, 0, 0, 0};
    renderer.LightShininess = 90;
    renderer.ResetAll();
    EXPECT_EQ(renderer.Position, (Vector3D{0, 0, 0}));
    EXPECT_EQ(renderer.ResetPos, (Vector3D{0, 0, 0}));
    EXPECT_EQ(renderer.Scale3D, (Vector3D{1, 1, 1}));
    EXPECT_EQ(renderer.LightEmission, (Float4{0, 0, 0, 0}));
    EXPECT_EQ(renderer.LightSpecular, (Float4{0.5f, 0.5f, 0.5f, 1.0f}));
    EXPECT_EQ(renderer.LightShininess, 10.0f);
}

TEST(GLRenderer, BlendStateFollowsTheFlags)
{
    struct TCase {
        const char* name;
        bool alphaBlend, userBlend, background, transparentDepth;
        TBlendState expected;
    };
    const TCase cases[] = {
        {"no blending keeps depth testing", false, true, true, false, {false, GLBlendSrcAlpha, GLBlendOne, true}},
        {"additive", true, false, false, false, {true, GLBlendSrcAlpha, GLBlendOne, false}},
        {"over the background", true, false, true, true, {true, GLBlendSrcAlpha, GLBlendOneMinusSrcAlpha, true}},
        {"the user's factors win", true, true, true, false, {true, 0x0306, 0x0304, false}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TGLRenderer renderer;
        renderer.DoAlphaBlend = c.alphaBlend;
        renderer.UserBlend = c.userBlend;
        renderer.BlendBackground = c.background;
        renderer.TransparentDepth = c.transparentDepth;
        renderer.BlendSource = 0x0306;
        renderer.BlendDest = 0x0304;
        EXPECT_EQ(renderer.BlendState(), c.expected);
    }
}

TEST(GLRenderer, AssignCopiesTheRenderStateButNotTheUserBlend)
{
    TGLRenderer source;
    source.SetName("Lines-1");
    source.DoAlphaBlend = true;
    source.Transparency = 25;
    source.UserBlend = true;
    source.BlendSource = 0x0306;
    source.LightShininess = 40;
    source.SetRenderMode(rmWire);
    source.SetDoFrontBackColor(true);
    source.SetFrontColor(0x123456);
    TGLRenderer copy;
    int changes = 0;
    copy.OnChange = [&](TGLObject*) { ++changes; };
    copy.Assign(source);
    EXPECT_EQ(copy.Name(), "Lines-1");
    EXPECT_TRUE(copy.DoAlphaBlend);
    EXPECT_EQ(copy.ColorAlpha(), 0.75f);
    EXPECT_EQ(copy.LightShininess, 40.0f);
    EXPECT_EQ(copy.RenderMode(), rmWire);
    EXPECT_TRUE(copy.DoFrontBackColor());
    EXPECT_EQ(copy.FrontColor(), 0x123456u);
    EXPECT_FALSE(copy.UserBlend);
    EXPECT_EQ(copy.BlendSource, GLBlendSrcAlpha);
    EXPECT_EQ(changes, 4); // name, render mode, front/back switch, front colour
}

} // namespace
} // namespace kv
