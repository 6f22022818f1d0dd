#include "gl/GLCamera.h"

#include "GLTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kv {
namespace {

TEST(GLCameraTest, LookAtPutsTheEyeAtTheOriginAndTheCentreStraightAhead)
{
    const Matrix4x4 view = TGLCamera().LookAtMatrix();
    EXPECT_TRUE(test::Near(TransformPoint(view, {0, 0, 10}), {0, 0, 0}));
    EXPECT_TRUE(test::Near(TransformPoint(view, {0, 0, 0}), {0, 0, -10}));
    EXPECT_TRUE(test::Near(TransformPoint(view, {1, 2, 0}), {1, 2, -10}));
}

TEST(GLCameraTest, LookAtOfATurnedCameraKeepsItsAxesRightHanded)
{
    TGLCamera camera;
    camera.Eye = {10, 0, 0};
    const Matrix4x4 view = camera.LookAtMatrix();
    EXPECT_TRUE(test::Near(TransformPoint(view, {0, 0, 0}), {0, 0, -10}));
    // Looking along -x with y up, +z lies to the right.
    EXPECT_TRUE(test::Near(TransformPoint(view, {0, 0, 1}), {-1, 0, -10}));
    EXPECT_NEAR(MatrixDeterminant(view), 1.0, 1e-12);
}

TEST(GLCameraTest, FrustumSpansAThousandthOfAUnitPerPixelAtDistanceOne)
{
    const struct {
        int Width, Height;
        TViewFrustum Expected;
    } rows[] = {
        {800, 600, {-0.4, 0.4, -0.3, 0.3, 1, 100000}},
        {640, 480, {-0.32, 0.32, -0.24, 0.24, 1, 100000}},
        {1, 1, {-0.0005, 0.0005, -0.0005, 0.0005, 1, 100000}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.Width << "x" << row.Height);
        EXPECT_EQ(ViewFrustum(row.Width, row.Height), row.Expected);
    }
}

TEST(GLCameraTest, FitMeasuresTheBoxGrownToHoldTheOrigin)
{
    const double root2 = 1.41421356237;
    const struct {
        const char* Name;
        Vector3D Min, Max;
        double Expected;
    } rows[] = {
        {"box away from the origin", {1, 1, 1}, {2, 2, 2}, 6.4 / (2 * std::sqrt(3.0)) * root2},
        {"box around the origin", {-1, -1, -1}, {1, 1, 1}, 6.4 / (2 * std::sqrt(3.0)) * root2},
        {"flat box", {-3, 0, -4}, {0, 0, 0}, 6.4 / 5 * root2},
        {"no extent", {0, 0, 0}, {0, 0, 0}, 1.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_NEAR(FitToViewScale(6.4, row.Min, row.Max), row.Expected, 1e-12);
    }
}

TEST(GLCameraTest, FrameTimeSurvivesTheCounterWrap)
{
    const uint32_t top = std::numeric_limits<uint32_t>::max();
    const struct {
        uint32_t Start, End;
        double Seconds;
    } rows[] = {
        {1000, 21000, 0.02},
        {top - 9999, 10000, 0.02}, // wrapped during the frame
        {top, 0, 0.000001},
        {5, 5, 0.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.Start << " -> " << row.End);
        EXPECT_NEAR(FrameTimeSeconds(row.Start, row.End), row.Seconds, 1e-12);
    }
}

} // namespace
} // namespace kv
