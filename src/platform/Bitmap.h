#pragma once
// Off-screen bitmaps of 1, 4, 8, 15, 24 or 32 bits per pixel with direct row access.
//
// Rows are stored top-down: ScanLine(0) is the top row of the picture, ScanLine(Height() - 1)
// the bottom one (BMP files store them the other way round; the BMP reader and writer turn them).
// Each row is padded to a multiple of 4 bytes (RowBytes()). Within a row the layout is the one of
// Windows bitmaps:
// - pf1bit, pf4bit: palette indices packed from the most significant bit, the leftmost pixel first;
// - pf8bit: one palette index per byte;
// - pf15bit: 16-bit little-endian words 0RRRRRGG GGGBBBBB (5-5-5, the top bit unused);
// - pf24bit: blue, green, red bytes;
// - pf32bit: blue, green, red and one more byte (written as 0, kept as read from files).
// Formats up to 8 bits carry a colour table of at most 256 colours; a pixel whose index lies
// beyond the table reads as black.

#include "platform/Color.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv {

enum TPixelFormat { pf1bit, pf4bit, pf8bit, pf15bit, pf24bit, pf32bit };

// 1, 4, 8, 16, 24 or 32: the bits one pixel occupies in a row.
int BitsPerPixel(TPixelFormat format);

// Bytes of one row of `width` pixels, padded to a multiple of 4.
uint64_t RowBytesFor(int64_t width, TPixelFormat format);

// The colour table a new bitmap of the format starts with: black and white for pf1bit, the 16
// standard colours for pf4bit, a 6 x 6 x 6 colour cube followed by 40 greys for pf8bit, and no
// table for the formats above 8 bits.
std::vector<TColor> DefaultPalette(TPixelFormat format);

class TBitmap {
public:
    // An empty bitmap (0 x 0) of 24 bits per pixel.
    TBitmap();
    // A bitmap of the size and format, every stored byte 0 (black, or palette entry 0). Throws
    // EKorvelaError when the size is negative or needs more memory than the machine has.
    TBitmap(int32_t width, int32_t height, TPixelFormat format = pf24bit);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    TPixelFormat PixelFormat() const { return format_; }
    size_t RowBytes() const { return rowBytes_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // Changes the size. The pixels the old and the new size share keep their values; new pixels
    // are 0. Throws like the constructor and then leaves the bitmap as it was.
    void SetSize(int32_t width, int32_t height);

    // Changes the pixel format, converting every pixel through its colour. A format up to 8 bits
    // takes its default palette and each pixel the nearest colour of it.
    void SetPixelFormat(TPixelFormat format);

    // Row y, 0 the top row; y must lie in 0 .. Height() - 1.
    uint8_t* ScanLine(int32_t y) { return pixels_.data() + size_t(y) * rowBytes_; }
    const uint8_t* ScanLine(int32_t y) const { return pixels_.data() + size_t(y) * rowBytes_; }

    const std::vector<TColor>& Palette() const { return palette_; }
    // Replaces the colour table (pixel indices are kept). Throws EKorvelaError when it has more
    // than 256 entries.
    void SetPalette(std::vector<TColor> palette);

    // The colour of pixel (x, y), which must lie inside the bitmap.
    TColor GetPixel(int32_t x, int32_t y) const { return ColorOfValue(GetValue(x, y)); }
    // Sets pixel (x, y), which must lie inside the bitmap, to the colour, or to the nearest
    // colour of the palette.
    void SetPixel(int32_t x, int32_t y, TColor color) { SetValue(x, y, ValueOfColor(color)); }

    // The stored value of a pixel: a palette index, or the packed 15, 24 or 32-bit word as the
    // row holds it (24-bit: blue in the low byte).
    uint32_t GetValue(int32_t x, int32_t y) const;
    void SetValue(int32_t x, int32_t y, uint32_t value);

    // Stored value <-> colour for this bitmap's format and palette.
    uint32_t ValueOfColor(TColor color) const;
    TColor ColorOfValue(uint32_t value) const;
    // The bits of a stored value that hold its colour (1, 4, 8, 15 or 24 set bits; the fourth
    // byte of a 32-bit pixel is not among them). Inverting a pixel flips exactly these bits, so
    // inverting twice restores it in every format.
    uint32_t ValueMask() const;

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    TPixelFormat format_ = pf24bit;
    size_t rowBytes_ = 0;
    std::vector<uint8_t> pixels_;
    std::vector<TColor> palette_;
};

} // namespace kv
