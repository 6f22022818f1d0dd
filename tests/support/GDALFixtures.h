#pragma once
// Rasters written through GDAL's API for the tests and benchmarks of the GDAL input and output,
// and GDAL's own reading of a raster (through the python3-gdal peer) to compare against.

#include "dem/DEMLib.h"

#include <gdal.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace kv::test {

struct TRasterFixture {
    int32_t Cols = 0;
    int32_t Rows = 0;
    GDALDataType Type = GDT_Float32;
    std::array<double, 6> GeoTransform{0.0, 1.0, 0.0, 0.0, 0.0, -1.0};
    bool HasGeoTransform = true;
    std::string CRS;            // anything OSRSetFromUserInput takes ("EPSG:4326", WKT); empty: none
    std::vector<double> Values; // Cols x Rows, raster line 0 first
    bool HasNoData = false;
    double NoData = 0.0;
    double Scale = 1.0;
    double Offset = 0.0;
    std::string Unit;
    std::string Driver = "GTiff";
    std::vector<std::string> Options; // creation options
};

// Writes band 1 of a raster as `fixture` describes. Throws std::runtime_error on failure.
void WriteRaster(const std::filesystem::path& fileName, const TRasterFixture& fixture);

// The grid as korvela3d-cli's "grid" prints it: "cols,rows", then rows from the north, cells
// west to east, joined by ",".
std::string GridText(const TDEMArray& dem);

// GDAL's own reading of band 1 of `fileName` (python3-gdal, never our code) under the mapping
// rules, in GridText's form: north row first, the band's scale and offset applied, halves
// rounded to even, nodata, NaN and values beyond 32 bits void. Throws when the peer fails.
std::string PeerGridText(const std::filesystem::path& fileName);

// What the peer sees in a GeoTIFF: "type=Int16", "nodata=-32768" (or "none"), "gt=a,b,c,d,e,f" (17 digits),
// "epsg=4267" (0 when none), "zone=33" (signed, 0 when not UTM), "unit=m", one per line.
std::string PeerDescription(const std::filesystem::path& fileName);

} // namespace kv::test
