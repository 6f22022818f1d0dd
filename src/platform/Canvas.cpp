#include "platform/Canvas.h"

#include "PixelPlotter.h"

#include <algorithm>
#include <cstdlib>

namespace kv {

namespace {

__extension__ typedef __int128 TWide;

int32_t PenWidth(const TPen& pen) { return pen.Width < 1 ? 1 : pen.Width; }

// Offset of a pixel's tracks across a line of the width: -(w - 1) / 2 .. w / 2.
int32_t FirstTrack(int32_t width) { return -(width - 1) / 2; }

} // namespace

TRect TCanvas::DrawableRect() const
{
    const TRect bounds{0, 0, bitmap_->Width(), bitmap_->Height()};
    return clip_ ? IntersectRect(bounds, *clip_) : bounds;
}

TColor TCanvas::GetPixel(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= bitmap_->Width() || y >= bitmap_->Height())
        return clNone;
    return bitmap_->GetPixel(x, y);
}

void TCanvas::SetPixel(int32_t x, int32_t y, TColor color)
{
    if (DrawableRect().Contains(x, y))
        bitmap_->SetPixel(x, y, color);
}

void TCanvas::LineTo(int32_t x, int32_t y)
{
    Line(PenPos, {x, y}, leOmitLast);
    PenPos = {x, y};
}

void TCanvas::Line(TPoint from, TPoint to, TLineEnd end)
{
    const TRect clip = DrawableRect();
    if (clip.IsEmpty())
        return;
    const int64_t dx = int64_t(to.X) - from.X;
    const int64_t dy = int64_t(to.Y) - from.Y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    // n steps along the longer axis; step k of the line (k = 0 at `from`) is drawn up to `last`.
    const int64_t n = xMajor ? std::llabs(dx) : std::llabs(dy);
    const int64_t last = end == leDrawLast ? n : n - 1;
    if (last < 0)
        return;
    // Walk from the end with the smaller major coordinate, so that the pixels do not depend on
    // the direction; `reversed` tells whether that end is `to`.
    const bool reversed = xMajor ? dx < 0 : dy < 0;
    const TPoint start = reversed ? to : from;
    // Major axis a, minor axis b, in the walking direction the major coordinate grows.
    const int64_t a0 = xMajor ? start.X : start.Y;
    const int64_t b0 = xMajor ? start.Y : start.X;
    const int64_t db = reversed ? -(xMajor ? dy : dx) : (xMajor ? dy : dx);
    const int64_t adb = std::llabs(db);
    const int32_t bStep = db < 0 ? -1 : 1;
    // Ties go to the smaller minor coordinate: when b grows, step only past the half-way point;
    // when it falls, step at it.
    const bool stepAtTie = db < 0;

    const int32_t width = PenWidth(Pen);
    const bool dotted = Pen.Style == psDot && width == 1;
    TPixelPlotter plotter(*bitmap_, clip, bitmap_->ValueOfColor(Pen.Color), Pen.Mode == pmNot);

    // Only the steps whose major coordinate lies inside the clip rectangle matter.
    const int64_t aMin = xMajor ? clip.Left : clip.Top;
    const int64_t aMax = (xMajor ? clip.Right : clip.Bottom) - 1;
    int64_t i0 = std::max<int64_t>(0, aMin - a0);
    int64_t i1 = std::min<int64_t>(n, aMax - a0);
    // Steps beyond `last`, counted from `from`, are not drawn.
    if (reversed)
        i0 = std::max<int64_t>(i0, n - last);
    else
        i1 = std::min<int64_t>(i1, last);
    if (i0 > i1)
        return;

    // Minor offset m and error term e at step i0 (see below), computed exactly.
    const TWide num = TWide(2) * i0 * adb;
    TWide m;
    if (stepAtTie)
        m = (num + n) / (TWide(2) * (n == 0 ? 1 : n));
    else
        m = num - n <= 0 ? TWide(0) : (num - n + 2 * TWide(n) - 1) / (TWide(2) * n);
    // e = 2 i |db| - n - 2 n m: the minor offset grows when e passes 0 (or reaches it, stepAtTie).
    auto e = int64_t(num - n - TWide(2) * n * m);
    int64_t b = b0 + (bStep < 0 ? -int64_t(m) : int64_t(m));
    const int32_t firstTrack = FirstTrack(width);
    for (int64_t i = i0; i <= i1; ++i) {
        const int64_t k = reversed ? n - i : i;
        if (!dotted || k % 2 == 0) {
            const int64_t a = a0 + i;
            for (int32_t t = 0; t < width; ++t) {
                const int64_t bt = b + firstTrack + t;
                if (bt < INT32_MIN || bt > INT32_MAX)
                    continue;
                if (xMajor)
                    plotter.Plot(int32_t(a), int32_t(bt));
                else
                    plotter.Plot(int32_t(bt), int32_t(a));
            }
        }
        e += 2 * adb;
        if (stepAtTie ? e >= 0 : e > 0) {
            b += bStep;
            e -= 2 * n;
        }
    }
}

void TCanvas::FillRect(const TRect& rect)
{
    const TRect area = IntersectRect(rect, DrawableRect());
    if (area.IsEmpty())
        return;
    TPixelPlotter plotter(*bitmap_, area, bitmap_->ValueOfColor(Brush.Color), false);
    plotter.Span(area.Top, area.Left, area.Right);
    // The other rows are copies of the first when whole bytes are painted.
    const int bits = BitsPerPixel(bitmap_->PixelFormat());
    if (bits >= 8) {
        const size_t offset = size_t(area.Left) * size_t(bits / 8);
        const size_t bytes = size_t(area.Right - area.Left) * size_t(bits / 8);
        const uint8_t* first = bitmap_->ScanLine(area.Top) + offset;
        for (int32_t y = area.Top + 1; y < area.Bottom; ++y)
            std::copy(first, first + bytes, bitmap_->ScanLine(y) + offset);
        return;
    }
    for (int32_t y = area.Top + 1; y < area.Bottom; ++y)
        plotter.Span(y, area.Left, area.Right);
}

void TCanvas::Rectangle(const TRect& rect)
{
    const TRect r = NormalizedRect(rect);
    if (r.IsEmpty())
        return;
    const TRect clip = DrawableRect();
    if (clip.IsEmpty())
        return;
    const int64_t w = PenWidth(Pen);
    // The inside, painted by the brush.
    const TRect inside{int32_t(std::min<int64_t>(r.Left + w, r.Right)), int32_t(std::min<int64_t>(r.Top + w, r.Bottom)),
                       int32_t(std::max<int64_t>(r.Right - w, r.Left)), int32_t(std::max<int64_t>(r.Bottom - w, r.Top))};
    if (Brush.Style == bsSolid && !inside.IsEmpty())
        FillRect(inside);

    TPixelPlotter plotter(*bitmap_, clip, bitmap_->ValueOfColor(Pen.Color), Pen.Mode == pmNot);
    if (Pen.Style == psDot && w == 1) {
        // Once around, clockwise from the top-left corner, every pixel visited once; k counts the
        // pixels along that path and every even one is drawn. Only the clipped part is walked.
        const int64_t right = int64_t(r.Right) - 1, bottom = int64_t(r.Bottom) - 1;
        const int64_t width = right - r.Left, height = bottom - r.Top; // both >= 0
        auto dot = [&](int64_t k, int64_t x, int64_t y) {
            if (k % 2 == 0)
                plotter.Plot(int32_t(x), int32_t(y));
        };
        const int64_t xFrom = std::max<int64_t>(r.Left, clip.Left), xTo = std::min<int64_t>(right, clip.Right - 1);
        const int64_t yFrom = std::max<int64_t>(r.Top + 1, clip.Top), yTo = std::min<int64_t>(bottom, clip.Bottom - 1);
        for (int64_t x = xFrom; x <= xTo; ++x)
            dot(x - r.Left, x, r.Top);
        for (int64_t y = yFrom; y <= yTo; ++y)
            dot(width + (y - r.Top), right, y);
        if (height > 0)
            for (int64_t x = xFrom; x <= std::min(xTo, right - 1); ++x)
                dot(width + height + (right - x), x, bottom);
        if (width > 0)
            for (int64_t y = yFrom; y <= std::min(yTo, bottom - 1); ++y)
                dot(2 * width + height + (bottom - y), r.Left, y);
        return;
    }
    // Solid: the top and bottom bands whole, the sides between them; no pixel twice.
    const int64_t topEnd = std::min<int64_t>(r.Top + w, r.Bottom);
    const int64_t bottomStart = std::max<int64_t>(r.Bottom - w, topEnd);
    for (int64_t y = std::max<int64_t>(r.Top, clip.Top); y < std::min<int64_t>(topEnd, clip.Bottom); ++y)
        plotter.Span(int32_t(y), r.Left, r.Right);
    for (int64_t y = std::max<int64_t>(bottomStart, clip.Top); y < std::min<int64_t>(r.Bottom, clip.Bottom); ++y)
        plotter.Span(int32_t(y), r.Left, r.Right);
    const int64_t leftEnd = std::min<int64_t>(r.Left + w, r.Right);
    const int64_t rightStart = std::max<int64_t>(r.Right - w, leftEnd);
    for (int64_t y = std::max<int64_t>(topEnd, clip.Top); y < std::min<int64_t>(bottomStart, clip.Bottom); ++y) {
        plotter.Span(int32_t(y), r.Left, leftEnd);
        plotter.Span(int32_t(y), rightStart, r.Right);
    }
}

} // namespace kv
