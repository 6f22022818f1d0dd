#pragma once
// Map pixels to ground coordinates and back into text: the corner labels of the visible part of
// the map, the cursor readout, the selection size, the colour bar's range and the ground spacing
// of the grid's columns and rows.
//
// One image pixel is one grid cell. Geographic grids (GroundRef 0) carry corners and resolution
// in arc-seconds, UTM grids (GroundRef 1) in metres; any other reference system shows no
// coordinate text. Texts are UTF-8.

#include "dem/DEMLib.h"
#include "platform/Rect.h"
#include "platform/Units.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// Round(pixels x the x (or y) resolution), halves to even, in the grid's ground units. Results
// beyond the 32-bit range (a damaged header) are clamped to it; a resolution that is not a
// number gives 0.
int32_t PixelsToGroundX(const TDEMInfo& info, int32_t pixels);
int32_t PixelsToGroundY(const TDEMInfo& info, int32_t pixels);

// Degrees, minutes and whole seconds of an angle in arc-seconds: "-119°59'59\"". The degrees
// keep the sign of the value (a value between -3600 and 0 shows "0" degrees without a sign);
// minutes and seconds are never negative and seconds are truncated, never rounded. The degree
// sign is the UTF-8 "°" (C2 B0). A value that is not a finite number gives an empty text.
std::string FormatArcSeconds(double arcSeconds);

// A length in metres as a whole number with thousands separators, "833,952m." in metres mode,
// "2,736,063ft" in feet mode. Halves round away from zero. The separator is "," unless another
// is given (an empty separator writes the digits ungrouped). A value that is not a finite number
// gives an empty text.
std::string FormatLength(double meters, const TUnits& units, std::string_view separator = ",");

// FormatArcSeconds for reference system 0, FormatLength for 1, an empty text for any other.
std::string FormatGround(int32_t groundRef, double value, const TUnits& units);

// What the corner labels need to know of the scrolling window the map sits in, in pixels.
struct TScrollState {
    int32_t Width = 0;        // outer width of the scrolling window (with its scroll bars)
    int32_t Height = 0;       // outer height
    int32_t HorzPosition = 0; // horizontal scroll position
    int32_t VertRange = 0;    // vertical scroll range
    int32_t VertPosition = 0; // vertical scroll position
    int32_t ClientHeight = 0; // height of the client area
};

// The eight corner texts of the visible area, each east value followed by " E", each north
// value by " N".
struct TCornerLabels {
    std::string SWEast, SWNorth, NWEast, NWNorth, NEEast, NENorth, SEEast, SENorth;
    bool operator==(const TCornerLabels&) const = default;
};

// The corner labels of the visible part of the map: the lower-left visible pixel is offset from
// the header's south-west corner by the scroll positions, and the visible area spans the scroll
// window's outer size.
TCornerLabels CornerLabels(const TDEMInfo& info, const TScrollState& scroll, const TUnits& units);

// Ground position under image pixel (x, y), measured from the header's north-west corner, as
// "<east> E" and "<north> N".
struct TCursorReadout {
    std::string East, North;
    bool operator==(const TCursorReadout&) const = default;
};
TCursorReadout CursorReadout(const TDEMInfo& info, int32_t x, int32_t y, const TUnits& units);

// The selection's size "w,h:w*h" from its corners, whichever way round they are: "120,80:9600".
std::string SelectionSizeText(const TRect& selection);

// Working units per unit of the grid's cells (Info.ElevUnits, any code but feet taken as metres):
// a cell value v shows as v x this factor. One factor instead of converting through metres keeps
// whole values whole when the file and the working units agree (236 ft stays 236 ft).
double ElevationDisplayFactor(const TDEMInfo& info, const TUnits& units);

// The colour bar's range in the working units: the highest and lowest valid elevation of the
// grid (kept in the file's own elevation unit) in metres, times the unit factor, truncated
// toward zero.
struct TBarRange {
    double Top = 0.0;
    double Bottom = 0.0;
    bool operator==(const TBarRange&) const = default;
};
TBarRange ColorBarRange(const TDEMInfo& info, const TUnits& units);

// Metres of one arc-second eastward and northward at each whole degree of latitude, 0 to 90.
struct TArcSecondLength {
    double East;
    double North;
};
extern const std::array<TArcSecondLength, 91> MetresPerArcSecond;

// Metres between neighbouring grid columns (East) and rows (North).
struct TGroundSpacing {
    double East = 10.0;
    double North = 10.0;
    bool operator==(const TGroundSpacing&) const = default;
};

// Geographic grids: the latitude table's row for the south-west corner's whole degree times the
// resolution (30 m each way when the latitude lies outside 0 to 90); other grids: the resolution
// itself. A spacing of exactly 0 becomes 10 m.
TGroundSpacing ComputeGroundSpacing(const TDEMInfo& info);

} // namespace kv
