#include "platform/Bitmap.h"

#include "platform/KVError.h"
#include "platform/MemoryStatus.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

namespace kv {

int BitsPerPixel(TPixelFormat format)
{
    switch (format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf15bit:
        return 16;
    case pf24bit:
        return 24;
    case pf32bit:
        return 32;
    }
    return 24;
}

uint64_t RowBytesFor(int64_t width, TPixelFormat format)
{
    return (uint64_t(width) * uint64_t(BitsPerPixel(format)) + 31) / 32 * 4;
}

std::vector<TColor> DefaultPalette(TPixelFormat format)
{
    switch (format) {
    case pf1bit:
        return {clBlack, clWhite};
    case pf4bit:
        return {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    case pf8bit: {
        std::vector<TColor> palette;
        palette.reserve(256);
        for (int blue = 0; blue < 6; ++blue)
            for (int green = 0; green < 6; ++green)
                for (int red = 0; red < 6; ++red)
                    palette.push_back(RGBColor(uint8_t(red * 51), uint8_t(green * 51), uint8_t(blue * 51)));
        for (int grey = 1; grey <= 40; ++grey) {
            const auto level = uint8_t(grey * 255 / 41);
            palette.push_back(RGBColor(level, level, level));
        }
        return palette;
    }
    default:
        return {};
    }
}

namespace {

// Checks a requested size before anything is allocated; returns the bytes of one row.
size_t CheckedRowBytes(int32_t width, int32_t height, TPixelFormat format)
{
    if (width < 0 || height < 0)
        throw EKorvelaError("A bitmap cannot be " + std::to_string(width) + " by " + std::to_string(height) +
                            " pixels");
    const uint64_t rowBytes = RowBytesFor(width, format);
    const long double bytes = static_cast<long double>(rowBytes) * height;
    const uint64_t available = AvailableMemoryBytes();
    if (bytes > static_cast<long double>(available) ||
        bytes > static_cast<long double>(std::numeric_limits<size_t>::max() / 2))
        throw EKorvelaError("A bitmap of " + std::to_string(width) + " by " + std::to_string(height) + " pixels at " +
                            std::to_string(BitsPerPixel(format)) + " bits needs " +
                            std::to_string(static_cast<uint64_t>(bytes / (1024.0L * 1024.0L))) + " MiB, more than the " +
                            std::to_string(available / (1024 * 1024)) + " MiB available");
    return size_t(rowBytes);
}

int ColorDistance(TColor a, TColor b)
{
    const int red = int(RedOf(a)) - int(RedOf(b));
    const int green = int(GreenOf(a)) - int(GreenOf(b));
    const int blue = int(BlueOf(a)) - int(BlueOf(b));
    return red * red + green * green + blue * blue;
}

uint8_t Expand5(uint32_t v) { return uint8_t((v << 3) | (v >> 2)); }

} // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int32_t width, int32_t height, TPixelFormat format)
    : format_(format), palette_(DefaultPalette(format))
{
    rowBytes_ = CheckedRowBytes(width, height, format);
    pixels_.assign(rowBytes_ * size_t(height), 0);
    width_ = width;
    height_ = height;
}

void TBitmap::SetSize(int32_t width, int32_t height)
{
    if (width == width_ && height == height_)
        return;
    TBitmap resized(width, height, format_);
    resized.palette_ = palette_;
    const int32_t rows = std::min(height, height_);
    const int32_t columns = std::min(width, width_);
    const int bits = BitsPerPixel(format_);
    // Whole bytes of the shared columns are copied; the pixels of a byte that is only partly
    // shared (1 and 4 bits) one by one, so that new pixels start at 0.
    const size_t wholeBytes = size_t(columns) * size_t(bits) / 8;
    const auto firstPartial = int32_t(wholeBytes * 8 / size_t(bits));
    for (int32_t y = 0; y < rows; ++y) {
        if (wholeBytes > 0)
            std::memcpy(resized.ScanLine(y), ScanLine(y), wholeBytes);
        for (int32_t x = firstPartial; x < columns; ++x)
            resized.SetValue(x, y, GetValue(x, y));
    }
    *this = std::move(resized);
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    if (format == format_)
        return;
    TBitmap converted(width_, height_, format);
    for (int32_t y = 0; y < height_; ++y)
        for (int32_t x = 0; x < width_; ++x)
            converted.SetPixel(x, y, GetPixel(x, y));
    *this = std::move(converted);
}

void TBitmap::SetPalette(std::vector<TColor> palette)
{
    if (palette.size() > 256)
        throw EKorvelaError("A colour table holds at most 256 colours, not " + std::to_string(palette.size()));
    for (TColor& color : palette)
        color &= 0xFFFFFF;
    palette_ = std::move(palette);
}

uint32_t TBitmap::GetValue(int32_t x, int32_t y) const
{
    const uint8_t* row = ScanLine(y);
    switch (format_) {
    case pf1bit:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case pf4bit:
        return (x & 1) ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4;
    case pf8bit:
        return row[x];
    case pf15bit: {
        const uint8_t* p = row + size_t(x) * 2;
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8);
    }
    case pf24bit: {
        const uint8_t* p = row + size_t(x) * 3;
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
    }
    case pf32bit: {
        const uint8_t* p = row + size_t(x) * 4;
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    }
    }
    return 0;
}

void TBitmap::SetValue(int32_t x, int32_t y, uint32_t value)
{
    uint8_t* row = ScanLine(y);
    switch (format_) {
    case pf1bit: {
        const auto bit = uint8_t(0x80u >> (x & 7));
        row[x >> 3] = uint8_t((value & 1) ? row[x >> 3] | bit : row[x >> 3] & ~bit);
        break;
    }
    case pf4bit: {
        uint8_t& byte = row[x >> 1];
        byte = (x & 1) ? uint8_t((byte & 0xF0) | (value & 0x0F)) : uint8_t((byte & 0x0F) | ((value & 0x0F) << 4));
        break;
    }
    case pf8bit:
        row[x] = uint8_t(value);
        break;
    case pf15bit: {
        uint8_t* p = row + size_t(x) * 2;
        p[0] = uint8_t(value);
        p[1] = uint8_t(value >> 8);
        break;
    }
    case pf24bit: {
        uint8_t* p = row + size_t(x) * 3;
        p[0] = uint8_t(value);
        p[1] = uint8_t(value >> 8);
        p[2] = uint8_t(value >> 16);
        break;
    }
    case pf32bit: {
        uint8_t* p = row + size_t(x) * 4;
        p[0] = uint8_t(value);
        p[1] = uint8_t(value >> 8);
        p[2] = uint8_t(value >> 16);
        p[3] = uint8_t(value >> 24);
        break;
    }
    }
}

uint32_t TBitmap::ValueOfColor(TColor color) const
{
    switch (format_) {
    case pf15bit:
        return (uint32_t(RedOf(color) >> 3) << 10) | (uint32_t(GreenOf(color) >> 3) << 5) | uint32_t(BlueOf(color) >> 3);
    case pf24bit:
    case pf32bit:
        return uint32_t(BlueOf(color)) | (uint32_t(GreenOf(color)) << 8) | (uint32_t(RedOf(color)) << 16);
    default: {
        // The nearest colour of the table among the indices a pixel can hold; the first on a tie.
        const size_t usable = std::min(palette_.size(), size_t(1) << BitsPerPixel(format_));
        uint32_t best = 0;
        int bestDistance = std::numeric_limits<int>::max();
        for (size_t i = 0; i < usable && bestDistance > 0; ++i) {
            const int distance = ColorDistance(color, palette_[i]);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = uint32_t(i);
            }
        }
        return best;
    }
    }
}

TColor TBitmap::ColorOfValue(uint32_t value) const
{
    switch (format_) {
    case pf15bit:
        return RGBColor(Expand5((value >> 10) & 31), Expand5((value >> 5) & 31), Expand5(value & 31));
    case pf24bit:
    case pf32bit:
        return RGBColor(uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value));
    default:
        return value < palette_.size() ? palette_[value] : clBlack;
    }
}

uint32_t TBitmap::ValueMask() const
{
    switch (format_) {
    case pf1bit:
        return 0x1;
    case pf4bit:
        return 0xF;
    case pf8bit:
        return 0xFF;
    case pf15bit:
        return 0x7FFF;
    default:
        return 0xFFFFFF;
    }
}

} // namespace kv
