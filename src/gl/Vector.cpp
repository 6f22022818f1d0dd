#include "gl/Vector.h"

#include "gl/FloatText.h"

#include "IntConversion.h"

#include <algorithm>
#include <array>

namespace kv {

namespace {

bool IsZero(const Vector3D& v)
{
    return v.x == 0.0 && v.y == 0.0 && v.z == 0.0;
}

} // namespace

Vector3D VectorNormalizeExtreme(const Vector3D& v)
{
    if (IsZero(v))
        return VectorDivideBy(v, 1e-99); // keeps the signs of the zeros
    const double largest = std::max({std::abs(v.x), std::abs(v.y), std::abs(v.z)});
    if (!(largest <= std::numeric_limits<double>::max()))
        return VectorDivideBy(v, VectorLength(v)); // NaN or infinite components: nothing to rescue
    const Vector3D scaled = VectorDivideBy(v, largest);
    return VectorDivideBy(scaled, VectorLength(scaled));
}

double AngleBetween(const Vector3D& a, const Vector3D& b)
{
    if (IsZero(a) || IsZero(b))
        return 0.0;
    const double lengths = VectorLength(a) * VectorLength(b);
    if (lengths > 0.0 && lengths <= std::numeric_limits<double>::max())
        return std::acos(std::clamp(DotProduct(a, b) / lengths, -1.0, 1.0));
    return std::acos(std::clamp(DotProduct(VectorNormalize(a), VectorNormalize(b)), -1.0, 1.0));
}

Vector3D RotateAboutCentre(const Vector3D& p, const Vector3D& c, double a, double b)
{
    const Vector3D d = VectorSubtract(p, c);
    const double ca = std::cos(a * DegToRad);
    const double sa = std::sin(a * DegToRad);
    const double cb = std::cos(b * DegToRad);
    const double sb = std::sin(b * DegToRad);
    const double x1 = cb * d.x + sb * d.y;
    const double y1 = -sb * d.x + cb * d.y;
    const double y2 = ca * y1 + sa * d.z;
    const double z2 = -sa * y1 + ca * d.z;
    return VectorAdd(c, {x1, y2, z2});
}

TPoint Vector3DToPoint(const Vector3D& v)
{
    return {RoundHalfEvenToInt32(v.x), RoundHalfEvenToInt32(v.y)};
}

std::string Vector2DToStr(const Vector2D& v)
{
    return FormatGeneral(v.x) + "," + FormatGeneral(v.y);
}

std::string Vector3DToStr(const Vector3D& v)
{
    return FormatGeneral(v.x) + "," + FormatGeneral(v.y) + "," + FormatGeneral(v.z);
}

std::string Vector3DToStr(const Vector3D& v, char separator, int decimals)
{
    return FormatFixed(v.x, decimals) + separator + FormatFixed(v.y, decimals) + separator + FormatFixed(v.z, decimals);
}

Vector2D StrToVector2D(std::string_view text)
{
    std::array<double, 2> n{};
    ParseFloatList(text, "Vector2D", n);
    return {n[0], n[1]};
}

Vector3D StrToVector3D(std::string_view text)
{
    std::array<double, 3> n{};
    ParseFloatList(text, "Vector3D", n);
    return {n[0], n[1], n[2]};
}

} // namespace kv
