#pragma once
// Frames: the nodes of the scene tree. A frame owns four lists (meshes, 3D strings, line objects,
// sub-frames) and its transformation applies to everything below it. The viewer's root is a
// TGLBaseFrame, which also keeps a flat list of every object below it.
//
// Drawing order (what the viewer does with a frame): push the matrix and apply the frame's
// transformation; then the meshes, the 3D strings and the line objects, each list in order: a
// visible item of a visible frame is drawn inside its own push and pop (picking name: the list
// kind and the item), with its texture enabled around the draw when it has one; an item that is
// not drawn only has its matrices recorded. Then the sub-frames the same way, and pop. ApplyTree
// records the matrices of the whole tree that way without drawing.
//
// Any change in a list below a frame (an item added, removed, renamed) fires the frame's change
// event and climbs the tree through the owning lists.

#include "gl/GLFonts.h"
#include "gl/GLLines.h"
#include "gl/GLMatrix.h"
#include "gl/GLMesh.h"
#include "gl/GLObject.h"
#include "gl/GLObjectList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace kv {

// The list an item of a frame belongs to; also the first part of its picking name.
enum TFrameListKind : uint8_t { fkMeshes = 0, fkStrings = 1, fkLines = 2, fkFrames = 3 };

class TGLFrameList;

class TGLFrame : public TGLObject {
public:
    TGLFrame();
    ~TGLFrame() override;

    std::unique_ptr<TGLObject> Create() const override { return std::make_unique<TGLFrame>(); }
    // The componentwise maximum (minimum) over the items of the four lists (lines, meshes,
    // 3D strings, frames); a frame without items answers its own stored extent.
    Vector3D GetExtentMax() const override;
    Vector3D GetExtentMin() const override;
    // The object's state, then each list rebuilt as copies of the source frame's lists.
    void Assign(const TGLObject& source) override;

    // Sum of the triangle counts of the meshes here and in every sub-frame.
    int64_t TriangleCount() const;
    // Records this frame's matrices from parentMatrix and those of everything below it, in the
    // drawing order.
    void ApplyTree(const Matrix4x4& parentMatrix);

    TGLMeshList& Meshes() { return *Meshes_; }
    const TGLMeshList& Meshes() const { return *Meshes_; }
    TGLStringList3D& Strings() { return *Strings_; }
    const TGLStringList3D& Strings() const { return *Strings_; }
    TGLLineList& Lines() { return *Lines_; }
    const TGLLineList& Lines() const { return *Lines_; }
    TGLFrameList& Frames() { return *Frames_; }
    const TGLFrameList& Frames() const { return *Frames_; }

protected:
    // Called when any of the four lists changes; the frame notifies its change.
    virtual void ListChanged();

private:
    std::unique_ptr<TGLMeshList> Meshes_;
    std::unique_ptr<TGLStringList3D> Strings_;
    std::unique_ptr<TGLLineList> Lines_;
    std::unique_ptr<TGLFrameList> Frames_;

    void WireLists();
};

// The owning list of frames.
class TGLFrameList : public TGLObjectList {
public:
    // A frame named "Frame-" + (its index + 1), added; returns its index.
    int32_t NewFrame();
    TGLFrame* Frame(int32_t index) const { return static_cast<TGLFrame*>(Items(index)); }

protected:
    std::unique_ptr<TGLObject> NewItem() const override { return std::make_unique<TGLFrame>(); }
};

// One object below a base frame, with the list it belongs to.
struct TFrameItem {
    TGLObject* Object = nullptr;
    TFrameListKind Kind = fkMeshes;
};

// The scene root: a frame that also lists every object below it.
class TGLBaseFrame : public TGLFrame {
public:
    std::unique_ptr<TGLObject> Create() const override { return std::make_unique<TGLBaseFrame>(); }

    // Every object below this frame, depth first: a frame's meshes, 3D strings, line objects, then
    // each sub-frame followed by what is below it. Rebuilt after any change below.
    const std::vector<TFrameItem>& AllObjects() const;

protected:
    void ListChanged() override;

private:
    mutable std::vector<TFrameItem> AllObjects_;
    mutable bool AllObjectsValid_ = false;
};

} // namespace kv
