#pragma once
// GDAL's command-line tools as a peer reader: what another program reads from the DEM files
// we write. GDAL is run as a separate program and never linked.

#include "dem/DEMLib.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kv::test {

// A grid as the peer reads it.
struct TPeerGrid {
    int32_t Cols = 0;
    int32_t Rows = 0;
    std::vector<double> Values; // [row * Cols + col], row 0 the southernmost, col 0 the westernmost
    // Position of the south-west cell and the spacings, in the file's ground units
    // (arc-seconds for geographic files, whatever GDAL reports them in).
    double WestX = 0.0;
    double SouthY = 0.0;
    double XSpacing = 0.0;
    double YSpacing = 0.0;

    double At(int32_t col, int32_t row) const { return Values[static_cast<size_t>(row) * Cols + col]; }
};

// Empty when gdal_translate can be run; otherwise why the peer checks cannot run.
std::string GDALMissingReason();

// Reads `fileName` with `gdal_translate -of XYZ`, working in `scratch`. `arcSeconds`: the
// file is geographic, so GDAL's degrees are turned back into arc-seconds. Throws
// std::runtime_error with GDAL's message when it refuses the file.
TPeerGrid ReadWithGDAL(const std::filesystem::path& fileName, const std::filesystem::path& scratch,
                       bool arcSeconds);

// Compares every cell of `ours` with the peer's cell at the same place. The grids are
// aligned at their south-west cells, whose positions (ours from our header: the south-west
// corner's easting, the lower southern northing) must lie within `toleranceCells` spacings
// of each other. The peer may read more rows at the north edge than our layout gives (those
// are not compared), never fewer, and must read as many columns. A void cell matches the
// peer's no-data value (-32767 or lower). Returns one line per difference (at most 10 and
// a count), empty when the peer reads every cell as we do.
std::vector<std::string> PeerDifferences(const TDEMArray& ours, const TPeerGrid& peer, double toleranceCells);

} // namespace kv::test
