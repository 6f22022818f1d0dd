#pragma once
// Line objects: many independent coloured segments in one object, each with its own width and
// stipple, and the spatial grid over them. The viewer draws each visible segment as one GL_LINES
// pair with lighting off, in the grid's order (DrawOrder).

#include "gl/GLMesh.h"
#include "gl/GLObjectList.h"
#include "gl/GLOctTree.h"
#include "gl/GLRenderer.h"
#include "gl/Vector.h"
#include "platform/HugeArry.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kv {

// How one segment is drawn: width in pixels, and the stipple (glLineStipple(factor, pattern)),
// used only when StippleOn.
struct TLineProperty {
    int32_t Width = 1;
    bool StippleOn = false;
    uint16_t Pattern = 0;
    int32_t Factor = 1;
    bool operator==(const TLineProperty&) const = default;
};

using TLinePropertyArray = THugeRecordArray<TLineProperty>;

class TGLLines : public TGLRenderer {
public:
    TGLLines();

    std::unique_ptr<TGLObject> Create() const override { return std::make_unique<TGLLines>(); }
    // Empties itself, takes the source's renderer state, then (from line objects) copies the
    // segments, their colours and properties.
    void Merge(const TGLObject& source) override;
    // The colour of segment 0; white when there are none.
    uint32_t GetColor() const override;
    // The renderer's ResetAll, then Clear.
    void ResetAll() override;
    // Every segment takes the colour.
    void SetColor(uint32_t color) override;
    // A different mode also invalidates the grid.
    void SetRenderMode(uint8_t mode) override;

    // Appends a segment; the extents grow to cover it (the first segment sets them). Returns the
    // segment's index.
    int32_t AddSegment(const Vector3D& from, const Vector3D& to, uint32_t color);
    int32_t AddSegment(const Vector3D& from, const Vector3D& to, uint32_t color, int32_t width);
    int32_t AddSegment(const Vector3D& from, const Vector3D& to, uint32_t color, const TLineProperty& property);
    // Empties the segments and the grid; extents (0,0,0).
    void Clear();
    int32_t SegmentCount() const { return Vertices.SegmentCount(); }

    // Rebuilds the grid over the extents when it is not valid.
    void PrepareDraw();
    // PrepareDraw, the grid's visibility for the view, then the segments in drawing order.
    std::vector<int32_t> DrawOrder(const TFrustum& frustum);

    THuge3DVectorEx Vertices{10};
    THugeInteger LineColor{5};
    TLinePropertyArray LineProperties{5};
    TOctTree OctTree;
    bool OctTreeValid = false;
};

// The owning list of line objects.
class TGLLineList : public TGLObjectList {
public:
    // A line object named "Lines-" + (its index + 1), added; returns its index.
    int32_t NewLines();
    TGLLines* Lines(int32_t index) const { return static_cast<TGLLines*>(Items(index)); }

protected:
    std::unique_ptr<TGLObject> NewItem() const override { return std::make_unique<TGLLines>(); }
};

} // namespace kv
