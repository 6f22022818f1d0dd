#pragma once
// Points and rectangles in pixels. A rectangle covers the pixels from (Left, Top) up to, but not
// including, (Right, Bottom): TRect{0, 0, 2, 2} is four pixels.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kv {

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int64_t Width() const { return int64_t(Right) - Left; }
    int64_t Height() const { return int64_t(Bottom) - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int32_t x, int32_t y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// The pixels both rectangles cover; empty (all zero) when they do not meet.
inline TRect IntersectRect(const TRect& a, const TRect& b)
{
    const TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                  std::min(a.Bottom, b.Bottom)};
    return r.IsEmpty() ? TRect{} : r;
}

// The same rectangle with Left <= Right and Top <= Bottom.
inline TRect NormalizedRect(const TRect& r)
{
    return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
            std::max(r.Top, r.Bottom)};
}

// "L,T,R,B" as four whole numbers (a rectangle as a user types it); nothing for any other text.
inline std::optional<TRect> ParseRectText(std::string_view text)
{
    int32_t values[4] = {};
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 4; ++i) {
        const std::from_chars_result result = std::from_chars(p, end, values[i]);
        if (result.ec != std::errc())
            return std::nullopt;
        p = result.ptr;
        if (i < 3) {
            if (p == end || *p != ',')
                return std::nullopt;
            ++p;
        }
    }
    if (p != end)
        return std::nullopt;
    return TRect{values[0], values[1], values[2], values[3]};
}

} // namespace kv
