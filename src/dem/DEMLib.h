#pragma once
// The elevation grid: a 2D array of 32-bit elevations plus the DEM header.
//
// Grid conventions shared by every reader of the grid:
//  - col runs west to east, 0 = the westernmost column;
//  - row runs south to north, 0 = the southernmost row;
//  - a cell holds a whole-number elevation in the unit named by Info.ElevUnits;
//  - VoidValue marks a cell without data; it never counts towards DataMin/DataMax.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

inline constexpr int32_t VoidValue = INT32_MIN; // -2147483648

// Unit codes of GroundUnits and ElevUnits.
enum TUnitCode : uint8_t { ucRadians = 0, ucFeet = 1, ucMeters = 2, ucArcSeconds = 3 };

struct TGroundPoint {
    double East = 0.0;
    double North = 0.0;
};

// The reader that filled a TDEMInfo.
enum TDEMFormat : uint8_t { dfNone = 0, dfUSGS = 1, dfSDTS = 2, dfGDAL = 3 };

// Indices into TDEMInfo::Corners.
enum TCorner { cnSW = 0, cnNW = 1, cnNE = 2, cnSE = 3 };

// The DEM header. A plain record, copied by value.
struct TDEMInfo {
    std::string MapName;          // at most 144 characters
    int32_t LevelCode = 0;
    int32_t PatternCode = 0;      // 1 = regular grid
    int32_t GroundRef = 0;        // 0 geographic, 1 UTM, 2 State Plane
    int32_t Zone = 0;
    uint8_t GroundUnits = 0;      // TUnitCode
    uint8_t ElevUnits = 0;        // TUnitCode
    int32_t PolySides = 0;
    int32_t Accuracy = 0;
    int32_t ProfileRows = 0;
    int32_t ProfileCols = 0;
    double Angle = 0.0;
    std::array<double, 15> ProjParams{};
    double OriginEast = 0.0;
    double OriginNorth = 0.0;
    std::array<TGroundPoint, 4> Corners{}; // SW, NW, NE, SE (TCorner)
    std::array<double, 3> Resolution{};    // x, y, z spacing
    double MinElevation = 0.0;
    double MaxElevation = 0.0;
    double DataMin = 0.0;
    double DataMax = 0.0;
    uint8_t HorizDatum = 0;       // 1 NAD27, 2 WGS72, 3 WGS84, 4 NAD83
    bool IsUTM = false;
    int32_t MapScale = 0;
    std::string DataID;
    std::string CreationDate;
    int32_t ErrorCount = 0;       // defect kinds reported by the last load
    std::string ErrorText;        // one line per defect kind, each ending in CR LF
    TDEMFormat SourceFormat = dfNone; // set by the reader that filled the header
};

// An elevation in the DEM's own unit (ElevUnits: feet or meters) converted to meters, the
// unit the working units scale from. Any other unit code is taken as meters.
double ElevationInMeters(const TDEMInfo& info, double elevation);

// Columns of the grid the header describes: ProfileRows x ProfileCols profiles for a USGS
// file, ProfileCols cells for an SDTS transfer or a raster read through GDAL, whose
// ProfileRows counts cell rows.
int64_t GridColumns(const TDEMInfo& info);

// A 2D array of 32-bit integers indexed [col][row], stored in one contiguous block
// column by column.
class T2DIntArray {
public:
    T2DIntArray() = default;
    T2DIntArray(int32_t cols, int32_t rows);

    int32_t Cols() const { return Cols_; }
    int32_t Rows() const { return Rows_; }

    // No range check: callers stay within 0..Cols-1 and 0..Rows-1.
    int32_t GetValue(int32_t col, int32_t row) const { return Cells_[Index(col, row)]; }
    void SetValue(int32_t col, int32_t row, int32_t value) { Cells_[Index(col, row)] = value; }

    // The cells of one column, south to north (Rows() values).
    int32_t* Column(int32_t col) { return Cells_.data() + Index(col, 0); }
    const int32_t* Column(int32_t col) const { return Cells_.data() + Index(col, 0); }

    // Resizes; cells present in both sizes keep their values, new cells are 0. Strong
    // guarantee: when allocation fails (std::bad_alloc) the array is unchanged. Negative
    // sizes are taken as 0; a grid with 0 columns has 0 rows.
    void SetSize(int32_t cols, int32_t rows);

private:
    size_t Index(int32_t col, int32_t row) const
    {
        return static_cast<size_t>(col) * static_cast<size_t>(Rows_) + static_cast<size_t>(row);
    }

    int32_t Cols_ = 0;
    int32_t Rows_ = 0;
    std::vector<int32_t> Cells_;
};

// The in-memory DEM: the grid and its header. A new one is 5 x 5 zeros with an all-zero header.
class TDEMArray : public T2DIntArray {
public:
    TDEMArray() : T2DIntArray(5, 5) {}

    TDEMInfo Info;
};

// Throws EKorvelaError when a grid of cols x rows cells cannot be held: a size beyond the
// 32-bit range of the grid's indices or more memory than the machine has available.
// `what` names the source in the message ("DEM file").
void CheckGridSize(int64_t cols, int64_t rows, const std::string& what);

} // namespace kv
