#pragma once
// Colours of the raster services: 32-bit values 0x00BBGGRR, red in the low byte
// (0x0000FF is red, 0xFF0000 blue). The top byte is not part of the colour.

#include <cstdint>

namespace kv {

using TColor = uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clGray = 0x808080;
// No colour: what reading a pixel outside a bitmap gives.
constexpr TColor clNone = 0xFFFFFFFF;

constexpr TColor RGBColor(uint8_t red, uint8_t green, uint8_t blue)
{
    return TColor(red) | (TColor(green) << 8) | (TColor(blue) << 16);
}

constexpr uint8_t RedOf(TColor color) { return uint8_t(color & 0xFF); }
constexpr uint8_t GreenOf(TColor color) { return uint8_t((color >> 8) & 0xFF); }
constexpr uint8_t BlueOf(TColor color) { return uint8_t((color >> 16) & 0xFF); }

// The colour with each of red, green and blue replaced by 255 minus itself.
constexpr TColor InvertedColor(TColor color) { return (color ^ 0xFFFFFF) & 0xFFFFFF; }

} // namespace kv
