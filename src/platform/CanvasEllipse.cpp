// TCanvas::Ellipse: the shape's rows are computed exactly in integers.
#include "platform/Canvas.h"

#include "PixelPlotter.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

__extension__ typedef unsigned __int128 TUWide;

struct TSpan {
    int64_t Left = 0;
    int64_t Right = -1; // inclusive; Right < Left is empty
    bool Empty() const { return Right < Left; }
};

uint64_t SquareRootFloor(uint64_t value)
{
    auto root = uint64_t(std::sqrt(static_cast<long double>(value)));
    while (TUWide(root) * root > value)
        --root;
    while (TUWide(root + 1) * (root + 1) <= value)
        ++root;
    return root;
}

// The pixels of an ellipse that fills a box of W x H pixels, row by row. In doubled units from the
// centre a pixel sits at (dx, dy) = (2i - (W - 1), 2j - (H - 1)). The ellipse's semi-axes end a
// quarter pixel inside the box's edges, (2W - 1) / 4 and (2H - 1) / 4 pixels, which gives round
// shapes (rows of 4, 6, 8, 10, 10 ... pixels for a circle of 10), so a pixel lies inside when
// 4 dx^2 (2H - 1)^2 + 4 dy^2 (2W - 1)^2 <= (2W - 1)^2 (2H - 1)^2, or when |dx| <= 1 or |dy| <= 1
// (the middle column(s) and row(s), so that the shape reaches every side of its box).
class TEllipseShape {
public:
    TEllipseShape(int64_t width, int64_t height) : w_(width), h_(height) {}

    bool Empty() const { return w_ <= 0 || h_ <= 0; }

    // The columns (0 .. W - 1) of row j; empty outside 0 .. H - 1.
    TSpan Row(int64_t j) const
    {
        if (Empty() || j < 0 || j >= h_)
            return {};
        const int64_t dy = 2 * j - (h_ - 1);
        int64_t half = w_ - 1;
        if (dy < -1 || dy > 1) {
            const TUWide a = TUWide(2 * w_ - 1), b = TUWide(2 * h_ - 1);
            const TUWide rest = (b - TUWide(2 * (dy < 0 ? -dy : dy))) * (b + TUWide(2 * (dy < 0 ? -dy : dy)));
            const auto limit = uint64_t(a * a * rest / (4 * b * b));
            half = int64_t(SquareRootFloor(limit));
            if ((half - (w_ - 1)) % 2 != 0)
                --half;
            half = std::max(half, (w_ - 1) % 2);
        }
        return {(w_ - 1 - half) / 2, (w_ - 1 + half) / 2};
    }

    // The part of row j whose pixels have all four neighbours inside the shape.
    TSpan Interior(int64_t j) const
    {
        const TSpan row = Row(j), up = Row(j - 1), down = Row(j + 1);
        if (row.Empty() || up.Empty() || down.Empty())
            return {};
        return {std::max({row.Left + 1, up.Left, down.Left}), std::min({row.Right - 1, up.Right, down.Right})};
    }

private:
    int64_t w_;
    int64_t h_;
};

} // namespace

void TCanvas::Ellipse(const TRect& rect)
{
    const TRect r = NormalizedRect(rect);
    const TRect clip = DrawableRect();
    // Boxes beyond 2^30 pixels (far beyond any bitmap) would overflow the exact arithmetic.
    constexpr int64_t largest = int64_t(1) << 30;
    if (r.IsEmpty() || clip.IsEmpty() || r.Width() > largest || r.Height() > largest)
        return;
    const int64_t inset = (Pen.Width < 1 ? 1 : Pen.Width) - 1;
    const TEllipseShape outer(r.Width(), r.Height());
    const TEllipseShape inner(r.Width() - 2 * inset, r.Height() - 2 * inset);
    const bool dotted = Pen.Style == psDot && inset == 0;
    TPixelPlotter pen(*bitmap_, clip, bitmap_->ValueOfColor(Pen.Color), Pen.Mode == pmNot);
    TPixelPlotter brush(*bitmap_, clip, bitmap_->ValueOfColor(Brush.Color), false);

    auto penSpan = [&](int32_t y, int64_t x0, int64_t x1) { // x0 .. x1 inclusive
        if (x0 > x1)
            return;
        if (!dotted) {
            pen.Span(y, x0, x1 + 1);
            return;
        }
        for (int64_t x = std::max<int64_t>(x0, clip.Left); x <= std::min<int64_t>(x1, clip.Right - 1); ++x)
            if ((x + y) % 2 == 0)
                pen.Plot(int32_t(x), y);
    };

    for (int64_t y = std::max<int64_t>(r.Top, clip.Top); y < std::min<int64_t>(r.Bottom, clip.Bottom); ++y) {
        const int64_t j = y - r.Top;
        const TSpan row = outer.Row(j);
        if (row.Empty())
            continue;
        TSpan interior = inner.Interior(j - inset);
        interior.Left += inset;
        interior.Right += inset;
        const auto y32 = int32_t(y);
        if (interior.Empty()) {
            penSpan(y32, r.Left + row.Left, r.Left + row.Right);
            continue;
        }
        if (Brush.Style == bsSolid)
            brush.Span(y32, r.Left + interior.Left, r.Left + interior.Right + 1);
        penSpan(y32, r.Left + row.Left, r.Left + std::min(row.Right, interior.Left - 1));
        penSpan(y32, r.Left + std::max(row.Left, interior.Right + 1), r.Left + row.Right);
    }
}

} // namespace kv
