#pragma once
// Smoothed vertex normals for a terrain surface without sorting its corners: the surface is a grid,
// so the corners that meet at each sample are known from the order the triangles were added in.

#include "gl/GLMesh.h"

#include <cstdint>

namespace kv {

// Face normals, then vertex normals smoothed at angleDegrees, for a mesh holding exactly the
// surface AddTerrainTriangles builds over nx x ny samples. The result is CalcNormals' to the bit:
// the grid's grouping is used only after checking that the position comparison of CalcNormals
// would group the corners the same way (one position per sample, samples apart by more than its
// tolerance); otherwise, or for any other mesh, CalcNormals does the work.
void SmoothTerrainNormals(TGLMesh& mesh, int32_t nx, int32_t ny, double angleDegrees);

} // namespace kv
