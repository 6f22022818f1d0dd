#include "mapview/TopoContours.h"

#include "platform/KVError.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

// Draws each segment truncated to whole pixels with both end pixels, in the fixed colour or the
// colour bar's band of its level.
class TTopoSink : public TContourSink {
public:
    TTopoSink(TCanvas& canvas, const TContourOptions& options) : canvas_(canvas), options_(options)
    {
        if (!options.ColorByElevation || options.Bar == nullptr)
            canvas_.Pen.Color = options.FixedColor;
    }

    void Segment(double level, double x1, double y1, double x2, double y2) override
    {
        if (options_.ColorByElevation && options_.Bar != nullptr) {
            if (!haveColor_ || level != colorLevel_) {
                levelColor_ = options_.Bar->GetBandColor(level * options_.UnitFactor);
                colorLevel_ = level;
                haveColor_ = true;
            }
            canvas_.Pen.Color = levelColor_;
        }
        canvas_.Line({int32_t(x1), int32_t(y1)}, {int32_t(x2), int32_t(y2)}, leDrawLast);
        if (options_.SegmentCount != nullptr)
            ++*options_.SegmentCount;
    }

private:
    TCanvas& canvas_;
    const TContourOptions& options_;
    bool haveColor_ = false;
    double colorLevel_ = 0.0;
    TColor levelColor_ = clWhite;
};

// Hands each segment on as it is, counting it when asked to.
class TFunctionSink : public TContourSink {
public:
    TFunctionSink(const TSegmentSink& sink, int64_t* count) : sink_(sink), count_(count) {}
    void Segment(double level, double x1, double y1, double x2, double y2) override
    {
        sink_(level, x1, y1, x2, y2);
        if (count_ != nullptr)
            ++*count_;
    }

private:
    const TSegmentSink& sink_;
    int64_t* count_;
};

bool Stop(const TAbortRequested& abortRequested, const TProcessMessages& processMessages, int32_t row, int32_t every)
{
    if (abortRequested && abortRequested())
        return true;
    if (processMessages && row % every == 0)
        processMessages();
    return false;
}

} // namespace

bool TraceContours(const TTopoGrid& grid, TCanvas& canvas, const TContourOptions& options,
                   const TAbortRequested& abortRequested, const TProcessMessages& processMessages)
{
    TTopoSink sink(canvas, options);
    const double s = std::max(options.Spacing, 1);
    const TGridLayout layout{0, grid.Cols(), 0, grid.Rows(), 0.0, 0.0, s, s};
    return TraceGridContours(grid, layout, options.Interval, NextContourLevel, sink, abortRequested, processMessages,
                             5);
}

bool TraceContourSegments(const TTopoGrid& grid, const TContourOptions& options, const TSegmentSink& sink,
                          const TAbortRequested& abortRequested)
{
    TFunctionSink output(sink, options.SegmentCount);
    const double s = std::max(options.Spacing, 1);
    const TGridLayout layout{0, grid.Cols(), 0, grid.Rows(), 0.0, 0.0, s, s};
    return TraceGridContours(grid, layout, options.Interval, NextContourLevel, output, abortRequested, {}, 5);
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
