#include "mapview/TopoContours.h"

#include "platform/KVError.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kv {

namespace {

struct TVertex {
    double X;
    double Y;
    double Z;
};

// Where the segments go: drawn on a canvas in the level's colour, with both end pixels.
class TCanvasOutput {
public:
    TCanvasOutput(TCanvas& canvas, const TContourOptions& options) : canvas_(canvas), options_(options)
    {
        if (!options.ColorByElevation || options.Bar == nullptr)
            canvas_.Pen.Color = options.FixedColor;
    }

    void Segment(double level, double x1, double y1, double x2, double y2)
    {
        if (options_.ColorByElevation && options_.Bar != nullptr) {
            if (!haveColor_ || level != colorLevel_) {
                levelColor_ = options_.Bar->GetBandColor(level * options_.UnitFactor);
                colorLevel_ = level;
                haveColor_ = true;
            }
            canvas_.Pen.Color = levelColor_;
        }
        // Truncated to whole pixels.
        canvas_.Line({int32_t(x1), int32_t(y1)}, {int32_t(x2), int32_t(y2)}, leDrawLast);
    }

private:
    TCanvas& canvas_;
    const TContourOptions& options_;
    bool haveColor_ = false;
    double colorLevel_ = 0.0;
    TColor levelColor_ = clWhite;
};

// Or handed on as they are.
class TSinkOutput {
public:
    explicit TSinkOutput(const TSegmentSink& sink) : sink_(sink) {}
    void Segment(double level, double x1, double y1, double x2, double y2) { sink_(level, x1, y1, x2, y2); }

private:
    const TSegmentSink& sink_;
};

template <typename TOutput> class TTracer {
public:
    TTracer(TOutput& output, const TContourOptions& options) : output_(output), options_(options) {}

    void Triangle(TVertex v0, TVertex v1, TVertex v2)
    {
        if (v0.Z < TopoContourFloor || v1.Z < TopoContourFloor || v2.Z < TopoContourFloor)
            return;
        if (v0.Z > v2.Z)
            std::swap(v0, v2);
        if (v0.Z > v1.Z)
            std::swap(v0, v1);
        if (v1.Z > v2.Z)
            std::swap(v1, v2);
        const double interval = options_.Interval;
        for (double level = NextContourLevel(v0.Z, interval); level <= v1.Z; level = Next(level)) {
            Segment(level, v0, v1, v0, v2);
            if (level == v1.Z)
                Segment(level, v0, v1, v1, v2);
        }
        for (double level = NextContourLevel(v1.Z, interval); level <= v2.Z; level = Next(level)) {
            Segment(level, v1, v2, v0, v2);
            if (level == v1.Z)
                Segment(level, v1, v2, v0, v1);
        }
    }

private:
    // The next level; a level so large that adding the interval no longer changes it ends the
    // loop instead of repeating forever.
    double Next(double level) const
    {
        const double next = level + options_.Interval;
        return next == level ? INFINITY : next;
    }

    // The segment at `level` between the crossings of edges a-b and c-d (each first end lower).
    void Segment(double level, const TVertex& a, const TVertex& b, const TVertex& c, const TVertex& d)
    {
        if (a.Z == b.Z || c.Z == d.Z)
            return;
        const double t1 = (level - a.Z) / (b.Z - a.Z);
        const double t2 = (level - c.Z) / (d.Z - c.Z);
        output_.Segment(level, a.X + t1 * (b.X - a.X), a.Y + t1 * (b.Y - a.Y), c.X + t2 * (d.X - c.X),
                        c.Y + t2 * (d.Y - c.Y));
        if (options_.SegmentCount != nullptr)
            ++*options_.SegmentCount;
    }

    TOutput& output_;
    const TContourOptions& options_;
};

bool Stop(const TAbortRequested& abortRequested, const TProcessMessages& processMessages, int32_t row, int32_t every)
{
    if (abortRequested && abortRequested())
        return true;
    if (processMessages && row % every == 0)
        processMessages();
    return false;
}

// Both outputs share the walk over the cells.
template <typename TOutput>
bool Trace(const TTopoGrid& grid, TOutput& output, const TContourOptions& options,
           const TAbortRequested& abortRequested, const TProcessMessages& processMessages)
{
    if (!(options.Interval > 0.0))
        return true;
    TTracer<TOutput> tracer(output, options);
    const double s = std::max(options.Spacing, 1);
    for (int32_t r = 0; r + 1 < grid.Rows(); ++r) {
        const double y0 = r * s;
        const double y1 = (r + 1) * s;
        for (int32_t c = 0; c + 1 < grid.Cols(); ++c) {
            const double x0 = c * s;
            const double x1 = (c + 1) * s;
            const TVertex nw{x0, y0, grid.Get(c, r)};
            const TVertex ne{x1, y0, grid.Get(c + 1, r)};
            const TVertex se{x1, y1, grid.Get(c + 1, r + 1)};
            const TVertex sw{x0, y1, grid.Get(c, r + 1)};
            tracer.Triangle(nw, ne, se);
            tracer.Triangle(nw, se, sw);
        }
        if (Stop(abortRequested, processMessages, r, 5))
            return false;
    }
    return true;
}

} // namespace

bool TraceContours(const TTopoGrid& grid, TCanvas& canvas, const TContourOptions& options,
                   const TAbortRequested& abortRequested, const TProcessMessages& processMessages)
{
    TCanvasOutput output(canvas, options);
    return Trace(grid, output, options, abortRequested, processMessages);
}

bool TraceContourSegments(const TTopoGrid& grid, const TContourOptions& options, const TSegmentSink& sink,
                          const TAbortRequested& abortRequested)
{
    TSinkOutput output(sink);
    return Trace(grid, output, options, abortRequested, {});
}

bool MarkGridPoints(const TTopoGrid& grid, TCanvas& canvas, int32_t spacing, const TAbortRequested& abortRequested,
                    const TProcessMessages& processMessages)
{
    const int32_t s = std::max(spacing, 1);
    canvas.Pen.Color = TopoMarkColor;
    for (int32_t r = 0; r < grid.Rows(); ++r) {
        const int32_t y = r * s;
        for (int32_t c = 0; c < grid.Cols(); ++c) {
            const int32_t x = c * s;
            if (s > 5) {
                canvas.Rectangle({x - 2, y - 2, x + 2, y + 2});
            } else if (s >= 4) {
                canvas.Line({x - 1, y}, {x + 2, y}, leOmitLast);
                canvas.Line({x, y - 1}, {x, y + 2}, leOmitLast);
            } else {
                canvas.SetPixel(x, y, TopoMarkColor);
            }
        }
        if (Stop(abortRequested, processMessages, r, 10))
            return false;
    }
    return true;
}

TTopoImageSize TopoImageSize(const TTopoDocument& doc)
{
    const int64_t s = std::clamp(doc.TopoSpacing, TopoSpacingMin, TopoSpacingMax);
    const int64_t width = s * doc.Grid.Cols();
    const int64_t height = s * doc.Grid.Rows();
    if (width * height > TopoImageMaxPixels)
        throw EKorvelaError("The topo picture would be " + std::to_string(width) + " x " + std::to_string(height) +
                            " pixels, more than the " + std::to_string(TopoImageMaxPixels) +
                            " pixels it may have; choose a smaller Zoom/Spacing.");
    return {int32_t(width), int32_t(height)};
}

bool DrawTopo(const TTopoDocument& doc, TBitmap& bitmap, const TColorBar* bar, double unitFactor,
              const TAbortRequested& abortRequested, const TProcessMessages& processMessages)
{
    const TTopoImageSize size = TopoImageSize(doc);
    bitmap.SetSize(size.Width, size.Height);
    TCanvas canvas(bitmap);
    canvas.Brush.Color = clBlack;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect({0, 0, size.Width, size.Height});
    TContourOptions options;
    options.Spacing = doc.TopoSpacing;
    options.Interval = doc.TopoInterval;
    options.ColorByElevation = doc.ColorByElevation;
    options.Bar = bar;
    options.UnitFactor = unitFactor;
    if (!TraceContours(doc.Grid, canvas, options, abortRequested, processMessages))
        return false;
    if (doc.MarkPoints && doc.TopoSpacing > 1)
        return MarkGridPoints(doc.Grid, canvas, doc.TopoSpacing, abortRequested, processMessages);
    return true;
}

} // namespace kv
