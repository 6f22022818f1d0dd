// TCanvas::CopyRect and StretchDraw: nearest-pixel copies between bitmaps of any formats.
#include "platform/Canvas.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kv {

namespace {

__extension__ typedef __int128 TWide;

// Turns the stored values of one bitmap into those of another, inverted or not.
class TValueConverter {
public:
    TValueConverter(const TBitmap& source, const TBitmap& dest, bool invert)
        : source_(source), dest_(dest), invert_(invert)
    {
        const bool paletted = BitsPerPixel(source.PixelFormat()) <= 8;
        raw_ = source.PixelFormat() == dest.PixelFormat() && (!paletted || source.Palette() == dest.Palette());
        mask_ = source.ValueMask();
        if (!raw_ && paletted) {
            table_.resize(size_t(1) << BitsPerPixel(source.PixelFormat()));
            for (uint32_t i = 0; i < table_.size(); ++i)
                table_[i] = FromColor(source.ColorOfValue(i));
        }
    }

    // Raw copies keep every bit of the stored value, so the same format copies byte for byte.
    bool Raw() const { return raw_; }

    uint32_t operator()(uint32_t value)
    {
        if (raw_)
            return invert_ ? value ^ mask_ : value;
        if (!table_.empty())
            return table_[value];
        if (!cached_ || value != lastSource_) {
            lastSource_ = value;
            lastDest_ = FromColor(source_.ColorOfValue(value));
            cached_ = true;
        }
        return lastDest_;
    }

private:
    uint32_t FromColor(TColor color) const { return dest_.ValueOfColor(invert_ ? InvertedColor(color) : color); }

    const TBitmap& source_;
    const TBitmap& dest_;
    bool invert_;
    bool raw_ = false;
    uint32_t mask_ = 0;
    std::vector<uint32_t> table_;
    bool cached_ = false;
    uint32_t lastSource_ = 0;
    uint32_t lastDest_ = 0;
};

// The source coordinate under the centre of destination pixel i of n, for a source of m pixels.
int64_t SourceIndex(int64_t i, int64_t n, int64_t m) { return int64_t(TWide(2 * i + 1) * m / (TWide(2) * n)); }

} // namespace

void TCanvas::CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect, TCopyMode mode)
{
    if (dest.IsEmpty() || sourceRect.IsEmpty())
        return;
    const TRect area = IntersectRect(dest, DrawableRect());
    if (area.IsEmpty())
        return;
    if (&source == bitmap_) {
        const TBitmap copy = source;
        CopyRect(dest, copy, sourceRect, mode);
        return;
    }
    const int64_t dw = dest.Width(), dh = dest.Height(), sw = sourceRect.Width(), sh = sourceRect.Height();
    TValueConverter convert(source, *bitmap_, mode == cmNotSrcCopy);

    // Source column of each destination column of the area, -1 where it lies outside the source.
    std::vector<int32_t> columns(size_t(area.Width()));
    for (int32_t x = area.Left; x < area.Right; ++x) {
        const int64_t sx = sourceRect.Left + SourceIndex(x - int64_t(dest.Left), dw, sw);
        columns[size_t(x - area.Left)] = sx >= 0 && sx < source.Width() ? int32_t(sx) : -1;
    }
    const int bits = BitsPerPixel(source.PixelFormat());
    const bool byteRows = convert.Raw() && mode == cmSrcCopy && dw == sw && bits >= 8;

    // Unstretched rows of the same format are copied byte for byte: the columns inside the source
    // form one piece.
    const auto first = std::find_if(columns.begin(), columns.end(), [](int32_t c) { return c >= 0; });
    const auto end = std::find(first, columns.end(), -1);
    if (first == end)
        return;
    const size_t pixelBytes = size_t(bits / 8);
    const size_t destOffset = size_t(area.Left + (first - columns.begin())) * pixelBytes;
    const size_t sourceOffset = size_t(*first) * pixelBytes;
    const size_t pieceBytes = size_t(end - first) * pixelBytes;

    for (int32_t y = area.Top; y < area.Bottom; ++y) {
        const int64_t sy = sourceRect.Top + SourceIndex(y - int64_t(dest.Top), dh, sh);
        if (sy < 0 || sy >= source.Height())
            continue;
        if (byteRows) {
            std::memcpy(bitmap_->ScanLine(y) + destOffset, source.ScanLine(int32_t(sy)) + sourceOffset, pieceBytes);
            continue;
        }
        for (int32_t x = area.Left; x < area.Right; ++x) {
            const int32_t sx = columns[size_t(x - area.Left)];
            if (sx >= 0)
                bitmap_->SetValue(x, y, convert(source.GetValue(sx, int32_t(sy))));
        }
    }
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap)
{
    CopyRect(dest, bitmap, {0, 0, bitmap.Width(), bitmap.Height()}, cmSrcCopy);
}

} // namespace kv
