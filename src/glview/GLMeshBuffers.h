#pragma once
// Buffer objects holding meshes' shared vertices and the indices of every face in the culling
// grid's order in the OpenGL context, uploaded once per fold (TMeshIndexedArrays::Serial) and
// grid (TGLMesh::GridSerial). Drawn from client memory instead, Mesa copies every vertex the
// indices reach and the indices themselves into a fresh upload buffer each frame; from buffer
// objects a frame hands over nothing: the visible cells are stretches of the element buffer. A context without buffer objects, or one that cannot hold
// the data, gets no buffer and the mesh is drawn from client arrays. Every call needs the
// viewer's context current; buffers of meshes that left the scene are deleted at the next Collect.

#include "gl/GLMesh.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class QOpenGLFunctions;

namespace kv {

// Where a mesh's data sits in its array buffer (byte offsets) and its element buffer.
struct TGLMeshBuffer {
    uint64_t Serial = 0;
    uint64_t GridSerial = 0;
    bool Edges = false;
    uint32_t ArrayBuffer = 0;
    uint32_t ElementBuffer = 0;
    // Indices a face takes in the element buffer, which holds every face the grid files, in the
    // grid's order (TOctTree::AllItems), as triangles or (Edges) outlines.
    int32_t IndicesPerFace = 3;
    size_t NormalsAt = 0;
    size_t ColorsAt = 0;
    size_t TexCoordsAt = 0;
};

class TGLMeshBuffers {
public:
    // The buffers holding `mesh`'s folded arrays (uploaded first when they hold another fold or
    // grid), with every face's triangle or, with `edges`, its outline in the element buffer;
    // nullptr when the context has no buffer objects or refused the data, or when the grid files
    // a face the arrays lack. Call after the mesh's PrepareDraw.
    const TGLMeshBuffer* Upload(TGLMesh& mesh, bool edges);
    // Binds `buffer`'s array and element buffers, or unbinds both for nullptr.
    void Bind(const TGLMeshBuffer* buffer);
    // Deletes the buffers of owners that are not among `objects`.
    void Collect(const std::vector<TGLObject*>& objects);
    // Deletes every buffer (the context goes).
    void FreeAll();

private:
    QOpenGLFunctions* Functions();
    void Delete(TGLMeshBuffer& buffer);

    std::unordered_map<const TGLObject*, TGLMeshBuffer> Buffers_;
};

} // namespace kv
