#pragma once
// Opening an elevation file, whatever its format: the one entry the window, the recent files and
// the command-line tool use.
//
//  - ".ddf" (any case): the SDTS loader (the cell module of a transfer);
//  - ".dem" (any case): the USGS DEM reader when the file starts with a record A whose fields all
//    read (HasUSGSRecordA); anything else named ".dem" (a GeoTIFF, an ASCII grid) goes to GDAL.
//    A USGS file whose record A reads but whose later records are broken reports the USGS
//    reader's error: it is not handed to GDAL. A ".dem" file neither reader opens is refused
//    with the USGS reader's complaint about its header;
//  - every other file: band 1 through GDAL (LoadGDALFile).

#include "dem/DEMLib.h"
#include "gdalio/GDALReader.h"

#include <filesystem>

namespace kv {

// True for names ending in ".dem" in any case.
bool IsUSGSFileName(const std::filesystem::path& fileName);

// Refills `dem` from `fileName` with the reader chosen above. Throws EKorvelaError (or
// std::bad_alloc) when the load fails; the grid then stays valid but may be partly refilled.
void LoadElevationFile(const std::filesystem::path& fileName, TDEMArray& dem, const TProgressProc& progress = {});

} // namespace kv
