// "export" and "info" on rasters as a user runs them: the sample DEM out as GeoTIFF and back in.

#include "support/GDALFixtures.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <sys/wait.h>

namespace kv {
namespace {

using test::TTempDir;

// Runs korvela3d-cli with `args`; stdout in `out`. Returns the exit code.
int RunTool(const std::string& args, const TTempDir& scratch, std::string& out)
{
    const auto outFile = scratch / "out.txt";
    const std::string command = "XDG_CONFIG_HOME='" + scratch.Path().string() + "' '" KV_CLI_PATH "' " + args + " >'" +
                                outFile.string() + "' 2>'" + (scratch / "err.txt").string() + "' </dev/null";
    const int status = std::system(command.c_str());
    out = test::ReadFileText(outFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

std::vector<std::string> Labels(const std::string& infoText)
{
    std::vector<std::string> labels;
    std::istringstream lines(infoText);
    std::string line;
    while (std::getline(lines, line) && !line.empty())
        labels.push_back(line.substr(0, line.find(':')));
    return labels;
}

TEST(CLIExport, TheSampleDEMBecomesAGeoTIFFThatOpensLikeADEM)
{
    TTempDir scratch;
    const std::string sample = "'" + (test::SamplesDir() / "jacksboro.dem").string() + "'";
    const std::string tif = "'" + (scratch / "jacksboro.tif").string() + "'";
    std::string out;
    ASSERT_EQ(RunTool("export " + sample + " " + tif, scratch, out), 0) << test::ReadFileText(scratch / "err.txt");

    std::string demGrid, tifGrid;
    ASSERT_EQ(RunTool("grid " + sample, scratch, demGrid), 0);
    ASSERT_EQ(RunTool("grid " + tif, scratch, tifGrid), 0);
    EXPECT_TRUE(tifGrid == demGrid);
    EXPECT_TRUE(test::PeerGridText(scratch / "jacksboro.tif") == demGrid);

    std::string demInfo, tifInfo;
    ASSERT_EQ(RunTool("info --meters " + sample, scratch, demInfo), 0);
    ASSERT_EQ(RunTool("info --meters " + tif, scratch, tifInfo), 0);
    EXPECT_EQ(Labels(tifInfo), Labels(demInfo));
    for (const char* line : {"Map Name: jacksboro\n", "Columns: 403\n", "High Point: 1076 M.\n", "Ground Ref: 0\n",
                             "Ground Units: Arc-Seconds\n", "Rows: 343\n", "Cols: 403\n"})
        EXPECT_NE(tifInfo.find(line), std::string::npos) << line << tifInfo;
}

TEST(CLIExport, AMalformedCommandLineIsRefused)
{
    TTempDir scratch;
    std::string out;
    for (const char* args : {"export", "export a.dem", "export a.dem b.tif c.tif", "export --fast a.dem b.tif"})
        EXPECT_EQ(RunTool(args, scratch, out), 1) << args;
}

} // namespace
} // namespace kv
