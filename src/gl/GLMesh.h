#pragma once
// The engine's triangle mesh as plain data: an unindexed list of triangles (three corners each),
// one normal per face, one normal per corner, three colours per face, and the spatial grid that
// gives the drawing order and skips cells outside the view.
//
// The viewer draws from this data: DrawOrder gives the faces to draw for its current matrices,
// DrawArrays lays them out per corner (positions, normals, RGBA colours) in the arrays that
// glVertexPointer, glNormalPointer and glColorPointer take (GL_DOUBLE, GL_DOUBLE, GL_FLOAT), or
// that immediate mode walks. Wire: one GL_LINE_LOOP per three corners; flat and smooth: one
// GL_TRIANGLES run (flat with GL_FLAT shading, smooth with GL_SMOOTH).
//
// Vertex normals are smoothed across faces that meet at one position (coordinates equal within
// 1e-11) when their normals differ by less than a threshold angle; the sum is divided by the
// number of corners at that position, counting the excluded ones, and not renormalised (the
// viewer enables GL_NORMALIZE).

#include "gl/GLLibrary.h"
#include "gl/GLMeshArrays.h"
#include "gl/GLObjectList.h"
#include "gl/GLOctTree.h"
#include "gl/GLRenderer.h"
#include "gl/Vector.h"
#include "platform/HugeArry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kv {

using TVector3DArray = THugeRecordArray<Vector3D>;

// A 3D-vector array that reports its changes. Put, AddObject, Insert and Delete report through
// OnChange (and Delete also through OnDelete); AddWithEvents reports through OnChange, then OnAdd.
// The plain Add reports nothing. The vector passed to OnChange is the one now at the index; after
// deleting the last item it is the removed one.
//
// Grouped views: triangle k is the vectors 3k, 3k+1, 3k+2; segment k is 2k and 2k+1.
class THuge3DVectorEx : public TVector3DArray {
public:
    using TVectorEvent = std::function<void(const Vector3D& v, int32_t index)>;

    explicit THuge3DVectorEx(int32_t initialCapacity) : TVector3DArray(initialCapacity) {}

    void Put(int32_t index, const Vector3D& v) override;
    int32_t AddObject(const Vector3D& v, void* obj) override;
    void Insert(const Vector3D& v, int32_t index) override;
    // Ignores an index outside 0..Count-1, as the base does.
    void Delete(int32_t index) override;
    // Appends, fires OnChange then OnAdd; returns the index.
    virtual int32_t AddWithEvents(const Vector3D& v);

    int32_t TriangleCount() const { return Count() / 3; }
    int32_t SegmentCount() const { return Count() / 2; }
    Triangle3D Triangle(int32_t k) const { return {Get(3 * k), Get(3 * k + 1), Get(3 * k + 2)}; }
    Segment3D Segment(int32_t k) const { return {Get(2 * k), Get(2 * k + 1)}; }
    // Appends the corners through AddWithEvents; returns the new triangle's (segment's) index.
    int32_t AddTriangle(const Triangle3D& t);
    int32_t AddSegment(const Segment3D& s);

    TVectorEvent OnChange;
    TVectorEvent OnAdd;
    TVectorEvent OnDelete;
};

// The colours of one face, one per corner in corner order (red in the low byte).
struct TColorTriple {
    uint32_t Color[3] = {0, 0, 0};
    bool operator==(const TColorTriple&) const = default;
};

class TGLColorArray : public THugeRecordArray<TColorTriple> {
public:
    using THugeRecordArray::Add;
    using THugeRecordArray::THugeRecordArray;

    // Appends (c, c, c).
    int32_t Add(uint32_t color) { return Add(TColorTriple{{color, color, color}}); }
    // Corner 0 of face i.
    uint32_t FaceColor(int32_t i) const { return Get(i).Color[0]; }
    // All three corners of face i.
    void SetFaceColor(int32_t i, uint32_t color) { Put(i, TColorTriple{{color, color, color}}); }
};

class TGLMesh;
using TMeshProgressEvent = std::function<void(TGLMesh* mesh, const std::string& message, int32_t percent)>;

class TGLMesh : public TGLRenderer {
public:
    // Empty, flat rendering, the material defaults.
    TGLMesh();
    ~TGLMesh() override;

    std::unique_ptr<TGLObject> Create() const override { return std::make_unique<TGLMesh>(); }
    // ResetAll, the renderer's state, then (from a mesh) vertices, normals and colours element for
    // element. Assigning a mesh to itself changes nothing.
    void Assign(const TGLObject& source) override;
    // Grows the extents; from a mesh, appends its geometry brought into this mesh's coordinates
    // through both recorded model matrices. Throws EKorvelaError when this mesh's ModelMatrix is
    // singular (nothing changes then).
    void Merge(const TGLObject& source) override;
    // The colour of face 0; white when there are no faces.
    uint32_t GetColor() const override;
    // A different mode invalidates the grid, then is stored with a change notification.
    void SetRenderMode(uint8_t mode) override;
    // The renderer's ResetAll, then Clear.
    void ResetAll() override;
    // Every face takes the colour.
    void SetColor(uint32_t color) override;

    // Appends a face and its colour and normal; returns the face index.
    int32_t AddTriangle(const Triangle3D& triangle, uint32_t color);
    int32_t AddTriangle(const Vector3D& p1, const Vector3D& p2, const Vector3D& p3, uint32_t color)
    {
        return AddTriangle(Triangle3D{p1, p2, p3}, color);
    }
    // Appends the triangles whose corners come three by three in `corners` (a remainder of one or
    // two is ignored), all in one colour: the same faces, face normals, colours and extents as
    // AddTriangle one by one, but without an event per corner and with the lists grown at most
    // once each.
    void AddTriangles(std::span<const Vector3D> corners, uint32_t color);
    // Triangles (p1, p2, p4) and (p2, p3, p4): the diagonal runs from p2 to p4.
    void AddQuad(const Vector3D& p1, const Vector3D& p2, const Vector3D& p3, const Vector3D& p4, uint32_t color);
    // A fan of triangles from the points' average around the closed ring of points. Meant for
    // pentagons and hexagons; fewer than three points add nothing.
    void AddFan(const std::vector<Vector3D>& points, uint32_t color);
    // Face normals and, when asked, vertex normals smoothed across faces whose normals differ by
    // less than angleDegrees.
    void CalcNormals(bool withVertexNormals = true, double angleDegrees = 89.0);
    // Vertex normals from groups of coinciding corners the caller knows by construction (a grid
    // knows which corners meet at each sample), instead of finding them by sorting positions.
    // Group g is groupCorners[groupStarts[g] .. groupStarts[g + 1] - 1], its corners in ascending
    // order; every corner belongs to exactly one group. The face normals must be current
    // (CalcNormals(false)). When the groups are exactly the corners that CalcNormals' position
    // comparison puts together, the normals are CalcNormals' to the bit.
    void SmoothVertexNormals(std::span<const int32_t> groupStarts, std::span<const int32_t> groupCorners,
                             double angleDegrees = 89.0);
    // Empties every list, clears the flags, extents (0,0,0).
    void Clear();
    // Makes room for `faces` faces in every list at once, so that adding them does not move the
    // blocks again and again; never shrinks. Throws std::bad_alloc when the room cannot be had.
    void Reserve(int32_t faces);
    // Extents from all vertices; an empty mesh gets min (1.7e308, ...) and max (-1.7e308, ...).
    void RecalcExtents();

    int32_t FaceCount() const { return Vertices.TriangleCount(); }
    int32_t TriangleCount() const { return FaceCount(); }

    // Recomputes the texture coordinates and rebuilds the grid over the extents, each when it is
    // not valid.
    void PrepareDraw();
    // PrepareDraw, then the grid's visibility for the view.
    void UpdateVisibility(const TFrustum& frustum);
    // Tells one build of the grid from every other one made in this process (see IndexedArrays'
    // Serial): what a copy of the grid's order kept elsewhere compares with.
    uint64_t GridSerial() const { return GridSerial_; }
    // UpdateVisibility, then the faces in drawing order.
    std::vector<int32_t> DrawOrder(const TFrustum& frustum);
    std::vector<int32_t> DrawOrder(const Matrix4x4& modelView, const Matrix4x4& projection)
    {
        return DrawOrder(FrustumFromMatrices(modelView, projection));
    }
    // The faces laid out per corner for the current render mode.
    TMeshDrawArrays DrawArrays(const std::vector<int32_t>& faces) const;
    // The same into arrays the caller keeps from frame to frame: their blocks are reused.
    void DrawArrays(const std::vector<int32_t>& faces, TMeshDrawArrays& arrays) const;

    // Counts the changes to what is drawn: positions, normals, colours, texture coordinates and
    // the face lists. Every change through the mesh's own operations and the vertex list's events
    // moves it on; code that writes into the lists directly (through Items or the plain Add) calls
    // DataChanged afterwards, or the viewer keeps drawing what it built before.
    uint64_t Generation() const { return Generation_; }
    void DataChanged() { ++Generation_; }
    // All faces laid out for the current render mode and folded into shared vertices; built again
    // only after a change (the generation, render mode, transparency or texture set-up).
    const TMeshIndexedArrays& IndexedArrays();

    THugeInteger SortedIndex{5};
    TMeshProgressEvent OnProgress;
    THuge3DVectorEx Vertices{15};
    TVector3DArray FaceNormals{5};
    TVector3DArray VertexNormals{15};
    TGLColorArray FaceColor{5};
    bool OctTreeValid = false;
    bool TexCoordsValid = false;
    bool Sorted = false;
    TOctTree OctTree;

private:
    void VertexChanged(const Vector3D& v);
    uint64_t Generation_ = 0;
    uint64_t GridSerial_ = 0;
    // What the folded arrays were built from.
    struct TFoldedFrom {
        uint64_t Generation = 0;
        uint8_t Mode = 0;
        float Alpha = 0;
        uint8_t TextureMode = 0;
        bool TextureEnabled = false;
        int32_t TexCoords = 0;
        bool operator==(const TFoldedFrom&) const = default;
    };
    TMeshIndexedArrays Indexed_;
    TFoldedFrom IndexedFrom_;
    bool IndexedValid_ = false;
    void Progress(const char* message, int64_t n, int64_t d);
};

// The owning list of meshes: its new items are meshes.
class TGLMeshList : public TGLObjectList {
public:
    // A mesh named "Mesh-" + the count before adding, added; returns it.
    TGLMesh* NewMesh();
    TGLMesh* Mesh(int32_t index) const { return static_cast<TGLMesh*>(Items(index)); }
    // The sum of the meshes' triangle counts.
    int64_t TriangleCount() const;

protected:
    std::unique_ptr<TGLObject> NewItem() const override { return std::make_unique<TGLMesh>(); }
};

} // namespace kv
