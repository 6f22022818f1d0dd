#pragma once
// The topo editor's picture: contour lines traced on the triangulated topo grid, and the grid
// point marks, drawn on a canvas with a whole number of pixels per cell.
//
// The triangles and levels are those of TriangleContours.h; each segment is truncated to whole
// pixels and drawn with both end pixels.

#include "mapview/Colorbar.h"
#include "mapview/TopoGrid.h"
#include "mapview/TriangleContours.h"
#include "platform/Canvas.h"

#include <cstdint>

namespace kv {

struct TContourOptions {
    int32_t Spacing = 5;          // pixels per cell (values below 1 count as 1)
    double Interval = 75.0;       // metres between levels; values not above 0 draw nothing
    bool ColorByElevation = true; // colour each level by Bar's band for level x UnitFactor
    const TColorBar* Bar = nullptr;
    double UnitFactor = 1.0;
    TColor FixedColor = clWhite;     // the colour of every line when not coloured by elevation
    int64_t* SegmentCount = nullptr; // when given, counts the segments drawn
};

// Traces the contours of the live grid onto the canvas (without clearing it). Returns false when
// the abort hook stopped it.
bool TraceContours(const TTopoGrid& grid, TCanvas& canvas, const TContourOptions& options,
                   const TAbortRequested& abortRequested = {}, const TProcessMessages& processMessages = {});

// Receives one segment at `level` from (x1, y1) to (x2, y2), in pixels before truncation.
using TSegmentSink = std::function<void(double level, double x1, double y1, double x2, double y2)>;

// The same segments as TraceContours, in the same order, handed to `sink` instead of drawn
// (for writing them elsewhere); colours and the canvas play no part.
bool TraceContourSegments(const TTopoGrid& grid, const TContourOptions& options, const TSegmentSink& sink,
                          const TAbortRequested& abortRequested = {});

// Marks every grid point in blue: the rectangle (x - 2, y - 2) .. (x + 2, y + 2), right and bottom
// edges excluded, outlined in blue and filled with the canvas's brush, when the
// spacing is above 5, a 3-pixel plus sign at 4 or 5, a single pixel below 4. Returns false when
// aborted.
bool MarkGridPoints(const TTopoGrid& grid, TCanvas& canvas, int32_t spacing, const TAbortRequested& abortRequested = {},
                    const TProcessMessages& processMessages = {});

inline constexpr TColor TopoMarkColor = 0xFF0000; // blue

// The picture's size for the document, in pixels; throws EKorvelaError when it would exceed
// TopoImageMaxPixels (a large grid at a large zoom), naming the size and the limit.
inline constexpr int64_t TopoImageMaxPixels = int64_t(1) << 27;
struct TTopoImageSize {
    int32_t Width = 0;
    int32_t Height = 0;
};
TTopoImageSize TopoImageSize(const TTopoDocument& doc);

// The whole picture: the bitmap sized to spacing x cols by spacing x rows, filled black, the
// contours, then the marks when asked for and the spacing is above 1. Returns false when aborted.
bool DrawTopo(const TTopoDocument& doc, TBitmap& bitmap, const TColorBar* bar, double unitFactor,
              const TAbortRequested& abortRequested = {}, const TProcessMessages& processMessages = {});

} // namespace kv
