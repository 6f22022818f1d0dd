#include "gl/GLMesh.h"

#include "platform/HugePages.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <new>
#include <numeric>

namespace kv {

// ---- THuge3DVectorEx ----

void THuge3DVectorEx::Put(int32_t index, const Vector3D& v)
{
    TVector3DArray::Put(index, v);
    if (OnChange)
        OnChange(v, index);
}

int32_t THuge3DVectorEx::AddObject(const Vector3D& v, void* obj)
{
    const int32_t index = TVector3DArray::AddObject(v, obj);
    if (OnChange)
        OnChange(Get(index), index);
    return index;
}

void THuge3DVectorEx::Insert(const Vector3D& v, int32_t index)
{
    const int32_t before = Count();
    TVector3DArray::Insert(v, index);
    if (Count() != before && OnChange)
        OnChange(Get(index), index);
}

void THuge3DVectorEx::Delete(int32_t index)
{
    if (index < 0 || index >= Count())
        return;
    const Vector3D removed = Get(index);
    TVector3DArray::Delete(index);
    const Vector3D now = index < Count() ? Get(index) : removed;
    if (OnChange)
        OnChange(now, index);
    if (OnDelete)
        OnDelete(removed, index);
}

int32_t THuge3DVectorEx::AddWithEvents(const Vector3D& v)
{
    const int32_t index = TVector3DArray::Add(v);
    if (OnChange)
        OnChange(v, index);
    if (OnAdd)
        OnAdd(v, index);
    return index;
}

int32_t THuge3DVectorEx::AddTriangle(const Triangle3D& t)
{
    const int32_t first = AddWithEvents(t.p0);
    AddWithEvents(t.p1);
    AddWithEvents(t.p2);
    return first / 3;
}

int32_t THuge3DVectorEx::AddSegment(const Segment3D& s)
{
    const int32_t first = AddWithEvents(s.Start);
    AddWithEvents(s.End);
    return first / 2;
}

// ---- TGLMesh ----

namespace {

// Coordinates this close count as one position when smoothing.
constexpr double CoincidenceTolerance = 1e-11;

// Groups of coinciding corners up to this size are smoothed pair by pair.
constexpr size_t MaxPairedGroup = 8;

int CompareCoordinate(double a, double b)
{
    if (std::abs(a - b) <= CoincidenceTolerance)
        return 0;
    return a < b ? -1 : 1;
}

// x, then y, then z; each within the tolerance counts as equal.
int CompareVertices(const Vector3D& a, const Vector3D& b)
{
    if (const int c = CompareCoordinate(a.x, b.x); c != 0)
        return c;
    if (const int c = CompareCoordinate(a.y, b.y); c != 0)
        return c;
    return CompareCoordinate(a.z, b.z);
}

// Whether AngleBetween(a, b) < threshold, from the cosine alone: 1 or 0 outside a margin around
// the threshold's cosine, where the comparison of cosines gives the same answer; -1 inside it (and
// for zero or huge vectors, and thresholds outside (0, pi)), where the angle must be taken. The
// answer is the same for (b, a): the products and the sum are formed in the same order.
int CosineDecision(const Vector3D& a, const Vector3D& b, double threshold, double cosThreshold)
{
    if (threshold > 0 && threshold < M_PI) {
        const double lengths = DotProduct(a, a) * DotProduct(b, b);
        if (lengths > 0 && lengths <= std::numeric_limits<double>::max()) {
            const double cosine = DotProduct(a, b) / std::sqrt(lengths);
            if (std::abs(cosine - cosThreshold) > 1e-9)
                return cosine > cosThreshold ? 1 : 0;
        }
    }
    return -1;
}

// AngleBetween(a, b) < threshold, without an arccosine where the cosine alone decides.
bool WithinAngle(const Vector3D& a, const Vector3D& b, double threshold, double cosThreshold)
{
    const int decision = CosineDecision(a, b, threshold, cosThreshold);
    return decision >= 0 ? decision == 1 : AngleBetween(a, b) < threshold;
}

// The smoothed normal of a corner from the face normals of all the corners at its position
// (itself included), visited in ascending corner order with whether each is within the angle of
// the corner's own: the sum of those within, divided by how many corners there are. The order of
// the sum is part of the result (floating-point addition), so every caller visits the corners in
// the same order.
template <typename TOthers>
Vector3D SmoothedNormal(const TOthers& others)
{
    Vector3D sum;
    int32_t shared = 0;
    others([&](const Vector3D& other, bool within) {
        if (within)
            sum = VectorAdd(sum, other);
        ++shared;
    });
    return shared != 0 ? VectorDivideBy(sum, double(shared)) : Vector3D{};
}

// Makes the array hold exactly n items, keeping its block when it already does (the normals are
// recomputed over the same mesh again and again); the items are then overwritten in place.
void ResizeTo(TVector3DArray& array, int32_t n)
{
    if (array.Count() == n)
        return;
    array.Clear();
    if (n == 0)
        return;
    array.SetCapacity(n);
    for (int32_t i = 0; i < n; ++i)
        array.Add(Vector3D{});
}

} // namespace

TGLMesh::TGLMesh()
{
    Vertices.OnChange = [this](const Vector3D& v, int32_t) { VertexChanged(v); };
    Vertices.OnAdd = [this](const Vector3D&, int32_t) { VertexNormals.Add(Vector3D{}); };
    Vertices.OnDelete = [this](const Vector3D&, int32_t index) { VertexNormals.Delete(index); };
    Texture->OnChange = [this](TGLBaseBitmap*) {
        TexCoordsValid = false;
        DataChanged();
    };
    SetRenderMode(rmFlat);
    Position = {};
    ResetPos = {};
    TGLMesh::ResetAll();
}

TGLMesh::~TGLMesh() = default;

void TGLMesh::VertexChanged(const Vector3D& v)
{
    if (Vertices.Count() == 0) {
        ExtentMin = v;
        ExtentMax = v;
    } else {
        ExtentMin = VectorMin(ExtentMin, v);
        ExtentMax = VectorMax(ExtentMax, v);
    }
    OctTreeValid = false;
    TexCoordsValid = false;
    Sorted = false;
    DataChanged();
}

void TGLMesh::Assign(const TGLObject& source)
{
    if (&source == this)
        return;
    ResetAll();
    TGLRenderer::Assign(source);
    if (const auto* mesh = dynamic_cast<const TGLMesh*>(&source)) {
        // Copied element for element: no events, the extents come with the object's state.
        Vertices.Assign(mesh->Vertices);
        FaceNormals.Assign(mesh->FaceNormals);
        VertexNormals.Assign(mesh->VertexNormals);
        FaceColor.Assign(mesh->FaceColor);
    }
    DataChanged();
}

void TGLMesh::Merge(const TGLObject& source)
{
    const auto* mesh = dynamic_cast<const TGLMesh*>(&source);
    if (mesh == nullptr) {
        TGLRenderer::Merge(source);
        return;
    }
    // Everything that can fail comes first, and the source is read before anything is written
    // (it may be this mesh).
    const Matrix4x4 inverseOwn = MatrixInvert(ModelMatrix);
    const Matrix4x4 toOwn = MatrixMultiply(mesh->ModelMatrix, inverseOwn);
    const Matrix4x4 normalMatrix = MatrixWithoutScale(MatrixWithoutTranslation(toOwn));
    const std::vector<Vector3D> vertices(mesh->Vertices.Items().begin(), mesh->Vertices.Items().end());
    const std::vector<Vector3D> faceNormals(mesh->FaceNormals.Items().begin(), mesh->FaceNormals.Items().end());
    const std::vector<Vector3D> vertexNormals(mesh->VertexNormals.Items().begin(), mesh->VertexNormals.Items().end());
    const std::vector<TColorTriple> colors(mesh->FaceColor.Items().begin(), mesh->FaceColor.Items().end());

    TGLRenderer::Merge(source);
    // Own vertices would go through the model matrix and back: they stay where they are.
    for (const Vector3D& v : vertices)
        Vertices.Add(TransformPoint(toOwn, v));
    for (const Vector3D& n : faceNormals)
        FaceNormals.Add(TransformPoint(normalMatrix, n));
    for (const Vector3D& n : vertexNormals)
        VertexNormals.Add(TransformPoint(normalMatrix, n));
    for (const TColorTriple& c : colors)
        FaceColor.Add(c);
    OctTreeValid = false;
    TexCoordsValid = false;
    Sorted = false;
    DataChanged();
    RecalcExtents();
}

uint32_t TGLMesh::GetColor() const
{
    return FaceColor.Count() == 0 ? 0xFFFFFF : FaceColor.FaceColor(0);
}

void TGLMesh::SetRenderMode(uint8_t mode)
{
    if (mode != RenderMode())
        OctTreeValid = false;
    TGLRenderer::SetRenderMode(mode);
}

void TGLMesh::ResetAll()
{
    TGLRenderer::ResetAll();
    Clear();
}

void TGLMesh::SetColor(uint32_t color)
{
    for (TColorTriple& c : FaceColor.Items())
        c = TColorTriple{{color, color, color}};
    DataChanged();
}

int32_t TGLMesh::AddTriangle(const Triangle3D& triangle, uint32_t color)
{
    const int32_t face = Vertices.AddTriangle(triangle);
    FaceColor.Add(color);
    FaceNormals.Add(TriangleNormal(triangle));
    DataChanged();
    return face;
}

void TGLMesh::AddTriangles(std::span<const Vector3D> corners, uint32_t color)
{
    const size_t faces = corners.size() / 3;
    if (faces == 0)
        return;
    corners = corners.first(3 * faces);
    Vertices.AddItems(corners);
    std::vector<Vector3D> faceNormals(faces);
    for (size_t f = 0; f < faces; ++f)
        faceNormals[f] = TriangleNormal(Triangle3D{corners[3 * f], corners[3 * f + 1], corners[3 * f + 2]});
    FaceNormals.AddItems(faceNormals);
    FaceColor.AddItems(std::vector<TColorTriple>(faces, TColorTriple{{color, color, color}}));
    // What the per-corner events would do: a zero vertex normal for each corner, the extents
    // grown over the corners in the same order, the derived data invalidated.
    VertexNormals.AddItems(std::vector<Vector3D>(corners.size()));
    for (const Vector3D& v : corners) {
        ExtentMin = VectorMin(ExtentMin, v);
        ExtentMax = VectorMax(ExtentMax, v);
    }
    OctTreeValid = false;
    TexCoordsValid = false;
    Sorted = false;
    DataChanged();
}

void TGLMesh::AddQuad(const Vector3D& p1, const Vector3D& p2, const Vector3D& p3, const Vector3D& p4, uint32_t color)
{
    AddTriangle(p1, p2, p4, color);
    AddTriangle(p2, p3, p4, color);
}

void TGLMesh::AddFan(const std::vector<Vector3D>& points, uint32_t color)
{
    if (points.size() < 3)
        return;
    Vector3D centre;
    for (const Vector3D& p : points)
        centre = VectorAdd(centre, p);
    centre = VectorDivideBy(centre, double(points.size()));
    for (size_t i = 0; i < points.size(); ++i)
        AddTriangle(centre, points[i], points[(i + 1) % points.size()], color);
}

void TGLMesh::Progress(const char* message, int64_t n, int64_t d)
{
    if (!OnProgress || d <= 0 || n % (d / 100 + 1) != 0)
        return;
    // MulDiv(100, n, d): rounded to nearest.
    OnProgress(this, message, static_cast<int32_t>(std::llround(100.0 * double(n) / double(d))));
}

void TGLMesh::CalcNormals(bool withVertexNormals, double angleDegrees)
{
    Progress("Setting Face Normals", 0, 1);
    const int32_t faces = FaceCount();
    const std::span<const Vector3D> corners = Vertices.Items();
    ResizeTo(FaceNormals, faces);
    const std::span<Vector3D> faceNormalsOut = FaceNormals.Items();
    for (int32_t i = 0; i < faces; ++i) {
        faceNormalsOut[size_t(i)] = TriangleNormal(corners[3 * i], corners[3 * i + 1], corners[3 * i + 2]);
        Progress("Face Normals", i, faces);
    }

    if (withVertexNormals) {
        const int32_t count = Vertices.Count();
        Progress("Sorting Vertices", 5, 10);
        if (!Sorted) {
            SortedIndex.Clear();
            if (count > 0)
                SortedIndex.SetCapacity(count);
            for (int32_t i = 0; i < count; ++i)
                SortedIndex.Add(i);
            // A merge sort: the tolerance makes the comparison inexact (a ~ b and b ~ c need not
            // give a ~ c), which a merge sort survives and an introsort need not.
            const std::span<int32_t> index = SortedIndex.Items();
            std::stable_sort(index.begin(), index.end(), [&](int32_t a, int32_t b) {
                return CompareVertices(corners[size_t(a)], corners[size_t(b)]) < 0;
            });
            Sorted = true;
        }
        Progress("Setting Vertices Normals", 7, 10);

        const std::span<const int32_t> sorted = SortedIndex.Items();
        const std::span<const Vector3D> faceNormals = FaceNormals.Items();
        const double threshold = angleDegrees * DegToRad;
        const double cosThreshold = std::cos(threshold);
        // The positions in sorted order, so the searches run over one compact array; and the
        // vertices are visited in that order, so successive searches touch the same memory. Each
        // vertex's normal depends only on its own search, not on the order of the visits.
        std::vector<Vector3D> byPosition(static_cast<size_t>(count));
        for (int32_t p = 0; p < count; ++p)
            byPosition[size_t(p)] = corners[size_t(sorted[size_t(p)])];
        ResizeTo(VertexNormals, count);
        const std::span<Vector3D> vertexNormals = VertexNormals.Items();
        for (int32_t step = 0; step < count; ++step) {
            const int32_t i = sorted[size_t(step)];
            const Vector3D& v = corners[size_t(i)];
            // The face normals were computed from the corners just above: the same values.
            const Vector3D& own = faceNormals[size_t(i / 3)];
            int32_t lo = 0;
            int32_t hi = count - 1;
            while (hi >= lo) {
                const int32_t mid = (lo + hi) / 2;
                if (CompareVertices(byPosition[size_t(mid)], v) < 0)
                    lo = mid + 1;
                else
                    hi = mid - 1;
            }
            const auto others = [&](const auto& visit) {
                for (int32_t pos = lo; pos < count && CompareVertices(byPosition[size_t(pos)], v) == 0; ++pos) {
                    const Vector3D& other = faceNormals[size_t(sorted[size_t(pos)] / 3)];
                    visit(other, WithinAngle(own, other, threshold, cosThreshold));
                }
            };
            vertexNormals[size_t(i)] = SmoothedNormal(others);
            Progress("Vertex Normals", step, count);
        }
    }
    DataChanged();
    Progress("Done", 1, 1);
}

void TGLMesh::SmoothVertexNormals(std::span<const int32_t> groupStarts, std::span<const int32_t> groupCorners,
                                  double angleDegrees)
{
    Progress("Setting Vertices Normals", 7, 10);
    const int32_t count = Vertices.Count();
    const std::span<const Vector3D> faceNormals = FaceNormals.Items();
    const double threshold = angleDegrees * DegToRad;
    const double cosThreshold = std::cos(threshold);
    ResizeTo(VertexNormals, count);
    const std::span<Vector3D> vertexNormals = VertexNormals.Items();
    const int32_t groups = groupStarts.empty() ? 0 : int32_t(groupStarts.size()) - 1;
    int32_t done = 0;
    for (int32_t g = 0; g < groups; ++g) {
        const std::span<const int32_t> corners =
            groupCorners.subspan(size_t(groupStarts[size_t(g)]), size_t(groupStarts[size_t(g) + 1] - groupStarts[size_t(g)]));
        const size_t k = corners.size();
        if (k <= MaxPairedGroup) {
            // Small groups (six corners at a grid's sample) decide each pair once: the cosine
            // test gives the same answer both ways round; only the undecided take both angles.
            const Vector3D* normal[MaxPairedGroup];
            bool within[MaxPairedGroup][MaxPairedGroup];
            for (size_t p = 0; p < k; ++p)
                normal[p] = &faceNormals[size_t(corners[p] / 3)];
            for (size_t p = 0; p < k; ++p) {
                within[p][p] = WithinAngle(*normal[p], *normal[p], threshold, cosThreshold);
                for (size_t q = p + 1; q < k; ++q) {
                    const int decision = CosineDecision(*normal[p], *normal[q], threshold, cosThreshold);
                    within[p][q] = decision >= 0 ? decision == 1 : AngleBetween(*normal[p], *normal[q]) < threshold;
                    within[q][p] = decision >= 0 ? decision == 1 : AngleBetween(*normal[q], *normal[p]) < threshold;
                }
            }
            for (size_t p = 0; p < k; ++p) {
                const auto others = [&](const auto& visit) {
                    for (size_t q = 0; q < k; ++q)
                        visit(*normal[q], within[p][q]);
                };
                vertexNormals[size_t(corners[p])] = SmoothedNormal(others);
                Progress("Vertex Normals", done++, count);
            }
            continue;
        }
        for (const int32_t corner : corners) {
            const Vector3D& own = faceNormals[size_t(corner / 3)];
            const auto others = [&](const auto& visit) {
                for (const int32_t other : corners) {
                    const Vector3D& normal = faceNormals[size_t(other / 3)];
                    visit(normal, WithinAngle(own, normal, threshold, cosThreshold));
                }
            };
            vertexNormals[size_t(corner)] = SmoothedNormal(others);
            Progress("Vertex Normals", done++, count);
        }
    }
    DataChanged();
    Progress("Done", 1, 1);
}

void TGLMesh::Clear()
{
    Vertices.Clear();
    FaceNormals.Clear();
    VertexNormals.Clear();
    FaceColor.Clear();
    SortedIndex.Clear();
    OctTreeValid = false;
    TexCoordsValid = false;
    Sorted = false;
    ExtentMin = {};
    ExtentMax = {};
    DataChanged();
}

namespace {

void ReserveItems(THugeArray& array, int64_t n)
{
    if (n > array.Capacity()) {
        if (n > std::numeric_limits<int32_t>::max())
            throw std::bad_alloc();
        array.SetCapacity(static_cast<int32_t>(n));
        // The object list grows with every add too.
        array.Objects().reserve(static_cast<size_t>(n));
        PreferHugePages(array.Objects().data(), array.Objects().capacity() * sizeof(void*));
    }
}

} // namespace

void TGLMesh::Reserve(int32_t faces)
{
    if (faces <= 0)
        return;
    ReserveItems(Vertices, int64_t{3} * faces);
    ReserveItems(VertexNormals, int64_t{3} * faces);
    ReserveItems(FaceNormals, faces);
    ReserveItems(FaceColor, faces);
}

void TGLMesh::RecalcExtents()
{
    Vector3D min{1.7e308, 1.7e308, 1.7e308};
    Vector3D max{-1.7e308, -1.7e308, -1.7e308};
    for (const Vector3D& v : Vertices.Items()) {
        min = VectorMin(min, v);
        max = VectorMax(max, v);
    }
    ExtentMin = min;
    ExtentMax = max;
}

void TGLMesh::PrepareDraw()
{
    if (!TexCoordsValid) {
        Texture->ComputeTexCoords(Vertices.Items(), ExtentMin, ExtentMax);
        TexCoordsValid = true;
        DataChanged();
    }
    if (OctTreeValid)
        return;
    OctTree.Clear();
    OctTree.SetBounds(ExtentMin, ExtentMax);
    const int32_t faces = FaceCount();
    for (int32_t i = 0; i < faces; ++i)
        OctTree.Insert(Vertices.Triangle(i), i);
    OctTreeValid = true;
    static std::atomic<uint64_t> grids{0};
    GridSerial_ = ++grids;
}

void TGLMesh::UpdateVisibility(const TFrustum& frustum)
{
    PrepareDraw();
    OctTree.UpdateVisibility(frustum);
}

std::vector<int32_t> TGLMesh::DrawOrder(const TFrustum& frustum)
{
    UpdateVisibility(frustum);
    return OctTree.VisibleItems();
}

TMeshDrawArrays TGLMesh::DrawArrays(const std::vector<int32_t>& faces) const
{
    TMeshDrawArrays arrays;
    DrawArrays(faces, arrays);
    return arrays;
}

void TGLMesh::DrawArrays(const std::vector<int32_t>& faces, TMeshDrawArrays& arrays) const
{
    arrays.Vertices.clear();
    arrays.Normals.clear();
    arrays.Colors.clear();
    arrays.TexCoords.clear();
    const size_t corners = faces.size() * 3;
    arrays.Vertices.reserve(corners);
    arrays.Colors.reserve(corners);
    const uint8_t mode = RenderMode();
    const bool normals = mode == rmFlat || mode == rmSmooth;
    if (normals)
        arrays.Normals.reserve(corners);
    const double alpha = ColorAlpha();
    const std::span<const Vector3D> vertices = Vertices.Items();
    const std::span<const Vector3D> faceNormals = FaceNormals.Items();
    const std::span<const Vector3D> vertexNormals = VertexNormals.Items();
    const std::span<const TColorTriple> colors = FaceColor.Items();
    // Lists a caller let fall out of step with the vertices give white and zero normals instead
    // of reads past their ends.
    const TColorTriple white{{0xFFFFFF, 0xFFFFFF, 0xFFFFFF}};
    // Computed texture coordinates go with the corners when there is one for every corner.
    const std::span<const Vector2D> texCoords = Texture->TexCoords.Items();
    const bool withTexCoords =
        Texture->TextureMode == tmComputed && texCoords.size() >= vertices.size() && !texCoords.empty();
    if (withTexCoords)
        arrays.TexCoords.reserve(corners);
    for (const int32_t face : faces) {
        const size_t f = size_t(face);
        if (face < 0 || 3 * f + 2 >= vertices.size())
            continue;
        const TColorTriple& triple = f < colors.size() ? colors[f] : white;
        const Float4 faceColor = ColorToFloat4(triple.Color[0], alpha);
        for (size_t k = 0; k < 3; ++k) {
            const size_t corner = 3 * f + k;
            arrays.Vertices.push_back(vertices[corner]);
            if (withTexCoords)
                arrays.TexCoords.push_back(texCoords[corner]);
            arrays.Colors.push_back(mode == rmSmooth && k > 0 ? ColorToFloat4(triple.Color[k], alpha) : faceColor);
            if (mode == rmFlat)
                arrays.Normals.push_back(f < faceNormals.size() ? faceNormals[f] : Vector3D{});
            else if (mode == rmSmooth)
                arrays.Normals.push_back(corner < vertexNormals.size() ? vertexNormals[corner] : Vector3D{});
        }
    }
}

const TMeshIndexedArrays& TGLMesh::IndexedArrays()
{
    const TFoldedFrom from{Generation_, RenderMode(), ColorAlpha(), Texture->TextureMode, Texture->Enabled,
        Texture->TexCoords.Count()};
    if (IndexedValid_ && from == IndexedFrom_)
        return Indexed_;
    std::vector<int32_t> faces(static_cast<size_t>(FaceCount()));
    std::iota(faces.begin(), faces.end(), 0);
    TMeshDrawArrays corners;
    DrawArrays(faces, corners);
    // Flat shading takes a triangle's lit colour from its last corner alone, unless the texture
    // coordinates are generated from the normals at every corner.
    const bool lastCornerDecides = RenderMode() == rmFlat && (!Texture->Enabled || Texture->TextureMode == tmComputed);
    IndexedValid_ = false;
    FoldCorners(std::move(corners), lastCornerDecides, Indexed_);
    IndexedFrom_ = from;
    IndexedValid_ = true;
    return Indexed_;
}

// ---- TGLMeshList ----

TGLMesh* TGLMeshList::NewMesh()
{
    auto mesh = std::make_unique<TGLMesh>();
    mesh->SetName("Mesh-" + std::to_string(Count()));
    TGLMesh* added = mesh.get();
    Add(std::move(mesh));
    return added;
}

int64_t TGLMeshList::TriangleCount() const
{
    int64_t total = 0;
    for (int32_t i = 0; i < Count(); ++i)
        total += Mesh(i)->TriangleCount();
    return total;
}

} // namespace kv
