#pragma once
// Single-precision vectors as OpenGL's "fv" entry points take them (colours, light positions,
// material values, texture-generation planes) and the conversions between them and colours.
//
// Colours are 32-bit values with red in the low byte: 0x0000FF is red, 0xFF0000 blue. The byte
// above blue is not part of the colour.

#include "gl/Vector.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// Light directions and positions exchanged with the lighting dialog.
struct Vector3F {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    bool operator==(const Vector3F&) const = default;
};

// r, g, b, a of a colour, or x, y, z, w of a position or plane.
struct Float4 {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
    // Exact comparison of all four components.
    bool operator==(const Float4&) const = default;
};

// The four components in order, as glLightfv and glMaterialfv read them.
inline std::array<float, 4> Float4ToArray(const Float4& f)
{
    return {f.r, f.g, f.b, f.a};
}

// Each double rounded to the nearest single.
inline Vector3F MakeVector3F(double x, double y, double z)
{
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}
inline Float4 MakeFloat4(double r, double g, double b, double a)
{
    return {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b), static_cast<float>(a)};
}
inline Vector3D Vector3FToVector3D(const Vector3F& v)
{
    return {v.x, v.y, v.z};
}
inline Vector3F Vector3DToVector3F(const Vector3D& v)
{
    return MakeVector3F(v.x, v.y, v.z);
}

// Each byte of the colour divided by 255: (red, green, blue).
Vector3F ColorToRGB(uint32_t color);
// (red, green, blue, alpha).
Float4 ColorToFloat4(uint32_t color, double alpha = 1.0);
// Each of r, g, b times 255, truncated; values outside 0..1 give 0 or 255 (NaN gives 0). Alpha is
// not part of a colour.
uint32_t Float4ToColor(const Float4& f);

// The four components, each widened to double, in the long general form joined by ",".
std::string Float4ToStr(const Float4& f);
// Reads four numbers separated by "," and rounds them to singles. Throws EKorvelaError otherwise.
Float4 StrToFloat4(std::string_view text);

} // namespace kv
