// The stripe filter: the running mean in both directions, void cells, the step-ratio profile and
// its graph.

#include "mapview/TopoFilter.h"

#include <gtest/gtest.h>

#include <vector>

namespace kv {
namespace {

constexpr double Void = TopoVoidValue;

// One line of values laid out along the direction (a row for West-East, a column for
// South-North), repeated over `lines` lines across it.
TTopoGrid LineGrid(const std::vector<double>& values, TFilterDirection direction, int32_t lines = 1)
{
    TTopoGrid grid;
    const auto n = int32_t(values.size());
    if (direction == fdWestEast)
        grid.SetSize(n, lines);
    else
        grid.SetSize(lines, n);
    for (int32_t line = 0; line < lines; ++line)
        for (int32_t i = 0; i < n; ++i) {
            if (direction == fdWestEast)
                grid.Set(i, line, values[size_t(i)]);
            else
                grid.Set(line, i, values[size_t(i)]);
        }
    return grid;
}

std::vector<double> Line(const TTopoGrid& grid, TFilterDirection direction)
{
    std::vector<double> values;
    const int32_t n = direction == fdWestEast ? grid.Cols() : grid.Rows();
    for (int32_t i = 0; i < n; ++i)
        values.push_back(direction == fdWestEast ? grid.Get(i, 0) : grid.Get(0, i));
    return values;
}

TEST(TopoFilterTest, SmoothingRunsInPlaceAndStopsAtVoidCells)
{
    struct TCase {
        const char* Name;
        std::vector<double> Before, After;
    };
    const std::vector<TCase> cases = {
        // Each mean uses the already smoothed western (northern) value.
        {"spike", {0, 0, 9, 0, 0}, {0, 3, 4, 4.0 / 3.0, 0}},
        // The void cell's neighbours stay; the cells beyond are smoothed again.
        {"void", {0, 9, Void, 9, 0, 9, 0}, {0, 9, Void, 9, 6, 5, 0}},
        {"too short", {5, 10}, {5, 10}},
    };
    for (const TFilterDirection direction : {fdWestEast, fdSouthNorth})
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (direction == fdWestEast ? " west-east" : " south-north"));
            TTopoGrid grid = LineGrid(c.Before, direction);
            SmoothTopo(grid, direction);
            const std::vector<double> after = Line(grid, direction);
            ASSERT_EQ(after.size(), c.After.size());
            for (size_t i = 0; i < after.size(); ++i)
                EXPECT_DOUBLE_EQ(after[i], c.After[i]) << i;
        }
}

TEST(TopoFilterTest, SmoothingLeavesTheOtherDirectionAlone)
{
    // Columns differ, rows are equal: smoothing South-North changes nothing.
    TTopoGrid grid = LineGrid({0, 0, 9, 0, 0}, fdWestEast, 4);
    SmoothTopo(grid, fdSouthNorth);
    EXPECT_EQ(Line(grid, fdWestEast), (std::vector<double>{0, 0, 9, 0, 0}));
}

TEST(TopoFilterTest, StepRatioProfileShowsStripes)
{
    // Steps 1, 10, 1, 10, 1, 10, 1: a group whose middle step is the big one gives 10, the
    // other 0.1. Two identical lines: the mean is the same.
    const std::vector<double> striped = {0, 1, 11, 12, 22, 23, 33, 34};
    const std::vector<float> westEast = StepRatioProfile(LineGrid(striped, fdWestEast, 2), fdWestEast);
    EXPECT_EQ(westEast.size(), 4u);
    for (size_t i = 0; i < westEast.size(); ++i)
        EXPECT_FLOAT_EQ(westEast[i], i % 2 == 0 ? 10.0f : 0.1f) << i;
    // South-North adds each group to the entry after its start; entry 0 stays 0.
    const std::vector<float> southNorth = StepRatioProfile(LineGrid(striped, fdSouthNorth, 2), fdSouthNorth);
    ASSERT_EQ(southNorth.size(), 4u);
    EXPECT_FLOAT_EQ(southNorth[0], 0.0f);
    for (size_t i = 1; i < southNorth.size(); ++i)
        EXPECT_FLOAT_EQ(southNorth[i], i % 2 == 1 ? 10.0f : 0.1f) << i;

    // Flat outer steps and void cells add nothing; grids too short give no entries.
    const std::vector<float> flat = StepRatioProfile(LineGrid({0, 0, 10, 10, 20, 30, Void}, fdWestEast), fdWestEast);
    EXPECT_EQ(flat, (std::vector<float>{0.0f, 0.0f, 2.0f}));
    EXPECT_TRUE(StepRatioProfile(LineGrid({1, 2, 3, 4}, fdWestEast), fdWestEast).empty());
}

TEST(TopoFilterTest, GraphRangeAndReadout)
{
    const TStepRatioGraph graph = StepRatioGraph(LineGrid({0, 1, 11, 12, 22, 23, 33, 34}, fdWestEast), fdWestEast);
    EXPECT_EQ(graph.XMax, 4.0);
    EXPECT_FLOAT_EQ(float(graph.YMin), 0.1f);
    EXPECT_EQ(graph.YMax, 4.0);
    EXPECT_EQ(GraphCursorText(12.9, 0.8751), "12 0.88");
}

} // namespace
} // namespace kv
