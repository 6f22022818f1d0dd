// The command-line tool as a user runs it: arguments in, text and an exit code out.

#include "dem/DEMLib.h"
#include "dem/DEMLoader.h"
#include "dem/DEMWriter.h"
#include "gl/FloatText.h"
#include "gl/GLTestFigures.h"
#include "scenefiles/GLXFileWriter.h"
#include "scenefiles/GLXMLWriter.h"
#include "support/CLIRunner.h"
#include "support/DEMFixtures.h"
#include "support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>

namespace kv {
namespace {

using test::ReadFileText;
using test::TTempDir;

using TRun = test::TCLIRun;

TRun RunCli(const std::vector<std::string>& args, const TTempDir& scratch, const std::string& output = {})
{
    return test::RunCLI(KV_CLI_PATH, args, scratch, output);
}

// The error output is exactly one line, the tool's name first.
void ExpectOneErrorLine(const TRun& run)
{
    EXPECT_EQ(run.Err.rfind("korvela3d-cli: ", 0), 0u) << run.Err;
    EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << run.Err;
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
    ExpectOneErrorLine(refused);
    EXPECT_THAT(refused.Err, ::testing::MatchesRegex("korvela3d-cli: DEM Files Are [0-9]+\\.[0-9][0-9] Meters Appart\\. "
                                                     "Merge Anyway\\? \\(use --force to merge anyway\\)\n"));
    EXPECT_FALSE(std::filesystem::exists(out));

    const TRun forced = RunCli(
        {"merge", "--west-east", "--pan=0.25", "--force", "--", westFile.string(), farFile.string(), out.string()},
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
    ASSERT_EQ(::mkfifo((scratch / "pipe.dem").c_str(), 0600), 0);
    // A file whose third profile (three blocks each after record A) holds a malformed elevation.
    TDEMArray sample;
    LoadDEMFile(Sample, sample);
    std::string text = FormatDEMText(sample);
    test::WriteFileText(scratch / "good.dem", text);
    test::WriteFileText(scratch / "bad.dem", text.replace(1024 + 2 * 3072 + 144 + 5 * 6, 6, "    x1"));
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
        // Only regular files are read, and a pipe is never waited on.
        {{"info", (scratch / "pipe.dem").string()}, "pipe.dem: it is a pipe, not a regular file"},
        {{"grid", scratch.Path().string()}, ": it is a folder, not a regular file"},
        {{"info", (test::TestDataDir() / "sdts" / "7001IDEN.DDF").string()},
         "7001IDEN.DDF is not the cell module of an SDTS transfer: open 7001CEL0.DDF, the transfer's ????CEL?.DDF file"},
        {{"merge", "--south-north", "--force", "bad.dem", "good.dem", "o.dem"},
         "bad.dem, profile 3 (the block from byte 7168): 'x1' is not a valid integer value"},
        {{"info", "--meters=1", Sample}, "option '--meters' takes no value"},
        {{"grid", "-x.dem"}, "unknown option '-x.dem'"},
    };
    for (const Case& c : cases) {
        const TRun run = RunCli(c.args, scratch);
        EXPECT_EQ(run.ExitCode, 1) << c.message << run.Err;
        EXPECT_TRUE(run.Out.empty()) << c.message;
        const std::string firstLine = run.Err.substr(0, run.Err.find('\n'));
        EXPECT_NE(firstLine.find(c.message), std::string::npos) << run.Err;
    }
}

TEST(Cli, AFailedWriteToTheOutputExitsOneWithAMessage)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full to stand in for a full disk";
    TTempDir scratch;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"grid", Sample}, {"grid", "--summary", Sample}, {"info", Sample}}) {
        const TRun run = RunCli(args, scratch, "/dev/full");
        EXPECT_EQ(run.ExitCode, 1) << args[1];
        ExpectOneErrorLine(run);
        EXPECT_THAT(run.Err, ::testing::HasSubstr("Cannot write the output: No space left on device"));
    }
}

TEST(Cli, ControlBytesFromFilesAreShownEscaped)
{
    TTempDir scratch;
    TDEMArray dem;
    LoadDEMFile(Sample, dem);
    // A title-setting sequence, a screen clear, a C1 CSI (U+009B) and a UTF-8 letter that stays.
    dem.Info.MapName = "EVIL\x1b]0;owned\x07 \x1b[2J \xc2\x9b" "31m Montr\xc3\xa9" "al";
    SaveDEMFile(scratch / "evil.dem", dem);
    const TRun info = RunCli({"info", "evil.dem"}, scratch);
    ASSERT_EQ(info.ExitCode, 0) << info.Err;
    EXPECT_THAT(info.Out, ::testing::HasSubstr("Map Name:  EVIL\\x1b]0;owned\\x07 \\x1b[2J \\xc2\\x9b31m Montr\xc3\xa9" "al\n"));

    // A record A field holding an escape sequence fails to convert; the message quotes it.
    std::string text = ReadFileText(Sample);
    text.replace(144, 6, "\x1b[31m");
    test::WriteFileText(scratch / "bad.dem", text);
    const TRun bad = RunCli({"grid", "bad.dem"}, scratch);
    EXPECT_EQ(bad.ExitCode, 1);
    ExpectOneErrorLine(bad);
    EXPECT_THAT(bad.Err, ::testing::HasSubstr("'\\x1b[31m' is not a valid integer value"));

    for (const TRun* run : {&info, &bad})
        for (const char c : run->Out + run->Err)
            EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << static_cast<int>(c);
}

TEST(Cli, DoubleDashEndsTheOptions)
{
    TTempDir scratch;
    std::filesystem::copy_file(Sample, scratch / "-x.dem");
    const TRun grid = RunCli({"grid", "--summary", "--", "-x.dem"}, scratch);
    ASSERT_EQ(grid.ExitCode, 0) << grid.Err;
    EXPECT_EQ(grid.Out.rfind("403,343\n", 0), 0u) << grid.Out;
    // After "--" even an option's spelling is a file name.
    const TRun info = RunCli({"info", "--", "-x.dem", "--meters"}, scratch);
    EXPECT_EQ(info.ExitCode, 1);
    EXPECT_THAT(info.Err, ::testing::HasSubstr("info takes one file"));
}

TEST(Cli, HelpForTheToolAndEachCommand)
{
    TTempDir scratch;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, {"info", "--help"},
                                                 {"grid", "--help"}, {"merge", "--help"}, {"scene-info", "--help"}}) {
        const TRun run = RunCli(args, scratch);
        EXPECT_EQ(run.ExitCode, 0);
        EXPECT_EQ(run.Out.rfind("Usage: korvela3d-cli", 0), 0u) << run.Out;
    }
}

TEST(Cli, SceneInfoListsEveryObjectOnALine)
{
    TTempDir scratch;
    TGLBaseFrame base;
    TGLMesh& torus = *base.Meshes().NewMesh();
    BuildTestFigure(torus, stTorus);
    torus.SetName("Terrain Mesh");
    TGLFrame& frame = *base.Frames().Frame(base.Frames().NewFrame());
    BuildTestFigure(*frame.Meshes().NewMesh(), stSoccerBall);
    SaveXMLScene(base, scratch / "scene.txml");
    SaveXFile(base, scratch / "scene.x");

    const auto extents = [](const TGLObject& object) {
        const auto n = [](double v) { return FormatGeneral(v, 10, 1); };
        const Vector3D lo = object.GetExtentMin(), hi = object.GetExtentMax();
        return n(lo.x) + "," + n(lo.y) + "," + n(lo.z) + " " + n(hi.x) + "," + n(hi.y) + "," + n(hi.z);
    };
    torus.RecalcExtents();
    frame.Meshes().Mesh(0)->RecalcExtents();
    TRun run = RunCli({"scene-info", "scene.txml"}, scratch);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "mesh\t\tTerrain Mesh\t242\t726\t" + extents(torus) + "\nframe\t\tFrame-1\t180\t0\t" +
                           extents(frame) + "\nmesh\tFrame-1\tMesh-0\t180\t540\t" + extents(*frame.Meshes().Mesh(0)) +
                           "\n");
    run = RunCli({"scene-info", "scene.x"}, scratch);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out.rfind("mesh\t\tTerrain_Mesh\t242\t726\t-1.439239,", 0), 0u) << run.Out;
    EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), 1);
    run = RunCli({"scene-info", "scene.obj"}, scratch);
    EXPECT_EQ(run.ExitCode, 1);
    ExpectOneErrorLine(run);
}

} // namespace
} // namespace kv
