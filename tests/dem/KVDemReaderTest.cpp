#include "dem/KVDemReader.h"

#include "platform/KVError.h"
#include "support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(KVDemReader, KnowsTheCellModuleOfAnSDTSTransferByItsName)
{
    const struct {
        const char* name;
        bool sdts;
        bool cell;
    } cases[] = {
        {"7001CEL0.DDF", true, true},  {"dir/7001cel0.ddf", true, true}, {"ABCDCEL9.Ddf", true, true},
        {"7001IDEN.DDF", true, false}, {"CEL0.DDF", true, false},        {"7001CEL01.DDF", true, false},
        {"7001CEL0.DEM", false, false}, {"7001CEL0", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSDTSFileName(c.name), c.sdts) << c.name;
        EXPECT_EQ(IsSDTSCellModuleName(c.name), c.cell) << c.name;
    }
}

TEST(KVDemReader, SendsOtherModulesToTheCellModule)
{
    TDEMArray dem;
    const auto iden = test::TestDataDir() / "sdts" / "7001IDEN.DDF";
    try {
        LoadDEMByExtension(iden, dem);
        ADD_FAILURE() << "an identification module loaded";
    } catch (const EKorvelaError& error) {
        EXPECT_EQ(std::string(error.what()), iden.string() + " is not the cell module of an SDTS transfer: open "
                                                              "7001CEL0.DDF, the transfer's ????CEL?.DDF file");
    }
    LoadDEMByExtension(test::TestDataDir() / "sdts" / "7001CEL0.DDF", dem);
    EXPECT_EQ(dem.Cols(), 360);
}

} // namespace
} // namespace kv
