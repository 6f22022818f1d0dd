#include "dem/KVDEMInfo.h"
#include "platform/Units.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

constexpr TUnits Meters{false};
constexpr TUnits Feet{true};

TEST(DEMInfoLines, StartUpGridListsZerosAndRadians)
{
    const TDEMArray dem;
    const std::vector<std::string> lines = DEMInfoLines(dem.Info, 0.0, Meters);
    ASSERT_EQ(lines.size(), 29u);
    EXPECT_EQ(lines[0], "Map Name: ");
    EXPECT_EQ(lines[1], "Columns: 0");
    EXPECT_EQ(lines[2], "High Point: 0 M.");
    EXPECT_EQ(lines[9], "Projection: 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(lines[10], "Ground Units: Radians");
    EXPECT_EQ(lines[11], "Elevation Units: Radians");
    EXPECT_EQ(lines[28], "Profile Width: 0");
}

TEST(DEMInfoLines, HeaderValuesInTheirForms)
{
    TDEMInfo info;
    info.MapName = "AREA";
    info.ProfileRows = 1;
    info.ProfileCols = 403;
    info.MaxElevation = 1234.4;
    info.MinElevation = 236;
    info.GroundUnits = ucArcSeconds;
    info.ElevUnits = 9;
    info.Corners[cnSW] = {-303888, 131208};
    info.Resolution = {30, 30, 1};
    info.Angle = 0.25;

    info.ElevUnits = ucMeters;
    std::vector<std::string> lines = DEMInfoLines(info, 56.0, Meters);
    EXPECT_EQ(lines[1], "Columns: 403");
    EXPECT_EQ(lines[2], "High Point: 1234 M.");
    EXPECT_EQ(lines[4], "Color Spacing: 56 M.");
    EXPECT_EQ(lines[10], "Ground Units: Arc-Seconds");
    EXPECT_EQ(lines[11], "Elevation Units: Meters");
    EXPECT_EQ(lines[13], "SW Corner East: -303888");
    EXPECT_EQ(lines[21], "Min Elevation: 236");
    EXPECT_EQ(lines[22], "Max Elevation: 1234.4");
    EXPECT_EQ(lines[23], "Angle: 0.25");
    EXPECT_EQ(lines[25], "Resolution:    30    30    1");

    lines = DEMInfoLines(info, 56.0, Feet);
    EXPECT_EQ(lines[2], "High Point: 4050 Ft.");
    EXPECT_EQ(lines[22], "Max Elevation: 1234.4");

    info.ElevUnits = 9; // no unit the program knows: the numbers are shown as meters
    EXPECT_EQ(DEMInfoLines(info, 56.0, Meters)[11], "Elevation Units: ");
}

// Cells and header elevations stay in the file's unit; what is shown converts from it.
TEST(DEMInfoLines, FeetElevationsShowInTheWorkingUnit)
{
    TDEMInfo info;
    info.ElevUnits = ucFeet;
    info.MaxElevation = 3281;
    info.MinElevation = 100;
    const double spacingFeet = 150;
    struct Case {
        TUnits units;
        const char* high;
        const char* low;
        const char* spacing;
    };
    const Case cases[] = {
        {Feet, "High Point: 3281 Ft.", "Low Point: 100 Ft.", "Color Spacing: 150 Ft."},
        {Meters, "High Point: 1000 M.", "Low Point: 30 M.", "Color Spacing: 46 M."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.units.UnitSuffix());
        const std::vector<std::string> lines = DEMInfoLines(info, spacingFeet, c.units);
        EXPECT_EQ(lines[2], c.high);
        EXPECT_EQ(lines[3], c.low);
        EXPECT_EQ(lines[4], c.spacing);
        EXPECT_EQ(lines[22], "Max Elevation: 3281"); // the header value itself, unconverted
    }
}

// An SDTS transfer states its grid in cells: NROW rows of NCOL cells.
TEST(DEMInfoLines, SDTSColumnsAreTheCellColumns)
{
    TDEMInfo info;
    info.SourceFormat = dfSDTS;
    info.ProfileRows = 1201;
    info.ProfileCols = 1178;
    const std::vector<std::string> lines = DEMInfoLines(info, 0.0, Meters);
    EXPECT_EQ(lines[1], "Columns: 1178");
    EXPECT_EQ(lines[26], "Rows: 1201");
}

TEST(FormatGeneral, ShortestFormUpToFifteenDigits)
{
    EXPECT_EQ(FormatGeneral(0.1), "0.1");
    EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(4388623.5), "4388623.5");
    EXPECT_EQ(FormatGeneral(-0.0), "0");
    EXPECT_EQ(FormatGeneral(1e20), "1e+20");
}

TEST(DEMErrorLines, OneLinePerDefectKind)
{
    TDEMInfo info;
    EXPECT_TRUE(DEMErrorLines(info).empty());
    info.ErrorText = "Embedded Carriage Returns: 1208\r\nInvalid Corners: 1\r\n";
    EXPECT_EQ(DEMErrorLines(info), (std::vector<std::string>{"Embedded Carriage Returns: 1208", "Invalid Corners: 1"}));
}

} // namespace
} // namespace kv
