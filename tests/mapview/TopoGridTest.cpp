// The topo editor's document: loading a map selection, the automatic interval, cropping, the
// refresh after an edit, the spacing fit and the readouts.

#include "mapview/TopoGrid.h"

#include <gtest/gtest.h>

#include <vector>

namespace kv {
namespace {

const TUnits Meters{false};
const TUnits Feet{true};

// A UTM grid of cols x rows cells holding col x 100 + row, 30 m cells, north-west corner at
// (1000, 5000).
TDEMArray SmallDEM(int32_t cols, int32_t rows)
{
    TDEMArray dem;
    dem.SetSize(cols, rows);
    for (int32_t c = 0; c < cols; ++c)
        for (int32_t r = 0; r < rows; ++r)
            dem.SetValue(c, r, c * 100 + r);
    dem.Info.GroundRef = 1;
    dem.Info.Resolution = {30.0, 30.0, 1.0};
    dem.Info.Corners[cnNW] = {1000.0, 5000.0};
    dem.Info.DataMin = 655;
    dem.Info.DataMax = 1000;
    return dem;
}

TEST(TopoGridTest, LoadSelectionCopiesTheCellsUnderTheSelectionNorthFirst)
{
    const TDEMArray dem = SmallDEM(10, 8);
    TTopoDocument doc;
    doc.Grid.Set(0, 4, -1.0); // one row beyond the copy: must stay
    // Image rows 1 .. 5 are grid rows 7 .. 3; the copy holds grid rows 7 down to 4.
    ASSERT_EQ(LoadSelection(doc, dem, {2, 1, 6, 5}, Meters), loLoaded);
    ASSERT_EQ(doc.Grid.Cols(), 4);
    ASSERT_EQ(doc.Grid.Rows(), 4);
    for (int32_t u = 0; u < 4; ++u)
        for (int32_t t = 0; t < 4; ++t)
            EXPECT_EQ(doc.Grid.Get(u, t), (2 + u) * 100 + (7 - t)) << u << "," << t;
    EXPECT_EQ(doc.Grid.Get(0, 4), -1.0);
    EXPECT_TRUE(doc.TopoLoaded);
    EXPECT_EQ(doc.TopoRefCode, 1);
    EXPECT_EQ(doc.TopoSelection, (TRect{0, 0, 3, 3}));
    EXPECT_DOUBLE_EQ(doc.TopoOrigin.East, 1060.0);
    EXPECT_DOUBLE_EQ(doc.TopoOrigin.North, 4970.0);
    // (1000 - 655) / 15 = 23, rounded up to 30.
    EXPECT_DOUBLE_EQ(doc.TopoInterval, 30.0);
    EXPECT_EQ(doc.Spacing, (TGroundSpacing{30.0, 30.0}));
}

TEST(TopoGridTest, LoadSelectionRefusesEmptyAndClipsOversizedSelections)
{
    TTopoDocument doc;
    EXPECT_EQ(LoadSelection(doc, SmallDEM(10, 8), {3, 2, 3, 6}, Meters), loNothingSelected);
    EXPECT_FALSE(doc.TopoLoaded);

    // 1700 columns and 1600 rows selected: the north-west 1500 x 1500 cells.
    const TDEMArray wide = SmallDEM(1700, 1600);
    ASSERT_EQ(LoadSelection(doc, wide, {0, 0, 1700, 1600}, Meters), loClipped);
    EXPECT_EQ(doc.Grid.Cols(), TopoCapacity);
    EXPECT_EQ(doc.Grid.Rows(), TopoCapacity);
    EXPECT_EQ(doc.Grid.Get(0, 0), 1599); // the northernmost row
    EXPECT_EQ(doc.Grid.Get(TopoCapacity - 1, TopoCapacity - 1), 1499 * 100 + 100);
}

TEST(TopoGridTest, IntervalRounding)
{
    struct TCase {
        double R, Rounded;
    };
    for (const TCase& c : std::vector<TCase>{{23, 30}, {40, 40}, {0, 0}, {-23, -30}, {0.1, 10}})
        EXPECT_DOUBLE_EQ(RoundUpToTen(c.R), c.Rounded) << c.R;

    struct TIntervalCase {
        double Meters;
        bool UseFeet;
        double Shown;
    };
    for (const TIntervalCase& c : std::vector<TIntervalCase>{
             {30, false, 30}, {30, true, 98.43}, {0, false, 1}, {0.001, true, 1}, {5000, false, 1000}}) {
        TTopoDocument doc;
        const TUnits units{c.UseFeet};
        EXPECT_DOUBLE_EQ(SetTopoInterval(doc, c.Meters, units), c.Shown) << c.Meters;
        EXPECT_DOUBLE_EQ(doc.TopoInterval, c.Shown / units.UnitFactor());
    }
}

TEST(TopoGridTest, FitSpacing)
{
    struct TCase {
        int32_t Cols, Rows, Width, Height, Spacing;
    };
    for (const TCase& c : std::vector<TCase>{
             {101, 41, 569, 329, 5}, {11, 11, 569, 329, 32}, {1, 1, 569, 329, 328}, {1500, 1500, 569, 329, 1}}) {
        TTopoDocument doc;
        doc.Grid.SetSize(c.Cols, c.Rows);
        FitSpacing(doc, c.Width, c.Height);
        EXPECT_EQ(doc.TopoSpacing, c.Spacing) << c.Cols << "x" << c.Rows;
    }
}

TTopoDocument NumberedDoc(int32_t cols, int32_t rows)
{
    TTopoDocument doc;
    doc.Grid.SetSize(cols, rows);
    for (int32_t c = 0; c < cols; ++c)
        for (int32_t r = 0; r < rows; ++r)
            doc.Grid.Set(c, r, c * 10 + r);
    doc.TopoLoaded = true;
    doc.TopoOrigin = {500.0, 900.0};
    doc.Spacing = {30.0, 20.0};
    return doc;
}

TEST(TopoGridTest, CropToBoxKeepsTheCornerCellsAndMovesTheOrigin)
{
    TTopoDocument doc = NumberedDoc(6, 5);
    doc.TopoSpacing = 5;
    // Pixels (16, 11) .. (5, 5), corners given the wrong way round: cells 1 .. 3 by 1 .. 2.
    ASSERT_TRUE(CropToBox(doc, {16, 11, 5, 5}));
    ASSERT_EQ(doc.Grid.Cols(), 3);
    ASSERT_EQ(doc.Grid.Rows(), 2);
    for (int32_t u = 0; u < 3; ++u)
        for (int32_t t = 0; t < 2; ++t)
            EXPECT_EQ(doc.Grid.Get(u, t), (1 + u) * 10 + (1 + t));
    EXPECT_DOUBLE_EQ(doc.TopoOrigin.East, 530.0);
    EXPECT_DOUBLE_EQ(doc.TopoOrigin.North, 880.0);
    EXPECT_EQ(doc.TopoSelection, (TRect{0, 0, 2, 1}));

    // A box reaching past the grid is cut at its last cell; one wholly outside does nothing.
    TTopoDocument outside = NumberedDoc(6, 5);
    ASSERT_TRUE(CropToBox(outside, {20, 0, 400, 400}));
    EXPECT_EQ(outside.Grid.Cols(), 2);
    EXPECT_EQ(outside.Grid.Rows(), 5);
    EXPECT_FALSE(CropToBox(outside, {300, 300, 400, 400}));
    EXPECT_EQ(outside.Grid.Cols(), 2);
}

TEST(TopoGridTest, GeographicOriginMovesInArcSeconds)
{
    TDEMArray dem = SmallDEM(10, 8);
    dem.Info.GroundRef = 0;
    dem.Info.Resolution = {3.0, 3.0, 1.0};
    dem.Info.Corners[cnSW] = {-360000.0, 45.5 * 3600};
    dem.Info.Corners[cnNW] = {-360000.0, 45.5 * 3600 + 24};
    TTopoDocument doc;
    ASSERT_EQ(LoadSelection(doc, dem, {0, 1, 8, 8}, Meters), loLoaded);
    const TGroundPoint before = doc.TopoOrigin;
    doc.TopoSpacing = 1;
    ASSERT_TRUE(CropToBox(doc, {2, 3, 6, 6}));
    // Two cells east and three south are 6 and 9 arc-seconds, not metres.
    EXPECT_NEAR(doc.TopoOrigin.East - before.East, 6.0, 1e-9);
    EXPECT_NEAR(before.North - doc.TopoOrigin.North, 9.0, 1e-9);
}

TEST(TopoGridTest, RefreshAfterEditMakesALocalGridAndScansTheRange)
{
    TTopoDocument doc = NumberedDoc(4, 3);
    doc.TopoRefCode = 0;
    doc.Grid.Set(2, 1, 400.0);
    doc.Grid.Set(3, 2, -50.0);
    RefreshAfterEdit(doc, true, Meters, 569, 329);
    EXPECT_EQ(doc.TopoOrigin.East, 0.0);
    EXPECT_EQ(doc.TopoOrigin.North, 0.0);
    EXPECT_EQ(doc.TopoRefCode, 1);
    EXPECT_EQ(doc.TopoMax, 400.0);
    EXPECT_EQ(doc.TopoMin, -50.0);
    EXPECT_DOUBLE_EQ(doc.TopoInterval, 30.0); // 450 / 15, not rounded to 10
    EXPECT_EQ(doc.TopoSelection, (TRect{0, 0, 3, 2}));
    EXPECT_EQ(doc.TopoSpacing, 164);

    doc.TopoInterval = 12.0;
    RefreshAfterEdit(doc, false, Meters, 569, 329);
    EXPECT_EQ(doc.TopoInterval, 12.0);
}

TEST(TopoGridTest, Readouts)
{
    TTopoDocument doc = NumberedDoc(4, 3);
    doc.TopoSpacing = 10;
    doc.TopoRefCode = 1;
    doc.TopoOrigin = {1000.0, 2000.0};
    struct TCase {
        int32_t X, Y;
        bool UseFeet;
        TTopoReadout Expected;
    };
    const std::vector<TCase> cases = {
        // Cell (1.5, 0.5): between 10, 20, 11 and 21.
        {15, 5, false, {"1.5, 0.5 ", "1,045m.E, 1,990m.N ", "15.5 M. "}},
        {15, 5, true, {"1.5, 0.5 ", "3,428ftE, 6,529ftN ", "50.9 Ft. "}},
        // On the last column there is no cell to the east: 0.
        {30, 10, false, {"3.0, 1.0 ", "1,090m.E, 1,980m.N ", "0.0 M. "}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(TopoReadouts(doc, c.X, c.Y, TUnits{c.UseFeet}), c.Expected) << c.X << "," << c.Y;

    doc.TopoLoaded = false;
    EXPECT_EQ(TopoReadouts(doc, 15, 5, Meters), TTopoReadout{});
}

TEST(TopoGridTest, SizeOfTheBox)
{
    TTopoDocument doc;
    doc.TopoSpacing = 5;
    EXPECT_EQ(BoxCells(doc, {27, 3, 4, 13}), (TRect{0, 0, 5, 2}));
    EXPECT_EQ(TopoSizeText(BoxCells(doc, {27, 3, 4, 13})), "10");
}

} // namespace
} // namespace kv
