#pragma once
// Reads a USGS DEM in its ASCII exchange form (record A, then one record B per profile in
// 1024-byte blocks) into the elevation grid.
//
// The reader is tolerant: line breaks between or inside records, an all-zero corner set and a
// profile that starts outside the grid are repaired and listed in dem.Info.ErrorText (one line
// per kind of defect, each ending in CR LF; dem.Info.ErrorCount = the number of lines) instead of
// failing. The report is rebuilt by every load, also by one that fails.
//
// Large files are read in parallel: the profiles' blocks are found first, then chunks of
// columns are parsed on up to hardware_concurrency threads. Results, defect reports and
// messages are those of reading the profiles one after the other.

#include "dem/DEMLib.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace kv {

// Loads the file with LoadDEMStream, naming it in messages by its name without the folder.
// The file is mapped into memory where the system allows (read-only; it must not shrink while
// it loads), else read whole. Throws EKorvelaError "Cannot open file <name>" when the file
// cannot be read, else as LoadDEMStream.
void LoadDEMFile(const std::filesystem::path& fileName, TDEMArray& dem);

// Loads the DEM held in `data` into `dem`: the header into dem.Info, one grid column per
// profile (west to east), rows south to north; cells no profile covers and elevations at or
// below -1000 become VoidValue.
//
// Throws EKorvelaError with one sentence that starts with `name`:
// - where a field is malformed, its byte (counted from 0), record and field:
//   "x.dem: byte 1234, profile 3, elevation 17: 'ab12' is not a valid integer value";
// - where the data ends before a field it needs:
//   "x.dem: the file ends at byte 1239040 inside profile 12 (elevation 417 of 1201)";
// - before anything is allocated, when the header describes a grid the data cannot justify
//   (negative or too many profiles, a row count that is not finite, negative or beyond what a
//   profile could fill, more cells than a few times the elevations the data could hold, a y
//   spacing or north span of 0 with profiles to place, a grid too large for memory).
// On failure the grid may be partly filled but stays consistent (Cols()/Rows() describe its
// cells) and the defect report is built.
void LoadDEMStream(std::span<const char> data, TDEMArray& dem, std::string_view name = "DEM file");

// True when `data` starts with a USGS record A whose fields all read: the test a ".dem"
// file must pass to go to this reader rather than to a general raster reader. A file shorter
// than record A or with any malformed record A field (binary data, another text format) fails;
// `problem`, when given, then receives the reader's message.
bool HasUSGSRecordA(std::span<const char> data, std::string* problem = nullptr);

// Northing of grid row 0: the smaller of the two southern corners' northings.
double BaseNorthOf(const TDEMInfo& info);

// Northing distance the grid covers: the larger northern corner northing minus BaseNorthOf.
double NorthSpanOf(const TDEMInfo& info);

} // namespace kv
