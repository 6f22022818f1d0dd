#include "gl/GLMatrix.h"

#include "GLTestHelpers.h"
#include "platform/KVError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

namespace kv {
namespace {

using test::Near;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

Matrix4x4 Elements(std::initializer_list<double> values)
{
    Matrix4x4 a;
    int k = 0;
    for (double v : values)
        a[k++] = v;
    return a;
}

Matrix4x4 Counting()
{
    Matrix4x4 a;
    for (int k = 0; k < 16; ++k)
        a[k] = k;
    return a;
}

// A rotation about Z by 30 degrees, a scale of (2, 3, 4) and a translation, in row-vector layout.
Matrix4x4 RotatedScaledMoved()
{
    const double c = std::cos(30 * DegToRad);
    const double s = std::sin(30 * DegToRad);
    return Elements({2 * c, 2 * s, 0, 0, -3 * s, 3 * c, 0, 0, 0, 0, 4, 0, 5, -6, 7, 1});
}

bool NearMatrix(const Matrix4x4& a, const Matrix4x4& b, double tolerance)
{
    for (int k = 0; k < 16; ++k)
        if (std::abs(a[k] - b[k]) > tolerance)
            return false;
    return true;
}

TEST(GLMatrix, IdentityIsItsOwnInverse)
{
    EXPECT_EQ(IdentityMatrix(), Elements({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(MatrixInvert(IdentityMatrix()), IdentityMatrix());
    EXPECT_EQ(MatrixDeterminant(IdentityMatrix()), 1.0);
}

TEST(GLMatrix, SingularMatricesCannotBeInverted)
{
    Matrix4x4 zeroRow = Counting();
    zeroRow[8] = zeroRow[9] = zeroRow[10] = zeroRow[11] = 0;
    Matrix4x4 flat = IdentityMatrix();
    flat[10] = 0; // projects onto the XY plane
    for (const Matrix4x4& a : {Counting(), zeroRow, flat, Matrix4x4{{}}}) {
        EXPECT_EQ(MatrixDeterminant(a), 0.0);
        EXPECT_THAT([&] { MatrixInvert(a); }, ThrowsMessage<EKorvelaError>(StrEq("Invert Error: Singular Matrix")));
    }
}

TEST(GLMatrix, DeterminantOfKnownMatrices)
{
    EXPECT_EQ(MatrixDeterminant(Elements({2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 9, 9, 9, 5})), 120.0);
    // Swapping two rows of the identity flips the sign.
    EXPECT_EQ(MatrixDeterminant(Elements({0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1})), -1.0);
    EXPECT_EQ(MatrixDeterminant(Elements({3, 2, 0, 1, 4, 0, 1, 2, 3, 0, 2, 1, 9, 2, 3, 1})), 24.0);
    EXPECT_NEAR(MatrixDeterminant(RotatedScaledMoved()), 24.0, 1e-13);
}

TEST(GLMatrix, InverseUndoesTheMatrix)
{
    for (const Matrix4x4& a : {RotatedScaledMoved(), Elements({3, 2, 0, 1, 4, 0, 1, 2, 3, 0, 2, 1, 9, 2, 3, 1})}) {
        EXPECT_TRUE(NearMatrix(MatrixMultiply(a, MatrixInvert(a)), IdentityMatrix(), 1e-14));
        EXPECT_TRUE(NearMatrix(MatrixMultiply(MatrixInvert(a), a), IdentityMatrix(), 1e-14));
    }
    const Vector3D p{1.5, -2, 8};
    const Matrix4x4 affine = RotatedScaledMoved();
    EXPECT_TRUE(Near(TransformPoint(MatrixInvert(affine), TransformPoint(affine, p)), p, 1e-13));
}

// The product transforms by the left matrix first, then by the right one.
TEST(GLMatrix, MultiplyAppliesLeftThenRight)
{
    const Matrix4x4 a = RotatedScaledMoved();
    const Matrix4x4 b = Elements({0, 0, 1, 0, 1, 0, 0, 0, 0, 2, 0, 0, -1, 1, 3, 1});
    const Vector3D p{1, 2, 3};
    EXPECT_TRUE(Near(TransformPoint(MatrixMultiply(a, b), p), TransformPoint(b, TransformPoint(a, p)), 1e-13));
    EXPECT_FALSE(Near(TransformPoint(MatrixMultiply(b, a), p), TransformPoint(b, TransformPoint(a, p)), 1e-3));
    EXPECT_EQ(MatrixMultiply(Counting(), IdentityMatrix()), Counting());
    EXPECT_EQ(MatrixMultiply(Counting(), Counting())[1], 0 * 1 + 1 * 5 + 2 * 9 + 3 * 13);
}

TEST(GLMatrix, TransformPointAddsTheTranslation)
{
    Matrix4x4 moved;
    moved[12] = 10;
    moved[13] = 20;
    moved[14] = 30;
    EXPECT_EQ(TransformPoint(moved, {1, 2, 3}), (Vector3D{11, 22, 33}));
    // Row 0 is the image of the X axis.
    EXPECT_EQ(TransformPoint(Counting(), {1, 0, 0}), (Vector3D{0 + 12, 1 + 13, 2 + 14}));
    EXPECT_EQ(TransformPoint(Counting(), {0, 0, 1}), (Vector3D{8 + 12, 9 + 13, 10 + 14}));
}

TEST(GLMatrix, TransposeScaleAndTranslationParts)
{
    const Matrix4x4 t = MatrixTranspose(Counting());
    EXPECT_EQ(t[1], 4);
    EXPECT_EQ(t[4], 1);
    EXPECT_EQ(t[14], 11);
    EXPECT_EQ(MatrixTranspose(t), Counting());

    const Matrix4x4 a = RotatedScaledMoved();
    EXPECT_TRUE(Near(MatrixScale(a), {2, 3, 4}, 1e-15));
    EXPECT_EQ(MatrixTranslation(a), (Vector3D{5, -6, 7}));
    const Matrix4x4 unscaled = MatrixWithoutScale(a);
    EXPECT_TRUE(Near(MatrixScale(unscaled), {1, 1, 1}, 1e-15));
    EXPECT_NEAR(unscaled[1], 0.5, 1e-15);
    EXPECT_EQ(MatrixTranslation(unscaled), (Vector3D{5, -6, 7}));
    EXPECT_EQ(unscaled[15], 1);

    const Matrix4x4 still = MatrixWithoutTranslation(a);
    EXPECT_EQ(MatrixTranslation(still), (Vector3D{0, 0, 0}));
    EXPECT_EQ(still[0], a[0]);
    EXPECT_EQ(still[15], 1);
}

TEST(GLMatrix, FromAxesNormalisesTheRows)
{
    EXPECT_EQ(MatrixFromAxes({2, 0, 0}, {0, 3, 0}, {0, 0, 0.5}), IdentityMatrix());
    const Matrix4x4 a = MatrixFromAxes({0, 3, 4}, {1, 0, 0}, {0, 4, -3});
    EXPECT_EQ(a, Elements({0, 0.6, 0.8, 0, 1, 0, 0, 0, 0, 0.8, -0.6, 0, 0, 0, 0, 1}));
}

TEST(GLMatrix, TextShowsOneColumnALine)
{
    EXPECT_EQ(MatrixToStr(Counting(), 1), "0.0, 4.0, 8.0, 12.0\r\n"
                                          "1.0, 5.0, 9.0, 13.0\r\n"
                                          "2.0, 6.0, 10.0, 14.0\r\n"
                                          "3.0, 7.0, 11.0, 15.0\r\n");
    EXPECT_EQ(MatrixToStr(IdentityMatrix(), 0), "1, 0, 0, 0\r\n0, 1, 0, 0\r\n0, 0, 1, 0\r\n0, 0, 0, 1\r\n");
}

} // namespace
} // namespace kv
