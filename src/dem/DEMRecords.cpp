#include "DEMRecords.h"

#include "DEMFields.h"

#include <array>
#include <string_view>

namespace kv {

namespace {

constexpr int MapNameWidth = 144;

uint8_t LowByte(int32_t value)
{
    return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu);
}

// The corners taken when a file leaves all eight at zero: a sample quadrangle in UTM metres,
// or a 1-degree cell in arc-seconds for geographic files.
constexpr std::array<TGroundPoint, 4> ZeroReplacementUTM{{
    {296149.78125, 4388623.5},
    {296517.28125, 4402498.5},
    {307227.9375, 4402221.5},
    {306879.8125, 4388347.0},
}};
constexpr std::array<TGroundPoint, 4> ZeroReplacementArcSeconds{{
    {-388800.0, 140400.0},
    {-388800.0, 144000.0},
    {-385200.0, 144000.0},
    {-385200.0, 140400.0},
}};

// Field names for messages, as a user would look them up in the file's description.
constexpr const char* ProjParamNames[15] = {
    "projection parameter 1",  "projection parameter 2",  "projection parameter 3",  "projection parameter 4",
    "projection parameter 5",  "projection parameter 6",  "projection parameter 7",  "projection parameter 8",
    "projection parameter 9",  "projection parameter 10", "projection parameter 11", "projection parameter 12",
    "projection parameter 13", "projection parameter 14", "projection parameter 15",
};
constexpr const char* CornerNames[4][2] = {
    {"the south-west corner's easting", "the south-west corner's northing"},
    {"the north-west corner's easting", "the north-west corner's northing"},
    {"the north-east corner's easting", "the north-east corner's northing"},
    {"the south-east corner's easting", "the south-east corner's northing"},
};
constexpr const char* ResolutionNames[3] = {"the x spacing", "the y spacing", "the z spacing"};

} // namespace

void ReadRecordA(TDEMBlockReader& reader, TDEMInfo& info, bool foldMapName, bool emptyRealIsZero)
{
    const std::string_view rawName = reader.ReadField(MapNameWidth, "the map name");
    info.MapName = foldMapName ? FoldBlanks(rawName) : std::string(rawName);
    info.LevelCode = reader.ReadInt(6, "the DEM level code");
    info.PatternCode = reader.ReadInt(6, "the elevation pattern code");
    info.GroundRef = reader.ReadInt(6, "the ground reference system");
    info.Zone = reader.ReadInt(6, "the zone");
    for (size_t i = 0; i < info.ProjParams.size(); ++i)
        info.ProjParams[i] = reader.ReadReal(24, emptyRealIsZero, ProjParamNames[i]);
    info.GroundUnits = LowByte(reader.ReadInt(6, "the ground unit code"));
    info.ElevUnits = LowByte(reader.ReadInt(6, "the elevation unit code"));
    info.PolySides = reader.ReadInt(6, "the number of sides of the coverage polygon");
    for (size_t i = 0; i < info.Corners.size(); ++i) {
        info.Corners[i].East = reader.ReadReal(24, emptyRealIsZero, CornerNames[i][0]);
        info.Corners[i].North = reader.ReadReal(24, emptyRealIsZero, CornerNames[i][1]);
    }
    info.MinElevation = reader.ReadReal(24, emptyRealIsZero, "the minimum elevation");
    info.MaxElevation = reader.ReadReal(24, emptyRealIsZero, "the maximum elevation");
    info.Angle = reader.ReadReal(24, emptyRealIsZero, "the grid angle");
    info.Accuracy = reader.ReadInt(6, "the accuracy code");
    for (size_t i = 0; i < info.Resolution.size(); ++i)
        info.Resolution[i] = reader.ReadReal(12, emptyRealIsZero, ResolutionNames[i]);
    info.ProfileRows = reader.ReadInt(6, "the rows of profiles");
    info.ProfileCols = reader.ReadInt(6, "the columns of profiles");
}

void WriteRecordA(TDEMBlockWriter& writer, const TDEMInfo& info)
{
    writer.Put(FormatA(info.MapName, MapNameWidth));
    writer.PutInt(info.LevelCode);
    writer.PutInt(info.PatternCode);
    writer.PutInt(info.GroundRef);
    writer.PutInt(info.Zone);
    for (double param : info.ProjParams)
        writer.PutD24(param);
    writer.PutInt(info.GroundUnits);
    writer.PutInt(info.ElevUnits);
    writer.PutInt(info.PolySides);
    for (const TGroundPoint& corner : info.Corners) {
        writer.PutD24(corner.East);
        writer.PutD24(corner.North);
    }
    writer.PutD24(info.MinElevation);
    writer.PutD24(info.MaxElevation);
    writer.PutD24(info.Angle);
    writer.PutInt(info.Accuracy);
    for (double resolution : info.Resolution)
        writer.PutE12(resolution);
    writer.PutInt(info.ProfileRows);
    writer.PutInt(info.ProfileCols);
    writer.Flush();
}

bool ReplaceZeroCorners(TDEMInfo& info)
{
    for (const TGroundPoint& corner : info.Corners)
        if (corner.East != 0.0 || corner.North != 0.0)
            return false;
    info.Corners = info.GroundRef == 1 ? ZeroReplacementUTM : ZeroReplacementArcSeconds;
    return true;
}

TProfileHeader ReadProfileHeader(TDEMBlockReader& reader, bool emptyRealIsZero)
{
    TProfileHeader header;
    header.Row = reader.ReadInt(6, "the row number");
    header.Col = reader.ReadInt(6, "the column number");
    header.M = reader.ReadInt(6, "the elevation count m");
    header.N = reader.ReadInt(6, "the elevation count n");
    header.X0 = reader.ReadReal(24, emptyRealIsZero, "the easting of the first elevation");
    header.Y0 = reader.ReadReal(24, emptyRealIsZero, "the northing of the first elevation");
    header.Datum = reader.ReadReal(24, emptyRealIsZero, "the local datum elevation");
    header.Min = reader.ReadReal(24, emptyRealIsZero, "the profile's minimum elevation");
    header.Max = reader.ReadReal(24, emptyRealIsZero, "the profile's maximum elevation");
    return header;
}

void WriteProfileHeader(TDEMBlockWriter& writer, const TProfileHeader& header)
{
    writer.PutInt(header.Row);
    writer.PutInt(header.Col);
    writer.PutInt(header.M);
    writer.PutInt(header.N);
    writer.PutD24(header.X0);
    writer.PutD24(header.Y0);
    writer.PutD24(header.Datum);
    writer.PutD24(header.Min);
    writer.PutD24(header.Max);
}

} // namespace kv
