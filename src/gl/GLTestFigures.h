#pragma once
// The viewer's two default figures, built into a mesh: the soccer ball (a truncated icosahedron
// with black pentagons and white hexagons, each face a fan around its centre) and the blue torus
// of 11 by 11 quads. Every face is wound counter-clockwise seen from outside; the normals are
// computed with vertex normals and the angle 89.

#include "gl/Vector.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace kv {

class TGLMesh;

enum TSceneType : uint8_t { stSoccerBall, stTorus };

using TFigureProgress = std::function<void(int percent)>;

// The 60 corners of the truncated icosahedron, scaled by 1/(3 phi) so the figure fits the unit cube.
std::vector<Vector3D> SoccerBallVertices();
// Adds 12 pentagons (5 triangles each) and 20 hexagons (6 each): 180 triangles.
void BuildSoccerBall(TGLMesh& mesh);
// Adds ring radius 1, tube radius 0.5, 11 segments each way: 242 triangles. `progress` receives
// round(100 i / 11) before ring i.
void BuildTorus(TGLMesh& mesh, const TFigureProgress& progress = {});
void BuildTestFigure(TGLMesh& mesh, TSceneType type);

} // namespace kv
