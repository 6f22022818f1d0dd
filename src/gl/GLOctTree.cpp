#include "gl/GLOctTree.h"

#include <cmath>

namespace kv {

namespace {

double Axis(const Vector3D& v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

} // namespace

TFrustum FrustumFromMatrices(const Matrix4x4& modelView, const Matrix4x4& projection)
{
    const Matrix4x4 clip = MatrixMultiply(modelView, projection);
    const auto column = [&](int j) { return std::array<double, 4>{clip[j], clip[4 + j], clip[8 + j], clip[12 + j]}; };
    const std::array<double, 4> c3 = column(3);
    // Left, right, bottom, top, near, far: column 3 plus or minus another column.
    const std::array<std::pair<int, double>, 6> combos{{{0, -1}, {0, 1}, {1, 1}, {1, -1}, {2, -1}, {2, 1}}};
    TFrustum frustum;
    for (size_t i = 0; i < combos.size(); ++i) {
        const std::array<double, 4> cj = column(combos[i].first);
        const double sign = combos[i].second;
        TFrustumPlane plane{c3[0] + sign * cj[0], c3[1] + sign * cj[1], c3[2] + sign * cj[2], c3[3] + sign * cj[3]};
        const double length = std::sqrt(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c);
        // A plane without a normal (a degenerate projection) is left as it is rather than made NaN.
        if (length > 0) {
            plane.a /= length;
            plane.b /= length;
            plane.c /= length;
            plane.d /= length;
        }
        frustum[i] = plane;
    }
    return frustum;
}

TOctTree::TOctTree()
{
    for (std::unique_ptr<TCell>& cell : Cells_)
        cell = std::make_unique<TCell>();
    SetBounds({0, 0, 0}, {8, 8, 8});
}

void TOctTree::SetBounds(const Vector3D& min, const Vector3D& max)
{
    Bounds_ = {min, max};
    const Vector3D size = VectorScale(VectorSubtract(max, min), 1.0 / CellsPerAxis);
    for (int32_t iz = 0; iz < CellsPerAxis; ++iz)
        for (int32_t iy = 0; iy < CellsPerAxis; ++iy)
            for (int32_t ix = 0; ix < CellsPerAxis; ++ix) {
                TCell& cell = Cell(ix, iy, iz);
                cell.Min = VectorAdd(min, VectorMultiply(size, {double(ix), double(iy), double(iz)}));
                cell.Max = VectorAdd(min, VectorMultiply(size, {double(ix + 1), double(iy + 1), double(iz + 1)}));
            }
}

void TOctTree::Clear()
{
    for (std::unique_ptr<TCell>& cell : Cells_) {
        cell->Faces.clear();
        cell->Visible = false;
    }
    Straddlers_.clear();
}

int32_t TOctTree::LocateAxis(double value, int axis) const
{
    // Cells of this axis: vary the axis index with the others at 0.
    const auto cellAt = [&](int32_t i) -> const TCell& {
        return axis == 0 ? Cell(i, 0, 0) : (axis == 1 ? Cell(0, i, 0) : Cell(0, 0, i));
    };
    int32_t lo = 0;
    int32_t hi = CellsPerAxis - 1;
    int32_t mid = 0;
    for (;;) {
        mid = (lo + hi) / 2;
        if (lo >= hi)
            break;
        const TCell& cell = cellAt(mid);
        if (value < Axis(cell.Min, axis))
            hi = mid;
        else if (value > Axis(cell.Max, axis))
            lo = mid + 1;
        else
            break;
    }
    return mid;
}

bool TOctTree::Locate(const Vector3D& p, int32_t& ix, int32_t& iy, int32_t& iz) const
{
    // Written so that a NaN coordinate counts as outside.
    const Vector3D& lo = Bounds_.Start;
    const Vector3D& hi = Bounds_.End;
    if (!(p.x >= lo.x && p.x <= hi.x && p.y >= lo.y && p.y <= hi.y && p.z >= lo.z && p.z <= hi.z))
        return false;
    ix = LocateAxis(p.x, 0);
    iy = LocateAxis(p.y, 1);
    iz = LocateAxis(p.z, 2);
    return true;
}

bool TOctTree::InsertCorners(const Vector3D* corners, int count, int32_t index)
{
    int32_t cell = -1;
    bool straddles = false;
    for (int i = 0; i < count; ++i) {
        int32_t ix = 0;
        int32_t iy = 0;
        int32_t iz = 0;
        if (!Locate(corners[i], ix, iy, iz))
            return false;
        const int32_t number = CellNumber(ix, iy, iz);
        if (i > 0 && number != cell)
            straddles = true;
        cell = number;
    }
    if (straddles)
        Straddlers_.push_back(index);
    else
        Cells_[static_cast<size_t>(cell)]->Faces.push_back(index);
    return true;
}

bool TOctTree::Insert(const Triangle3D& triangle, int32_t index)
{
    const Vector3D corners[3] = {triangle.p0, triangle.p1, triangle.p2};
    return InsertCorners(corners, 3, index);
}

bool TOctTree::Insert(const Segment3D& segment, int32_t index)
{
    const Vector3D corners[2] = {segment.Start, segment.End};
    return InsertCorners(corners, 2, index);
}

void TOctTree::UpdateVisibility(const TFrustum& frustum)
{
    for (std::unique_ptr<TCell>& cell : Cells_) {
        bool visible = true;
        for (const TFrustumPlane& plane : frustum) {
            bool allBehind = true;
            for (int corner = 0; corner < 8 && allBehind; ++corner) {
                const double x = (corner & 1) ? cell->Max.x : cell->Min.x;
                const double y = (corner & 2) ? cell->Max.y : cell->Min.y;
                const double z = (corner & 4) ? cell->Max.z : cell->Min.z;
                if (plane.a * x + plane.b * y + plane.c * z + plane.d > 0)
                    allBehind = false;
            }
            if (allBehind) {
                visible = false;
                break;
            }
        }
        cell->Visible = visible;
    }
}

void TOctTree::ForEach(const TVisitor& visit, void* owner) const
{
    for (int32_t number = 0; number < CellCount; ++number) {
        const TCell& cell = *Cells_[static_cast<size_t>(number)];
        if (!cell.Visible)
            continue;
        for (const int32_t face : cell.Faces)
            visit(owner, face, number);
    }
    for (const int32_t face : Straddlers_)
        visit(owner, face, -1);
}

std::vector<int32_t> TOctTree::Items(bool visibleOnly) const
{
    std::vector<int32_t> items;
    for (const std::unique_ptr<TCell>& cell : Cells_)
        if (cell->Visible || !visibleOnly)
            items.insert(items.end(), cell->Faces.begin(), cell->Faces.end());
    items.insert(items.end(), Straddlers_.begin(), Straddlers_.end());
    return items;
}

std::vector<int32_t> TOctTree::VisibleItems() const
{
    return Items(true);
}

std::vector<int32_t> TOctTree::AllItems() const
{
    return Items(false);
}

void TOctTree::VisibleRuns(std::vector<TItemRun>& runs) const
{
    runs.clear();
    const auto add = [&runs](uint32_t first, size_t count) {
        if (count == 0)
            return;
        if (!runs.empty() && runs.back().First + runs.back().Count == first)
            runs.back().Count += static_cast<uint32_t>(count);
        else
            runs.push_back({first, static_cast<uint32_t>(count)});
    };
    uint32_t at = 0;
    for (const std::unique_ptr<TCell>& cell : Cells_) {
        if (cell->Visible)
            add(at, cell->Faces.size());
        at += static_cast<uint32_t>(cell->Faces.size());
    }
    add(at, Straddlers_.size());
}

} // namespace kv
