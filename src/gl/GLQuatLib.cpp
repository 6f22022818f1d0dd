#include "gl/GLQuatLib.h"

#include "gl/FloatText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace kv {
namespace {

// atan2 that answers +90 degrees for (0, 0) and +-90 degrees (by the numerator's sign, 0 counting
// as positive) for any zero denominator, so a pole gives a right angle rather than 0 or 180.
double ArcTan2(double numerator, double denominator)
{
    if (denominator == 0.0)
        return numerator >= 0.0 ? std::numbers::pi / 2 : -std::numbers::pi / 2;
    return std::atan2(numerator, denominator);
}

// `magnitude` with the sign of `difference`; a difference of 0 counts as positive.
double WithSignOf(double magnitude, double difference)
{
    return difference < 0.0 ? -magnitude : magnitude;
}

} // namespace

Vector3D QuaternionRotateVector(const Quaternion& q, const Vector3D& v)
{
    const double ww = q.w * q.w;
    const double xx = q.x * q.x;
    const double yy = q.y * q.y;
    const double zz = q.z * q.z;
    return {(ww + xx - yy - zz) * v.x + 2 * (q.x * q.y - q.w * q.z) * v.y + 2 * (q.x * q.z + q.w * q.y) * v.z,
            2 * (q.x * q.y + q.w * q.z) * v.x + (ww - xx + yy - zz) * v.y + 2 * (q.y * q.z - q.w * q.x) * v.z,
            2 * (q.x * q.z - q.w * q.y) * v.x + 2 * (q.y * q.z + q.w * q.x) * v.y + (ww - xx - yy + zz) * v.z};
}

Quaternion QuaternionFromEuler(double x, double y, double z)
{
    // Half angles in radians: degrees * pi / 360.
    const double hx = x * DegToRad / 2;
    const double hy = y * DegToRad / 2;
    const double hz = z * DegToRad / 2;
    const double chx = std::cos(hx), shx = std::sin(hx);
    const double chy = std::cos(hy), shy = std::sin(hy);
    const double chz = std::cos(hz), shz = std::sin(hz);
    return {chy * chz * shx + shy * shz * chx, shy * chz * chx + chy * shz * shx, chy * shz * chx - shy * chz * shx,
            chy * chz * chx - shy * shz * shx};
}

Vector3D QuaternionToEuler(const Quaternion& q)
{
    const double sx = q.x * q.x;
    const double sy = q.y * q.y;
    const double sz = q.z * q.z;
    const double sw = q.w * q.w;
    const double unit = sx + sy + sz + sw; // 1 for a unit quaternion; dividing by it allows others
    const double test = q.x * q.y + q.z * q.w;
    Vector3D radians;
    if (test > 0.499 * unit) { // the north pole: Z at +90 degrees
        radians = {0.0, 2 * ArcTan2(q.x, q.w), std::numbers::pi / 2};
    } else if (test < -0.499 * unit) { // the south pole
        radians = {0.0, -2 * ArcTan2(q.x, q.w), -std::numbers::pi / 2};
    } else {
        radians.y = ArcTan2(2 * q.y * q.w - 2 * q.z * q.x, sw + sx - sy - sz);
        radians.z = std::asin(2 * test / unit);
        radians.x = ArcTan2(2 * q.x * q.w - 2 * q.z * q.y, sw - sx + sy - sz);
    }
    return VectorScale(radians, RadToDeg);
}

TAxisAngle QuaternionToAxisAngle(const Quaternion& q)
{
    const double w = std::clamp(q.w, -1.0, 1.0);
    const double s = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    if (s == 0.0)
        return {{0.0, 0.0, 1.0}, 0.0};
    return {VectorNormalize({q.x / s, q.y / s, q.z / s}), 2 * std::acos(w)};
}

Quaternion QuaternionFromMatrix(const Matrix4x4& a)
{
    // The inverse of a rotation in row-vector layout is the rotation in the column-vector layout
    // the formulas below read.
    const Matrix4x4 m = MatrixWithoutScale(MatrixInvert(a));
    const double w = std::sqrt(std::max(0.0, 1 + m[0] + m[5] + m[10])) / 2;
    const double x = std::sqrt(std::max(0.0, 1 + m[0] - m[5] - m[10])) / 2;
    const double y = std::sqrt(std::max(0.0, 1 - m[0] + m[5] - m[10])) / 2;
    const double z = std::sqrt(std::max(0.0, 1 - m[0] - m[5] + m[10])) / 2;
    return {WithSignOf(x, m[9] - m[6]), WithSignOf(y, m[2] - m[8]), WithSignOf(z, m[4] - m[1]), w};
}

std::string QuaternionToStr(const Quaternion& q)
{
    return FormatGeneral(q.x) + ", " + FormatGeneral(q.y) + ", " + FormatGeneral(q.z) + ", " + FormatGeneral(q.w);
}

Quaternion StrToQuaternion(std::string_view text)
{
    std::array<double, 4> n{};
    ParseFloatList(text, "Quaternion", n);
    return {n[0], n[1], n[2], n[3]};
}

} // namespace kv
