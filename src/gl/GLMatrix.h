#pragma once
// 4x4 matrices of doubles in the layout OpenGL reads and writes (glGetDoublev, glLoadMatrixd), so
// they move between the engine and OpenGL without transposition.
//
// Element k holds row k / 4, column k % 4 of a matrix that multiplies row vectors from the right:
//   p'.x = p.x*m0 + p.y*m4 + p.z*m8 + m12, and likewise for y (m1, m5, m9, m13) and z (m2, m6,
//   m10, m14);
// the translation sits in elements 12, 13 and 14. "Row i" below means elements 4i to 4i+3.

#include "gl/Vector.h"

#include <array>
#include <string>

namespace kv {

struct Matrix4x4 {
    std::array<double, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    double& operator[](int k) { return m[static_cast<size_t>(k)]; }
    double operator[](int k) const { return m[static_cast<size_t>(k)]; }
    // For glGetDoublev and glLoadMatrixd.
    double* Data() { return m.data(); }
    const double* Data() const { return m.data(); }
    bool operator==(const Matrix4x4&) const = default;
};

inline Matrix4x4 IdentityMatrix()
{
    return {};
}

// C[i][j] = sum over k of A[i][k] * B[k][j]: transforming by C is transforming by A, then by B.
Matrix4x4 MatrixMultiply(const Matrix4x4& a, const Matrix4x4& b);
// Element 4i+j takes element 4j+i.
Matrix4x4 MatrixTranspose(const Matrix4x4& a);
// The full cofactor expansion of the 4x4 determinant.
double MatrixDeterminant(const Matrix4x4& a);
// The adjugate divided by the determinant. Throws EKorvelaError "Invert Error: Singular Matrix"
// when the determinant is exactly 0.
Matrix4x4 MatrixInvert(const Matrix4x4& a);

// The point transformed by the matrix, translation included.
inline Vector3D TransformPoint(const Matrix4x4& a, const Vector3D& p)
{
    return {p.x * a[0] + p.y * a[4] + p.z * a[8] + a[12], p.x * a[1] + p.y * a[5] + p.z * a[9] + a[13],
            p.x * a[2] + p.y * a[6] + p.z * a[10] + a[14]};
}

// The lengths of the first three elements of rows 0, 1 and 2.
Vector3D MatrixScale(const Matrix4x4& a);
// Elements 0-2 divided by the scale's x, 4-6 by its y, 8-10 by its z; the rest unchanged.
Matrix4x4 MatrixWithoutScale(const Matrix4x4& a);
// (m12, m13, m14).
inline Vector3D MatrixTranslation(const Matrix4x4& a)
{
    return {a[12], a[13], a[14]};
}
// A copy with m12, m13 and m14 set to 0.
Matrix4x4 MatrixWithoutTranslation(const Matrix4x4& a);
// The identity with rows 0, 1 and 2 replaced by the normalised axes a, b and c.
Matrix4x4 MatrixFromAxes(const Vector3D& a, const Vector3D& b, const Vector3D& c);

// Four lines, each ended by CR LF; line i holds elements i, 4+i, 8+i and 12+i in fixed notation
// with `decimals` decimals, joined by ", " (so each line is one row of the column-vector form).
std::string MatrixToStr(const Matrix4x4& a, int decimals);

} // namespace kv
