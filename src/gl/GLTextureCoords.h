#pragma once
// The texture coordinates the viewer draws a mesh with, for writers of model files that carry
// them per vertex: the same (s, t) OpenGL ends up with at every corner, whichever way the texture
// produces them.

#include "gl/GLMesh.h"

#include <vector>

namespace kv {

// One (s, t) per corner of the mesh (three per face, in corner order), t counting up from the
// picture's bottom row as OpenGL counts it:
// - computed coordinates: the mesh's TexCoords while they are current, else the texture's mapping
//   of the vertices, as the viewer computes them before drawing;
// - generated object-linear coordinates: the S and T planes applied to the corner's own position,
//   then the texture matrix, as OpenGL generates and transforms them.
// Empty when the coordinates depend on the view (eye-linear, sphere map), for a cube map, and when
// the mapping does not reach every corner: such a mesh has no coordinates of its own to write.
std::vector<Vector2D> CornerTexCoords(const TGLMesh& mesh);

// The texture's picture has pixels for its whole size.
bool TextureHasPicture(const TGLBaseBitmap& bitmap);

// The texture's picture as a 24-bit bitmap, top row first (as picture files keep it).
TBitmap TextureBitmap(const TGLBaseBitmap& bitmap);

} // namespace kv
