#include "gl/GLTestFigures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kv {
namespace {

Vector3D Centroid(const TFigureTriangle& t)
{
    return VectorDivideBy(VectorAdd(VectorAdd(t.Corners[0], t.Corners[1]), t.Corners[2]), 3);
}

TEST(GLTestFiguresTest, SoccerBallHasSixtyDistinctCornersOnOneSphereInsideTheUnitCube)
{
    const std::vector<Vector3D> vertices = SoccerBallVertices();
    ASSERT_EQ(vertices.size(), 60u);
    const double radius = VectorLength(vertices[0]);
    for (size_t i = 0; i < vertices.size(); ++i) {
        EXPECT_NEAR(VectorLength(vertices[i]), radius, 1e-12);
        EXPECT_LE(std::max({std::abs(vertices[i].x), std::abs(vertices[i].y), std::abs(vertices[i].z)}), 1.0 + 1e-12);
        for (size_t j = 0; j < i; ++j)
            EXPECT_GT(VectorLength(VectorSubtract(vertices[i], vertices[j])), 0.1);
    }
    // The largest coordinate is 3 phi before scaling: 1 after it (the scale is 1/(3 phi) to 10 digits).
    double largest = 0;
    for (const Vector3D& v : vertices)
        largest = std::max({largest, std::abs(v.x), std::abs(v.y), std::abs(v.z)});
    EXPECT_NEAR(largest, 1.0, 1e-9);
}

TEST(GLTestFiguresTest, SoccerBallHasBlackPentagonsAndWhiteHexagonsFacingOutwards)
{
    const std::vector<TFigureTriangle> ball = BuildSoccerBall();
    ASSERT_EQ(ball.size(), 12u * 5 + 20u * 6);
    const auto black = std::count_if(ball.begin(), ball.end(), [](const TFigureTriangle& t) { return t.Color == 0; });
    EXPECT_EQ(black, 60);
    EXPECT_EQ(std::count_if(ball.begin(), ball.end(), [](const TFigureTriangle& t) { return t.Color == 0xFFFFFF; }),
              120);
    const double edge = 2 * 0.2060113295641866; // the solid's edge, 2 before scaling
    for (const TFigureTriangle& t : ball) {
        const Vector3D n = TriangleNormal(t.Corners[0], t.Corners[1], t.Corners[2]);
        EXPECT_GT(DotProduct(n, Centroid(t)), 0) << "a face is wound clockwise seen from outside";
        EXPECT_NEAR(VectorLength(VectorSubtract(t.Corners[1], t.Corners[2])), edge, 1e-9);
    }
}

TEST(GLTestFiguresTest, SmoothedNormalsPointOutwardsAndFanCentresKeepTheFaceNormal)
{
    for (const TSceneType type : {stSoccerBall, stTorus}) {
        SCOPED_TRACE(type == stTorus ? "torus" : "soccer ball");
        for (const TFigureTriangle& t : BuildTestFigure(type)) {
            const Vector3D face = TriangleNormal(t.Corners[0], t.Corners[1], t.Corners[2]);
            for (const Vector3D& n : t.Normals) {
                EXPECT_NEAR(VectorLength(n), 1.0, 1e-9);
                EXPECT_GT(DotProduct(n, face), 0.5);
            }
        }
    }
    // The centre of a ball's face is shared by that face's fan only.
    const TFigureTriangle first = BuildSoccerBall().front();
    const Vector3D face = TriangleNormal(first.Corners[0], first.Corners[1], first.Corners[2]);
    EXPECT_NEAR(DotProduct(first.Normals[0], face), 1.0, 1e-12);
    // A ball's corner is shared by three faces at about 40 degrees: its normal is the radius.
    EXPECT_NEAR(DotProduct(first.Normals[1], VectorNormalize(first.Corners[1])), 1.0, 1e-3);
}

TEST(GLTestFiguresTest, SmoothingLeavesEdgesSharperThanTheAngleApart)
{
    // Two triangles folded by 90 degrees along the edge (0,0,0)-(1,0,0).
    std::vector<TFigureTriangle> fold(2);
    fold[0].Corners[0] = {0, 0, 0};
    fold[0].Corners[1] = {1, 0, 0};
    fold[0].Corners[2] = {0, 1, 0};
    fold[1].Corners[0] = {1, 0, 0};
    fold[1].Corners[1] = {0, 0, 0};
    fold[1].Corners[2] = {0, 0, 1};
    SmoothFigureNormals(fold, 89);
    EXPECT_EQ(fold[0].Normals[0].z, 1.0);
    SmoothFigureNormals(fold, 91);
    EXPECT_NEAR(fold[0].Normals[0].z, std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(fold[0].Normals[0].y, std::sqrt(0.5), 1e-12);
}

TEST(GLTestFiguresTest, TorusIsABlueRingOfQuadsFacingAwayFromTheTubeCentre)
{
    std::vector<int> reports;
    const std::vector<TFigureTriangle> torus = BuildTorus([&](int percent) { reports.push_back(percent); });
    ASSERT_EQ(torus.size(), 11u * 11 * 2);
    EXPECT_EQ(reports, (std::vector<int>{0, 9, 18, 27, 36, 45, 55, 64, 73, 82, 91}));
    for (const TFigureTriangle& t : torus) {
        EXPECT_EQ(t.Color, 0xFF0000u);
        const Vector3D c = Centroid(t);
        const double theta = std::atan2(c.z, c.x);
        const Vector3D fromTube = VectorSubtract(c, {std::cos(theta), 0, std::sin(theta)});
        EXPECT_GT(DotProduct(TriangleNormal(t.Corners[0], t.Corners[1], t.Corners[2]), fromTube), 0);
        for (const Vector3D& p : t.Corners) {
            const double ring = std::hypot(p.x, p.z);
            EXPECT_NEAR(std::hypot(ring - 1, p.y), 0.5, 1e-12);
        }
    }
}

} // namespace
} // namespace kv
