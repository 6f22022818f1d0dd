// Which reader opens a file: the data layer's own for ".ddf" and for ".dem" files that start
// with a USGS record A, GDAL for everything else.

#include "gdalio/KVElevationFile.h"

#include "support/GDALFixtures.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using test::TTempDir;

const std::filesystem::path Sample = test::SamplesDir() / "jacksboro.dem";

void WriteSmallGeoTIFF(const std::filesystem::path& file)
{
    test::TRasterFixture s;
    s.Cols = 3;
    s.Rows = 2;
    s.Type = GDT_Int16;
    s.CRS = "EPSG:32617";
    s.GeoTransform = {700000.0, 30.0, 0.0, 4000000.0, 0.0, -30.0};
    s.Values = {1, 2, 3, 4, 5, 6};
    test::WriteRaster(file, s);
}

TEST(KVElevationFile, EachFileGoesToTheReaderItsNameAndHeaderCallFor)
{
    const std::string sample = test::ReadFileText(Sample);
    const std::string broken = sample.substr(0, 1024) + sample.substr(1024, 300); // record A, then a cut profile
    struct TCase {
        const char* Name;
        const char* FileName;
        std::function<void(const std::filesystem::path&)> Write;
        TDEMFormat Format;   // dfNone: refused
        const char* Message; // part of the refusal
    } cases[] = {
        {"a USGS DEM", "quad.dem", [&](const auto& f) { test::WriteFileText(f, sample); }, dfUSGS, ""},
        {"a USGS DEM named in capitals", "QUAD.DEM", [&](const auto& f) { test::WriteFileText(f, sample); }, dfUSGS,
         ""},
        {"an SDTS cell module", "7001CEL0.DDF",
         [](const auto& f) {
             for (const auto& entry : std::filesystem::directory_iterator(test::TestDataDir() / "sdts"))
                 std::filesystem::copy_file(entry.path(), f.parent_path() / entry.path().filename());
         },
         dfSDTS, ""},
        {"a GeoTIFF", "tile.tif", WriteSmallGeoTIFF, dfGDAL, ""},
        {"a GeoTIFF named .dem", "tile.dem", WriteSmallGeoTIFF, dfGDAL, ""},
        {"an ASCII grid named .DEM", "grid.DEM",
         [](const auto& f) { test::WriteFileText(f, "ncols 2\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 5\n7 8\n"); },
         dfGDAL, ""},
        {"a USGS DEM whose profiles are cut keeps the USGS reader's error", "cut.dem",
         [&](const auto& f) { test::WriteFileText(f, broken); }, dfNone, "cut.dem: the file declares 403 profiles"},
        {"a .dem that neither reader opens", "short.dem", [](const auto& f) { test::WriteFileText(f, "   tiny\r\n"); },
         dfNone, "short.dem: the file ends at byte 9 inside record A (the map name); GDAL reads no raster in it either"},
        {"USGS content under another name: GDAL's own USGS reader is never used", "quad.txt",
         [&](const auto& f) { test::WriteFileText(f, sample); }, dfNone, "Cannot read"},
        {"a missing file", "missing.tif", [](const auto&) {}, dfNone, "Cannot open file"},
        {"a missing .dem file", "missing.dem", [](const auto&) {}, dfNone, "Cannot open file"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTempDir folder;
        const auto file = folder / c.FileName;
        c.Write(file);
        TDEMArray dem;
        if (c.Format == dfNone) {
            try {
                LoadElevationFile(file, dem);
                ADD_FAILURE() << "loaded";
            } catch (const EKorvelaError& error) {
                EXPECT_NE(std::string(error.what()).find(c.Message), std::string::npos) << error.what();
            }
            continue;
        }
        LoadElevationFile(file, dem);
        EXPECT_EQ(dem.Info.SourceFormat, c.Format);
        EXPECT_GT(dem.Cols(), 0);
    }
}

} // namespace
} // namespace kv
