#include "gl/GLTestFigures.h"

#include "gl/GLMesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace kv {
namespace {

Vector3D Centroid(const Triangle3D& t)
{
    return VectorDivideBy(VectorAdd(VectorAdd(t.p0, t.p1), t.p2), 3);
}

TEST(GLTestFiguresTest, SoccerBallHasSixtyDistinctCornersOnOneSphereInsideTheUnitCube)
{
    const std::vector<Vector3D> vertices = SoccerBallVertices();
    ASSERT_EQ(vertices.size(), 60u);
    const double radius = VectorLength(vertices[0]);
    double largest = 0;
    for (size_t i = 0; i < vertices.size(); ++i) {
        EXPECT_NEAR(VectorLength(vertices[i]), radius, 1e-12);
        largest = std::max({largest, std::abs(vertices[i].x), std::abs(vertices[i].y), std::abs(vertices[i].z)});
        for (size_t j = 0; j < i; ++j)
            EXPECT_GT(VectorLength(VectorSubtract(vertices[i], vertices[j])), 0.1);
    }
    // The largest coordinate is 3 phi before scaling: 1 after it (the scale is 1/(3 phi) to 10 digits).
    EXPECT_NEAR(largest, 1.0, 1e-9);
}

TEST(GLTestFiguresTest, SoccerBallHasBlackPentagonsAndWhiteHexagonsFacingOutwards)
{
    TGLMesh ball;
    BuildSoccerBall(ball);
    ASSERT_EQ(ball.FaceCount(), 12 * 5 + 20 * 6);
    int black = 0;
    int white = 0;
    const double edge = 2 * 0.2060113295641866; // the solid's edge, 2 before scaling
    for (int32_t k = 0; k < ball.FaceCount(); ++k) {
        black += ball.FaceColor.FaceColor(k) == 0x000000;
        white += ball.FaceColor.FaceColor(k) == 0xFFFFFF;
        const Triangle3D t = ball.Vertices.Triangle(k);
        EXPECT_GT(DotProduct(TriangleNormal(t), Centroid(t)), 0) << "face " << k << " is wound clockwise";
        EXPECT_NEAR(VectorLength(VectorSubtract(t.p1, t.p2)), edge, 1e-9) << "face " << k;
    }
    EXPECT_EQ(black, 60);
    EXPECT_EQ(white, 120);
}

TEST(GLTestFiguresTest, FigureNormalsPointOutwards)
{
    for (const TSceneType type : {stSoccerBall, stTorus}) {
        SCOPED_TRACE(type == stTorus ? "torus" : "soccer ball");
        TGLMesh mesh;
        BuildTestFigure(mesh, type);
        ASSERT_EQ(mesh.VertexNormals.Count(), mesh.Vertices.Count());
        for (int32_t i = 0; i < mesh.Vertices.Count(); ++i) {
            const Vector3D face = TriangleNormal(mesh.Vertices.Triangle(i / 3));
            EXPECT_GT(DotProduct(VectorNormalize(mesh.VertexNormals.Get(i)), face), 0.5) << "corner " << i;
        }
    }
}

TEST(GLTestFiguresTest, TorusIsABlueRingOfQuadsFacingAwayFromTheTubeCentre)
{
    std::vector<int> reports;
    TGLMesh torus;
    BuildTorus(torus, [&](int percent) { reports.push_back(percent); });
    ASSERT_EQ(torus.FaceCount(), 11 * 11 * 2);
    EXPECT_EQ(reports, (std::vector<int>{0, 9, 18, 27, 36, 45, 55, 64, 73, 82, 91}));
    for (int32_t k = 0; k < torus.FaceCount(); ++k) {
        EXPECT_EQ(torus.FaceColor.FaceColor(k), 0xFF0000u);
        const Triangle3D t = torus.Vertices.Triangle(k);
        const Vector3D c = Centroid(t);
        const double theta = std::atan2(c.z, c.x);
        const Vector3D fromTube = VectorSubtract(c, {std::cos(theta), 0, std::sin(theta)});
        EXPECT_GT(DotProduct(TriangleNormal(t), fromTube), 0) << "face " << k;
        for (const Vector3D& p : {t.p0, t.p1, t.p2})
            EXPECT_NEAR(std::hypot(std::hypot(p.x, p.z) - 1, p.y), 0.5, 1e-12);
    }
}

} // namespace
} // namespace kv
