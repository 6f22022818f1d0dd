// Rasters through GDAL into the grid: cells as GDAL itself reads them under the mapping rules,
// the header's reference system, and refusals of headers the grid cannot hold.

#include "gdalio/GDALReader.h"

#include "gdalio/KVElevationFile.h"
#include "support/GDALFixtures.h"
#include "support/TestData.h"

#include <gtest/gtest.h>
#include <ogr_srs_api.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>

namespace kv {
namespace {

using test::TRasterFixture;
using test::TTempDir;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Degree = 3600.0; // arc-seconds

std::vector<double> Cells(int32_t cols, int32_t rows, const std::function<double(int32_t, int32_t)>& value)
{
    std::vector<double> cells;
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < cols; ++x)
            cells.push_back(value(x, y));
    return cells;
}

// An SRTM tile written byte by byte: big-endian 16-bit cells, north row first, -32768 void.
void WriteHGT(const std::filesystem::path& fileName)
{
    constexpr int size = 1201;
    std::string bytes;
    bytes.reserve(size * size * 2);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int v = (x % 97 == 5 && y % 89 == 7) ? -32768 : 400 + (x * 3 + y * 5) % 2600 - (x == y ? 600 : 0);
            const auto u = static_cast<uint16_t>(static_cast<int16_t>(v));
            bytes += static_cast<char>(u >> 8);
            bytes += static_cast<char>(u & 0xFF);
        }
    test::WriteFileText(fileName, bytes);
}

// An ESRI ASCII grid written by hand; with a .prj beside it when `prj` is not empty.
void WriteASCIIGrid(const std::filesystem::path& fileName, const std::string& prj)
{
    std::ostringstream text;
    text << "ncols 7\nnrows 5\nxllcorner 431000\nyllcorner 4650000\ncellsize 10\nNODATA_value -9999\n";
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x)
            text << (x == 3 && y == 2 ? -9999.0 : 250.25 + x * 1.5 - y * 2.0) << ' ';
        text << '\n';
    }
    test::WriteFileText(fileName, text.str());
    if (!prj.empty())
        test::WriteFileText(std::filesystem::path(fileName).replace_extension(".prj"), prj);
}

const char* const UnnamedUTMPrj =
    R"(PROJCS["unnamed",GEOGCS["GCS_North_American_1983",DATUM["D_North_American_1983",)"
    R"(SPHEROID["GRS_1980",6378137,298.257222101]],PRIMEM["Greenwich",0],UNIT["Degree",0.0174532925199433]],)"
    R"(PROJECTION["Transverse_Mercator"],PARAMETER["latitude_of_origin",0],PARAMETER["central_meridian",-93],)"
    R"(PARAMETER["scale_factor",0.9996],PARAMETER["false_easting",500000],PARAMETER["false_northing",0],)"
    R"(UNIT["Meter",1]])";

struct TReadCase {
    const char* Name;
    const char* FileName;
    std::function<void(const std::filesystem::path&)> Write;
    int32_t GroundRef;
    int32_t Zone;
    uint8_t GroundUnits;
    uint8_t ElevUnits;
    uint8_t HorizDatum;
    TGroundPoint SW;
    TGroundPoint NE;
    double Spacing;     // x and y
    const char* Defect; // part of the one defect line, or "" for none
};

std::vector<TReadCase> ReadCases()
{
    return {
        {"geographic Float32 with a nodata hole, NaN and a scale",
         "geo.tif",
         [](const std::filesystem::path& file) {
             TRasterFixture s;
             s.Cols = 40;
             s.Rows = 30;
             s.Type = GDT_Float32;
             s.GeoTransform = {8.0, 1.0 / 1200, 0.0, 47.0, 0.0, -1.0 / 1200};
             s.CRS = "EPSG:4326";
             s.HasNoData = true;
             s.NoData = -9999.0;
             s.Scale = 0.5; // odd raw values land on halves
             s.Offset = 100.0;
             s.Values = Cells(40, 30, [](int32_t x, int32_t y) {
                 if (x >= 10 && x < 14 && y >= 5 && y < 8)
                     return -9999.0;
                 return x == 0 && y == 0 ? NaN : double(x * 3 + y * 7 - 40);
             });
             test::WriteRaster(file, s);
         },
         0,
         0,
         ucArcSeconds,
         ucMeters,
         3,
         {8 * Degree, 47 * Degree - 90},
         {8 * Degree + 120, 47 * Degree},
         3.0,
         ""},
        {"UTM Int16",
         "utm.tif",
         [](const std::filesystem::path& file) {
             TRasterFixture s;
             s.Cols = 50;
             s.Rows = 40;
             s.Type = GDT_Int16;
             s.GeoTransform = {500000.0, 30.0, 0.0, 5200000.0, 0.0, -30.0};
             s.CRS = "EPSG:32633";
             s.HasNoData = true;
             s.NoData = -32768;
             s.Values =
                 Cells(50, 40, [](int32_t x, int32_t y) { return x == 7 ? -32768.0 : 1000.0 + x * 11 - y * 13; });
             s.Options = {"TILED=YES", "BLOCKXSIZE=16", "BLOCKYSIZE=16", "COMPRESS=DEFLATE"};
             test::WriteRaster(file, s);
         },
         1,
         33,
         ucMeters,
         ucMeters,
         3,
         {500000, 5198800},
         {501500, 5200000},
         30.0,
         ""},
        {"UTM south of the equator",
         "south.tif",
         [](const std::filesystem::path& file) {
             TRasterFixture s;
             s.Cols = 6;
             s.Rows = 4;
             s.Type = GDT_Int32;
             s.GeoTransform = {300000.0, 90.0, 0.0, 7000000.0, 0.0, -90.0};
             s.CRS = "EPSG:32733";
             s.Values = Cells(6, 4, [](int32_t x, int32_t y) { return 2000000.0 + x - y * 100; });
             test::WriteRaster(file, s);
         },
         1,
         -33,
         ucMeters,
         ucMeters,
         3,
         {300000, 6999640},
         {300540, 7000000},
         90.0,
         ""},
        {"feet, NAD83 UTM, south-up and east-to-west",
         "feet.tif",
         [](const std::filesystem::path& file) {
             TRasterFixture s;
             s.Cols = 9;
             s.Rows = 8;
             s.Type = GDT_Float64;
             s.GeoTransform = {440900.0, -100.0, 0.0, 4000000.0, 0.0, 100.0};
             s.CRS = "EPSG:26915";
             s.Unit = "US survey foot";
             s.Values = Cells(9, 8, [](int32_t x, int32_t y) { return 3000.0 + x * 10.0 + y * 0.5; });
             test::WriteRaster(file, s);
         },
         1,
         15,
         ucMeters,
         ucFeet,
         4,
         {440000, 4000000},
         {440900, 4000800},
         100.0,
         ""},
        {"ASCII grid with an unnamed NAD83 UTM .prj",
         "utm15.asc",
         [](const std::filesystem::path& file) { WriteASCIIGrid(file, UnnamedUTMPrj); },
         1,
         15,
         ucMeters,
         ucMeters,
         4,
         {431000, 4650000},
         {431070, 4650050},
         10.0,
         ""},
        {"ASCII grid without a .prj",
         "plain.asc",
         [](const std::filesystem::path& file) { WriteASCIIGrid(file, ""); },
         1,
         0,
         ucMeters,
         ucMeters,
         0,
         {431000, 4650000},
         {431070, 4650050},
         10.0,
         "Position Unknown"},
        {"SRTM tile written by hand",
         "N46E008.hgt",
         WriteHGT,
         0,
         0,
         ucArcSeconds,
         ucMeters,
         3,
         {8 * Degree - 1.5, 46 * Degree - 1.5},
         {9 * Degree + 1.5, 47 * Degree + 1.5},
         3.0,
         ""},
    };
}

// The lowest and highest valid cell of a grid text.
std::pair<int64_t, int64_t> RangeOf(const std::string& gridText)
{
    std::istringstream lines(gridText);
    std::string line;
    std::getline(lines, line);
    int64_t low = std::numeric_limits<int64_t>::max(), high = std::numeric_limits<int64_t>::min();
    while (std::getline(lines, line)) {
        std::istringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, ','))
            if (const int64_t v = std::stoll(cell); v != VoidValue) {
                low = std::min(low, v);
                high = std::max(high, v);
            }
    }
    return {low, high};
}

TEST(GDALReader, GridsMatchGDALsOwnReadingWithTheirReferenceSystem)
{
    for (const TReadCase& c : ReadCases()) {
        SCOPED_TRACE(c.Name);
        TTempDir folder;
        const auto file = folder / c.FileName;
        c.Write(file);
        TDEMArray dem;
        LoadElevationFile(file, dem);
        const std::string peer = test::PeerGridText(file);
        EXPECT_TRUE(test::GridText(dem) == peer) << "the grid differs from GDAL's own reading";

        const TDEMInfo& info = dem.Info;
        EXPECT_EQ(info.SourceFormat, dfGDAL);
        EXPECT_EQ(info.GroundRef, c.GroundRef);
        EXPECT_EQ(info.IsUTM, c.GroundRef == 1);
        EXPECT_EQ(info.Zone, c.Zone);
        EXPECT_EQ(info.GroundUnits, c.GroundUnits);
        EXPECT_EQ(info.ElevUnits, c.ElevUnits);
        EXPECT_EQ(info.HorizDatum, c.HorizDatum);
        EXPECT_NEAR(info.Corners[cnSW].East, c.SW.East, 1e-6);
        EXPECT_NEAR(info.Corners[cnSW].North, c.SW.North, 1e-6);
        EXPECT_NEAR(info.Corners[cnNE].East, c.NE.East, 1e-6);
        EXPECT_NEAR(info.Corners[cnNE].North, c.NE.North, 1e-6);
        EXPECT_EQ(info.Corners[cnNW].East, info.Corners[cnSW].East);
        EXPECT_EQ(info.Corners[cnSE].North, info.Corners[cnSW].North);
        EXPECT_NEAR(info.Resolution[0], c.Spacing, 1e-9);
        EXPECT_NEAR(info.Resolution[1], c.Spacing, 1e-9);
        EXPECT_EQ(info.ProfileCols, dem.Cols());
        EXPECT_EQ(info.ProfileRows, dem.Rows());
        EXPECT_EQ(GridColumns(info), dem.Cols());
        EXPECT_EQ(info.MapName, std::filesystem::path(c.FileName).stem().string());
        const auto [low, high] = RangeOf(peer);
        EXPECT_EQ(info.DataMin, double(low));
        EXPECT_EQ(info.DataMax, double(high));
        EXPECT_EQ(info.ErrorCount, *c.Defect ? 1 : 0);
        EXPECT_NE(info.ErrorText.find(c.Defect), std::string::npos) << info.ErrorText;
    }
}

TEST(GDALReader, CellsFollowTheRoundingAndVoidRules)
{
    const int32_t V = VoidValue;
    struct TCase {
        const char* Name;
        GDALDataType Type;
        std::vector<double> Values;
        double NoData;
        double Scale;
        double Offset;
        std::vector<int32_t> Expected;
    } cases[] = {
        {"halves to even, nodata, NaN, beyond 32 bits",
         GDT_Float64,
         {2.5, 3.5, -2.5, -3.5, 0.5, 1234.4999999, NaN, -9999.0, 2147483647.0, 2147483647.5, -2147483648.0, 1e300},
         -9999.0,
         1.0,
         0.0,
         {2, 4, -2, -4, 0, 1234, V, V, 2147483647, V, V, V}},
        {"scale and offset before rounding; nodata compared raw",
         GDT_Int16,
         {1, 3, 5, -1, 7, 0},
         7.0,
         0.5,
         -10.0,
         {-10, -8, -8, -10, V, -10}},
        {"whole numbers unchanged, nodata void",
         GDT_Int32,
         {2147483647, -2147483647, 12, 0, -5, 12},
         0.0,
         1.0,
         0.0,
         {2147483647, -2147483647, 12, V, -5, 12}},
        {"32-bit unsigned beyond the range void",
         GDT_UInt32,
         {4294967295.0, 2147483648.0, 2147483647.0, 5, 0, 1},
         1.0,
         1.0,
         0.0,
         {V, V, 2147483647, 5, 0, V}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTempDir folder;
        TRasterFixture s;
        s.Cols = static_cast<int32_t>(c.Values.size());
        s.Rows = 1;
        s.Type = c.Type;
        s.CRS = "EPSG:32610";
        s.GeoTransform = {500000.0, 1.0, 0.0, 4000000.0, 0.0, -1.0};
        s.Values = c.Values;
        s.HasNoData = true;
        s.NoData = c.NoData;
        s.Scale = c.Scale;
        s.Offset = c.Offset;
        test::WriteRaster(folder / "rules.tif", s);
        TDEMArray dem;
        LoadGDALFile(folder / "rules.tif", dem);
        ASSERT_EQ(dem.Cols(), s.Cols);
        ASSERT_EQ(dem.Rows(), 1);
        for (int32_t x = 0; x < s.Cols; ++x)
            EXPECT_EQ(dem.GetValue(x, 0), c.Expected[x]) << "cell " << x;
    }
}

TEST(GDALReader, OtherProjectionsAreWarpedToTheUTMZoneOfTheCentre)
{
    // A Web-Mercator raster around 15.5 E, 45 N whose elevation is a plane in its own
    // coordinates: bilinear warping keeps a plane, so every cell can be checked.
    constexpr int32_t cols = 60, rows = 50;
    constexpr double x0 = 1725000.0, y0 = 5625000.0, pixel = 100.0;
    const auto plane = [&](double x, double y) { return 500.0 + 0.05 * (x - x0) + 0.02 * (y0 - y); };
    TTempDir folder;
    TRasterFixture s;
    s.Cols = cols;
    s.Rows = rows;
    s.Type = GDT_Float32;
    s.CRS = "EPSG:3857";
    s.GeoTransform = {x0, pixel, 0.0, y0, 0.0, -pixel};
    s.Values =
        Cells(cols, rows, [&](int32_t x, int32_t y) { return plane(x0 + (x + 0.5) * pixel, y0 - (y + 0.5) * pixel); });
    test::WriteRaster(folder / "mercator.tif", s);

    TDEMArray dem;
    LoadGDALFile(folder / "mercator.tif", dem);
    EXPECT_EQ(dem.Info.GroundRef, 1);
    EXPECT_EQ(dem.Info.Zone, 33);
    EXPECT_EQ(dem.Info.HorizDatum, 3);
    EXPECT_EQ(dem.Info.ErrorCount, 1);
    EXPECT_NE(dem.Info.ErrorText.find("Warped: from WGS 84 / Pseudo-Mercator to UTM zone 33 north"), std::string::npos)
        << dem.Info.ErrorText;

    // Each valid cell against the plane at its centre, mapped back to Web Mercator.
    OGRSpatialReferenceH utm = OSRNewSpatialReference(nullptr);
    OGRSpatialReferenceH mercator = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(utm, 32633);
    OSRImportFromEPSG(mercator, 3857);
    OSRSetAxisMappingStrategy(utm, OAMS_TRADITIONAL_GIS_ORDER);
    OSRSetAxisMappingStrategy(mercator, OAMS_TRADITIONAL_GIS_ORDER);
    OGRCoordinateTransformationH back = OCTNewCoordinateTransformation(utm, mercator);
    const TDEMInfo& info = dem.Info;
    int64_t checked = 0, voids = 0;
    for (int32_t c = 0; c < dem.Cols(); ++c)
        for (int32_t r = 0; r < dem.Rows(); ++r) {
            double x = info.Corners[cnSW].East + (c + 0.5) * info.Resolution[0];
            double y = info.Corners[cnSW].North + (r + 0.5) * info.Resolution[1];
            ASSERT_TRUE(OCTTransform(back, 1, &x, &y, nullptr));
            const bool inside =
                x > x0 + pixel && x < x0 + (cols - 1) * pixel && y < y0 - pixel && y > y0 - (rows - 1) * pixel;
            if (dem.GetValue(c, r) == VoidValue) {
                ++voids;
                EXPECT_FALSE(inside) << "a void cell inside the source at " << c << ", " << r;
            } else if (inside) {
                ++checked;
                EXPECT_NEAR(dem.GetValue(c, r), plane(x, y), 1.0) << "cell " << c << ", " << r;
            }
        }
    OCTDestroyCoordinateTransformation(back);
    OSRDestroySpatialReference(utm);
    OSRDestroySpatialReference(mercator);
    EXPECT_GT(checked, cols * rows / 3);
}

TEST(GDALReader, HeadersTheGridCannotHoldAreRefusedWithOneSentence)
{
    struct TCase {
        const char* Name;
        const char* FileName;
        std::function<void(const std::filesystem::path&)> Write;
        const char* Message;
    } cases[] = {
        {"a rotated geotransform", "rotated.tif",
         [](const std::filesystem::path& file) {
             TRasterFixture s;
             s.Cols = s.Rows = 4;
             s.GeoTransform = {500000.0, 30.0, 5.0, 4000000.0, 5.0, -30.0};
             s.CRS = "EPSG:32610";
             s.Values.assign(16, 1.0);
             test::WriteRaster(file, s);
         },
         "is rotated against east and north"},
        {"a NaN geotransform", "nan.tif",
         [](const std::filesystem::path& file) {
             TRasterFixture s;
             s.Cols = s.Rows = 4;
             s.GeoTransform = {NaN, 30.0, 0.0, 4000000.0, 0.0, -30.0};
             s.Values.assign(16, 1.0);
             test::WriteRaster(file, s);
         },
         "has a geotransform that is not a number"},
        {"a zero pixel size", "zero.asc",
         [](const std::filesystem::path& file) {
             test::WriteFileText(file, "ncols 2\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 0\n1 2\n3 4\n");
         },
         "has a pixel size of 0"},
        {"2^31 columns", "wide.asc",
         [](const std::filesystem::path& file) {
             test::WriteFileText(file, "ncols 2147483648\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\n1 2\n3 4\n");
         },
         "as a raster: GDAL says"},
        {"more cells than memory", "huge.vrt",
         [](const std::filesystem::path& file) {
             test::WriteFileText(file, R"(<VRTDataset rasterXSize="2000000000" rasterYSize="2000000000">)"
                                       R"(<VRTRasterBand dataType="Int16" band="1"/></VRTDataset>)");
         },
         "MiB available"},
        {"no raster at all", "words.txt",
         [](const std::filesystem::path& file) { test::WriteFileText(file, "hello\n"); }, "Cannot read"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTempDir folder;
        const auto file = folder / c.FileName;
        c.Write(file);
        TDEMArray dem;
        try {
            LoadGDALFile(file, dem);
            ADD_FAILURE() << "loaded";
        } catch (const EKorvelaError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(c.Message), std::string::npos) << message;
            EXPECT_NE(message.find(c.FileName), std::string::npos) << message;
            EXPECT_EQ(message.find('\n'), std::string::npos) << message;
        }
        EXPECT_EQ(dem.Cols(), 5); // refused before the grid changed
        EXPECT_EQ(dem.Rows(), 5);
    }
}

TEST(GDALReader, LargeRastersReportProgressChunkByChunk)
{
    TTempDir folder;
    TRasterFixture s;
    s.Cols = 2000;
    s.Rows = 1500;
    s.CRS = "EPSG:4326";
    s.GeoTransform = {0.0, 0.001, 0.0, 1.0, 0.0, -0.001};
    s.Values.assign(size_t{2000} * 1500, 5.5);
    test::WriteRaster(folder / "big.tif", s);
    std::vector<int> reports;
    TDEMArray dem;
    LoadGDALFile(folder / "big.tif", dem, [&](int percent) { reports.push_back(percent); });
    ASSERT_GE(reports.size(), 2u);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_GT(reports.front(), 0);
    EXPECT_EQ(reports.back(), 100);
    EXPECT_EQ(dem.GetValue(1999, 0), 6); // 5.5 to even
}

TEST(GDALReader, FeetComeFromTheBandUnit)
{
    const std::pair<const char*, TUnitCode> cases[] = {
        {"ft", ucFeet},  {"FOOT", ucFeet},    {"feet", ucFeet}, {"US survey foot", ucFeet},
        {"m", ucMeters}, {"metre", ucMeters}, {"", ucMeters},   {"fathom", ucMeters},
    };
    for (const auto& [unit, code] : cases)
        EXPECT_EQ(ElevationUnitOf(unit), code) << unit;
}

} // namespace
} // namespace kv
