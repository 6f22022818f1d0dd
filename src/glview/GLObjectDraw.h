#pragma once
// The drawing of one scene object in OpenGL, from its plain data: the render state every
// renderer sets (blending, its matrix, material, colours) and the geometry of meshes and line
// objects. The caller brackets each object in glPushAttrib(GL_ALL_ATTRIB_BITS) / glPopAttrib.

#include "gl/GLLines.h"
#include "gl/GLMatrix.h"
#include "gl/GLMesh.h"
#include "gl/GLRenderer.h"
#include "glview/GLMeshBuffers.h"

#include <cstdint>
#include <vector>

namespace kv {

// Blending and depth test, the object's ModelMatrix, emission, specular, shininess, and the
// front/back colours or the colour material.
void ApplyRendererState(const TGLRenderer& renderer);

// The faces the culling grid keeps, in its order, from the mesh's shared vertices (with the
// computed texture coordinates when the mesh has them, and one current colour when every vertex
// has the same): triangles in flat and smooth mode, each face's three edges in wire mode.
// `indices` is kept by the caller from frame to frame. With `buffers` the shared vertices and the
// indices of every face are drawn from buffer objects uploaded once per change, one glDrawElements
// for each stretch of visible cells (client arrays and one glDrawElements when there are none).
void DrawMesh(TGLMesh& mesh, const Matrix4x4& projection, std::vector<uint32_t>& indices,
              TGLMeshBuffers* buffers = nullptr);

// The segments the culling grid keeps, unlit, each in its colour, width and stipple.
void DrawLines(TGLLines& lines, const Matrix4x4& projection);

} // namespace kv
