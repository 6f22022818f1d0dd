#include "gl/GLObject.h"

#include "gl/GLObjectList.h"

#include <algorithm>
#include <cmath>

namespace kv {
namespace {

Matrix4x4 TranslationMatrix(const Vector3D& t)
{
    Matrix4x4 a;
    a[12] = t.x;
    a[13] = t.y;
    a[14] = t.z;
    return a;
}

Matrix4x4 ScalingMatrix(const Vector3D& s)
{
    Matrix4x4 a;
    a[0] = s.x;
    a[5] = s.y;
    a[10] = s.z;
    return a;
}

// The rotation glRotated makes of an angle and a unit axis, in row-vector layout.
Matrix4x4 RotationMatrix(const Vector3D& axis, double radians)
{
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double t = 1 - c;
    const double x = axis.x, y = axis.y, z = axis.z;
    Matrix4x4 a;
    a[0] = x * x * t + c;
    a[1] = y * x * t + z * s;
    a[2] = x * z * t - y * s;
    a[4] = x * y * t - z * s;
    a[5] = y * y * t + c;
    a[6] = y * z * t + x * s;
    a[8] = x * z * t + y * s;
    a[9] = y * z * t - x * s;
    a[10] = z * z * t + c;
    return a;
}

// Into [0, 360] by whole turns. Steps come from mouse moves of a few hundred pixels; a value too
// large to step down one turn at a time is reduced first, so the loops always end.
double WithinOneTurn(double degrees)
{
    if (!(std::abs(degrees) <= 360.0 * 64))
        degrees = std::fmod(degrees, 360.0);
    while (degrees < 0)
        degrees += 360;
    while (degrees > 360)
        degrees -= 360;
    return degrees;
}

} // namespace

TGLObject::TGLObject()
{
    TGLObject::Reset();
    ModelMatrix = IdentityMatrix();
    ParentMatrix = IdentityMatrix();
}

TGLObject::~TGLObject() = default;

void TGLAnimator::Assign(const TGLAnimator& source)
{
    if (&source != this)
        Keys.Assign(source.Keys);
}

void TGLObject::Assign(const TGLObject& source)
{
    if (&source == this)
        return;
    Animator.Assign(source.Animator);
    SetExtentMin(source.GetExtentMin());
    SetExtentMax(source.GetExtentMax());
    Orientation = source.Orientation;
    Position = source.Position;
    ResetPos = source.ResetPos;
    RotationCenter = source.RotationCenter;
    FlyThrough = source.FlyThrough;
    ModelMatrix = source.ModelMatrix;
    ParentMatrix = source.ParentMatrix;
    RotationStep = source.RotationStep;
    SetScale(source.Scale());
    Scale3D = source.Scale3D;
    SetSelected(source.Selected());
    Visible = source.Visible;
    SetName(source.Name());
}

void TGLObject::Merge(const TGLObject& source)
{
    SetExtentMin(VectorMin(GetExtentMin(), source.GetExtentMin()));
    SetExtentMax(VectorMax(GetExtentMax(), source.GetExtentMax()));
}

Matrix4x4 TGLObject::LocalMatrix() const
{
    // Scale, turn about the rotation centre, translate: in row-vector layout the first step is the
    // leftmost factor.
    const TAxisAngle turn = QuaternionToAxisAngle(Orientation);
    Matrix4x4 local = MatrixMultiply(ScalingMatrix(Scale3D), TranslationMatrix(VectorScale(RotationCenter, -1)));
    local = MatrixMultiply(local, RotationMatrix(turn.Axis, turn.AngleRadians));
    local = MatrixMultiply(local, TranslationMatrix(RotationCenter));
    return MatrixMultiply(local, TranslationMatrix(Position));
}

void TGLObject::ApplyTransform(const Matrix4x4& parentMatrix)
{
    ParentMatrix = parentMatrix;
    ModelMatrix = MatrixMultiply(LocalMatrix(), parentMatrix);
}

void TGLObject::Reset()
{
    ResetPose();
    ResetPos = {};
    ResetPose();
}

void TGLObject::SetName(const std::string& name)
{
    if (name == Name_)
        return;
    Name_ = name;
    Changed();
}

void TGLObject::SetSelected(bool selected)
{
    if (selected == Selected_)
        return;
    Selected_ = selected;
    Changed();
}

void TGLObject::SetScale(double s)
{
    if (s != Scale3D.x)
        Scale3D = {s, s, s};
}

void TGLObject::Changed()
{
    if (OnChange)
        OnChange(this);
    if (Owner_)
        Owner_->FireChange();
}

void TGLObject::Move(double dx, double dy, double dz)
{
    Position = VectorAdd(Position, {dx, dy, dz});
}

void TGLObject::RotateBy(double x, double y, double z)
{
    Orientation = QuaternionMultiply(QuaternionFromEuler(x, y, z), Orientation);
}

double TGLObject::ScaleFactor(const TGLObject& reference) const
{
    const Vector3D centre = VectorScale(VectorAdd(reference.GetExtentMin(), reference.GetExtentMax()), 0.5);
    const double z = MatrixTranslation(reference.ModelMatrix).z + centre.z;
    return 1000 / std::max(std::abs(z), 1.0);
}

void TGLObject::ResetPose()
{
    Orientation = IdentityQuaternion();
    Position = ResetPos;
    RotationCenter = {};
    Scale3D = {1, 1, 1};
    ApplyTransform(ParentMatrix);
}

void TGLObject::MouseDown(int32_t x, int32_t y)
{
    MousePos = {x, y};
    RotationStep = {};
}

void TGLObject::MouseMove(TShiftState shift, int32_t x, int32_t y, const TGLObject& reference)
{
    const double dx = double(x) - MousePos.X;
    const double dy = double(y) - MousePos.Y;
    const double s = ScaleFactor(reference);
    const bool bothOuter = (shift & ssLeft) && (shift & ssRight);
    if (bothOuter || shift == ssMiddle) {
        Position = VectorAdd(Position, ViewToParent({FlyThrough ? -2 * dx / s : 0.0, 0.0, -2 * dy / s}));
    } else if (shift == ssLeft) {
        RotateByStep({dy, dx, 0.0});
    } else if (shift == ssRight) {
        Position = VectorAdd(Position, ViewToParent({dx / s, -dy / s, 0.0}));
    } else {
        return;
    }
    MousePos = {x, y};
}

void TGLObject::AnimateStep()
{
    RotateByStep(RotationStep);
}

Vector3D TGLObject::ViewToParent(const Vector3D& d) const
{
    return TransformPoint(MatrixTranspose(MatrixWithoutScale(ParentMatrix)), d);
}

void TGLObject::RotateByStep(const Vector3D& step)
{
    const Vector3D turned{WithinOneTurn(step.x), WithinOneTurn(step.y), WithinOneTurn(step.z)};
    // The step is given in view axes; conjugating it by the parent's rotation expresses it in the
    // parent's axes, in which the orientation lives.
    const Quaternion parent = QuaternionFromMatrix(ParentMatrix); // may throw: nothing changed yet
    const Quaternion relative =
        QuaternionMultiply(QuaternionMultiply(QuaternionConjugate(parent), QuaternionFromEuler(turned)), parent);
    RotationStep = QuaternionToEuler(relative);
    RotateBy(RotationStep.x, RotationStep.y, RotationStep.z);
}

} // namespace kv
