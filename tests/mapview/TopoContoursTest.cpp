// Contour tracing against segments computed by hand on one-cell grids, void holes, colours,
// the abort hook, point marks and the picture's size limit.

#include "mapview/TopoContours.h"

#include "platform/KVError.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace kv {
namespace {

constexpr double Void = TopoVoidValue;

struct TSegment {
    TPoint From;
    TPoint To;
};

// A 2 x 2 grid from its corner values.
TTopoGrid CellGrid(double nw, double ne, double se, double sw)
{
    TTopoGrid grid;
    grid.SetSize(2, 2);
    grid.Set(0, 0, nw);
    grid.Set(1, 0, ne);
    grid.Set(1, 1, se);
    grid.Set(0, 1, sw);
    return grid;
}

std::set<std::pair<int32_t, int32_t>> LitPixels(const TBitmap& bitmap)
{
    std::set<std::pair<int32_t, int32_t>> lit;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        for (int32_t x = 0; x < bitmap.Width(); ++x)
            if (bitmap.GetPixel(x, y) != clBlack)
                lit.insert({x, y});
    return lit;
}

TBitmap Traced(const TTopoGrid& grid, int32_t spacing, double interval)
{
    TBitmap bitmap(spacing * grid.Cols(), spacing * grid.Rows());
    TCanvas canvas(bitmap);
    TContourOptions options;
    options.Spacing = spacing;
    options.Interval = interval;
    options.ColorByElevation = false;
    EXPECT_TRUE(TraceContours(grid, canvas, options));
    return bitmap;
}

TEST(TopoContoursTest, SegmentsMatchHandComputedCrossings)
{
    struct TCase {
        const char* Name;
        double NW, NE, SE, SW;
        double Interval;
        std::vector<TSegment> Expected; // with both end pixels
    };
    const std::vector<TCase> cases = {
        // Rising eastward: both triangles give vertical lines at x = 0, 5 and 10.
        {"ramp", 0, 20, 20, 0, 10, {{{0, 0}, {0, 10}}, {{5, 0}, {5, 10}}, {{10, 0}, {10, 10}}}},
        // A saddle: the split along the north-west to south-east diagonal draws that diagonal at
        // level 0 and one corner cut in each triangle at level 10; level 20 touches the two high
        // corners only.
        {"saddle",
         0,
         20,
         0,
         20,
         10,
         {{{0, 0}, {10, 10}}, {{10, 5}, {5, 0}}, {{5, 10}, {0, 5}}, {{10, 0}, {10, 0}}, {{0, 10}, {0, 10}}}},
        // Crossings at a third of the cell are truncated to whole pixels.
        {"truncated", 0, 30, 30, 0, 10, {{{0, 0}, {0, 10}}, {{3, 0}, {3, 10}}, {{6, 0}, {6, 10}}, {{10, 0}, {10, 10}}}},
        // A flat cell on a level: every edge is flat, nothing is drawn.
        {"flat", 10, 10, 10, 10, 10, {}},
        // No level between the corners.
        {"between levels", 11, 12, 19, 13, 10, {}},
        // The void south-west corner removes the second triangle; the first keeps its lines.
        {"void corner", 0, 20, 20, Void, 10, {{{0, 0}, {0, 0}}, {{5, 0}, {5, 5}}, {{10, 0}, {10, 10}}}},
        // Negative elevations: levels -10 and 0 cross a cell from -15 to 5.
        {"negative", -15, 5, 5, -15, 10, {{{2, 0}, {2, 10}}, {{7, 0}, {7, 10}}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TBitmap traced = Traced(CellGrid(c.NW, c.NE, c.SE, c.SW), 10, c.Interval);
        TBitmap expected(20, 20);
        TCanvas canvas(expected);
        canvas.Pen.Color = clWhite;
        for (const TSegment& s : c.Expected)
            canvas.Line(s.From, s.To, leDrawLast);
        EXPECT_EQ(LitPixels(traced), LitPixels(expected));
    }
}

// The segments themselves, before truncation, for the triangle 10, 20, 30 m at 10 m: level 10
// touches V0, level 20 runs from V1 to the middle of V0V2 in both halves with a one-point
// segment at V1 in each, level 30 touches V2. The void south-west corner removes the other
// triangle.
TEST(TopoContoursTest, SegmentSinkReceivesTheCrossingsInOrder)
{
    struct TLine {
        double Level, X1, Y1, X2, Y2;
        bool operator==(const TLine&) const = default;
    };
    std::vector<TLine> lines;
    TContourOptions options;
    options.Spacing = 10;
    options.Interval = 10;
    int64_t count = 0;
    options.SegmentCount = &count;
    EXPECT_TRUE(TraceContourSegments(CellGrid(10, 20, 30, Void), options,
                                     [&](double level, double x1, double y1, double x2, double y2) {
                                         lines.push_back({level, x1, y1, x2, y2});
                                     }));
    const std::vector<TLine> expected = {{10, 0, 0, 0, 0},  {20, 10, 0, 5, 5},  {20, 10, 0, 10, 0},
                                         {20, 10, 0, 5, 5}, {20, 10, 0, 10, 0}, {30, 10, 10, 10, 10}};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(count, 6);
}

TEST(TopoContoursTest, NextContourLevelIsTheSmallestMultipleNotBelow)
{
    struct TCase {
        double Z, Interval, Level;
    };
    for (const TCase& c : std::vector<TCase>{
             {23, 10, 30}, {20, 10, 20}, {0, 10, 0}, {-23, 10, -20}, {-5, 10, 0}, {-20, 10, -20}, {7.5, 2.5, 7.5}})
        EXPECT_DOUBLE_EQ(NextContourLevel(c.Z, c.Interval), c.Level) << c.Z << " / " << c.Interval;
}

TEST(TopoContoursTest, ColoursFollowTheBarOrTheFixedColour)
{
    const TTopoGrid grid = CellGrid(0, 20, 20, 0);
    TColorBar bar;
    bar.SetRange(100, 0);
    for (const bool byElevation : {true, false}) {
        TBitmap bitmap(20, 20);
        TCanvas canvas(bitmap);
        canvas.Pen.Color = clBlack; // whatever the pen held before never shows
        TContourOptions options;
        options.Spacing = 10;
        options.Interval = 10;
        options.ColorByElevation = byElevation;
        options.Bar = &bar;
        options.UnitFactor = FeetPerMeter;
        ASSERT_TRUE(TraceContours(grid, canvas, options));
        EXPECT_EQ(bitmap.GetPixel(5, 3), byElevation ? bar.GetBandColor(10 * FeetPerMeter) : clWhite);
        EXPECT_EQ(bitmap.GetPixel(10, 3), byElevation ? bar.GetBandColor(20 * FeetPerMeter) : clWhite);
    }
    ASSERT_NE(bar.GetBandColor(10 * FeetPerMeter), bar.GetBandColor(20 * FeetPerMeter));
}

TEST(TopoContoursTest, AbortStopsAfterTheRowThatAsked)
{
    // 2 columns, 10 rows, rising eastward: every row of cells draws x = 5 over its height.
    TTopoGrid grid;
    grid.SetSize(2, 10);
    for (int32_t r = 0; r < 10; ++r) {
        grid.Set(0, r, 0);
        grid.Set(1, r, 20);
    }
    TBitmap bitmap(20, 100);
    TCanvas canvas(bitmap);
    TContourOptions options;
    options.Spacing = 10;
    options.Interval = 10;
    options.ColorByElevation = false;
    int32_t asked = 0;
    int32_t processed = 0;
    EXPECT_FALSE(TraceContours(
        grid, canvas, options, [&] { return ++asked == 3; }, [&] { ++processed; }));
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(processed, 1);                    // row 0 only: rows 1 and 2 are not multiples of 5
    EXPECT_EQ(bitmap.GetPixel(5, 30), clWhite); // the third row's last pixel
    EXPECT_EQ(bitmap.GetPixel(5, 31), clBlack); // nothing of the fourth row
}

TEST(TopoContoursTest, PointMarksBySpacing)
{
    TTopoGrid grid;
    grid.SetSize(2, 2);
    struct TCase {
        int32_t Spacing;
        std::set<std::pair<int32_t, int32_t>> Around; // lit pixels near point (1, 1)
    };
    const std::vector<TCase> cases = {
        {6, {{4, 4}, {5, 4}, {6, 4}, {7, 4}, {4, 5}, {7, 5}, {4, 6}, {7, 6}, {4, 7}, {5, 7}, {6, 7}, {7, 7}}},
        {4, {{3, 4}, {4, 4}, {5, 4}, {4, 3}, {4, 5}}},
        {2, {{2, 2}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Spacing);
        TBitmap bitmap(4 * c.Spacing, 4 * c.Spacing);
        TCanvas canvas(bitmap);
        canvas.Brush.Color = clBlack;
        ASSERT_TRUE(MarkGridPoints(grid, canvas, c.Spacing));
        std::set<std::pair<int32_t, int32_t>> around;
        for (const auto& [x, y] : LitPixels(bitmap)) {
            EXPECT_EQ(bitmap.GetPixel(x, y), TopoMarkColor);
            // Closer than the neighbouring points' marks reach.
            if (std::abs(x - c.Spacing) < c.Spacing - 1 && std::abs(y - c.Spacing) < c.Spacing - 1)
                around.insert({x, y});
        }
        EXPECT_EQ(around, c.Around);
    }
}

TEST(TopoContoursTest, DrawTopoSizesClearsAndRefusesHugePictures)
{
    TTopoDocument doc;
    doc.Grid.SetSize(3, 2);
    doc.TopoSpacing = 7;
    doc.TopoInterval = 10;
    doc.MarkPoints = true;
    TBitmap bitmap(5, 5);
    TCanvas(bitmap).SetPixel(1, 1, clWhite);
    ASSERT_TRUE(DrawTopo(doc, bitmap, nullptr, 1.0));
    EXPECT_EQ(bitmap.Width(), 21);
    EXPECT_EQ(bitmap.Height(), 14);
    EXPECT_EQ(bitmap.GetPixel(1, 1), TopoMarkColor); // the mark of point (0, 0), not the old white
    EXPECT_EQ(bitmap.GetPixel(3, 3), clBlack);

    doc.Grid.SetSize(TopoCapacity, TopoCapacity);
    doc.TopoSpacing = TopoSpacingMax;
    EXPECT_THROW(DrawTopo(doc, bitmap, nullptr, 1.0), EKorvelaError);
    EXPECT_EQ(bitmap.Width(), 21);
}

TEST(TopoContoursTest, IntervalTooSmallForTheValuesStillEnds)
{
    // At 1e300 adding 0.1 changes nothing; the level loop must still end.
    const TBitmap bitmap = Traced(CellGrid(1e300, 2e300, 2e300, 1e300), 4, 0.1);
    EXPECT_EQ(bitmap.Width(), 8);
}

} // namespace
} // namespace kv
