// Ground coordinates of map pixels and their texts.

#include "mapview/MapCoords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kv {
namespace {

const TUnits Feet{true};
const TUnits Meters{false};
const std::string Deg = "\xC2\xB0";

TEST(MapCoords, ArcSecondText)
{
    struct TCase {
        double Value;
        std::string Text;
    };
    const TCase cases[] = {
        {0, "0" + Deg + "0'0\""},
        {3599.9, "0" + Deg + "59'59\""}, // seconds truncate
        {-450000, "-125" + Deg + "0'0\""},
        {-1800, "0" + Deg + "30'0\""}, // no sign between -3600 and 0
        {-431999, "-119" + Deg + "59'59\""},
        {-432000.5, "-120" + Deg + "0'0\""},
        {362648, "100" + Deg + "44'8\""},
        {std::nan(""), ""},
        {std::numeric_limits<double>::infinity(), ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Value);
        EXPECT_EQ(FormatArcSeconds(c.Value), c.Text);
    }
}

TEST(MapCoords, LengthText)
{
    struct TCase {
        double Meters;
        const TUnits& Units;
        std::string Text;
    };
    const TCase cases[] = {
        {833952.1, Meters, "833,952m."},    {833952.1, Feet, "2,736,063ft"}, {1234.4, Meters, "1,234m."},
        {1234.4, Feet, "4,050ft"},          {999.5, Meters, "1,000m."}, // halves away from zero
        {-999.5, Meters, "-1,000m."},       {-0.4, Meters, "0m."},           {100, Meters, "100m."},
        {-1234567, Meters, "-1,234,567m."}, {std::nan(""), Meters, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(FormatLength(c.Meters, c.Units), c.Text);
    }
    EXPECT_EQ(FormatLength(1234567, Meters, "."), "1.234.567m.");
    EXPECT_EQ(FormatLength(1234567, Meters, ""), "1234567m.");
    EXPECT_EQ(FormatLength(1234567, Meters, "\xE2\x80\xAF"), "1\xE2\x80\xAF"
                                                             "234\xE2\x80\xAF"
                                                             "567m.");
}

TEST(MapCoords, GroundTextByReferenceSystem)
{
    EXPECT_EQ(FormatGround(0, 3600, Meters), "1" + Deg + "0'0\"");
    EXPECT_EQ(FormatGround(1, 3600, Meters), "3,600m.");
    EXPECT_EQ(FormatGround(2, 3600, Meters), "");
    EXPECT_EQ(FormatGround(-1, 3600, Meters), "");
}

TEST(MapCoords, PixelsToGroundRoundsHalvesToEven)
{
    TDEMInfo info;
    info.Resolution = {0.5, 30, 1};
    struct TCase {
        int32_t Pixels;
        int32_t X;
    };
    const TCase cases[] = {{1, 0}, {3, 2}, {5, 2}, {7, 4}, {-1, 0}, {-3, -2}, {4, 2}, {0, 0}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Pixels);
        EXPECT_EQ(PixelsToGroundX(info, c.Pixels), c.X);
    }
    EXPECT_EQ(PixelsToGroundY(info, 7), 210);
    info.Resolution = {1e12, std::nan(""), 1};
    EXPECT_EQ(PixelsToGroundX(info, 5), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(PixelsToGroundX(info, -5), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(PixelsToGroundY(info, 5), 0);
}

TDEMInfo UTMInfo()
{
    TDEMInfo info;
    info.GroundRef = 1;
    info.Resolution = {30, 10, 1};
    info.Corners[cnSW] = {500000, 4000000};
    info.Corners[cnNW] = {500000, 4001000};
    return info;
}

TEST(MapCoords, CornerLabelsFollowTheScrollPosition)
{
    const TDEMInfo info = UTMInfo();
    // Scrolled fully down: the south-west label is the header's corner shifted only sideways.
    TScrollState scroll{200, 100, 10, 500, 420, 80};
    TCornerLabels labels = CornerLabels(info, scroll, Meters);
    EXPECT_EQ(labels.SWEast, "500,300m. E");
    EXPECT_EQ(labels.SWNorth, "4,000,000m. N");
    EXPECT_EQ(labels.NWEast, "500,300m. E");
    EXPECT_EQ(labels.NWNorth, "4,001,000m. N");
    EXPECT_EQ(labels.NEEast, "506,300m. E");
    EXPECT_EQ(labels.NENorth, "4,001,000m. N");
    EXPECT_EQ(labels.SEEast, "506,300m. E");
    EXPECT_EQ(labels.SENorth, "4,000,000m. N");

    // Scrolled to the top: the visible area's bottom lies 420 pixels above the map's.
    scroll.VertPosition = 0;
    labels = CornerLabels(info, scroll, Meters);
    EXPECT_EQ(labels.SWNorth, "4,004,200m. N");
    EXPECT_EQ(labels.NWNorth, "4,005,200m. N");

    // State plane: only the suffixes.
    TDEMInfo plane = info;
    plane.GroundRef = 2;
    labels = CornerLabels(plane, scroll, Meters);
    EXPECT_EQ(labels.SWEast, " E");
    EXPECT_EQ(labels.NENorth, " N");
}

TEST(MapCoords, CursorReadoutCountsFromTheNorthWestCorner)
{
    const TDEMInfo info = UTMInfo();
    EXPECT_EQ(CursorReadout(info, 7, 7, Meters), (TCursorReadout{"500,210m. E", "4,000,930m. N"}));
    EXPECT_EQ(CursorReadout(info, 0, 0, Feet), (TCursorReadout{"1,640,420ft E", "13,126,640ft N"}));

    TDEMInfo geo;
    geo.GroundRef = 0;
    geo.Resolution = {1, 1, 1};
    geo.Corners[cnNW] = {-360000, 129600};
    EXPECT_EQ(CursorReadout(geo, 3600, 3600, Meters),
              (TCursorReadout{"-99" + Deg + "0'0\" E", "35" + Deg + "0'0\" N"}));
}

TEST(MapCoords, SelectionSize)
{
    EXPECT_EQ(SelectionSizeText({10, 20, 130, 100}), "120,80:9600");
    EXPECT_EQ(SelectionSizeText({130, 100, 10, 20}), "120,80:9600");
    EXPECT_EQ(SelectionSizeText({5, 5, 5, 5}), "0,0:0");
    EXPECT_EQ(SelectionSizeText({0, 0, 100000, 100000}), "100000,100000:10000000000");
}

TEST(MapCoords, ColorBarRangeInWorkingUnits)
{
    TDEMInfo info;
    info.ElevUnits = ucMeters;
    info.DataMin = 236;
    info.DataMax = 1076;
    EXPECT_EQ(ColorBarRange(info, Meters), (TBarRange{1076, 236}));
    EXPECT_EQ(ColorBarRange(info, Feet), (TBarRange{3530, 774})); // 3530.18, 774.28
    // Cells in feet: shown in feet they keep their values, in metres they are converted.
    info.ElevUnits = ucFeet;
    EXPECT_EQ(ColorBarRange(info, Feet), (TBarRange{1076, 236}));
    EXPECT_EQ(ColorBarRange(info, Meters), (TBarRange{327, 71})); // 327.96, 71.93
    info.DataMin = -10.5;
    EXPECT_EQ(ColorBarRange(info, Feet).Bottom, -10); // toward zero
}

TEST(MapCoords, GroundSpacing)
{
    TDEMInfo geo;
    geo.GroundRef = 0;
    geo.Resolution = {3, 3, 1};
    struct TCase {
        double SouthArcSeconds;
        TGroundSpacing Spacing;
    };
    const TCase cases[] = {
        {45.9 * 3600, {23.04 * 3, 30.05 * 3}},  // row 45
        {90 * 3600, {1.62 * 3, 30.97 * 3}},     // row 90
        {-33.5 * 3600, {26.84 * 3, 30.07 * 3}}, // southern latitudes use |lat|
        {0, {30.95 * 3, 30.74 * 3}},
        {91 * 3600, {30, 30}}, // damaged header
        {std::nan(""), {30, 30}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.SouthArcSeconds);
        geo.Corners[cnSW].North = c.SouthArcSeconds;
        const TGroundSpacing s = ComputeGroundSpacing(geo);
        EXPECT_DOUBLE_EQ(s.East, c.Spacing.East);
        EXPECT_DOUBLE_EQ(s.North, c.Spacing.North);
    }
    geo.Corners[cnSW].North = 0;
    geo.Resolution = {0, 2, 1};
    EXPECT_EQ(ComputeGroundSpacing(geo), (TGroundSpacing{10, 30.74 * 2}));

    TDEMInfo utm = UTMInfo();
    EXPECT_EQ(ComputeGroundSpacing(utm), (TGroundSpacing{30, 10}));
    utm.Resolution = {0, 0, 0};
    EXPECT_EQ(ComputeGroundSpacing(utm), (TGroundSpacing{10, 10}));
}

} // namespace
} // namespace kv
