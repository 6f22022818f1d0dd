#pragma once
// The elevation table behind the topo editor's " Edit Grid" dialog: a sheet of texts, one per
// topo grid cell, shown in working units; its extent rules, Enter navigation, copy and paste as
// TAB-separated text, and the elevation file (*.elv) it loads and saves.
//
// Sheet cells are addressed by data column and row from 0 (row 0 the northernmost); the
// dialog's header column and row, numbered from 1, are the widget's business. The sheet holds
// texts only, as a user typed them; numbers are read from them when needed.
//
// Numbers in cells and pasted text: an optional minus sign, digits with at most one ".", and an
// optional exponent (E or e, an optional minus sign, digits); every other character separates
// numbers. A number beyond the range of a double is not a number.
//
// The elevation file: lines ended by CR LF, fields separated by ",": "cols,rows"; the east and
// north spacing in metres; "0.0,0.0,31" (reserved); then one line per row, north first, of the
// row's elevations in metres. Everything is written in fixed notation with 1 decimal and "." as
// the decimal separator, whatever the locale.

#include "mapview/TopoGrid.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Data columns and rows of the sheet: the topo grid's whole capacity, so that confirming the
// table never cuts the grid.
inline constexpr int32_t SheetCols = TopoCapacity;
inline constexpr int32_t SheetRows = TopoCapacity;

// The next number in `text` at or after `pos`; `pos` moves past it (to the end when there is
// none).
std::optional<double> ScanNumber(std::string_view text, size_t& pos);
// The first number of a cell's text, or 0.
double ParseCellNumber(std::string_view text);
// Whether the text holds a number.
bool CellCounts(std::string_view text);

struct TSheetCell {
    int32_t Col = 0;
    int32_t Row = 0;
    bool operator==(const TSheetCell&) const = default;
};

// Where Enter moves the cursor: to the next column; from the last column to column 0 of the
// next row; on the last row's last column to that row's column 0.
TSheetCell NextCellOnEnter(TSheetCell cell);

struct TSheetExtent {
    int32_t Cols = 0;
    int32_t Rows = 0;
    bool operator==(const TSheetExtent&) const = default;
};

class TElevationSheet {
public:
    TElevationSheet();

    // Empty outside the sheet.
    const std::string& CellText(int32_t col, int32_t row) const;
    // Ignored outside the sheet.
    void SetCellText(int32_t col, int32_t row, std::string text);
    void Clear();

    // cols: the longest run of counted cells from column 0 in any row, scanning rows from 0 and
    // stopping at the first row whose column 0 does not count; rows: the same down the columns.
    TSheetExtent Extent() const;
    // "cols,rows".
    std::string SizeText() const;

    // Clears the sheet and shows every live cell x unitFactor with no decimals.
    void FillFromGrid(const TTopoGrid& grid, double unitFactor);
    // Replaces the grid with the extent's cells / unitFactor (cells without a number give 0).
    // Returns whether the grid holds cells now.
    bool WriteToGrid(TTopoGrid& grid, double unitFactor) const;

    // The extent's cell texts, TAB between cells, CR LF after each row.
    std::string CopyText() const;
    // Clears the sheet; line i fills row i from column 0 with the numbers found on it, in fixed
    // notation with 1 decimal, until the line or the columns run out. Lines beyond the sheet are
    // ignored.
    void PasteText(std::string_view text);

private:
    // Row by row; each row only as long as its last cell ever set.
    std::vector<std::vector<std::string>> Cells_;
};

// What an elevation file says besides its cells.
struct TElvHeader {
    int32_t Cols = 0;
    int32_t Rows = 0;
    double EastSpacing = 10.0; // metres, within the resolution fields' range 0.1 .. 1000000
    double NorthSpacing = 10.0;
};

inline constexpr double ElvSpacingMin = 0.1;
inline constexpr double ElvSpacingMax = 1000000.0;

// Reads an elevation file's text into the sheet: cell (c, r) of the file becomes the value x
// unitFactor in fixed notation with 1 decimal; cells outside the file's extent keep their text.
// Missing numbers at the end read as 0. Throws EKorvelaError, leaving the sheet as it was, when
// the sizes are negative or beyond the sheet.
TElvHeader ReadElvText(std::string_view text, TElevationSheet& sheet, double unitFactor);
TElvHeader LoadElvFile(const std::filesystem::path& fileName, TElevationSheet& sheet, double unitFactor);

// The file text of the sheet's extent: spacings and cells in working units, divided by
// unitFactor into metres.
std::string ElvText(const TElevationSheet& sheet, double eastResolution, double northResolution, double unitFactor);
// Saves through WriteFileAtomically: a failed save leaves the old file as it was.
void SaveElvFile(const std::filesystem::path& fileName, const TElevationSheet& sheet, double eastResolution,
                 double northResolution, double unitFactor);

} // namespace kv
