#include "gl/GLTestFigures.h"

#include "gl/GLMesh.h"

#include <algorithm>
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

void BuildSoccerBall(TGLMesh& mesh)
{
    const std::vector<Vector3D> vertices = SoccerBallVertices();
    std::vector<Vector3D> pentagonCentres; // the icosahedron's corners
    AddEvenPermutations(pentagonCentres, 0, 1, Phi);
    std::vector<Vector3D> hexagonCentres; // the centres of the icosahedron's faces
    AddEvenPermutations(hexagonCentres, 0, Phi, 1 / Phi);
    for (int signs = 0; signs < 8; ++signs)
        hexagonCentres.push_back({(signs & 1) ? -1.0 : 1.0, (signs & 2) ? -1.0 : 1.0, (signs & 4) ? -1.0 : 1.0});

    for (const Vector3D& centre : pentagonCentres)
        mesh.AddFan(FaceAround(vertices, centre, 5), clBlackFace);
    for (const Vector3D& centre : hexagonCentres)
        mesh.AddFan(FaceAround(vertices, centre, 6), clWhiteFace);
    mesh.CalcNormals(true, 89);
}

void BuildTorus(TGLMesh& mesh, const TFigureProgress& progress)
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
    for (int i = 0; i < segments; ++i) {
        if (progress)
            progress(static_cast<int>(std::lround(100.0 * i / segments)));
        // Wound so that the faces look outwards from the tube: the corner order
        // P(i+1, j), P(i+1, j+1), P(i, j+1), P(i, j) would face every quad inwards, and back-face
        // culling would then show the inside of the far wall.
        for (int j = 0; j < segments; ++j)
            mesh.AddQuad(point(i, j), point(i, j + 1), point(i + 1, j + 1), point(i + 1, j), clBlueFace);
    }
    mesh.CalcNormals(true, 89);
}

void BuildTestFigure(TGLMesh& mesh, TSceneType type)
{
    if (type == stTorus)
        BuildTorus(mesh);
    else
        BuildSoccerBall(mesh);
}

} // namespace kv
