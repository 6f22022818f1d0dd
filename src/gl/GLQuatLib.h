#pragma once
// Quaternions: the orientation of every scene object. Angles are degrees at every interface but
// two, which the names say: the axis-angle form's angle is in radians.
//
// Euler angles apply X first, then Z, then Y: from Euler (x, y, z) is qY(y) * qZ(z) * qX(x).

#include "gl/GLMatrix.h"
#include "gl/Vector.h"

#include <string>
#include <string_view>

namespace kv {

struct Quaternion {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double w = 1.0;
    bool operator==(const Quaternion&) const = default;
};

struct TAxisAngle {
    Vector3D Axis;
    double AngleRadians = 0.0;
};

inline Quaternion IdentityQuaternion()
{
    return {};
}

// (-x, -y, -z, w): the inverse of a unit quaternion.
inline Quaternion QuaternionConjugate(const Quaternion& q)
{
    return {-q.x, -q.y, -q.z, q.w};
}

// The Hamilton product p * q: rotating by it rotates by q first, then by p.
inline Quaternion QuaternionMultiply(const Quaternion& p, const Quaternion& q)
{
    return {p.w * q.x + p.x * q.w + p.y * q.z - p.z * q.y, p.w * q.y + p.y * q.w + p.z * q.x - p.x * q.z,
            p.w * q.z + p.z * q.w + p.x * q.y - p.y * q.x, p.w * q.w - p.x * q.x - p.y * q.y - p.z * q.z};
}

// q * v * q~ for a unit quaternion q, expanded.
Vector3D QuaternionRotateVector(const Quaternion& q, const Vector3D& v);

// The rotation about X by x degrees, then about Z by z, then about Y by y.
Quaternion QuaternionFromEuler(double x, double y, double z);
inline Quaternion QuaternionFromEuler(const Vector3D& degrees)
{
    return QuaternionFromEuler(degrees.x, degrees.y, degrees.z);
}

// Euler angles (x, y, z) in degrees of the rotation. Near the poles (Z at +-90 degrees) X is 0 and
// the whole turn goes into Y.
Vector3D QuaternionToEuler(const Quaternion& q);

// Axis and angle (radians); a quaternion without a vector part gives ((0, 0, 1), 0).
TAxisAngle QuaternionToAxisAngle(const Quaternion& q);

// The rotation of a matrix that may also scale: the matrix is inverted (so a singular one throws
// EKorvelaError "Invert Error: Singular Matrix"), its scale removed, and the quaternion read off
// the rotation. w is never negative.
Quaternion QuaternionFromMatrix(const Matrix4x4& a);

// x ", " y ", " z ", " w, each in the long general form.
std::string QuaternionToStr(const Quaternion& q);
// Reads four numbers separated by ","; blanks around them are ignored. Throws EKorvelaError
// otherwise.
Quaternion StrToQuaternion(std::string_view text);

} // namespace kv
