#pragma once
// The topo editor's document: a copy of part of the elevation grid (the topo grid) that the
// contour drawing, the elevation table and the smoothing filter work on, and the operations of
// the "Topo Editor" page that do not need a window: loading a map selection, cropping, the
// refresh after an edit, the spacing fit and the mouse readouts.
//
// Grid convention: column c runs west to east, row r north to south (row 0 is the northernmost),
// the opposite of the DEM grid's rows. Values are metres as far as every display is concerned.

#include "dem/DEMLib.h"
#include "mapview/MapCoords.h"
#include "platform/Rect.h"
#include "platform/Units.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// Columns and rows the topo grid can hold.
inline constexpr int32_t TopoCapacity = 1500;
// What a cell copied from a missing grid value holds.
inline constexpr double TopoVoidValue = -2147483648.0;
// Cells below this are left out of the contours.
inline constexpr double TopoContourFloor = -32000.0;

// A fixed-capacity grid of doubles, stored column by column (element c x capacity + r).
class TTopoGrid {
public:
    TTopoGrid() : Cells_(size_t(TopoCapacity) * TopoCapacity, 0.0) {}

    int32_t Cols() const { return Cols_; }
    int32_t Rows() const { return Rows_; }
    bool Empty() const { return Cols_ == 0 || Rows_ == 0; }
    // The live size; each is clamped to 0 .. TopoCapacity. Cells keep their values.
    void SetSize(int32_t cols, int32_t rows);

    // No range check: 0 <= col, row < TopoCapacity.
    double Get(int32_t col, int32_t row) const { return Cells_[Index(col, row)]; }
    void Set(int32_t col, int32_t row, double value) { Cells_[Index(col, row)] = value; }
    // The first cell of a column; its rows follow each other.
    const double* Column(int32_t col) const { return Cells_.data() + Index(col, 0); }

private:
    static size_t Index(int32_t col, int32_t row) { return size_t(col) * TopoCapacity + size_t(row); }
    int32_t Cols_ = 0;
    int32_t Rows_ = 0;
    std::vector<double> Cells_;
};

// The page's state besides the picture.
struct TTopoDocument {
    TTopoGrid Grid;
    bool TopoLoaded = false;
    int32_t TopoSpacing = 5;    // pixels per cell, 1 to 500
    double TopoInterval = 75.0; // metres
    double TopoMin = 0.0;
    double TopoMax = 0.0;
    TGroundPoint TopoOrigin; // ground position of cell (0, 0), in the reference system's units
    int32_t TopoRefCode = 1; // 0 geographic (arc-seconds), 1 lengths in metres
    TRect TopoSelection{0, 0, TopoCapacity, TopoCapacity};
    bool MarkPoints = false;
    bool ColorByElevation = true;
    bool AutoUpdate = true;
    TGroundSpacing Spacing; // metres between columns and rows
    // Metres per ground unit east and north: the latitude table's row for geographic grids (so
    // that metre offsets turn back into arc-seconds), 1 otherwise.
    TArcSecondLength MetresPerGroundUnit{1.0, 1.0};
};

inline constexpr int32_t TopoSpacingMin = 1;
inline constexpr int32_t TopoSpacingMax = 500;
inline constexpr double TopoIntervalMin = 0.1;
inline constexpr double TopoIntervalMax = 1000.0;

inline constexpr const char* NoTerrainSelectedMessage = "No Terrain Selected!\r\nUse mouse to select an area.";
inline constexpr const char* NoTerrainLoadedMessage =
    "No Terrain Loaded Into Topo Editor\r\nSelect Terrain From DEM Reader";
inline constexpr const char* SelectionClippedMessage =
    "The selection is larger than 1500 columns or rows; its north-west 1500 x 1500 cells are edited.";

// The page's start values (spacing 5, interval 75 m, no marks, colours on, auto update on, the
// full selection) and the document's ground spacing from the grid's header.
void ResetTopoEditor(TTopoDocument& doc, const TDEMInfo& info, const TUnits& units);

// Sets the interval from metres the way the interval field shows it: x in working units rounded to
// 2 decimals (1 when that is 0), back to metres. Returns the value the field shows.
double SetTopoInterval(TTopoDocument& doc, double meters, const TUnits& units);

// r rounded up to a multiple of 10, keeping its sign: 23 gives 30, -23 gives -30, 40 stays 40.
double RoundUpToTen(double r);

// The smallest multiple of the interval not below z (z itself when it is one).
double NextContourLevel(double z, double interval);

enum TLoadOutcome { loNothingSelected, loLoaded, loClipped };

// Copies the cells under a selection of the map (DEM image pixels: grid row j is image row
// rows - j) into the topo grid, north first, and sets the page up for it (reset, automatic
// interval, origin, spacing). A selection wider or taller than the grid's capacity keeps its
// north-west TopoCapacity x TopoCapacity cells (loClipped: the page tells the user). An empty
// selection changes nothing (loNothingSelected: the page shows NoTerrainSelectedMessage).
// The page then calls FitSpacing and draws.
TLoadOutcome LoadSelection(TTopoDocument& doc, const TDEMArray& dem, const TRect& demSelection, const TUnits& units);

// The largest whole spacing that fits the grid's cell steps into an image of the size (at least 1,
// at most TopoSpacingMax). Before the first drawing the page passes 569 x 329.
void FitSpacing(TTopoDocument& doc, int32_t imageWidth, int32_t imageHeight);

// Crops the grid to the cells under a selection box given in picture pixels (corner cells
// included) and moves the origin accordingly. A box that lies wholly outside the grid changes
// nothing and returns false.
bool CropToBox(TTopoDocument& doc, const TRect& boxPixels);

// After the elevation table replaced the grid: a local grid (origin 0, 0, locations in metres),
// the range of the live cells, optionally the interval (range / 15, not rounded), the whole grid
// selected, the spacing fitted to the image size.
void RefreshAfterEdit(TTopoDocument& doc, bool updateInterval, const TUnits& units, int32_t imageWidth,
                      int32_t imageHeight);

// True when the grid holds cells; the page shows NoTerrainLoadedMessage otherwise.
inline bool TopoTerrainLoaded(const TTopoDocument& doc)
{
    return !doc.Grid.Empty();
}

// Bilinear elevation (metres) at the cell position (px, py); 0 outside the last column or row.
double InterpolatedElevation(const TTopoGrid& grid, double px, double py);

// The texts under the mouse at picture pixel (x, y).
struct TTopoReadout {
    std::string Point;     // "12.4, 7.0 "
    std::string Location;  // "<east>E, <north>N "
    std::string Elevation; // "123.4 M. "
    bool operator==(const TTopoReadout&) const = default;
};
TTopoReadout TopoReadouts(const TTopoDocument& doc, int32_t x, int32_t y, const TUnits& units);

// The selection box's cells: its corners divided by the spacing, and the text of their number.
TRect BoxCells(const TTopoDocument& doc, const TRect& boxPixels);
std::string TopoSizeText(const TRect& cells);

} // namespace kv
