#include "gl/GLObject.h"

#include "GLTestHelpers.h"
#include "gl/GLObjectList.h"
#include "platform/KVError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

namespace kv {
namespace {

using test::Near;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

Matrix4x4 Translation(double x, double y, double z)
{
    Matrix4x4 a;
    a[12] = x;
    a[13] = y;
    a[14] = z;
    return a;
}

// The view's matrix of a parent turned by q, in row-vector layout.
Matrix4x4 Turned(const Quaternion& q)
{
    Matrix4x4 a;
    const Vector3D axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int row = 0; row < 3; ++row) {
        const Vector3D image = QuaternionRotateVector(q, axes[row]);
        a[4 * row] = image.x;
        a[4 * row + 1] = image.y;
        a[4 * row + 2] = image.z;
    }
    return a;
}

// A reference object whose extents' centre sits `depth` units in front of the eye.
void PlaceAtDepth(TGLObject& object, double depth)
{
    object.ExtentMin = {-1, -1, -1};
    object.ExtentMax = {1, 1, 1};
    object.ModelMatrix = Translation(0, 0, -depth);
}

TEST(GLObject, StartsNeutral)
{
    const TGLObject object;
    EXPECT_TRUE(object.Visible);
    EXPECT_TRUE(object.Selected());
    EXPECT_FALSE(object.FlyThrough);
    EXPECT_EQ(object.Name(), "");
    EXPECT_EQ(object.Scale3D, (Vector3D{1, 1, 1}));
    EXPECT_EQ(object.Orientation, IdentityQuaternion());
    EXPECT_EQ(object.ModelMatrix, IdentityMatrix());
    EXPECT_EQ(object.ParentMatrix, IdentityMatrix());
    EXPECT_EQ(object.Size(), (Vector3D{0, 0, 0}));
    EXPECT_EQ(object.Owner(), nullptr);
}

// Vertices are scaled, then turned about the rotation centre, then moved, then the parent's.
TEST(GLObject, TransformScalesTurnsAboutTheCentreThenMoves)
{
    TGLObject object;
    object.Scale3D = {2, 3, 4};
    object.Orientation = QuaternionFromEuler(30, -50, 70);
    object.RotationCenter = {1, -2, 0.5};
    object.Position = {10, 20, 30};
    const Matrix4x4 parent = MatrixMultiply(Turned(QuaternionFromEuler(0, 90, 0)), Translation(100, 0, 0));
    object.ApplyTransform(parent);
    EXPECT_EQ(object.ParentMatrix, parent);
    for (const Vector3D& p : {Vector3D{0, 0, 0}, Vector3D{1, 2, 3}, Vector3D{-4, 0.5, 7}}) {
        const Vector3D scaled = VectorMultiply(p, object.Scale3D);
        const Vector3D turned =
            VectorAdd(object.RotationCenter,
                      QuaternionRotateVector(object.Orientation, VectorSubtract(scaled, object.RotationCenter)));
        const Vector3D expected = TransformPoint(parent, VectorAdd(turned, object.Position));
        EXPECT_TRUE(Near(TransformPoint(object.ModelMatrix, p), expected, 1e-12));
    }
}

TEST(GLObject, SettersNotifyOnlyChanges)
{
    TGLObjectList list;
    int objectChanges = 0;
    int listChanges = 0;
    TGLObject* object = list.AddNew();
    object->OnChange = [&](TGLObject* sender) {
        EXPECT_EQ(sender, object);
        ++objectChanges;
    };
    list.OnChange = [&](TGLObjectList* sender) {
        EXPECT_EQ(sender, &list);
        ++listChanges;
    };
    object->SetName("Terrain Mesh");
    object->SetName("Terrain Mesh");
    object->SetSelected(true);
    object->SetSelected(false);
    EXPECT_EQ(objectChanges, 2);
    EXPECT_EQ(listChanges, 2);

    object->Scale3D = {1, 2, 3};
    object->SetScale(1);
    EXPECT_EQ(object->Scale3D, (Vector3D{1, 2, 3}));
    object->SetScale(2);
    EXPECT_EQ(object->Scale3D, (Vector3D{2, 2, 2}));
}

TEST(GLObject, AssignCopiesThePoseAndSelfAssignKeepsIt)
{
    TGLObject source;
    source.SetName("Frame-1");
    source.SetSelected(false);
    source.Visible = false;
    source.FlyThrough = true;
    source.Scale3D = {1, 2, 3};
    source.ExtentMin = {-1, -2, -3};
    source.ExtentMax = {4, 5, 6};
    source.Orientation = QuaternionFromEuler(10, 20, 30);
    source.Position = {7, 8, 9};
    source.ResetPos = {1, 1, 1};
    source.RotationCenter = {0, 0, 2};
    source.RotationStep = {3, 0, 0};
    source.ApplyTransform(Translation(0, 0, -5));

    TGLObject copy;
    copy.Assign(source);
    copy.Assign(copy);
    EXPECT_EQ(copy.Name(), "Frame-1");
    EXPECT_FALSE(copy.Selected());
    EXPECT_FALSE(copy.Visible);
    EXPECT_TRUE(copy.FlyThrough);
    EXPECT_EQ(copy.Scale3D, source.Scale3D);
    EXPECT_EQ(copy.ExtentMin, source.ExtentMin);
    EXPECT_EQ(copy.ExtentMax, source.ExtentMax);
    EXPECT_EQ(copy.Orientation, source.Orientation);
    EXPECT_EQ(copy.Position, source.Position);
    EXPECT_EQ(copy.ResetPos, source.ResetPos);
    EXPECT_EQ(copy.RotationCenter, source.RotationCenter);
    EXPECT_EQ(copy.RotationStep, source.RotationStep);
    EXPECT_EQ(copy.ModelMatrix, source.ModelMatrix);
    EXPECT_EQ(copy.ParentMatrix, source.ParentMatrix);
}

TEST(GLObject, MergeGrowsTheExtents)
{
    TGLObject a;
    TGLObject b;
    a.ExtentMin = {0, 0, 0};
    a.ExtentMax = {1, 1, 1};
    b.ExtentMin = {-1, 0.5, 0.5};
    b.ExtentMax = {0.5, 3, 0.5};
    a.Merge(b);
    EXPECT_EQ(a.ExtentMin, (Vector3D{-1, 0, 0}));
    EXPECT_EQ(a.ExtentMax, (Vector3D{1, 3, 1}));
    EXPECT_EQ(a.Size(), (Vector3D{2, 3, 1}));
}

TEST(GLObject, RotateByTurnsBeforeTheCurrentOrientation)
{
    TGLObject object;
    object.RotateBy(0, 0, 90);
    object.RotateBy(90, 0, 0);
    // X goes to Y by the first turn, then Y goes to Z by the second.
    EXPECT_TRUE(Near(QuaternionRotateVector(object.Orientation, {1, 0, 0}), {0, 0, 1}, 1e-15));
}

TEST(GLObject, ResetReturnsToTheOrigin)
{
    TGLObject object;
    object.ResetPos = {1, 2, 3};
    object.Position = {9, 9, 9};
    object.Scale3D = {2, 2, 2};
    object.RotateBy(10, 20, 30);
    object.ResetPose();
    EXPECT_EQ(object.Position, (Vector3D{1, 2, 3}));
    EXPECT_EQ(object.Orientation, IdentityQuaternion());
    EXPECT_EQ(object.ModelMatrix, Translation(1, 2, 3));
    object.Reset();
    EXPECT_EQ(object.Position, (Vector3D{0, 0, 0}));
    EXPECT_EQ(object.ResetPos, (Vector3D{0, 0, 0}));
    EXPECT_EQ(object.ModelMatrix, IdentityMatrix());
}

TEST(GLObject, ScaleFactorIsPixelsPerUnitAtTheReferenceDepth)
{
    struct TCase {
        double depth;
        double factor;
    };
    const TCase cases[] = {{10, 100}, {1, 1000}, {0.5, 1000}, {-4, 250}, {0, 1000}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.depth);
        TGLObject reference;
        PlaceAtDepth(reference, c.depth);
        EXPECT_EQ(TGLObject().ScaleFactor(reference), c.factor);
    }
}

TEST(GLObject, MouseMoveDependsOnTheWholeShiftState)
{
    struct TCase {
        const char* name;
        TShiftState shift;
        bool flyThrough;
        Vector3D position;
        bool moved;
    };
    // From (100, 100) to (150, 120) with the reference 10 units deep: 100 pixels per unit.
    const TCase cases[] = {
        {"right pans", ssRight, false, {0.5, -0.2, 0}, true},
        {"middle moves in depth", ssMiddle, false, {0, 0, -0.4}, true},
        {"middle flies through", ssMiddle, true, {-1, 0, -0.4}, true},
        {"both outer buttons move in depth", ssLeft | ssRight | ssShift, false, {0, 0, -0.4}, true},
        {"middle with a key does nothing", ssMiddle | ssShift, false, {0, 0, 0}, false},
        {"right with a key does nothing", ssRight | ssCtrl, false, {0, 0, 0}, false},
        {"left with a key does nothing", ssLeft | ssAlt, false, {0, 0, 0}, false},
        {"no button does nothing", 0, false, {0, 0, 0}, false},
    };
    TGLObject reference;
    PlaceAtDepth(reference, 10);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TGLObject object;
        object.FlyThrough = c.flyThrough;
        object.MouseDown(100, 100);
        object.MouseMove(c.shift, 150, 120, reference);
        EXPECT_TRUE(Near(object.Position, c.position, 1e-15));
        EXPECT_EQ(object.Orientation, IdentityQuaternion());
        EXPECT_EQ(object.MousePos, (c.moved ? TPoint{150, 120} : TPoint{100, 100}));
    }
}

// A pan under a turned parent moves along the view's axes, expressed in the parent's.
TEST(GLObject, PanFollowsTheViewAxes)
{
    TGLObject reference;
    PlaceAtDepth(reference, 10);
    TGLObject object;
    object.ParentMatrix = MatrixMultiply(Turned(QuaternionFromEuler(0, 90, 0)), Translation(0, 0, -10));
    object.MouseDown(0, 0);
    object.MouseMove(ssRight, 100, 0, reference);
    // One unit to the right in the view.
    const Vector3D inView = TransformPoint(MatrixWithoutTranslation(object.ParentMatrix), object.Position);
    EXPECT_TRUE(Near(inView, {1, 0, 0}, 1e-15));
}

TEST(GLObject, LeftDragTurnsAboutTheViewAxes)
{
    TGLObject reference;
    PlaceAtDepth(reference, 10);
    const Quaternion parent = QuaternionFromEuler(20, 60, -10);
    TGLObject object;
    object.ParentMatrix = Turned(parent);
    object.MouseDown(100, 100);
    object.MouseMove(ssLeft, 100, 130, reference); // 30 pixels down: 30 degrees about the view's X
    EXPECT_EQ(object.MousePos, (TPoint{100, 130}));
    const Quaternion viewStep = QuaternionFromEuler(30, 0, 0);
    for (const Vector3D& v : {Vector3D{1, 0, 0}, Vector3D{0, 1, 0}, Vector3D{0.3, -0.4, 2}}) {
        const Vector3D turnedThenSeen =
            TransformPoint(object.ParentMatrix, QuaternionRotateVector(object.Orientation, v));
        const Vector3D seenThenTurned = QuaternionRotateVector(viewStep, TransformPoint(object.ParentMatrix, v));
        EXPECT_TRUE(Near(turnedThenSeen, seenThenTurned, 1e-12));
    }
}

TEST(GLObject, AnimateStepRepeatsTheLastStep)
{
    TGLObject reference;
    PlaceAtDepth(reference, 10);
    TGLObject object;
    object.MouseDown(0, 0);
    object.MouseMove(ssLeft, -10, 0, reference);
    EXPECT_TRUE(Near(object.RotationStep, {0, -10, 0}, 1e-12));
    object.AnimateStep();
    EXPECT_TRUE(Near(object.Orientation, QuaternionFromEuler(0, -20, 0), 1e-12));

    object.MouseDown(5, 5); // a click without a drag stops the spin
    const Quaternion before = object.Orientation;
    object.AnimateStep();
    EXPECT_TRUE(Near(object.Orientation, before, 1e-15));

    object.RotationStep = {1e300, -1e300, 0}; // must end, not loop forever
    object.AnimateStep();
}

TEST(GLObject, SingularParentLeavesEverythingAsItWas)
{
    TGLObject reference;
    PlaceAtDepth(reference, 10);
    TGLObject object;
    object.ParentMatrix = Matrix4x4{{}};
    object.MouseDown(0, 0);
    object.RotationStep = {1, 2, 3};
    EXPECT_THAT([&] { object.MouseMove(ssLeft, 10, 10, reference); },
                ThrowsMessage<EKorvelaError>(StrEq("Invert Error: Singular Matrix")));
    EXPECT_THAT([&] { object.AnimateStep(); }, ThrowsMessage<EKorvelaError>(StrEq("Invert Error: Singular Matrix")));
    EXPECT_EQ(object.MousePos, (TPoint{0, 0}));
    EXPECT_EQ(object.Orientation, IdentityQuaternion());
    EXPECT_EQ(object.RotationStep, (Vector3D{1, 2, 3}));
}

} // namespace
} // namespace kv

namespace kv {
namespace {

TEST(TGLAnimatorTest, KeysTravelWithAssign)
{
    TGLObject source;
    source.Animator.Keys.Add(TAnimationKey{{0, 90, 0}, {1, 2, 3}});
    source.Animator.Keys.Add(TAnimationKey{{45, 0, 0}, {4, 5, 6}});
    TGLObject copy;
    copy.Animator.Keys.Add(TAnimationKey{});
    copy.Assign(source);
    ASSERT_EQ(copy.Animator.Keys.Count(), 2);
    EXPECT_EQ(copy.Animator.Keys.Get(1), (TAnimationKey{{45, 0, 0}, {4, 5, 6}}));
    // A copy, not a share.
    source.Animator.Keys.Put(1, TAnimationKey{});
    EXPECT_EQ(copy.Animator.Keys.Get(1).Position, (Vector3D{4, 5, 6}));
}

} // namespace
} // namespace kv
