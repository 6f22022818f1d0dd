#pragma once
// The two record kinds of a USGS DEM file as fields in 1024-byte blocks: record A (the
// header, in the first block) and the header of record B (one per profile, starting a new
// block). Shared by the DEM reader, the merge and the writer.

#include "DEMBlockReader.h"
#include "DEMBlockWriter.h"
#include "dem/DEMLib.h"

#include <cstdint>

namespace kv {

// Reads the 16 fields of record A from the reader's current block into `info`: MapName,
// LevelCode, PatternCode, GroundRef, Zone, ProjParams, GroundUnits, ElevUnits, PolySides,
// Corners, MinElevation, MaxElevation, Angle, Accuracy, Resolution, ProfileRows, ProfileCols.
// The map name is folded (runs of blanks to one) when `foldMapName`, else kept raw.
// `emptyRealIsZero` decides whether an empty real field reads as 0 or fails.
// Throws EKorvelaError on a malformed field or a field beyond the end of the data.
void ReadRecordA(TDEMBlockReader& reader, TDEMInfo& info, bool foldMapName, bool emptyRealIsZero);

// Writes record A (the same 16 fields) and flushes the block.
void WriteRecordA(TDEMBlockWriter& writer, const TDEMInfo& info);

// When all eight corner values are exactly 0, replaces them with the fixed corners used for
// such files (a UTM set when GroundRef is 1, else arc-seconds) and returns true.
bool ReplaceZeroCorners(TDEMInfo& info);

// The header of record B.
struct TProfileHeader {
    int32_t Row = 0;
    int32_t Col = 0;
    int32_t M = 0;
    int32_t N = 0;
    double X0 = 0.0;    // easting of the first elevation
    double Y0 = 0.0;    // northing of the first elevation
    double Datum = 0.0; // local datum elevation
    double Min = 0.0;
    double Max = 0.0;

    // Elevations in the profile: M x N (never overflows; negative when M or N is).
    int64_t Length() const { return int64_t{M} * int64_t{N}; }
};

// Reads a profile header from the current position (the caller starts the block).
TProfileHeader ReadProfileHeader(TDEMBlockReader& reader, bool emptyRealIsZero);

// Writes a profile header (4 x I6, 5 x D24) into the current block.
void WriteProfileHeader(TDEMBlockWriter& writer, const TProfileHeader& header);

} // namespace kv
