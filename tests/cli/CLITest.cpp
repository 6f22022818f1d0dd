// The command-line tool as a user runs it: arguments in, text and an exit code out.

#include "dem/DEMLib.h"
#include "dem/DEMLoader.h"
#include "dem/DEMWriter.h"
#include "support/DEMFixtures.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace kv {
namespace {

using test::ReadFileText;
using test::TTempDir;

struct TRun {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

std::string Quoted(const std::string& arg)
{
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs korvela3d-cli with `args`, its settings folder in `config`.
TRun RunCli(const std::vector<std::string>& args, const TTempDir& scratch)
{
    std::string command = "XDG_CONFIG_HOME=" + Quoted(scratch.Path().string()) + " " + Quoted(KV_CLI_PATH);
    for (const std::string& arg : args)
        command += " " + Quoted(arg);
    const auto out = scratch / "stdout.txt";
    const auto err = scratch / "stderr.txt";
    command += " >" + Quoted(out.string()) + " 2>" + Quoted(err.string()) + " </dev/null";
    const int status = std::system(command.c_str());
    TRun run;
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.Out = ReadFileText(out);
    run.Err = ReadFileText(err);
    return run;
}

const std::string Sample = (test::SamplesDir() / "jacksboro.dem").string();

TEST(Cli, GridReproducesTheReferenceGrids)
{
    TTempDir scratch;
    const TRun usgs = RunCli({"grid", Sample}, scratch);
    ASSERT_EQ(usgs.ExitCode, 0) << usgs.Err;
    EXPECT_TRUE(usgs.Out == ReadFileText(test::TestDataDir() / "jacksboro_geo.grid.csv"));

    const TRun sdts = RunCli({"grid", (test::TestDataDir() / "sdts" / "7001CEL0.DDF").string()}, scratch);
    ASSERT_EQ(sdts.ExitCode, 0) << sdts.Err;
    EXPECT_TRUE(sdts.Out == ReadFileText(test::TestDataDir() / "sdts" / "7001.grid.csv"));
}

TEST(Cli, InfoListsTheHeaderThenTheDefectReport)
{
    TTempDir scratch;
    // The same file with CR LF after every block: the report names the line breaks.
    test::WriteFileText(scratch / "breaks.dem", test::WithLineBreaks(ReadFileText(Sample), "\r\n"));

    const TRun run = RunCli({"info", (scratch / "breaks.dem").string(), "--meters"}, scratch);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out.rfind("Map Name:  jacksboro_geo.dem -842448.0000 362648.0000 \n", 0), 0u) << run.Out;
    EXPECT_NE(run.Out.find("\nColumns: 403\nHigh Point: 1076 M.\nLow Point: 236 M.\n"), std::string::npos);
    EXPECT_NE(run.Out.find("\nProfile Width: 403\n\nEmbedded Carriage Returns: 1209\n"), std::string::npos)
        << run.Out;

    // Without a unit option the settings file decides: feet unless it says otherwise.
    const TRun feet = RunCli({"info", Sample}, scratch);
    EXPECT_NE(feet.Out.find("High Point: 3530 Ft."), std::string::npos);
    std::filesystem::create_directories(scratch / "Korvela3D");
    test::WriteFileText(scratch / "Korvela3D" / "Korvela.ini", "[Units]\nFeet=0\n");
    const TRun meters = RunCli({"info", Sample}, scratch);
    EXPECT_NE(meters.Out.find("High Point: 1076 M."), std::string::npos);
    EXPECT_TRUE(meters.Out.ends_with("Profile Width: 403\n\n"));
}

TEST(Cli, MergeAsksBeforeJoiningFilesThatDoNotMeet)
{
    TTempDir scratch;
    TDEMArray west;
    LoadDEMFile(Sample, west);
    const auto westFile = scratch / "west.dem";
    const auto farFile = scratch / "far.dem";
    SaveDEMFile(westFile, west);
    TDEMArray far = west;
    for (auto& corner : far.Info.Corners)
        corner.East += 100000;
    SaveDEMFile(farFile, far);

    const auto out = scratch / "out.dem";
    const TRun refused = RunCli({"merge", "--west-east", westFile.string(), farFile.string(), out.string()}, scratch);
    EXPECT_EQ(refused.ExitCode, 2);
    EXPECT_NE(refused.Err.find("Meters Appart\nMerge Anyway?"), std::string::npos) << refused.Err;
    EXPECT_FALSE(std::filesystem::exists(out));

    const TRun forced = RunCli(
        {"merge", "--west-east", westFile.string(), farFile.string(), out.string(), "--pan", "0.25", "--force"},
        scratch);
    ASSERT_EQ(forced.ExitCode, 0) << forced.Err;
    TDEMArray merged;
    LoadDEMFile(out, merged);
    EXPECT_EQ(merged.Cols(), west.Cols());
    // The name is stored right-aligned in its field; the reader folds the leading blanks to one.
    EXPECT_EQ(merged.Info.MapName, " West/East Merged: west.dem(75%) and far.dem");
}

TEST(Cli, ErrorsAreOneLineAndExitOne)
{
    TTempDir scratch;
    test::WriteFileText(scratch / "short.dem", "   tiny\r\n");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"info", (scratch / "missing.dem").string()}, "Cannot open file "},
        {{"grid", (scratch / "short.dem").string()}, "short.dem: the file ends at byte 9 inside record A (the map name)"},
        {{"grid", (scratch / "missing" / "7001CEL0.ddf").string()}, "Cannot open file "},
        {{"grid"}, "grid needs a FILE"},
        {{"info", Sample, "--yards"}, "unknown option '--yards'"},
        {{"merge", "--west-east", Sample, Sample}, "merge needs FILE0, FILE1 and OUT"},
        {{"merge", "--south-north", Sample, Sample, "o.dem", "--pan", "2"}, "--pan needs a number from 0 to 1"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
    };
    for (const Case& c : cases) {
        const TRun run = RunCli(c.args, scratch);
        EXPECT_EQ(run.ExitCode, 1) << c.message;
        EXPECT_TRUE(run.Out.empty()) << c.message;
        const std::string firstLine = run.Err.substr(0, run.Err.find('\n'));
        EXPECT_NE(firstLine.find(c.message), std::string::npos) << run.Err;
    }
}

TEST(Cli, HelpForTheToolAndEachCommand)
{
    TTempDir scratch;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, {"info", "--help"},
                                                 {"grid", "--help"}, {"merge", "--help"}}) {
        const TRun run = RunCli(args, scratch);
        EXPECT_EQ(run.ExitCode, 0);
        EXPECT_EQ(run.Out.rfind("Usage: korvela3d-cli", 0), 0u) << run.Out;
    }
}

} // namespace
} // namespace kv
