#include "dem/DEMLoader.h"

#include "DEMBlockReader.h"
#include "DEMRecords.h"
#include "platform/FileIO.h"
#include "platform/KVError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kv {

namespace {

constexpr int ElevationWidth = 6;
constexpr int32_t VoidThreshold = -1000; // an elevation at or below it marks a void cell

// Whole numbers in plain digits, anything else in its shortest exact form.
std::string FormatNumber(double value)
{
    if (std::trunc(value) == value && std::fabs(value) < 1e15)
        return std::to_string(static_cast<int64_t>(value));
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Nearest integer with halves to even, independent of the floating-point rounding mode.
double RoundHalfEven(double value)
{
    const double rounded = std::round(value); // halves away from zero
    if (std::fabs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return rounded;
}

struct TDefects {
    int32_t CarriageReturns = 0;
    int32_t LineFeeds = 0;
    int32_t InvalidCorners = 0;
    int32_t ProfilesOutOfBounds = 0;
};

void BuildDefectReport(const TDefects& defects, TDEMInfo& info)
{
    const std::pair<const char*, int32_t> kinds[] = {
        {"Embedded Carriage Returns: ", defects.CarriageReturns},
        {"Embedded Line Feeds: ", defects.LineFeeds},
        {"Invalid Corners: ", defects.InvalidCorners},
        {"Profiles Out Of Bounds: ", defects.ProfilesOutOfBounds},
    };
    info.ErrorText.clear();
    info.ErrorCount = 0;
    for (const auto& [text, count] : kinds) {
        if (count <= 0)
            continue;
        info.ErrorText += text + std::to_string(count) + "\r\n";
        ++info.ErrorCount;
    }
}

// The grid size record A describes, refused before anything is allocated when the data
// cannot back it.
struct TGridLayout {
    int32_t ProfileCount = 0;
    int32_t GridRows = 0;
    double BaseNorth = 0.0;
    double NorthSpan = 0.0;
};

TGridLayout PlanGrid(const TDEMInfo& info, size_t dataSize)
{
    TGridLayout layout;
    layout.BaseNorth = BaseNorthOf(info);
    layout.NorthSpan = NorthSpanOf(info);

    const int64_t profiles = int64_t{info.ProfileRows} * int64_t{info.ProfileCols};
    if (profiles < 0)
        throw EKorvelaError("DEM file declares a negative number of profiles: " + std::to_string(info.ProfileRows) +
                            " rows by " + std::to_string(info.ProfileCols) + " columns of profiles");
    // Every profile starts a block of its own.
    const uint64_t maxProfiles = dataSize / TDEMBlockReader::BlockSize + 1;
    if (static_cast<uint64_t>(profiles) > maxProfiles)
        throw EKorvelaError("DEM file declares " + std::to_string(profiles) + " profiles, but its " +
                            std::to_string(dataSize) + " bytes can hold at most " + std::to_string(maxProfiles));
    if (profiles == 0)
        return layout; // no columns, so no rows either

    const double ySpacing = info.Resolution[1];
    if (ySpacing == 0.0)
        throw EKorvelaError("DEM file has a y spacing of 0, so its grid rows cannot be computed");
    if (layout.NorthSpan == 0.0)
        throw EKorvelaError("DEM file has a north span of 0, so its profiles cannot be placed");
    const double rows = std::trunc(layout.NorthSpan / ySpacing);
    if (!std::isfinite(rows) || rows < 0.0)
        throw EKorvelaError("DEM file has an invalid grid height: a north span of " + FormatNumber(layout.NorthSpan) +
                            " over a y spacing of " + FormatNumber(ySpacing) + " gives " + FormatNumber(rows) +
                            " rows");
    // A profile holds its elevations in 6-character fields.
    const double maxRows = static_cast<double>(dataSize / ElevationWidth + 1);
    if (rows > maxRows)
        throw EKorvelaError("DEM file declares " + FormatNumber(rows) + " grid rows, but its " +
                            std::to_string(dataSize) + " bytes can hold at most " + FormatNumber(maxRows) +
                            " elevations per profile");
    CheckGridSize(profiles, static_cast<int64_t>(rows), "DEM file");
    layout.ProfileCount = static_cast<int32_t>(profiles);
    layout.GridRows = static_cast<int32_t>(rows);
    return layout;
}

// Running range of the valid elevations loaded.
struct TDataRange {
    int32_t Min = 32767;
    int32_t Max = -32767;
};

// Reads the profile that starts at the current block into column `col`. Returns false when
// its start lies outside the grid (it is then placed from row 0).
bool PlaceProfile(TDEMBlockReader& reader, const TGridLayout& layout, int32_t col, TDEMArray& dem,
                  TDataRange& range)
{
    reader.ReadBlock();
    const TProfileHeader header = ReadProfileHeader(reader, true);
    const int64_t length = header.Length();
    const int32_t rows = layout.GridRows;

    // Checked as a double: a far-off northing must not overflow the conversion.
    const double start = RoundHalfEven((header.Y0 - layout.BaseNorth) / layout.NorthSpan * rows);
    const bool inBounds = start >= 0.0 && start <= static_cast<double>(rows); // start = rows stores nothing
    const int64_t first = inBounds ? static_cast<int64_t>(start) : 0;
    const int64_t last = std::clamp<int64_t>(first + std::max<int64_t>(length, 0), first, rows);

    int32_t* cells = dem.Column(col);
    std::fill(cells, cells + first, VoidValue);
    for (int64_t row = first; row < last; ++row) {
        const int32_t value = reader.ReadInt(ElevationWidth);
        if (value <= VoidThreshold) {
            cells[row] = VoidValue;
            continue;
        }
        cells[row] = value;
        range.Min = std::min(range.Min, value);
        range.Max = std::max(range.Max, value);
    }
    std::fill(cells + last, cells + rows, VoidValue);
    return inBounds;
}

} // namespace

bool HasUSGSRecordA(std::span<const char> data, std::string* problem)
{
    TDEMBlockReader reader(data);
    TDEMInfo info;
    try {
        reader.ReadBlock();
        ReadRecordA(reader, info, false, true);
    } catch (const EKorvelaError& error) {
        if (problem)
            *problem = error.what();
        return false;
    }
    return true;
}

double BaseNorthOf(const TDEMInfo& info)
{
    return std::min(info.Corners[cnSW].North, info.Corners[cnSE].North);
}

double NorthSpanOf(const TDEMInfo& info)
{
    return std::max(info.Corners[cnNW].North, info.Corners[cnNE].North) - BaseNorthOf(info);
}

void LoadDEMStream(std::span<const char> data, TDEMArray& dem)
{
    TDEMInfo& info = dem.Info;
    TDefects defects;
    TDataRange range;
    info.ErrorCount = 0;
    info.ErrorText.clear();
    TDEMBlockReader reader(data);
    try {
        reader.ReadBlock();
        ReadRecordA(reader, info, true, true);
        info.IsUTM = info.GroundRef == 1;
        info.HorizDatum = 1;
        info.MapScale = 0;
        info.DataID = "?";
        info.SourceFormat = dfUSGS;
        info.CreationDate = "?";
        info.OriginEast = 0.0;
        info.OriginNorth = 0.0;
        if (ReplaceZeroCorners(info))
            ++defects.InvalidCorners;

        const TGridLayout layout = PlanGrid(info, data.size());
        info.DataMin = range.Min;
        info.DataMax = range.Max;
        dem.SetSize(layout.ProfileCount, layout.GridRows);
        for (int32_t col = 0; col < layout.ProfileCount; ++col)
            if (!PlaceProfile(reader, layout, col, dem, range))
                ++defects.ProfilesOutOfBounds;
    } catch (...) {
        if (range.Min <= range.Max) {
            info.DataMin = range.Min;
            info.DataMax = range.Max;
        }
        defects.CarriageReturns = reader.CarriageReturns();
        defects.LineFeeds = reader.LineFeeds();
        BuildDefectReport(defects, info);
        throw;
    }
    info.DataMin = range.Min;
    info.DataMax = range.Max;
    defects.CarriageReturns = reader.CarriageReturns();
    defects.LineFeeds = reader.LineFeeds();
    BuildDefectReport(defects, info);
}

void LoadDEMFile(const std::filesystem::path& fileName, TDEMArray& dem)
{
    const std::vector<char> data = ReadWholeFile(fileName);
    LoadDEMStream(data, dem);
}

} // namespace kv
