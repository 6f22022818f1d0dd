#pragma once
// The viewer's two default figures as plain triangles: the soccer ball (a truncated icosahedron
// with black pentagons and white hexagons, each face a fan around its centre) and the blue torus
// of 11 by 11 quads. Every triangle is wound counter-clockwise seen from outside and carries a
// normal per corner, smoothed over the triangles that meet at the corner's position within 89
// degrees.

#include "gl/Vector.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace kv {

enum TSceneType : uint8_t { stSoccerBall, stTorus };

struct TFigureTriangle {
    Vector3D Corners[3];
    Vector3D Normals[3];
    uint32_t Color = 0xFFFFFF; // red in the low byte
};

using TFigureProgress = std::function<void(int percent)>;

// The 60 corners of the truncated icosahedron, scaled by 1/(3 phi) so the figure fits the unit cube.
std::vector<Vector3D> SoccerBallVertices();
// 12 pentagons (5 triangles each) and 20 hexagons (6 each): 180 triangles.
std::vector<TFigureTriangle> BuildSoccerBall();
// Ring radius 1, tube radius 0.5, 11 segments each way: 242 triangles. `progress` receives
// round(100 i / 11) before ring i.
std::vector<TFigureTriangle> BuildTorus(const TFigureProgress& progress = {});
std::vector<TFigureTriangle> BuildTestFigure(TSceneType type);

// Sets each corner's normal to the normalised sum of the face normals of the triangles that
// share its position and whose face normal lies within `angleDegrees` of its own triangle's.
void SmoothFigureNormals(std::vector<TFigureTriangle>& triangles, double angleDegrees);

} // namespace kv
