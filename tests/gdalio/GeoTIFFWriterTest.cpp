// GeoTIFF export: what GDAL reads back from the written file, cell for cell and placement.

#include "gdalio/GeoTIFFWriter.h"

#include "gdalio/KVElevationFile.h"
#include "support/GDALFixtures.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace kv {
namespace {

using test::TRasterFixture;
using test::TTempDir;

std::map<std::string, std::string> Description(const std::filesystem::path& file)
{
    std::map<std::string, std::string> fields;
    std::istringstream lines(test::PeerDescription(file));
    std::string line;
    while (std::getline(lines, line))
        if (const size_t eq = line.find('='); eq != std::string::npos)
            fields[line.substr(0, eq)] = line.substr(eq + 1);
    return fields;
}

std::vector<double> GeoTransform(const std::string& text)
{
    std::vector<double> gt;
    std::istringstream parts(text);
    std::string part;
    while (std::getline(parts, part, ','))
        gt.push_back(std::stod(part));
    return gt;
}

// `gridText` without its first grid line (the northernmost row).
std::string WithoutNorthRow(const std::string& gridText, int32_t rows)
{
    const size_t header = gridText.find('\n');
    const size_t firstRow = gridText.find('\n', header + 1);
    const std::string size = gridText.substr(0, gridText.find(',') + 1) + std::to_string(rows) + "\n";
    return size + gridText.substr(firstRow + 1);
}

TEST(GeoTIFFWriter, LegacyGridsAreWrittenAsTheProgramHoldsThemWhereGDALPlacesThem)
{
    // GDAL's own readers of the legacy formats are the reference: the USGS grid is GDAL's
    // reading less the northern edge row the program does not hold (its rows are the north
    // span over the spacing), the SDTS grid is GDAL's reading with voids as nodata.
    TTempDir folder;
    {
        TDEMArray dem;
        const auto source = test::SamplesDir() / "jacksboro.dem";
        LoadElevationFile(source, dem);
        SaveGeoTIFFFile(dem, folder / "usgs.tif");
        const std::string written = test::PeerGridText(folder / "usgs.tif");
        EXPECT_TRUE(written == test::GridText(dem));
        EXPECT_TRUE(written == WithoutNorthRow(test::PeerGridText(source), dem.Rows()));
        auto d = Description(folder / "usgs.tif");
        EXPECT_EQ(d["type"], "Int16");
        EXPECT_EQ(d["nodata"], "-32768");
        EXPECT_EQ(d["epsg"], "4267"); // NAD27, as the USGS reader states
        EXPECT_EQ(d["unit"], "m");
        std::vector<double> expected = GeoTransform(Description(source)["gt"]);
        expected[3] += expected[5]; // one row lower
        const std::vector<double> gt = GeoTransform(d["gt"]);
        ASSERT_EQ(gt.size(), 6u);
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(gt[i], expected[i], 1e-12) << "geotransform " << i;
    }
    {
        TDEMArray dem;
        LoadElevationFile(test::TestDataDir() / "sdts" / "7001CEL0.DDF", dem);
        SaveGeoTIFFFile(dem, folder / "sdts.tif");
        const std::filesystem::path gdalSource = test::TestDataDir() / "sdts" / "7001CATD.DDF";
        EXPECT_TRUE(test::PeerGridText(folder / "sdts.tif") == test::PeerGridText(gdalSource));
        EXPECT_TRUE(test::PeerGridText(folder / "sdts.tif") == test::GridText(dem));
        auto d = Description(folder / "sdts.tif");
        EXPECT_EQ(d["gt"], Description(gdalSource)["gt"]);
        EXPECT_EQ(d["zone"], "16");
    }
}

struct TRoundTrip {
    const char* Name;
    TRasterFixture Fixture;
    const char* FileName;
    const char* Type;
    const char* EPSG;
    const char* Unit;
};

std::vector<TRoundTrip> RoundTrips()
{
    std::vector<TRoundTrip> cases;
    {
        TRasterFixture s;
        s.Cols = 300; // more than one 256-cell tile each way
        s.Rows = 270;
        s.Type = GDT_Int16;
        s.CRS = "EPSG:32633";
        s.GeoTransform = {500010.0, 30.0, 0.0, 5200000.0, 0.0, -30.0};
        s.HasNoData = true;
        s.NoData = -32768;
        for (int y = 0; y < s.Rows; ++y)
            for (int x = 0; x < s.Cols; ++x)
                s.Values.push_back((x + y) % 37 == 0 ? -32768.0 : double(-32767 + (x * 977 + y * 331) % 65535));
        cases.push_back({"UTM north, the full Int16 range, voids", s, "utm.tif", "Int16", "32633", "m"});
    }
    {
        TRasterFixture s;
        s.Cols = 20;
        s.Rows = 10;
        s.Type = GDT_Float32;
        s.CRS = "EPSG:4269";
        s.Unit = "ft";
        s.GeoTransform = {-90.5, 1.0 / 3600, 0.0, 40.25, 0.0, -1.0 / 3600};
        for (int i = 0; i < 200; ++i)
            s.Values.push_back(i == 5 ? -40000.0 : 14000.0 + i * 3.0);
        cases.push_back({"NAD83 geographic in feet, beyond 16 bits", s, "geo.tif", "Int32", "4269", "ft"});
    }
    {
        TRasterFixture s;
        s.Cols = 8;
        s.Rows = 6;
        s.Type = GDT_Int32;
        s.CRS = "EPSG:32733";
        s.GeoTransform = {200000.0, 90.0, 0.0, 8000000.0, 0.0, -90.0};
        for (int i = 0; i < 48; ++i)
            s.Values.push_back(i);
        cases.push_back({"UTM south", s, "south.tif", "Int16", "32733", "m"});
    }
    {
        TRasterFixture s;
        s.Cols = 5;
        s.Rows = 4;
        s.Type = GDT_Int32;
        s.Driver = "AAIGrid";
        s.GeoTransform = {1000.0, 2.0, 0.0, 2008.0, 0.0, -2.0};
        for (int i = 0; i < 20; ++i)
            s.Values.push_back(100 + i);
        cases.push_back({"no coordinate system", s, "plain.asc", "Int16", "0", "m"});
    }
    return cases;
}

TEST(GeoTIFFWriter, RastersReadThroughGDALComeBackUnchanged)
{
    for (const TRoundTrip& c : RoundTrips()) {
        SCOPED_TRACE(c.Name);
        TTempDir folder;
        test::WriteRaster(folder / c.FileName, c.Fixture);
        TDEMArray dem;
        LoadElevationFile(folder / c.FileName, dem);
        SaveGeoTIFFFile(dem, folder / "out.tif");

        const auto d = Description(folder / "out.tif");
        EXPECT_EQ(d.at("type"), c.Type);
        EXPECT_EQ(d.at("epsg"), c.EPSG);
        EXPECT_EQ(d.at("unit"), c.Unit);
        const std::vector<double> gt = GeoTransform(d.at("gt"));
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(gt[i], c.Fixture.GeoTransform[i], 1e-9) << "geotransform " << i;
        EXPECT_TRUE(test::PeerGridText(folder / "out.tif") == test::GridText(dem));

        TDEMArray back;
        LoadElevationFile(folder / "out.tif", back);
        EXPECT_TRUE(test::GridText(back) == test::GridText(dem));
        EXPECT_EQ(back.Info.GroundRef, dem.Info.GroundRef);
        EXPECT_EQ(back.Info.Zone, dem.Info.Zone);
        EXPECT_EQ(back.Info.HorizDatum, dem.Info.HorizDatum);
        EXPECT_EQ(back.Info.ElevUnits, dem.Info.ElevUnits);
        EXPECT_EQ(back.Info.ErrorText, dem.Info.ErrorText);
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(back.Info.Corners[k].East, dem.Info.Corners[k].East, 1e-6);
            EXPECT_NEAR(back.Info.Corners[k].North, dem.Info.Corners[k].North, 1e-6);
        }
        EXPECT_NEAR(back.Info.Resolution[0], dem.Info.Resolution[0], 1e-9);
        EXPECT_NEAR(back.Info.Resolution[1], dem.Info.Resolution[1], 1e-9);
    }
}

TEST(GeoTIFFWriter, ARefusedExportLeavesAnExistingFileAlone)
{
    TTempDir folder;
    TDEMArray placed;
    LoadElevationFile(test::SamplesDir() / "jacksboro.dem", placed);
    TDEMArray noSpacing; // the start-up grid: 5 x 5 zeros, all-zero header
    TDEMArray unknownSystem = placed;
    unknownSystem.Info.GroundRef = 7;
    const struct {
        const char* Name;
        const TDEMArray* Grid;
        std::filesystem::path Target;
        const char* Message;
    } cases[] = {
        {"no cell size", &noSpacing, folder / "keep.tif", "has no cell size"},
        {"an unknown reference system", &unknownSystem, folder / "keep.tif", "ground reference system 7"},
        {"a missing folder", &placed, folder / "missing" / "out.tif", "Cannot"},
    };
    test::WriteFileText(folder / "keep.tif", "old contents");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            SaveGeoTIFFFile(*c.Grid, c.Target);
            ADD_FAILURE() << "written";
        } catch (const EKorvelaError& error) {
            EXPECT_NE(std::string(error.what()).find(c.Message), std::string::npos) << error.what();
        }
        EXPECT_EQ(test::ReadFileText(folder / "keep.tif"), "old contents");
    }
}

} // namespace
} // namespace kv
