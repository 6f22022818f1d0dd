#include "glview/GLObjectDraw.h"

#include "gl/GLOctTree.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace kv {

void ApplyRendererState(const TGLRenderer& renderer)
{
    const TBlendState blend = renderer.BlendState();
    if (blend.Blend) {
        glBlendFunc(blend.Source, blend.Dest);
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    if (blend.DepthTest)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
    glLoadMatrixd(renderer.ModelMatrix.Data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, Float4ToArray(renderer.LightEmission).data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, Float4ToArray(renderer.LightSpecular).data());
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, renderer.LightShininess);
    if (renderer.DoFrontBackColor()) {
        glDisable(GL_COLOR_MATERIAL);
        glMaterialfv(GL_BACK, GL_AMBIENT_AND_DIFFUSE, Float4ToArray(ColorToFloat4(renderer.BackColor())).data());
        glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, Float4ToArray(ColorToFloat4(renderer.FrontColor())).data());
    } else {
        glEnable(GL_COLOR_MATERIAL);
    }
    if (renderer.DoTwoSidedLighting())
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    else
        glEnable(GL_COLOR_MATERIAL);
}

namespace {

// Every face once, in the mesh's own order: nothing culled, nothing sorted.
bool AllFacesInOrder(const std::vector<int32_t>& faces, size_t faceCount)
{
    if (faces.size() != faceCount)
        return false;
    for (size_t i = 0; i < faces.size(); ++i)
        if (faces[i] != static_cast<int32_t>(i))
            return false;
    return true;
}

// A byte offset into the bound array buffer, or an address in client memory, as the pointer
// functions take them.
const void* At(const TGLMeshBuffer* buffer, size_t offset, const void* client)
{
    return buffer ? reinterpret_cast<const void*>(offset) : client;
}

} // namespace

void DrawMesh(TGLMesh& mesh, const Matrix4x4& projection, std::vector<uint32_t>& indices, TGLMeshBuffers* buffers)
{
    mesh.UpdateVisibility(FrustumFromMatrices(mesh.ModelMatrix, projection));
    const TMeshIndexedArrays& arrays = mesh.IndexedArrays();
    const bool wire = mesh.RenderMode() == rmWire;
    const TGLMeshBuffer* buffer = buffers ? buffers->Upload(mesh, wire) : nullptr;
    // Each face its own closed outline through its three corners: the three edges of every face
    // as one run of lines, which draws what a line loop per face draws. From buffer objects the
    // visible cells are stretches of the element buffer, drawn one after the other in the grid's
    // order; from client memory the visible faces' indices are listed (for triangles with every
    // face in the mesh's order, the faces' own corners serve).
    std::vector<TOctTree::TItemRun> runs;
    const void* elements = nullptr;
    GLsizei count = 0;
    if (buffer) {
        mesh.OctTree.VisibleRuns(runs);
        if (runs.empty())
            return;
    } else {
        const std::vector<int32_t> faces = mesh.OctTree.VisibleItems();
        if (AllFacesInOrder(faces, arrays.FaceCorners.size() / 3) && !wire) {
            elements = arrays.FaceCorners.data();
            count = static_cast<GLsizei>(arrays.FaceCorners.size());
        } else {
            FaceIndices(arrays, faces, wire, indices);
            elements = indices.data();
            count = static_cast<GLsizei>(indices.size());
        }
        if (count == 0)
            return;
    }
    if (buffer)
        buffers->Bind(buffer);
    const TMeshDrawArrays& shared = arrays.Shared;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, At(buffer, 0, arrays.Positions.data()));
    if (arrays.OneColor) {
        const Float4& c = shared.Colors[0];
        glColor4f(c.r, c.g, c.b, c.a);
    } else {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, 0, At(buffer, buffer ? buffer->ColorsAt : 0, shared.Colors.data()));
    }
    const bool withTexCoords = !shared.TexCoords.empty();
    if (withTexCoords) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, At(buffer, buffer ? buffer->TexCoordsAt : 0, arrays.TexCoords.data()));
    }
    if (!wire) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, At(buffer, buffer ? buffer->NormalsAt : 0, arrays.Normals.data()));
    }
    glShadeModel(mesh.RenderMode() == rmSmooth ? GL_SMOOTH : GL_FLAT);
    const GLenum primitives = wire ? GL_LINES : GL_TRIANGLES;
    if (buffer) {
        const auto perFace = static_cast<size_t>(buffer->IndicesPerFace);
        for (const TOctTree::TItemRun& run : runs)
            glDrawElements(primitives, static_cast<GLsizei>(run.Count * perFace), GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(run.First * perFace * sizeof(uint32_t)));
    } else {
        glDrawElements(primitives, count, GL_UNSIGNED_INT, elements);
    }
    if (!wire)
        glDisableClientState(GL_NORMAL_ARRAY);
    if (withTexCoords)
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    if (!arrays.OneColor)
        glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    // The other drawing (background picture, text) sends its arrays from client memory.
    if (buffer)
        buffers->Bind(nullptr);
}

void DrawLines(TGLLines& lines, const Matrix4x4& projection)
{
    const std::vector<int32_t> order = lines.DrawOrder(FrustumFromMatrices(lines.ModelMatrix, projection));
    if (order.empty())
        return;
    glDisable(GL_LIGHTING);
    const float alpha = lines.ColorAlpha();
    const std::span<const int32_t> colors = lines.LineColor.Items();
    const std::span<const TLineProperty> properties = lines.LineProperties.Items();
    // One glBegin for each run of segments drawn alike: width and stipple cannot change inside it.
    bool open = false;
    TLineProperty current;
    for (const int32_t i : order) {
        const auto k = static_cast<size_t>(i);
        if (k >= colors.size() || k >= properties.size())
            continue;
        TLineProperty p = properties[k];
        // OpenGL refuses widths below 1 and stipple factors outside 1..256 with an error and
        // draws nothing; such segments draw at the nearest allowed value instead.
        p.Width = std::max(p.Width, 1);
        p.Factor = std::clamp(p.Factor, 1, 256);
        if (!p.StippleOn) {
            p.Pattern = 0;
            p.Factor = 1;
        }
        if (!open || !(p == current)) {
            if (open)
                glEnd();
            glLineWidth(static_cast<float>(p.Width));
            if (p.StippleOn) {
                glLineStipple(p.Factor, p.Pattern);
                glEnable(GL_LINE_STIPPLE);
            } else {
                glDisable(GL_LINE_STIPPLE);
            }
            current = p;
            glBegin(GL_LINES);
            open = true;
        }
        const Float4 c = ColorToFloat4(static_cast<uint32_t>(colors[k]), alpha);
        glColor4f(c.r, c.g, c.b, c.a);
        const Segment3D s = lines.Vertices.Segment(i);
        glVertex3d(s.Start.x, s.Start.y, s.Start.z);
        glVertex3d(s.End.x, s.End.y, s.End.z);
    }
    if (open)
        glEnd();
}

} // namespace kv
