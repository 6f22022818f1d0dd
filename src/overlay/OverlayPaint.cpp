#include "overlay/OverlayPaint.h"

#include "platform/Canvas.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kv {

namespace {

// Fixed notation with a "." whatever the locale.
std::string Fixed(double value, int decimals)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

TPoint Truncated(const TPointD& p)
{
    return {int32_t(p.X), int32_t(p.Y)};
}

// Turns both ends of each segment about the frame's centre, truncates them and draws the line
// with both end pixels; a segment that shrinks to one point is left out.
class TOverlaySink : public TContourSink {
public:
    TOverlaySink(TCanvas& canvas, const TOverlayLayout& layout) : canvas_(canvas), layout_(layout) {}

    void Segment(double, double x1, double y1, double x2, double y2) override
    {
        const TPoint from = Truncated(RotateAboutCentre(layout_, x1, y1));
        const TPoint to = Truncated(RotateAboutCentre(layout_, x2, y2));
        if (from == to)
            return;
        canvas_.Line(from, to, leDrawLast);
    }

private:
    TCanvas& canvas_;
    const TOverlayLayout& layout_;
};

void TurnedOutline(TCanvas& canvas, const TOverlayLayout& layout, int32_t grow, TColor color)
{
    const double l = layout.Left - grow, t = layout.Top - grow, r = layout.Right + grow, b = layout.Bottom + grow;
    const TPoint corners[4] = {Truncated(RotateAboutCentre(layout, l, t)), Truncated(RotateAboutCentre(layout, r, t)),
                               Truncated(RotateAboutCentre(layout, r, b)), Truncated(RotateAboutCentre(layout, l, b))};
    canvas.Pen.Color = color;
    for (int k = 0; k < 4; ++k)
        canvas.Line(corners[k], corners[(k + 1) % 4], leOmitLast);
}

void DrawFrame(TCanvas& canvas, const TOverlayLayout& layout, const TOverlayFrame& frame)
{
    canvas.Pen = TPen{};
    TurnedOutline(canvas, layout, 0, OverlayDefaultLineColor);
    TurnedOutline(canvas, layout, 1, clBlack);
    TurnedOutline(canvas, layout, 2, OverlayDefaultLineColor);
    canvas.Pen.Color = clWhite;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clBlack;
    for (const TPoint& p : frame.Corner)
        canvas.Rectangle({p.X - 5, p.Y - 5, p.X + 5, p.Y + 5});
    canvas.Brush.Color = 0x00FF00;
    const TPoint& h = frame.RotationHandle;
    canvas.Ellipse({h.X - 5, h.Y - 5, h.X + 5, h.Y + 5});
}

// The grid points whose cells lie under the clip rectangle, with a margin of 3 cells, along one
// axis: [first, end).
void VisibleRange(int32_t origin, int32_t clipStart, int32_t clipSize, double step, int32_t count, int32_t& first,
                  int32_t& end)
{
    first = origin < clipStart && step > 0.0 ? int32_t(std::min((clipStart - origin) / step, double(count))) : 0;
    const double cells = step > 0.0 ? std::nearbyint(clipSize / step) : double(count);
    end = int32_t(std::min(first + cells + 3.0, double(count)));
}

} // namespace

double OverlayFirstLevel(double z, double interval)
{
    const auto step = std::max<int64_t>(int64_t(interval), 1);
    const double clamped = std::clamp(z, -9.0e15, 9.0e15);
    auto level = int64_t(clamped);
    const int64_t remainder = level % step;
    if (remainder > 0)
        level += step - remainder;
    else if (remainder < 0)
        level -= remainder;
    if (double(level) < clamped)
        level += step;
    return double(level);
}

TOverlayFrame OverlayFrameFor(const TOverlayLayout& layout)
{
    const double l = layout.Left - 2, t = layout.Top - 2, r = layout.Right + 2, b = layout.Bottom + 2;
    TOverlayFrame frame;
    frame.Corner[0] = Truncated(RotateAboutCentre(layout, l, t));
    frame.Corner[1] = Truncated(RotateAboutCentre(layout, r, t));
    frame.Corner[2] = Truncated(RotateAboutCentre(layout, r, b));
    frame.Corner[3] = Truncated(RotateAboutCentre(layout, l, b));
    frame.Centre = {int32_t((l + r) / 2), int32_t((t + b) / 2)};
    frame.RotationHandle = Truncated(RotateAboutCentre(layout, (l + r) / 2, t));
    frame.Valid = true;
    return frame;
}

bool PaintOverlay(TOverlayDocument& doc, const TTopoGrid& grid, TBitmap& screen, const TOverlayPaintOptions& options,
                  const TAbortRequested& abortRequested)
{
    return PaintOverlay(doc, &grid, screen, options, abortRequested);
}

bool PaintOverlay(TOverlayDocument& doc, const TTopoGrid* topoGrid, TBitmap& screen,
                  const TOverlayPaintOptions& options, const TAbortRequested& abortRequested)
{
    if (doc.OverlayBitmap.Empty()) {
        screen = TBitmap();
        return true;
    }
    screen = doc.OverlayBitmap;
    if (screen.PixelFormat() != pf24bit)
        screen.SetPixelFormat(pf24bit);
    if (options.InvertImage) {
        for (int32_t y = 0; y < screen.Height(); ++y) {
            uint8_t* row = screen.ScanLine(y);
            for (size_t k = 0; k < size_t(screen.Width()) * 3; ++k)
                row[k] = uint8_t(~row[k]);
        }
    }
    if (options.HideContours || topoGrid == nullptr || topoGrid->Empty())
        return true;
    const TTopoGrid& grid = *topoGrid;
    const TOverlayLayout layout = OverlayLayoutFor(doc, grid.Cols(), grid.Rows());
    doc.Frame = OverlayFrameFor(layout);
    TCanvas canvas(screen);
    DrawFrame(canvas, layout, doc.Frame);
    if (doc.Dragging)
        return true;

    TRect clip = options.Clip.value_or(TRect{0, 0, screen.Width(), screen.Height()});
    if (doc.Rotation != 0.0)
        clip = {0, 0, screen.Width(), screen.Height()};
    TGridLayout cells;
    VisibleRange(layout.Left, clip.Left, clip.Right - clip.Left, layout.StepX, grid.Cols(), cells.FirstCol,
                 cells.EndCol);
    VisibleRange(layout.Top, clip.Top, clip.Bottom - clip.Top, layout.StepY, grid.Rows(), cells.FirstRow, cells.EndRow);
    cells.OriginX = layout.OriginX + cells.FirstCol * layout.StepX;
    cells.OriginY = layout.OriginY + cells.FirstRow * layout.StepY;
    cells.StepX = layout.StepX;
    cells.StepY = layout.StepY;
    canvas.Pen = TPen{};
    canvas.Pen.Color = doc.LineColor;
    canvas.Pen.Width = std::clamp(options.LineWidth, 1, 5);
    TOverlaySink sink(canvas, layout);
    return TraceGridContours(grid, cells, options.IntervalMetres, OverlayFirstLevel, sink, abortRequested, {}, 0);
}

TOverlayReadouts OverlayReadouts(const TOverlayDocument& doc, double eastSpacing, double northSpacing,
                                 double unitFactor)
{
    TOverlayReadouts readouts;
    readouts.Origin = Fixed(doc.OffsetX, 4) + " " + Fixed(doc.OffsetY, 4);
    if (eastSpacing != 0.0 && northSpacing != 0.0) {
        readouts.Scale = Fixed(doc.ScaleX / (eastSpacing * unitFactor), 8) + " " +
                         Fixed(doc.ScaleY / (northSpacing * unitFactor), 8);
        readouts.Rotation = Fixed(doc.Rotation, 1);
        readouts.HasScale = true;
    }
    return readouts;
}

} // namespace kv
