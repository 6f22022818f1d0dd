#include "mapview/TriangleContours.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kv {

namespace {

// The next level; a level so large that adding the interval no longer changes it ends the loop
// instead of repeating forever.
double NextLevel(double level, double interval)
{
    const double next = level + interval;
    return next == level ? INFINITY : next;
}

// The segment at `level` between the crossings of edges a-b and c-d (each first end lower).
void Segment(TContourSink& sink, double level, const TContourVertex& a, const TContourVertex& b,
             const TContourVertex& c, const TContourVertex& d)
{
    if (a.Z == b.Z || c.Z == d.Z)
        return;
    const double t1 = (level - a.Z) / (b.Z - a.Z);
    const double t2 = (level - c.Z) / (d.Z - c.Z);
    sink.Segment(level, a.X + t1 * (b.X - a.X), a.Y + t1 * (b.Y - a.Y), c.X + t2 * (d.X - c.X), c.Y + t2 * (d.Y - c.Y));
}

} // namespace

void TraceTriangle(TContourVertex v0, TContourVertex v1, TContourVertex v2, double interval, TLevelRule firstLevel,
                   TContourSink& sink)
{
    if (v0.Z < TopoContourFloor || v1.Z < TopoContourFloor || v2.Z < TopoContourFloor)
        return;
    if (v0.Z > v2.Z)
        std::swap(v0, v2);
    if (v0.Z > v1.Z)
        std::swap(v0, v1);
    if (v1.Z > v2.Z)
        std::swap(v1, v2);
    for (double level = firstLevel(v0.Z, interval); level <= v1.Z; level = NextLevel(level, interval)) {
        Segment(sink, level, v0, v1, v0, v2);
        if (level == v1.Z)
            Segment(sink, level, v0, v1, v1, v2);
    }
    for (double level = firstLevel(v1.Z, interval); level <= v2.Z; level = NextLevel(level, interval)) {
        Segment(sink, level, v1, v2, v0, v2);
        if (level == v1.Z)
            Segment(sink, level, v1, v2, v0, v1);
    }
}

bool TraceGridContours(const TTopoGrid& grid, const TGridLayout& layout, double interval, TLevelRule firstLevel,
                       TContourSink& sink, const TAbortRequested& abortRequested,
                       const TProcessMessages& processMessages, int32_t messageEvery)
{
    if (!(interval > 0.0))
        return true;
    const int32_t endCol = std::min(layout.EndCol, grid.Cols());
    const int32_t endRow = std::min(layout.EndRow, grid.Rows());
    const int32_t firstCol = std::max(layout.FirstCol, 0);
    const int32_t firstRow = std::max(layout.FirstRow, 0);
    for (int32_t r = firstRow; r + 1 < endRow; ++r) {
        const double y0 = layout.OriginY + (r - firstRow) * layout.StepY;
        const double y1 = layout.OriginY + (r + 1 - firstRow) * layout.StepY;
        for (int32_t c = firstCol; c + 1 < endCol; ++c) {
            const double x0 = layout.OriginX + (c - firstCol) * layout.StepX;
            const double x1 = layout.OriginX + (c + 1 - firstCol) * layout.StepX;
            const TContourVertex nw{x0, y0, grid.Get(c, r)};
            const TContourVertex ne{x1, y0, grid.Get(c + 1, r)};
            const TContourVertex se{x1, y1, grid.Get(c + 1, r + 1)};
            const TContourVertex sw{x0, y1, grid.Get(c, r + 1)};
            TraceTriangle(nw, ne, se, interval, firstLevel, sink);
            TraceTriangle(nw, se, sw, interval, firstLevel, sink);
        }
        if (abortRequested && abortRequested())
            return false;
        if (processMessages && messageEvery > 0 && (r - firstRow) % messageEvery == 0)
            processMessages();
    }
    return true;
}

} // namespace kv
