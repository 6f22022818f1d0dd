#pragma once
// What the viewer hands to OpenGL for a mesh. The mesh keeps every triangle's own three corners;
// drawn that way each shared position goes through the vertex stage up to six times. Folding the
// corners whose values OpenGL uses are bit for bit the same into one shared vertex draws the very
// same pixels (equal inputs give equal results) from far fewer vertices.

#include "gl/GLLibrary.h"
#include "gl/Vector.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kv {

// Per corner (or per shared vertex) in the layout glVertexPointer, glNormalPointer,
// glColorPointer and glTexCoordPointer take (GL_DOUBLE, GL_DOUBLE, GL_FLOAT, GL_DOUBLE).
struct TMeshDrawArrays {
    std::vector<Vector3D> Vertices;
    // Flat: the face normal at each corner; smooth: the vertex normals; wire: empty.
    std::vector<Vector3D> Normals;
    // Wire and flat: corner 0's colour at each corner; smooth: each corner's own colour. Alpha is
    // (100 - Transparency) / 100.
    std::vector<Float4> Colors;
    // The computed texture coordinates, when the texture is in the computed mode and has one for
    // every corner; otherwise empty.
    std::vector<Vector2D> TexCoords;
};

// Shared vertices and, for every face, the shared vertex of each of its three corners.
struct TMeshIndexedArrays {
    TMeshDrawArrays Shared;
    std::vector<uint32_t> FaceCorners;
    // Shared's positions, normals and texture coordinates in single precision (three, three and
    // two floats a vertex), for GL_FLOAT pointers: OpenGL turns doubles into these floats itself,
    // every frame, so handing them over converted draws the same and saves that work.
    std::vector<float> Positions;
    std::vector<float> Normals;
    std::vector<float> TexCoords;
    // Every vertex has the same colour (Shared.Colors[0]): the mesh can be drawn with it as the
    // current colour and no colour array, which lights every vertex with the very same input and
    // saves the vertex stage fetching and the buffer holding four floats a vertex.
    bool OneColor = false;
    // Tells one fold from every other one made in this process, so that a copy kept elsewhere
    // (the viewer's buffer objects) knows when it is out of date.
    uint64_t Serial = 0;
};

// Folds `corners` (three per face, faces in order, as TGLMesh::DrawArrays lays them out for all
// faces) into `out`. Corners become one vertex when every value present is equal bit for bit. With
// `lastCornerDecides` (flat shading, where OpenGL takes a triangle's normal and colour from its
// last corner alone) the first two corners of a face need only agree in position and texture
// coordinates with a vertex already made. Throws std::length_error beyond 32-bit indices.
void FoldCorners(TMeshDrawArrays&& corners, bool lastCornerDecides, TMeshIndexedArrays& out);

// The indices that draw `faces` in their order from `arrays`: three per face for triangles, or
// with `edges` the face's outline as three lines (corners 0-1, 1-2, 2-0). Faces outside the
// arrays are left out. `indices` is kept by the caller from frame to frame.
void FaceIndices(const TMeshIndexedArrays& arrays, std::span<const int32_t> faces, bool edges,
                 std::vector<uint32_t>& indices);

} // namespace kv
