#pragma once
// 2D and 3D vectors of doubles, segments and triangles: the values the scene engine computes with.
// Every operation builds a new value; the small ones are inline because the mesh code calls them
// per vertex and per face.

#include "gl/IntVector.h"

#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace kv {

// Map and texture coordinates.
struct Vector2D {
    double x = 0.0;
    double y = 0.0;
    // Exact comparison of both components.
    bool operator==(const Vector2D&) const = default;
};

// Positions, directions, extents, scale factors and Euler angle triples (degrees).
struct Vector3D {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    // Exact comparison of all three components.
    bool operator==(const Vector3D&) const = default;
};

struct Segment3D {
    Vector3D Start;
    Vector3D End;
    bool operator==(const Segment3D&) const = default;
};

// Corners in winding order: counter-clockwise corners face the viewer.
struct Triangle3D {
    Vector3D p0;
    Vector3D p1;
    Vector3D p2;
    bool operator==(const Triangle3D&) const = default;
};

// Degrees to radians and back.
constexpr double DegToRad = 0.017453292519943295769;
constexpr double RadToDeg = 57.295779513082320877;

// The smaller (larger) of two numbers; a NaN loses to a number.
inline double MinOf(double a, double b)
{
    return (b < a || a != a) ? b : a;
}
inline double MaxOf(double a, double b)
{
    return (b > a || a != a) ? b : a;
}

inline Vector2D MakeVector2D(double x, double y)
{
    return {x, y};
}
inline Vector3D MakeVector3D(double x, double y, double z)
{
    return {x, y, z};
}
inline Vector2D Vector2DFromPoint(TPoint p)
{
    return {double(p.X), double(p.Y)};
}
inline Segment3D MakeSegment3D(const Vector3D& start, const Vector3D& end)
{
    return {start, end};
}

inline Vector2D VectorAdd(const Vector2D& a, const Vector2D& b)
{
    return {a.x + b.x, a.y + b.y};
}
inline Vector2D VectorMin(const Vector2D& a, const Vector2D& b)
{
    return {MinOf(a.x, b.x), MinOf(a.y, b.y)};
}
inline Vector2D VectorMax(const Vector2D& a, const Vector2D& b)
{
    return {MaxOf(a.x, b.x), MaxOf(a.y, b.y)};
}

inline Vector3D VectorAdd(const Vector3D& a, const Vector3D& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
// a - b
inline Vector3D VectorSubtract(const Vector3D& a, const Vector3D& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vector3D VectorMultiply(const Vector3D& a, const Vector3D& b)
{
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}
inline Vector3D VectorDivide(const Vector3D& a, const Vector3D& b)
{
    return {a.x / b.x, a.y / b.y, a.z / b.z};
}
inline Vector3D VectorScale(const Vector3D& v, double s)
{
    return {s * v.x, s * v.y, s * v.z};
}
inline Vector3D VectorDivideBy(const Vector3D& v, double s)
{
    return {v.x / s, v.y / s, v.z / s};
}

// Componentwise minimum and maximum, used to grow bounding boxes. A NaN component loses to a
// number, so one bad vertex cannot poison a box.
inline Vector3D VectorMin(const Vector3D& a, const Vector3D& b)
{
    return {MinOf(a.x, b.x), MinOf(a.y, b.y), MinOf(a.z, b.z)};
}
inline Vector3D VectorMax(const Vector3D& a, const Vector3D& b)
{
    return {MaxOf(a.x, b.x), MaxOf(a.y, b.y), MaxOf(a.z, b.z)};
}

inline double DotProduct(const Vector3D& a, const Vector3D& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vector3D CrossProduct(const Vector3D& a, const Vector3D& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double VectorLength(const Vector3D& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// v / |v|, for vectors whose squared length underflows or overflows.
Vector3D VectorNormalizeExtreme(const Vector3D& v);

// v / |v|; the zero vector stays zero instead of becoming NaN. Vectors so small or large that
// their squared length leaves the range of a double are rescaled first, so they come out unit too.
inline Vector3D VectorNormalize(const Vector3D& v)
{
    const double length = VectorLength(v);
    if (length > 0.0 && length <= std::numeric_limits<double>::max())
        return VectorDivideBy(v, length);
    return VectorNormalizeExtreme(v);
}

// The unit normal of a triangle: counter-clockwise corners give the normal towards the viewer.
inline Vector3D TriangleNormal(const Vector3D& p0, const Vector3D& p1, const Vector3D& p2)
{
    return VectorNormalize(CrossProduct(VectorSubtract(p1, p0), VectorSubtract(p2, p0)));
}
inline Vector3D TriangleNormal(const Triangle3D& t)
{
    return TriangleNormal(t.p0, t.p1, t.p2);
}

// Angle between a and b in radians; 0 when either is the zero vector. The cosine is clamped to
// [-1, 1] first, so rounding never turns parallel vectors into NaN; vectors whose lengths'
// product leaves the range of a double are normalised first.
double AngleBetween(const Vector3D& a, const Vector3D& b);

// p rotated about the centre c: first about the Z axis by b degrees, then about the X axis by a
// degrees.
Vector3D RotateAboutCentre(const Vector3D& p, const Vector3D& c, double a, double b);

// (round(x), round(y)) with halves to even; beyond the int32_t range the coordinates saturate.
TPoint Vector3DToPoint(const Vector3D& v);

// Text forms: each number in the long general form (FloatText.h) joined by ",".
std::string Vector2DToStr(const Vector2D& v);
std::string Vector3DToStr(const Vector3D& v);
// Fixed notation with `decimals` decimals, joined by `separator`.
std::string Vector3DToStr(const Vector3D& v, char separator, int decimals);
// Read the text forms back: numbers separated by ",", blanks and line breaks around them ignored.
// Throw EKorvelaError when the text does not hold exactly two (three) numbers.
Vector2D StrToVector2D(std::string_view text);
Vector3D StrToVector3D(std::string_view text);

} // namespace kv
