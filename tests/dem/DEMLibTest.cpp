#include "dem/DEMLib.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(TDEMArray, StartsAsFiveByFiveZerosWithEmptyHeader)
{
    TDEMArray dem;
    EXPECT_EQ(dem.Cols(), 5);
    EXPECT_EQ(dem.Rows(), 5);
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r)
            EXPECT_EQ(dem.GetValue(c, r), 0);
    EXPECT_TRUE(dem.Info.MapName.empty());
    EXPECT_EQ(dem.Info.ProfileCols, 0);
}

TEST(T2DIntArray, SetSizeKeepsOverlappingCellsAndZeroesNewOnes)
{
    T2DIntArray grid(3, 2);
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 2; ++r)
            grid.SetValue(c, r, c * 10 + r + 1);
    grid.SetSize(4, 3);
    EXPECT_EQ(grid.GetValue(2, 1), 22);
    EXPECT_EQ(grid.GetValue(0, 0), 1);
    EXPECT_EQ(grid.GetValue(3, 0), 0);
    EXPECT_EQ(grid.GetValue(1, 2), 0);
    grid.SetSize(2, 1);
    EXPECT_EQ(grid.GetValue(1, 0), 11);
}

TEST(T2DIntArray, ZeroColumnsMeansZeroRows)
{
    T2DIntArray grid(0, 7);
    EXPECT_EQ(grid.Cols(), 0);
    EXPECT_EQ(grid.Rows(), 0);
}

TEST(CheckGridSize, RefusesSizesNoMachineCanHold)
{
    EXPECT_NO_THROW(CheckGridSize(3601, 3601, "DEM file"));
    EXPECT_THROW(CheckGridSize(-1, 4, "DEM file"), std::exception);
    EXPECT_THROW(CheckGridSize(int64_t{1} << 33, 1, "DEM file"), std::exception);
    EXPECT_THROW(CheckGridSize(2000000000, 2000000000, "DEM file"), std::exception);
}

} // namespace
} // namespace kv
