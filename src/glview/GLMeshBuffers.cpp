#include "glview/GLMeshBuffers.h"

#include "gl/GLObject.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <unordered_set>

namespace kv {

namespace {

template <typename T>
size_t Bytes(const std::vector<T>& values)
{
    return values.size() * sizeof(T);
}

} // namespace

QOpenGLFunctions* TGLMeshBuffers::Functions()
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context)
        return nullptr;
    QOpenGLFunctions* f = context->functions();
    return f->hasOpenGLFeature(QOpenGLFunctions::Buffers) ? f : nullptr;
}

void TGLMeshBuffers::Delete(TGLMeshBuffer& buffer)
{
    QOpenGLFunctions* f = Functions();
    if (f) {
        const GLuint names[2] = {buffer.ArrayBuffer, buffer.ElementBuffer};
        f->glDeleteBuffers(2, names);
    }
    buffer = {};
}

const TGLMeshBuffer* TGLMeshBuffers::Upload(TGLMesh& mesh, bool edges)
{
    const TMeshIndexedArrays& arrays = mesh.IndexedArrays();
    const TGLObject* owner = &mesh;
    const auto found = Buffers_.find(owner);
    if (found != Buffers_.end() && found->second.Serial == arrays.Serial &&
        found->second.GridSerial == mesh.GridSerial() && found->second.Edges == edges)
        return &found->second;
    QOpenGLFunctions* f = Functions();
    if (!f)
        return nullptr;
    const std::vector<int32_t> order = mesh.OctTree.AllItems();
    const int32_t perFace = edges ? 6 : 3;
    std::vector<uint32_t> indices;
    FaceIndices(arrays, order, edges, indices);
    // Runs of the grid's cells would no longer fall on their faces' indices.
    if (indices.size() != order.size() * static_cast<size_t>(perFace))
        return nullptr;
    TGLMeshBuffer& b = Buffers_[owner];
    if (b.ArrayBuffer == 0) {
        GLuint names[2] = {0, 0};
        f->glGenBuffers(2, names);
        b.ArrayBuffer = names[0];
        b.ElementBuffer = names[1];
    }
    const size_t colors = arrays.OneColor ? 0 : Bytes(arrays.Shared.Colors);
    b.NormalsAt = Bytes(arrays.Positions);
    b.ColorsAt = b.NormalsAt + Bytes(arrays.Normals);
    b.TexCoordsAt = b.ColorsAt + colors;
    const size_t total = b.TexCoordsAt + Bytes(arrays.TexCoords);

    // An error left by someone else is not this upload's.
    while (glGetError() != GL_NO_ERROR) {
    }
    f->glBindBuffer(GL_ARRAY_BUFFER, b.ArrayBuffer);
    f->glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(total), nullptr, GL_STATIC_DRAW);
    const auto put = [&](size_t at, size_t size, const void* data) {
        if (size > 0)
            f->glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(at), static_cast<GLsizeiptr>(size), data);
    };
    put(0, Bytes(arrays.Positions), arrays.Positions.data());
    put(b.NormalsAt, Bytes(arrays.Normals), arrays.Normals.data());
    put(b.ColorsAt, colors, arrays.Shared.Colors.data());
    put(b.TexCoordsAt, Bytes(arrays.TexCoords), arrays.TexCoords.data());
    f->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.ElementBuffer);
    f->glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(Bytes(indices)), indices.data(), GL_STATIC_DRAW);
    f->glBindBuffer(GL_ARRAY_BUFFER, 0);
    f->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    if (glGetError() != GL_NO_ERROR) {
        // Most likely out of memory: the mesh is drawn from client memory.
        Delete(b);
        Buffers_.erase(owner);
        return nullptr;
    }
    b.Serial = arrays.Serial;
    b.GridSerial = mesh.GridSerial();
    b.Edges = edges;
    b.IndicesPerFace = perFace;
    return &b;
}

void TGLMeshBuffers::Bind(const TGLMeshBuffer* buffer)
{
    QOpenGLFunctions* f = Functions();
    if (!f)
        return;
    f->glBindBuffer(GL_ARRAY_BUFFER, buffer ? buffer->ArrayBuffer : 0);
    f->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer ? buffer->ElementBuffer : 0);
}

void TGLMeshBuffers::Collect(const std::vector<TGLObject*>& objects)
{
    if (Buffers_.empty())
        return;
    const std::unordered_set<const TGLObject*> live(objects.begin(), objects.end());
    for (auto it = Buffers_.begin(); it != Buffers_.end();) {
        if (live.count(it->first)) {
            ++it;
            continue;
        }
        Delete(it->second);
        it = Buffers_.erase(it);
    }
}

void TGLMeshBuffers::FreeAll()
{
    for (auto& [owner, buffer] : Buffers_)
        Delete(buffer);
    Buffers_.clear();
}

} // namespace kv
