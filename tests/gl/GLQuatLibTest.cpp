#include "gl/GLQuatLib.h"

#include "GLTestHelpers.h"
#include "platform/KVError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace kv {
namespace {

using test::Near;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

const double Sin45 = std::sin(std::numbers::pi / 4);
const double Cos45 = std::cos(std::numbers::pi / 4);

// Unit quaternions spread over all orientations, from a fixed seed.
std::vector<Quaternion> SomeRotations()
{
    std::mt19937_64 random(11);
    std::normal_distribution<double> normal;
    std::vector<Quaternion> rotations;
    for (int i = 0; i < 200; ++i) {
        Quaternion q{normal(random), normal(random), normal(random), normal(random)};
        const double length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
        rotations.push_back({q.x / length, q.y / length, q.z / length, q.w / length});
    }
    return rotations;
}

// The matrix in row-vector layout that turns points as q does: row i is the image of axis i,
// here also scaled and followed by a translation.
Matrix4x4 MatrixOf(const Quaternion& q, double scale)
{
    Matrix4x4 a;
    const Vector3D axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int row = 0; row < 3; ++row) {
        const Vector3D image = VectorScale(QuaternionRotateVector(q, axes[row]), scale);
        a[4 * row] = image.x;
        a[4 * row + 1] = image.y;
        a[4 * row + 2] = image.z;
    }
    a[12] = 3;
    a[13] = -4;
    a[14] = 5;
    return a;
}

TEST(GLQuatLib, HamiltonProduct)
{
    const Quaternion i{1, 0, 0, 0};
    const Quaternion j{0, 1, 0, 0};
    EXPECT_EQ(QuaternionMultiply(i, j), (Quaternion{0, 0, 1, 0}));
    EXPECT_EQ(QuaternionMultiply(j, i), (Quaternion{0, 0, -1, 0}));
    EXPECT_EQ(QuaternionMultiply(i, i), (Quaternion{0, 0, 0, -1}));
    EXPECT_EQ(QuaternionMultiply(Quaternion{1, 2, 3, 4}, Quaternion{5, 6, 7, 8}), (Quaternion{24, 48, 48, -6}));
    EXPECT_EQ(QuaternionConjugate({1, -2, 3, 4}), (Quaternion{-1, 2, -3, 4}));
    for (const Quaternion& q : SomeRotations())
        EXPECT_TRUE(Near(QuaternionMultiply(q, QuaternionConjugate(q)), IdentityQuaternion(), 1e-15));
}

TEST(GLQuatLib, RotateVectorIsTheSandwichProduct)
{
    const Vector3D v{0.3, -1.2, 2.5};
    for (const Quaternion& q : SomeRotations()) {
        const Quaternion image =
            QuaternionMultiply(QuaternionMultiply(q, Quaternion{v.x, v.y, v.z, 0}), QuaternionConjugate(q));
        EXPECT_TRUE(Near(QuaternionRotateVector(q, v), {image.x, image.y, image.z}, 1e-14));
    }
    // A quarter turn about X takes Y to Z (right-handed).
    EXPECT_TRUE(Near(QuaternionRotateVector({Sin45, 0, 0, Cos45}, {0, 1, 0}), {0, 0, 1}, 1e-15));
}

TEST(GLQuatLib, EulerAnglesTurnAboutXThenZThenY)
{
    EXPECT_TRUE(Near(QuaternionFromEuler(90, 0, 0), {Sin45, 0, 0, Cos45}, 1e-16));
    EXPECT_TRUE(Near(QuaternionFromEuler(0, 90, 0), {0, Sin45, 0, Cos45}, 1e-16));
    EXPECT_TRUE(Near(QuaternionFromEuler(0, 0, 90), {0, 0, Sin45, Cos45}, 1e-16));
    // Y goes to Z by the X turn, then Z goes to X by the Y turn. Any other order gives another axis.
    EXPECT_TRUE(Near(QuaternionRotateVector(QuaternionFromEuler(90, 90, 0), {0, 1, 0}), {1, 0, 0}, 1e-15));
    // X goes to Y by the Z turn, then Y stays under the Y turn.
    EXPECT_TRUE(Near(QuaternionRotateVector(QuaternionFromEuler(0, 90, 90), {1, 0, 0}), {0, 1, 0}, 1e-15));
    const double x = 20, y = -35, z = 50;
    const Quaternion composed = QuaternionMultiply(
        QuaternionMultiply(QuaternionFromEuler(0, y, 0), QuaternionFromEuler(0, 0, z)), QuaternionFromEuler(x, 0, 0));
    EXPECT_TRUE(Near(QuaternionFromEuler(x, y, z), composed, 1e-15));
    EXPECT_EQ(QuaternionFromEuler(Vector3D{x, y, z}), QuaternionFromEuler(x, y, z));
}

TEST(GLQuatLib, EulerAnglesComeBack)
{
    EXPECT_EQ(QuaternionToEuler(IdentityQuaternion()), (Vector3D{0, 0, 0}));
    EXPECT_TRUE(Near(QuaternionToEuler(QuaternionFromEuler(90, 0, 0)), {90, 0, 0}, 1e-12));
    struct TCase {
        double x, y, z;
    };
    const TCase cases[] = {{10, 20, 30}, {-170, 100, -80}, {45, -179, 0}, {0, 0, 85}, {120, -60, -45}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << ", " << c.z);
        EXPECT_TRUE(Near(QuaternionToEuler(QuaternionFromEuler(c.x, c.y, c.z)), {c.x, c.y, c.z}, 1e-11));
    }
    // Away from the poles the angles describe the same rotation, whichever angles they are.
    const Vector3D v{0.3, -1.2, 2.5};
    for (const Quaternion& q : SomeRotations()) {
        if (std::abs(q.x * q.y + q.z * q.w) > 0.499)
            continue;
        const Quaternion back = QuaternionFromEuler(QuaternionToEuler(q));
        EXPECT_TRUE(Near(QuaternionRotateVector(back, v), QuaternionRotateVector(q, v), 1e-9));
    }
    // At the poles X and Z are fixed and the whole turn goes into Y.
    for (const Vector3D& pole : {Vector3D{30, 40, 90}, Vector3D{-20, 10, -90}}) {
        const Quaternion q = QuaternionFromEuler(pole);
        const Vector3D euler = QuaternionToEuler(q);
        EXPECT_EQ(euler.x, 0);
        EXPECT_EQ(std::abs(euler.z), 90);
        EXPECT_TRUE(Near(QuaternionRotateVector(QuaternionFromEuler(euler), v), QuaternionRotateVector(q, v), 1e-9));
    }
}

// At exactly test = 0.499 * unit the regular formulas apply; one step above, the pole's.
TEST(GLQuatLib, PoleThresholdIsExclusive)
{
    const Quaternion atThreshold{0.25, 0.25, 0.25, 0.2728896823361751};
    const double test = atThreshold.x * atThreshold.y + atThreshold.z * atThreshold.w;
    const double unit = atThreshold.x * atThreshold.x + atThreshold.y * atThreshold.y + atThreshold.z * atThreshold.z +
                        atThreshold.w * atThreshold.w;
    ASSERT_EQ(test, 0.499 * unit);
    const Vector3D regular = QuaternionToEuler(atThreshold);
    EXPECT_NEAR(regular.z, std::asin(0.998) * RadToDeg, 1e-9);
    EXPECT_NE(regular.x, 0);

    Quaternion above = atThreshold;
    above.w = std::nextafter(above.w, 1.0);
    const Vector3D pole = QuaternionToEuler(above);
    EXPECT_EQ(pole.z, 90);
    EXPECT_EQ(pole.x, 0);
    EXPECT_EQ(pole.y, 2 * std::atan2(above.x, above.w) * RadToDeg);
}

TEST(GLQuatLib, AxisAngle)
{
    struct TCase {
        const char* name;
        Quaternion q;
        Vector3D axis;
        double angle;
    };
    const TCase cases[] = {
        {"identity", {0, 0, 0, 1}, {0, 0, 1}, 0},
        {"no vector part", {0, 0, 0, -1}, {0, 0, 1}, 0},
        {"quarter turn about Z", {0, 0, Sin45, Cos45}, {0, 0, 1}, std::numbers::pi / 2},
        {"axis is normalised", {0, 2, 0, 0}, {0, 1, 0}, std::numbers::pi},
        {"w above 1 is clamped", {1e-9, 0, 0, 1.0000000001}, {1, 0, 0}, 0},
        {"negative axis", {-Sin45, 0, 0, Cos45}, {-1, 0, 0}, std::numbers::pi / 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TAxisAngle result = QuaternionToAxisAngle(c.q);
        EXPECT_TRUE(Near(result.Axis, c.axis, 1e-15));
        EXPECT_NEAR(result.AngleRadians, c.angle, 1e-15);
    }
}

TEST(GLQuatLib, FromMatrixIgnoresScaleAndTranslation)
{
    for (const Quaternion& q : SomeRotations()) {
        const Quaternion expected = q.w < 0 ? Quaternion{-q.x, -q.y, -q.z, -q.w} : q;
        EXPECT_TRUE(Near(QuaternionFromMatrix(MatrixOf(q, 1)), expected, 1e-7));
        EXPECT_TRUE(Near(QuaternionFromMatrix(MatrixOf(q, 2)), QuaternionFromMatrix(MatrixOf(q, 1)), 1e-15));
    }
    const Quaternion quarterX = QuaternionFromEuler(90, 0, 0);
    EXPECT_TRUE(Near(QuaternionFromMatrix(MatrixOf(quarterX, 2)), quarterX, 1e-15));
    EXPECT_EQ(QuaternionFromMatrix(IdentityMatrix()), IdentityQuaternion());
    EXPECT_THAT([] { QuaternionFromMatrix(Matrix4x4{{}}); },
                ThrowsMessage<EKorvelaError>(StrEq("Invert Error: Singular Matrix")));
}

TEST(GLQuatLib, TextForm)
{
    EXPECT_EQ(QuaternionToStr(IdentityQuaternion()), "0, 0, 0, 1");
    EXPECT_EQ(QuaternionToStr({0.5, -0.25, 1e-7, 2}), "0.5, -0.25, 9.99999999999999955E-0008, 2");
    EXPECT_EQ(StrToQuaternion(" 0 , 0,0, 1 "), IdentityQuaternion());
    for (const Quaternion& q : SomeRotations())
        EXPECT_EQ(StrToQuaternion(QuaternionToStr(q)), q);
    EXPECT_THROW(StrToQuaternion("0, 0, 1"), EKorvelaError);
}

} // namespace
} // namespace kv
