// Another program reads the grids we write: GDAL's USGS DEM reader, run as a separate tool.

#include "dem/DEMWriter.h"

#include "dem/DEMLoader.h"
#include "support/DEMFixtures.h"
#include "support/GDALPeer.h"
#include "support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kv {
namespace {

// A UTM grid on the 30 m lattice real files use, with voids, whose header leaves the
// pattern code unset (as a grid built in memory may).
TDEMArray LatticeGrid()
{
    TDEMArray dem = test::MakeUTMGrid(45, 37, 499980.0, 3999990.0, 30.0, 30.0);
    for (int32_t c = 0; c < dem.Cols(); ++c)
        for (int32_t r = 0; r < dem.Rows(); ++r)
            dem.SetValue(c, r, (c * 7 + r * 13) % 11 == 0 ? VoidValue : 150 + 3 * r - 2 * c);
    dem.Info.MinElevation = 150 - 2 * 44;
    dem.Info.MaxElevation = 150 + 3 * 36;
    dem.Info.PatternCode = 0;
    return dem;
}

TEST(DEMWriterPeer, GDALReadsEveryCellWhereWeDo)
{
    if (const std::string reason = test::GDALMissingReason(); !reason.empty())
        GTEST_SKIP() << reason;
    TDEMArray real;
    LoadDEMFile(test::SamplesDir() / "jacksboro.dem", real);
    const struct {
        const char* name;
        TDEMArray grid;
    } cases[] = {
        {"utm.dem", LatticeGrid()},
        {"geographic.dem", real},
    };
    test::TTempDir scratch;
    for (const auto& c : cases) {
        SaveDEMFile(scratch / c.name, c.grid);
        TDEMArray ours;
        LoadDEMFile(scratch / c.name, ours);
        ASSERT_EQ(ours.Cols(), c.grid.Cols()) << c.name;
        const test::TPeerGrid peer = test::ReadWithGDAL(scratch / c.name, scratch.Path(), ours.Info.GroundRef == 0);
        EXPECT_THAT(test::PeerDifferences(ours, peer, 0.0), ::testing::IsEmpty()) << c.name;
    }
}

} // namespace
} // namespace kv
