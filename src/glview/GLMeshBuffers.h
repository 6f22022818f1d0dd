#pragma once
// Buffer objects holding meshes' shared vertices and their whole index list in the OpenGL
// context, uploaded once per fold (TMeshIndexedArrays::Serial). Drawn from client memory instead,
// Mesa copies every vertex the indices reach into a fresh upload buffer each frame; from buffer
// objects a frame hands over nothing. A context without buffer objects, or one that cannot hold
// the data, gets no buffer and the mesh is drawn from client arrays. Every call needs the
// viewer's context current; buffers of meshes that left the scene are deleted at the next Collect.

#include "gl/GLMeshArrays.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class QOpenGLFunctions;

namespace kv {

class TGLObject;

// Where a mesh's data sits in its array buffer (byte offsets) and its element buffer.
struct TGLMeshBuffer {
    uint64_t Serial = 0;
    bool Edges = false;
    uint32_t ArrayBuffer = 0;
    uint32_t ElementBuffer = 0;
    // Indices in the element buffer: every face in order, as triangles or (Edges) outlines.
    int32_t ElementCount = 0;
    size_t NormalsAt = 0;
    size_t ColorsAt = 0;
    size_t TexCoordsAt = 0;
};

class TGLMeshBuffers {
public:
    // The buffers of `owner` holding `arrays` (uploaded first when they hold another fold), with
    // every face's triangle or, with `edges`, its outline in the element buffer; nullptr when the
    // context has no buffer objects or refused the data.
    const TGLMeshBuffer* Upload(const TGLObject* owner, const TMeshIndexedArrays& arrays, bool edges);
    // Binds `buffer`'s array buffer (and element buffer with `elements`), or unbinds both for nullptr.
    void Bind(const TGLMeshBuffer* buffer, bool elements);
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
