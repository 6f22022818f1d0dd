// Another program reads the files the merges write: GDAL's USGS DEM reader, run as a
// separate tool, on merges of neighbouring pieces of a real file.

#include "dem/KVDEMMerge.h"

#include "dem/DEMLoader.h"
#include "dem/DEMWriter.h"
#include "support/GDALPeer.h"
#include "support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace kv {
namespace {

// The cells [firstCol, firstCol + cols) x [firstRow, firstRow + rows) of `whole`, with corners
// that describe exactly that window, as neighbouring files cut from one survey have.
TDEMArray Window(const TDEMArray& whole, int32_t firstCol, int32_t cols, int32_t firstRow, int32_t rows)
{
    TDEMArray part;
    part.Info = whole.Info;
    part.SetSize(cols, rows);
    for (int32_t c = 0; c < cols; ++c)
        std::copy_n(whole.Column(firstCol + c) + firstRow, rows, part.Column(c));
    const double west = whole.Info.Corners[cnSW].East + firstCol * whole.Info.Resolution[0];
    const double east = west + (cols - 1) * whole.Info.Resolution[0];
    const double south = BaseNorthOf(whole.Info) + firstRow * whole.Info.Resolution[1];
    const double north = south + rows * whole.Info.Resolution[1];
    part.Info.Corners = {{{west, south}, {west, north}, {east, north}, {east, south}}};
    return part;
}

TEST(KVDEMMergePeer, GDALReadsEveryMergedCellWhereWeDo)
{
    if (const std::string reason = test::GDALMissingReason(); !reason.empty())
        GTEST_SKIP() << reason;
    TDEMArray whole;
    LoadDEMFile(test::SamplesDir() / "jacksboro.dem", whole);
    test::TTempDir scratch;
    // Odd and even sizes on both sides of each seam.
    SaveDEMFile(scratch / "west.dem", Window(whole, 100, 41, 100, 70));
    SaveDEMFile(scratch / "east.dem", Window(whole, 141, 40, 100, 70));
    SaveDEMFile(scratch / "south.dem", Window(whole, 100, 41, 100, 36));
    SaveDEMFile(scratch / "north.dem", Window(whole, 100, 41, 136, 35));

    const struct {
        bool westEast;
        double pan;
        // How far GDAL may place the grid from where our header puts it, in cells. The
        // south-north merge slides the north corners by pan x the north file's height, which
        // for an odd number of rows ends between two rows of the lattice; GDAL then places
        // the grid that much further south, while every value still lands in its cell.
        double tolerance;
    } cases[] = {
        {true, 0.25, 0.0}, {true, 0.5, 0.0}, {true, 1.0, 0.0},
        {false, 0.25, 0.25}, {false, 0.5, 0.5}, {false, 1.0, 0.0},
    };
    TMergeCallbacks callbacks; // the pieces meet: no question is asked
    for (const auto& c : cases) {
        const auto output = scratch / "merged.dem";
        const bool merged = c.westEast
                                ? MergeWestEast(scratch / "west.dem", scratch / "east.dem", output, c.pan, callbacks)
                                : MergeSouthNorth(scratch / "south.dem", scratch / "north.dem", output, c.pan, callbacks);
        ASSERT_TRUE(merged);
        TDEMArray ours;
        LoadDEMFile(output, ours);
        ASSERT_EQ(ours.Info.ErrorCount, 0) << ours.Info.ErrorText;
        const test::TPeerGrid peer = test::ReadWithGDAL(output, scratch.Path(), /*arcSeconds=*/true);
        EXPECT_THAT(test::PeerDifferences(ours, peer, c.tolerance), ::testing::IsEmpty())
            << (c.westEast ? "west-east, pan " : "south-north, pan ") << c.pan;
    }
}

} // namespace
} // namespace kv
