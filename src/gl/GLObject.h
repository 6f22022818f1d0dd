#pragma once
// The base of every scene object: a pose (position, a quaternion rotation about a rotation
// centre, a per-axis scale), an axis-aligned extent box, a name and the interactive manipulation
// by mouse (pan, depth move, rotation, continuous spin).
//
// This is the display-free model: instead of reading the model-view matrix back from OpenGL, an
// object computes the matrix its transformation produces (ApplyTransform) and records it; the
// viewer loads the recorded ModelMatrix with glLoadMatrixd. Vertices are scaled first, then
// rotated about the rotation centre, then translated.
//
// Every object carries animation keys (TGLAnimator): they are stored with it and copied, but
// nothing in the engine plays them back.

#include "gl/GLMatrix.h"
#include "gl/GLQuatLib.h"
#include "gl/IntVector.h"
#include "gl/Vector.h"
#include "platform/HugeArry.h"

#include <functional>
#include <memory>
#include <string>

namespace kv {

class TGLObject;
class TGLObjectList;

using TNotifyEvent = std::function<void(TGLObject* sender)>;

// One animation key: a rotation (Euler angles, degrees) and a position.
struct TAnimationKey {
    Vector3D Rotation;
    Vector3D Position;
    bool operator==(const TAnimationKey&) const = default;
};

using TAnimationArray = THugeRecordArray<TAnimationKey>;

// The animation keys of an object.
class TGLAnimator {
public:
    TGLAnimator() : Keys(5) {}
    virtual ~TGLAnimator() = default;
    TGLAnimator(const TGLAnimator&) = delete;
    TGLAnimator& operator=(const TGLAnimator&) = delete;

    // Becomes a copy of the source's keys.
    virtual void Assign(const TGLAnimator& source);

    TAnimationArray Keys;
};

// Keys and buttons held during a mouse event, as a set of these bits.
enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64,
};
using TShiftState = unsigned;

class TGLObject {
public:
    // The neutral pose at the origin, identity matrices.
    TGLObject();
    virtual ~TGLObject();
    TGLObject(const TGLObject&) = delete;
    TGLObject& operator=(const TGLObject&) = delete;

    // Virtual operations, in the order descendants override them.
    virtual Vector3D GetExtentMax() const { return ExtentMax; }
    virtual Vector3D GetExtentMin() const { return ExtentMin; }
    virtual void SetExtentMax(const Vector3D& v) { ExtentMax = v; }
    virtual void SetExtentMin(const Vector3D& v) { ExtentMin = v; }
    // A new object of the same class with its defaults: lists create their items through it.
    virtual std::unique_ptr<TGLObject> Create() const { return std::make_unique<TGLObject>(); }
    // Copies the source's pose, extents, recorded matrices, flags and name.
    virtual void Assign(const TGLObject& source);
    // Grows the extents to include the source's.
    virtual void Merge(const TGLObject& source);
    // Records parentMatrix and the model matrix this object's transformation makes of it.
    virtual void ApplyTransform(const Matrix4x4& parentMatrix);
    // ResetPose, ResetPos cleared, ResetPose again: the neutral pose at the origin.
    virtual void Reset();

    const std::string& Name() const { return Name_; }
    // Stores the name and notifies a change, when it differs.
    void SetName(const std::string& name);
    bool Selected() const { return Selected_; }
    void SetSelected(bool selected);
    // Scale3D.x; setting a different value makes the scale uniform.
    double Scale() const { return Scale3D.x; }
    void SetScale(double s);
    TGLObjectList* Owner() const { return Owner_; }

    // Fires OnChange, then the owning list's OnChange.
    void Changed();

    // The transformation alone: scale, rotation about RotationCenter, translation.
    Matrix4x4 LocalMatrix() const;
    // Position += (dx, dy, dz), in parent coordinates.
    void Move(double dx, double dy, double dz);
    // Quaternion := the rotation of the Euler angles (degrees) followed by the current one.
    void RotateBy(double x, double y, double z);
    // Pixels per scene unit at the depth of the reference object's extents' centre.
    double ScaleFactor(const TGLObject& reference) const;
    // Identity rotation, Position := ResetPos, no rotation centre, unit scale; the model matrix is
    // recomputed from the recorded parent matrix.
    void ResetPose();
    // Starts a drag at (x, y) and stops a running spin.
    void MouseDown(int32_t x, int32_t y);
    // Drags from MousePos to (x, y): both outer buttons or the middle one alone move in depth, the
    // left button alone rotates (a degree per pixel), the right one alone pans; any other state
    // does nothing and keeps MousePos. Throws EKorvelaError "Invert Error: Singular Matrix" when a
    // rotation meets a singular ParentMatrix; nothing changes then.
    void MouseMove(TShiftState shift, int32_t x, int32_t y, const TGLObject& reference);
    // Rotates by the last step again (the spin animation). Throws like MouseMove.
    void AnimateStep();
    // ExtentMax - ExtentMin.
    Vector3D Size() const { return VectorSubtract(GetExtentMax(), GetExtentMin()); }

    TPoint MousePos;
    bool Visible = true;
    Vector3D Scale3D{1, 1, 1};
    Vector3D ExtentMin;
    Vector3D ExtentMax;
    TNotifyEvent OnChange;
    // The model-view matrix after (and before) this object's transformation, at the last draw.
    Matrix4x4 ModelMatrix;
    Matrix4x4 ParentMatrix;
    // The last rotation increment, degrees; the spin repeats it.
    Vector3D RotationStep;
    Quaternion Orientation; // the program's field "Quaternion"
    Vector3D Position;
    Vector3D ResetPos;
    Vector3D RotationCenter;
    bool FlyThrough = false;
    TGLAnimator Animator;

private:
    friend class TGLObjectList;

    std::string Name_;
    bool Selected_ = true;
    TGLObjectList* Owner_ = nullptr;

    // A displacement given in view axes, brought into parent coordinates.
    Vector3D ViewToParent(const Vector3D& d) const;
    // Stores the step relative to the parent and rotates by it; all or nothing.
    void RotateByStep(const Vector3D& step);
};

} // namespace kv
