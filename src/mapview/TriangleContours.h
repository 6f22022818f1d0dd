#pragma once
// Contour tracing on the triangulated topo grid, shared by every picture that draws contours:
// the topo editor's and the overlay editor's. The tracer finds the segments; what a segment
// becomes on screen (colour, position, turn) is up to the sink.
//
// Each cell (c, r) .. (c + 1, r + 1) is split along its diagonal from (c, r) to (c + 1, r + 1)
// into the triangles (c, r) (c + 1, r) (c + 1, r + 1) and (c, r) (c + 1, r + 1) (c, r + 1); a
// triangle with a vertex below TopoContourFloor is skipped (void cells leave holes). A triangle's
// vertices are sorted by elevation (V0 <= V1 <= V2); its lower half draws the levels from the
// first level of V0 up to V1 between the edges V0V1 and V0V2, its upper half the levels from the
// first level of V1 up to V2 between V1V2 and V0V2. A level equal to V1 also gets the segment
// along the other edge of V1. Segments across a flat edge are left out.

#include "mapview/TopoGrid.h"

#include <cstdint>
#include <functional>

namespace kv {

// Asked after every row of cells; true stops the drawing there. The pages back it with their
// window system's input queue.
using TAbortRequested = std::function<bool()>;
// Called every few rows so that a page can process its pending messages.
using TProcessMessages = std::function<void()>;

// The first contour level not below z for the interval.
using TLevelRule = double (*)(double z, double interval);

struct TContourVertex {
    double X;
    double Y;
    double Z;
};

// Receives the segments: the level and the two crossing points, in the vertices' coordinates.
class TContourSink {
public:
    virtual ~TContourSink() = default;
    virtual void Segment(double level, double x1, double y1, double x2, double y2) = 0;
};

// Traces one triangle (in any vertex order). Levels step by the exact interval from the rule's
// first level.
void TraceTriangle(TContourVertex v0, TContourVertex v1, TContourVertex v2, double interval, TLevelRule firstLevel,
                   TContourSink& sink);

// A window of the grid's points laid out on a picture: point (c, r), FirstCol <= c < EndCol and
// FirstRow <= r < EndRow, lies at (OriginX + (c - FirstCol) x StepX, OriginY + (r - FirstRow) x
// StepY). The cells between those points are traced.
struct TGridLayout {
    int32_t FirstCol = 0;
    int32_t EndCol = 0;
    int32_t FirstRow = 0;
    int32_t EndRow = 0;
    double OriginX = 0.0;
    double OriginY = 0.0;
    double StepX = 1.0;
    double StepY = 1.0;
};

// Traces the cells of the layout row by row (north first). After each row the abort hook is
// asked (true stops the tracing and returns false) and, every `messageEvery` rows, pending
// messages are processed. An interval not above 0 traces nothing.
bool TraceGridContours(const TTopoGrid& grid, const TGridLayout& layout, double interval, TLevelRule firstLevel,
                       TContourSink& sink, const TAbortRequested& abortRequested = {},
                       const TProcessMessages& processMessages = {}, int32_t messageEvery = 5);

} // namespace kv
