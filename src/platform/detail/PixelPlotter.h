#pragma once
// Writes one stored value (or inverts) pixel by pixel and span by span, inside a clip rectangle
// that the caller has already cut to the bitmap's bounds.

#include "platform/Bitmap.h"
#include "platform/Rect.h"

#include <cstdint>
#include <cstring>

namespace kv {

class TPixelPlotter {
public:
    TPixelPlotter(TBitmap& bitmap, const TRect& clip, uint32_t value, bool invert)
        : bitmap_(bitmap), clip_(clip), value_(value), invert_(invert), mask_(bitmap.ValueMask()),
          format_(bitmap.PixelFormat())
    {
    }

    void Plot(int32_t x, int32_t y)
    {
        if (clip_.Contains(x, y))
            Put(x, y);
    }

    // Pixels x0 .. x1 - 1 of row y, cut to the clip rectangle.
    void Span(int32_t y, int64_t x0, int64_t x1)
    {
        if (y < clip_.Top || y >= clip_.Bottom)
            return;
        const auto from = int32_t(x0 < clip_.Left ? clip_.Left : x0);
        const auto to = int32_t(x1 > clip_.Right ? clip_.Right : x1);
        if (from >= to)
            return;
        uint8_t* row = bitmap_.ScanLine(y);
        if (invert_) {
            switch (format_) {
            case pf8bit:
                for (int32_t x = from; x < to; ++x)
                    row[x] = uint8_t(~row[x]);
                return;
            case pf24bit:
                for (size_t i = size_t(from) * 3; i < size_t(to) * 3; ++i)
                    row[i] = uint8_t(~row[i]);
                return;
            default:
                for (int32_t x = from; x < to; ++x)
                    Put(x, y);
                return;
            }
        }
        switch (format_) {
        case pf8bit:
            std::memset(row + from, int(value_ & 0xFF), size_t(to - from));
            return;
        case pf24bit: {
            const auto b = uint8_t(value_), g = uint8_t(value_ >> 8), r = uint8_t(value_ >> 16);
            for (uint8_t *p = row + size_t(from) * 3, *end = row + size_t(to) * 3; p < end; p += 3) {
                p[0] = b;
                p[1] = g;
                p[2] = r;
            }
            return;
        }
        case pf32bit: {
            const uint8_t bytes[4] = {uint8_t(value_), uint8_t(value_ >> 8), uint8_t(value_ >> 16),
                                      uint8_t(value_ >> 24)};
            for (uint8_t *p = row + size_t(from) * 4, *end = row + size_t(to) * 4; p < end; p += 4)
                std::memcpy(p, bytes, 4);
            return;
        }
        default:
            for (int32_t x = from; x < to; ++x)
                Put(x, y);
            return;
        }
    }

private:
    void Put(int32_t x, int32_t y)
    {
        if (format_ == pf24bit) {
            uint8_t* p = bitmap_.ScanLine(y) + size_t(x) * 3;
            if (invert_) {
                p[0] = uint8_t(~p[0]);
                p[1] = uint8_t(~p[1]);
                p[2] = uint8_t(~p[2]);
            } else {
                p[0] = uint8_t(value_);
                p[1] = uint8_t(value_ >> 8);
                p[2] = uint8_t(value_ >> 16);
            }
            return;
        }
        bitmap_.SetValue(x, y, invert_ ? bitmap_.GetValue(x, y) ^ mask_ : value_);
    }

    TBitmap& bitmap_;
    TRect clip_;
    uint32_t value_;
    bool invert_;
    uint32_t mask_;
    TPixelFormat format_;
};

} // namespace kv
