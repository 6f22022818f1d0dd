#include "gl/GLMatrix.h"

#include "gl/FloatText.h"
#include "platform/KVError.h"

namespace kv {
namespace {

double At(const Matrix4x4& a, int row, int column)
{
    return a[4 * row + column];
}

// Determinant of the 3x3 minor that leaves out `row` and `column`.
double Minor(const Matrix4x4& a, int row, int column)
{
    int rows[3];
    int columns[3];
    for (int i = 0, r = 0, c = 0; i < 4; ++i) {
        if (i != row)
            rows[r++] = i;
        if (i != column)
            columns[c++] = i;
    }
    auto e = [&](int i, int j) { return At(a, rows[i], columns[j]); };
    return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) - e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
           e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

double Cofactor(const Matrix4x4& a, int row, int column)
{
    const double minor = Minor(a, row, column);
    return (row + column) % 2 == 0 ? minor : -minor;
}

} // namespace

Matrix4x4 MatrixMultiply(const Matrix4x4& a, const Matrix4x4& b)
{
    Matrix4x4 c;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            c[4 * i + j] = At(a, i, 0) * At(b, 0, j) + At(a, i, 1) * At(b, 1, j) + At(a, i, 2) * At(b, 2, j) +
                           At(a, i, 3) * At(b, 3, j);
    return c;
}

Matrix4x4 MatrixTranspose(const Matrix4x4& a)
{
    Matrix4x4 t;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            t[4 * i + j] = At(a, j, i);
    return t;
}

double MatrixDeterminant(const Matrix4x4& a)
{
    double determinant = 0.0;
    for (int column = 0; column < 4; ++column)
        determinant += At(a, 0, column) * Cofactor(a, 0, column);
    return determinant;
}

Matrix4x4 MatrixInvert(const Matrix4x4& a)
{
    const double determinant = MatrixDeterminant(a);
    if (determinant == 0.0)
        throw EKorvelaError("Invert Error: Singular Matrix");
    // The inverse is the transposed matrix of cofactors over the determinant.
    Matrix4x4 inverse;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            inverse[4 * j + i] = Cofactor(a, i, j) / determinant;
    return inverse;
}

Vector3D MatrixScale(const Matrix4x4& a)
{
    return {VectorLength({a[0], a[1], a[2]}), VectorLength({a[4], a[5], a[6]}), VectorLength({a[8], a[9], a[10]})};
}

Matrix4x4 MatrixWithoutScale(const Matrix4x4& a)
{
    const Vector3D scale = MatrixScale(a);
    const double rowScale[3] = {scale.x, scale.y, scale.z};
    Matrix4x4 result = a;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            result[4 * row + column] /= rowScale[row];
    return result;
}

Matrix4x4 MatrixWithoutTranslation(const Matrix4x4& a)
{
    Matrix4x4 result = a;
    result[12] = result[13] = result[14] = 0.0;
    return result;
}

Matrix4x4 MatrixFromAxes(const Vector3D& a, const Vector3D& b, const Vector3D& c)
{
    Matrix4x4 result;
    const Vector3D axes[3] = {VectorNormalize(a), VectorNormalize(b), VectorNormalize(c)};
    for (int row = 0; row < 3; ++row) {
        result[4 * row] = axes[row].x;
        result[4 * row + 1] = axes[row].y;
        result[4 * row + 2] = axes[row].z;
    }
    return result;
}

std::string MatrixToStr(const Matrix4x4& a, int decimals)
{
    std::string text;
    for (int i = 0; i < 4; ++i)
        text += FormatFixed(a[i], decimals) + ", " + FormatFixed(a[4 + i], decimals) + ", " +
                FormatFixed(a[8 + i], decimals) + ", " + FormatFixed(a[12 + i], decimals) + "\r\n";
    return text;
}

} // namespace kv
