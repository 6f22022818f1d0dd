#pragma once
// The map: every grid cell one pixel, coloured by elevation, grey-shaded as relief lit from one
// of eight directions, or black where a contour passes, in any combination of the plot options.
//
// Column i of the grid lands at pixel x = i, row j at y = Rows - j (the northernmost row at
// y = 1), on a white picture of (Cols + 4) x (Rows + 4) pixels. Cells are drawn column by
// column, south to north; missing cells stay white and are skipped, so the next cell compares
// with the last one drawn. Shading and contours compare each cell with the previous cell drawn
// and with the cells of the column to its west, which the drawing keeps in a column buffer.

#include "dem/DEMLib.h"
#include "mapview/Colorbar.h"
#include "mapview/PlotOptions.h"
#include "platform/Bitmap.h"
#include "platform/Units.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kv {

// Shading: a difference d falls into grey k, the number of the contrast row's thresholds that
// are <= d; grey k has red = green = blue = ShadeGreys[k].
extern const std::array<std::array<int32_t, 15>, 7> ShadeThresholds;
extern const std::array<uint8_t, 16> ShadeGreys;

// The grey level of difference d at the contrast (a contrast outside 0 .. 6 shades as 3).
uint8_t ShadeGrey(int32_t contrast, int64_t difference);

// The shading difference of a cell v lit from `light`, given the previous cell drawn P, and the
// west W, north-west NW and south-west SW neighbours from the column buffer. A light code
// outside 0 .. 7 gives 0 (no relief).
int64_t ShadeDifference(uint8_t light, int64_t v, int64_t previous, int64_t west, int64_t northWest, int64_t southWest);

// Whether elevations a and b cross a contour of the interval (taken as 1 when below 1): with lo,
// hi the smaller and larger and q = lo / interval truncated toward zero, hi >= interval x (q + 1).
bool CrossesContour(int64_t a, int64_t b, int32_t interval);

// The contour interval of a drawing, in the unit of the grid's cells: (DataMax - DataMin) / 15
// rounded (halves to even), halved first for geographic grids (GroundRef 0).
int32_t ComputeImageContourInterval(const TDEMInfo& info);

// What one drawing leaves for the next: the column buffer, one entry per image row plus one
// above and one below the map (Rows + 2 entries). The first column's west neighbours are the
// last drawing's (zero before the first), as the program has always drawn them.
struct TDEMImageState {
    std::vector<int32_t> ColumnBuffer;
};

// Draws the whole grid onto the bitmap, which becomes (Cols + 4) x (Rows + 4) pixels of 32 bits,
// white where no cell is drawn. Recomputes options.ImageContourInterval first. A cell v (in the
// file's unit, Info.ElevUnits) takes the colour of the bar's band that holds v in the working
// units; the shading grey replaces that colour; a contour pixel is black. `threads` 0 uses the
// machine's cores; the picture is the same for any number of threads.
void DrawElevationImage(TBitmap& bitmap, const TDEMArray& dem, TPlotOptions& options, const TColorBar& bar,
                        const TUnits& units, TDEMImageState& state, int32_t threads = 0);

} // namespace kv
