#include "gl/GLTestFigures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace kv {

namespace {

constexpr double Phi = std::numbers::phi;
constexpr double BallScale = 0.2060113295641866; // 1 / (3 phi)
constexpr uint32_t clBlackFace = 0x000000;
constexpr uint32_t clWhiteFace = 0xFFFFFF;
constexpr uint32_t clBlueFace = 0xFF0000;

// The three cyclic (even) permutations of (a, b, c) under every sign of the non-zero components.
void AddEvenPermutations(std::vector<Vector3D>& out, double a, double b, double c)
{
    for (int signs = 0; signs < 8; ++signs) {
        const double x = (signs & 1) ? -a : a;
        const double y = (signs & 2) ? -b : b;
        const double z = (signs & 4) ? -c : c;
        if ((a == 0 && (signs & 1)) || (b == 0 && (signs & 2)) || (c == 0 && (signs & 4)))
            continue;
        out.push_back({x, y, z});
        out.push_back({y, z, x});
        out.push_back({z, x, y});
    }
}

// The corners whose projection on `direction` is largest (the face it points at), in
// counter-clockwise order seen from outside.
std::vector<Vector3D> FaceAround(const std::vector<Vector3D>& vertices, const Vector3D& direction, size_t count)
{
    const Vector3D d = VectorNormalize(direction);
    std::vector<Vector3D> face = vertices;
    std::partial_sort(face.begin(), face.begin() + static_cast<std::ptrdiff_t>(count), face.end(),
                      [&](const Vector3D& a, const Vector3D& b) { return DotProduct(a, d) > DotProduct(b, d); });
    face.resize(count);
    const Vector3D helper = std::abs(d.x) < 0.9 ? Vector3D{1, 0, 0} : Vector3D{0, 1, 0};
    const Vector3D e1 = VectorNormalize(CrossProduct(helper, d));
    const Vector3D e2 = CrossProduct(d, e1); // e1 x e2 = d: increasing angle turns counter-clockwise
    std::sort(face.begin(), face.end(), [&](const Vector3D& a, const Vector3D& b) {
        return std::atan2(DotProduct(a, e2), DotProduct(a, e1)) < std::atan2(DotProduct(b, e2), DotProduct(b, e1));
    });
    return face;
}

void AddFan(std::vector<TFigureTriangle>& out, const std::vector<Vector3D>& face, uint32_t color)
{
    Vector3D centre;
    for (const Vector3D& p : face)
        centre = VectorAdd(centre, p);
    centre = VectorDivideBy(centre, static_cast<double>(face.size()));
    for (size_t i = 0; i < face.size(); ++i) {
        TFigureTriangle t;
        t.Corners[0] = centre;
        t.Corners[1] = face[i];
        t.Corners[2] = face[(i + 1) % face.size()];
        t.Color = color;
        out.push_back(t);
    }
}

} // namespace

std::vector<Vector3D> SoccerBallVertices()
{
    std::vector<Vector3D> vertices;
    AddEvenPermutations(vertices, 0, 1, 3 * Phi);
    AddEvenPermutations(vertices, 1, 2 + Phi, 2 * Phi);
    AddEvenPermutations(vertices, Phi, 2, 1 + 2 * Phi);
    for (Vector3D& v : vertices)
        v = VectorScale(v, BallScale);
    return vertices;
}

std::vector<TFigureTriangle> BuildSoccerBall()
{
    const std::vector<Vector3D> vertices = SoccerBallVertices();
    std::vector<Vector3D> pentagonCentres; // the icosahedron's corners
    AddEvenPermutations(pentagonCentres, 0, 1, Phi);
    std::vector<Vector3D> hexagonCentres; // the dodecahedron's corners
    AddEvenPermutations(hexagonCentres, 0, Phi, 1 / Phi);
    for (int signs = 0; signs < 8; ++signs)
        hexagonCentres.push_back({(signs & 1) ? -1.0 : 1.0, (signs & 2) ? -1.0 : 1.0, (signs & 4) ? -1.0 : 1.0});

    std::vector<TFigureTriangle> triangles;
    for (const Vector3D& centre : pentagonCentres)
        AddFan(triangles, FaceAround(vertices, centre, 5), clBlackFace);
    for (const Vector3D& centre : hexagonCentres)
        AddFan(triangles, FaceAround(vertices, centre, 6), clWhiteFace);
    SmoothFigureNormals(triangles, 89);
    return triangles;
}

std::vector<TFigureTriangle> BuildTorus(const TFigureProgress& progress)
{
    constexpr int segments = 11;
    constexpr double size = 3;
    const double ring = size / 3;
    const double tube = ring / 2;
    const auto point = [&](int i, int j) {
        const double theta = 2 * std::numbers::pi * i / segments;
        const double psi = 2 * std::numbers::pi * j / segments;
        return Vector3D{(ring + tube * std::cos(psi)) * std::cos(theta), tube * std::sin(psi),
                        (ring + tube * std::cos(psi)) * std::sin(theta)};
    };
    std::vector<TFigureTriangle> triangles;
    for (int i = 0; i < segments; ++i) {
        if (progress)
            progress(static_cast<int>(std::lround(100.0 * i / segments)));
        for (int j = 0; j < segments; ++j) {
            // Wound so that the faces look outwards from the tube: the corner order
            // P(i+1, j), P(i+1, j+1), P(i, j+1), P(i, j) would face every quad inwards, and back-face
            // culling would then show the inside of the far wall.
            const Vector3D quad[4] = {point(i, j), point(i, j + 1), point(i + 1, j + 1), point(i + 1, j)};
            for (const auto& corners : {std::array{0, 1, 3}, std::array{1, 2, 3}}) {
                TFigureTriangle t;
                for (int k = 0; k < 3; ++k)
                    t.Corners[k] = quad[corners[static_cast<size_t>(k)]];
                t.Color = clBlueFace;
                triangles.push_back(t);
            }
        }
    }
    SmoothFigureNormals(triangles, 89);
    return triangles;
}

std::vector<TFigureTriangle> BuildTestFigure(TSceneType type)
{
    return type == stTorus ? BuildTorus() : BuildSoccerBall();
}

void SmoothFigureNormals(std::vector<TFigureTriangle>& triangles, double angleDegrees)
{
    const double limit = std::cos(angleDegrees * std::numbers::pi / 180);
    constexpr double samePoint = 1e-9;
    std::vector<Vector3D> faceNormals;
    faceNormals.reserve(triangles.size());
    for (const TFigureTriangle& t : triangles)
        faceNormals.push_back(VectorNormalize(TriangleNormal(t.Corners[0], t.Corners[1], t.Corners[2])));
    for (size_t a = 0; a < triangles.size(); ++a) {
        for (int k = 0; k < 3; ++k) {
            const Vector3D& p = triangles[a].Corners[k];
            Vector3D sum;
            for (size_t b = 0; b < triangles.size(); ++b) {
                if (DotProduct(faceNormals[a], faceNormals[b]) < limit)
                    continue;
                for (const Vector3D& q : triangles[b].Corners)
                    if (VectorLength(VectorSubtract(p, q)) < samePoint) {
                        sum = VectorAdd(sum, faceNormals[b]);
                        break;
                    }
            }
            triangles[a].Normals[k] = VectorNormalize(sum);
        }
    }
}

} // namespace kv
