#include "dem/DEMWriter.h"

#include "DEMBlockWriter.h"
#include "dem/DEMLoader.h"
#include "DEMRecords.h"
#include "platform/FileIO.h"
#include "platform/KVError.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

constexpr int32_t VoidElevation = -32767;

// Rows the reader will give the grid for this header, or -1 when it gives none that can be
// compared (no profiles, or a spacing that leaves the row count undefined).
int64_t RowsReadBack(const TDEMInfo& info)
{
    const double rows = std::trunc(NorthSpanOf(info) / info.Resolution[1]);
    if (!std::isfinite(rows) || rows < 0.0 || rows > 2147483647.0)
        return -1;
    return static_cast<int64_t>(rows);
}

TProfileHeader ColumnHeader(const TDEMArray& dem, const TDEMInfo& info, int32_t col)
{
    TProfileHeader header;
    header.Row = 1;
    header.Col = col + 1;
    header.M = dem.Rows();
    header.N = 1;
    header.X0 = info.Corners[cnSW].East + col * info.Resolution[0];
    header.Y0 = BaseNorthOf(info);
    bool any = false;
    const int32_t* cells = dem.Column(col);
    for (int32_t row = 0; row < dem.Rows(); ++row) {
        if (cells[row] == VoidValue)
            continue;
        const double value = cells[row];
        header.Min = any ? std::min(header.Min, value) : value;
        header.Max = any ? std::max(header.Max, value) : value;
        any = true;
    }
    return header;
}

} // namespace

std::string FormatDEMText(const TDEMArray& dem)
{
    TDEMInfo info = dem.Info;
    // The profiles are always written as a regular grid, whatever pattern the source stated;
    // readers refuse files that state another pattern.
    info.PatternCode = 1;
    info.ProfileRows = 1;
    info.ProfileCols = dem.Cols();
    // The reader replaces an all-zero corner set; place the profiles against the corners it uses.
    TDEMInfo placed = info;
    ReplaceZeroCorners(placed);
    if (dem.Cols() > 0 && RowsReadBack(placed) != dem.Rows())
        throw EKorvelaError("The DEM header's corners and y spacing do not describe the grid's " +
                            std::to_string(dem.Rows()) + " rows");

    TDEMBlockWriter writer;
    // Record A, then per profile a 144-byte header and 6-byte elevations (146 in the first
    // block, 170 in each further one).
    const size_t blocksPerProfile = static_cast<size_t>(dem.Rows()) / 170 + 2;
    writer.Reserve(TDEMBlockWriter::BlockSize * (1 + blocksPerProfile * static_cast<size_t>(dem.Cols())));
    WriteRecordA(writer, info);
    for (int32_t col = 0; col < dem.Cols(); ++col) {
        WriteProfileHeader(writer, ColumnHeader(dem, placed, col));
        const int32_t* cells = dem.Column(col);
        for (int32_t row = 0; row < dem.Rows(); ++row)
            writer.PutInt(cells[row] == VoidValue ? VoidElevation : cells[row]);
        writer.Flush();
    }
    return writer.TakeOutput();
}

void SaveDEMFile(const std::filesystem::path& fileName, const TDEMArray& dem)
{
    WriteFileAtomically(fileName, FormatDEMText(dem));
}

} // namespace kv
