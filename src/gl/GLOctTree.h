#pragma once
// The spatial grid of meshes and line objects: despite its name a uniform grid of 8 x 8 x 8 cells
// over a box. Each face (or segment) whose corners all fall into one cell joins that cell's list;
// one whose corners lie in different cells joins the straddlers; one with a corner outside the box
// is not inserted at all (and so not drawn until the grid is rebuilt over new bounds).
//
// Drawing visits the faces of the cells that intersect the view frustum, then every straddler.
// The frustum comes from the matrices the viewer passes in; the grid reads nothing from OpenGL.

#include "gl/GLMatrix.h"
#include "gl/Vector.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace kv {

// One plane a*x + b*y + c*z + d; points with a positive value lie in front of it.
struct TFrustumPlane {
    double a = 0;
    double b = 0;
    double c = 0;
    double d = 0;
};

using TFrustum = std::array<TFrustumPlane, 6>;

// The six planes (left, right, bottom, top, near, far) of the view volume that the product
// modelView * projection (row-vector order: model-view applied first) maps into the unit cube,
// each divided by the length of its normal.
TFrustum FrustumFromMatrices(const Matrix4x4& modelView, const Matrix4x4& projection);

class TOctTree {
public:
    static constexpr int32_t CellsPerAxis = 8;
    static constexpr int32_t CellCount = CellsPerAxis * CellsPerAxis * CellsPerAxis;

    struct TCell {
        Vector3D Min;
        Vector3D Max;
        std::vector<int32_t> Faces;
        bool Visible = false;
    };

    // Receives (owner, face index, cell number); the cell number is ix + 8*iy + 64*iz, or -1 for a
    // straddler.
    using TVisitor = std::function<void(void* owner, int32_t face, int32_t cell)>;

    // Bounds (0,0,0)-(8,8,8).
    TOctTree();

    const Segment3D& Bounds() const { return Bounds_; }
    // Stores the box and recomputes every cell box.
    void SetBounds(const Vector3D& min, const Vector3D& max);
    // Empties every face list and the straddlers; no cell visible.
    void Clear();
    // Files the face under its cell or among the straddlers; false (and not filed) when a corner
    // lies outside the bounds.
    bool Insert(const Triangle3D& triangle, int32_t index);
    bool Insert(const Segment3D& segment, int32_t index);
    // The cell index along each axis, or false when the point lies outside the bounds.
    bool Locate(const Vector3D& p, int32_t& ix, int32_t& iy, int32_t& iz) const;
    // A cell is visible unless some plane has all eight corners of the cell box on or behind it.
    void UpdateVisibility(const TFrustum& frustum);
    void UpdateVisibility(const Matrix4x4& modelView, const Matrix4x4& projection)
    {
        UpdateVisibility(FrustumFromMatrices(modelView, projection));
    }
    // The faces of the visible cells (z slowest, x fastest; each in insertion order), then every
    // straddler in insertion order.
    void ForEach(const TVisitor& visit, void* owner = nullptr) const;
    // The same order as ForEach, collected.
    std::vector<int32_t> VisibleItems() const;
    // Every filed item in the order ForEach gives with every cell visible.
    std::vector<int32_t> AllItems() const;

    // Positions [First, First + Count) in AllItems' order.
    struct TItemRun {
        uint32_t First = 0;
        uint32_t Count = 0;
        bool operator==(const TItemRun&) const = default;
    };
    // The stretches of AllItems that the visible cells and the straddlers cover, in order, with
    // touching stretches joined: drawn one after the other they give VisibleItems' order, so a
    // copy of AllItems kept elsewhere (an element buffer) can be drawn from without collecting
    // the items each frame. `runs` is kept by the caller from frame to frame.
    void VisibleRuns(std::vector<TItemRun>& runs) const;

    // Cell (ix, iy, iz), each 0..7.
    TCell& Cell(int32_t ix, int32_t iy, int32_t iz) { return *Cells_[CellNumber(ix, iy, iz)]; }
    const TCell& Cell(int32_t ix, int32_t iy, int32_t iz) const { return *Cells_[CellNumber(ix, iy, iz)]; }
    const std::vector<int32_t>& Straddlers() const { return Straddlers_; }

    static int32_t CellNumber(int32_t ix, int32_t iy, int32_t iz) { return ix + 8 * iy + 64 * iz; }

private:
    Segment3D Bounds_;
    std::array<std::unique_ptr<TCell>, CellCount> Cells_;
    // Plain vectors, not huge arrays: a grid is made with every mesh, and 513 huge arrays would each
    // ask the system for its free memory.
    std::vector<int32_t> Straddlers_;

    std::vector<int32_t> Items(bool visibleOnly) const;
    // The index along one axis by binary search over that axis' cells.
    int32_t LocateAxis(double value, int axis) const;
    bool InsertCorners(const Vector3D* corners, int count, int32_t index);
};

} // namespace kv
