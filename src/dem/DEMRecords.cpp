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

} // namespace

void ReadRecordA(TDEMBlockReader& reader, TDEMInfo& info, bool foldMapName, bool emptyRealIsZero)
{
    const std::string_view rawName = reader.ReadField(MapNameWidth);
    info.MapName = foldMapName ? FoldBlanks(rawName) : std::string(rawName);
    info.LevelCode = reader.ReadInt(6);
    info.PatternCode = reader.ReadInt(6);
    info.GroundRef = reader.ReadInt(6);
    info.Zone = reader.ReadInt(6);
    for (double& param : info.ProjParams)
        param = reader.ReadReal(24, emptyRealIsZero);
    info.GroundUnits = LowByte(reader.ReadInt(6));
    info.ElevUnits = LowByte(reader.ReadInt(6));
    info.PolySides = reader.ReadInt(6);
    for (TGroundPoint& corner : info.Corners) {
        corner.East = reader.ReadReal(24, emptyRealIsZero);
        corner.North = reader.ReadReal(24, emptyRealIsZero);
    }
    info.MinElevation = reader.ReadReal(24, emptyRealIsZero);
    info.MaxElevation = reader.ReadReal(24, emptyRealIsZero);
    info.Angle = reader.ReadReal(24, emptyRealIsZero);
    info.Accuracy = reader.ReadInt(6);
    for (double& resolution : info.Resolution)
        resolution = reader.ReadReal(12, emptyRealIsZero);
    info.ProfileRows = reader.ReadInt(6);
    info.ProfileCols = reader.ReadInt(6);
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
    header.Row = reader.ReadInt(6);
    header.Col = reader.ReadInt(6);
    header.M = reader.ReadInt(6);
    header.N = reader.ReadInt(6);
    header.X0 = reader.ReadReal(24, emptyRealIsZero);
    header.Y0 = reader.ReadReal(24, emptyRealIsZero);
    header.Datum = reader.ReadReal(24, emptyRealIsZero);
    header.Min = reader.ReadReal(24, emptyRealIsZero);
    header.Max = reader.ReadReal(24, emptyRealIsZero);
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
