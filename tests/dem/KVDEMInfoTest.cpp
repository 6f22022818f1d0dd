#include "dem/KVDEMInfo.h"
#include "platform/Units.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

class DemInfoTest : public ::testing::Test {
protected:
    void SetUp() override { SetUnits(false); }
    void TearDown() override { SetUnits(true); }
    static void SetUnits(bool feet)
    {
        UseFeet = feet;
        ApplyUnits();
    }
};

TEST_F(DemInfoTest, StartUpGridListsZerosAndRadians)
{
    const TDEMArray dem;
    const std::vector<std::string> lines = DemInfoLines(dem.Info, 0.0);
    ASSERT_EQ(lines.size(), 29u);
    EXPECT_EQ(lines[0], "Map Name: ");
    EXPECT_EQ(lines[1], "Columns: 0");
    EXPECT_EQ(lines[2], "High Point: 0 M.");
    EXPECT_EQ(lines[9], "Projection: 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(lines[10], "Ground Units: Radians");
    EXPECT_EQ(lines[11], "Elevation Units: Radians");
    EXPECT_EQ(lines[28], "Profile Width: 0");
}

TEST_F(DemInfoTest, HeaderValuesInTheirForms)
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

    std::vector<std::string> lines = DemInfoLines(info, 56.0);
    EXPECT_EQ(lines[1], "Columns: 403");
    EXPECT_EQ(lines[2], "High Point: 1234 M.");
    EXPECT_EQ(lines[4], "Color Spacing: 56 M.");
    EXPECT_EQ(lines[10], "Ground Units: Arc-Seconds");
    EXPECT_EQ(lines[11], "Elevation Units: ");
    EXPECT_EQ(lines[13], "SW Corner East: -303888");
    EXPECT_EQ(lines[21], "Min Elevation: 236");
    EXPECT_EQ(lines[22], "Max Elevation: 1234.4");
    EXPECT_EQ(lines[23], "Angle: 0.25");
    EXPECT_EQ(lines[25], "Resolution:    30    30    1");

    SetUnits(true);
    lines = DemInfoLines(info, 56.0);
    EXPECT_EQ(lines[2], "High Point: 4050 Ft.");
    EXPECT_EQ(lines[22], "Max Elevation: 1234.4");
}

TEST(FormatGeneral, ShortestFormUpToFifteenDigits)
{
    EXPECT_EQ(FormatGeneral(0.1), "0.1");
    EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(4388623.5), "4388623.5");
    EXPECT_EQ(FormatGeneral(-0.0), "0");
    EXPECT_EQ(FormatGeneral(1e20), "1e+20");
}

TEST(DemErrorLines, OneLinePerDefectKind)
{
    TDEMInfo info;
    EXPECT_TRUE(DemErrorLines(info).empty());
    info.ErrorText = "Embedded Carriage Returns: 1208\r\nInvalid Corners: 1\r\n";
    EXPECT_EQ(DemErrorLines(info), (std::vector<std::string>{"Embedded Carriage Returns: 1208", "Invalid Corners: 1"}));
}

} // namespace
} // namespace kv
