#include "gl/GLLibrary.h"

#include "gl/FloatText.h"

#include "IntConversion.h"

#include <algorithm>

namespace kv {
namespace {

// One colour byte from a component in 0..1. Out-of-range components are clamped rather than
// wrapped into the byte, so an over-bright 1.5 stays white instead of turning dark.
uint32_t ColorByte(float component)
{
    return static_cast<uint32_t>(std::clamp(TruncToInt32(double(component) * 255), 0, 255));
}

} // namespace

Vector3F ColorToRGB(uint32_t color)
{
    return {static_cast<float>(color & 255) / 255.0f, static_cast<float>((color >> 8) & 255) / 255.0f,
            static_cast<float>((color >> 16) & 255) / 255.0f};
}

Float4 ColorToFloat4(uint32_t color, double alpha)
{
    const Vector3F rgb = ColorToRGB(color);
    return {rgb.x, rgb.y, rgb.z, static_cast<float>(alpha)};
}

uint32_t Float4ToColor(const Float4& f)
{
    return ColorByte(f.r) | ColorByte(f.g) << 8 | ColorByte(f.b) << 16;
}

std::string Float4ToStr(const Float4& f)
{
    return FormatGeneral(f.r) + "," + FormatGeneral(f.g) + "," + FormatGeneral(f.b) + "," + FormatGeneral(f.a);
}

Float4 StrToFloat4(std::string_view text)
{
    std::array<double, 4> n{};
    ParseFloatList(text, "Float4", n);
    return MakeFloat4(n[0], n[1], n[2], n[3]);
}

} // namespace kv
