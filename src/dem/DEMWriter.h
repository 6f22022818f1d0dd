#pragma once
// Writes an elevation grid as a USGS DEM in its ASCII exchange form, the form LoadDEMStream
// reads: record A, then one profile per grid column, west to east, without line breaks.

#include "dem/DEMLib.h"

#include <filesystem>
#include <string>

namespace kv {

// The whole grid as USGS DEM text. Record A is dem.Info with pattern code 1 (a regular grid)
// and one row of dem.Cols() profiles;
// profile k is row 1, column k + 1, with dem.Rows() elevations starting at the southern edge
// and at the easting of the south-west corner plus k x Resolution[0]. Void cells are written
// as -32767; like every elevation at or below -1000 they read back as voids.
// Throws EKorvelaError when the header's corners and y spacing do not describe dem.Rows() rows
// (the file would read back into another grid) or when a value does not fit its field.
std::string FormatDEMText(const TDEMArray& dem);

// Writes FormatDEMText(dem) to `fileName`; the old file survives a failure.
// Throws EKorvelaError as FormatDEMText and when the file cannot be written.
void SaveDEMFile(const std::filesystem::path& fileName, const TDEMArray& dem);

} // namespace kv
