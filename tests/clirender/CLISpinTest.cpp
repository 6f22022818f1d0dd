// "spin" as a user runs it: a box of the sample DEM turned once into a movie that FFmpeg plays.

#include "support/CLIRunner.h"
#include "support/FFmpegPeer.h"
#include "support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numeric>

namespace kv {
namespace {

using test::TTempDir;

const std::string Sample = (test::SamplesDir() / "jacksboro.dem").string();

test::TCLIRun Spin(std::vector<std::string> args, const TTempDir& scratch)
{
    args.insert(args.begin(), "spin");
    return test::RunCLI(KV_CLI_PATH, args, scratch, {}, 120);
}

class CLISpin : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string missing = test::FFmpegMissingReason(); !missing.empty())
            GTEST_SKIP() << missing;
    }
    TTempDir Scratch;
};

TEST_F(CLISpin, ATurnOfTheTerrainPlaysWithTheFramesAndRateAsked)
{
    struct {
        const char* File;
        const char* Codec;
    } movies[] = {{"turn.avi", "msvideo1"}, {"turn.mp4", "h264"}};
    for (const auto& movie : movies) {
        SCOPED_TRACE(movie.File);
        const auto file = Scratch / movie.File;
        const test::TCLIRun run = Spin(
            {Sample, file.string(), "--box", "50,50,250,200", "--frames", "8", "--fps", "12", "--size", "160x120"},
            Scratch);
        ASSERT_EQ(run.ExitCode, 0) << run.Err;
        const test::TProbedMovie probed = test::ProbeMovie(file);
        EXPECT_EQ(probed.Codec, movie.Codec);
        EXPECT_EQ(probed.Width, 160);
        EXPECT_EQ(probed.Height, 120);
        EXPECT_EQ(probed.FrameRate, "12/1");
        EXPECT_EQ(probed.Frames, 8);

        // The terrain is drawn (not a blank view) and turns from frame to frame.
        const std::vector<uint8_t> first = test::DecodeFrame(file, 0, "rgb24", Scratch.Path());
        const std::vector<uint8_t> quarter = test::DecodeFrame(file, 2, "rgb24", Scratch.Path());
        const auto lit = std::count_if(first.begin(), first.end(), [](uint8_t v) { return v > 64; });
        EXPECT_GT(lit, int64_t(first.size() / 10));
        ASSERT_EQ(first.size(), quarter.size());
        const auto changed =
            std::inner_product(first.begin(), first.end(), quarter.begin(), int64_t{0}, std::plus<>(),
                               [](uint8_t a, uint8_t b) { return std::abs(int(a) - int(b)) > 32 ? 1 : 0; });
        EXPECT_GT(changed, int64_t(first.size() / 20));
    }
}

// A scene saved by convert spins as it is, without a box.
TEST_F(CLISpin, ASavedSceneTurnsToo)
{
    const auto scene = Scratch / "hills.txml";
    const test::TCLIRun convert = test::RunCLI(
        KV_CLI_PATH, {"convert", Sample, "--box", "50,50,250,200", "--budget", "5", scene.string()}, Scratch);
    ASSERT_EQ(convert.ExitCode, 0) << convert.Err;
    const auto file = Scratch / "scene.avi";
    const test::TCLIRun run = Spin({scene.string(), file.string(), "--frames", "4", "--size", "96x64"}, Scratch);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const test::TProbedMovie probed = test::ProbeMovie(file);
    EXPECT_EQ(probed.Frames, 4);
    EXPECT_EQ(probed.Width, 96);
    const std::vector<uint8_t> first = test::DecodeFrame(file, 0, "rgb24", Scratch.Path());
    EXPECT_GT(std::count_if(first.begin(), first.end(), [](uint8_t v) { return v > 64; }), int64_t(first.size() / 10));

    const test::TCLIRun boxed = Spin({scene.string(), file.string(), "--box", "1,1,9,9"}, Scratch);
    EXPECT_NE(boxed.ExitCode, 0);
    EXPECT_THAT(boxed.Err, ::testing::HasSubstr("apply to elevation files"));
}

TEST_F(CLISpin, BadRequestsAreRefusedWithoutAMovie)
{
    const auto file = (Scratch / "turn.avi").string();
    struct {
        std::vector<std::string> Args;
        const char* Message;
    } cases[] = {
        {{Sample, file}, "spin needs --box"},
        {{Sample, file, "--box", "50,50,250,200", "--fps", "0"}, "--fps must lie between"},
        {{Sample, file, "--box", "50,50,250,200", "--frames", "2.5"}, "--frames takes a whole number"},
        {{Sample, file, "--box", "50,50,250,200", "--size", "640"}, "--size takes WIDTHxHEIGHT"},
        {{Sample, file, "--box", "50,50,50,200"}, "The box selects no cells"},
        {{(Scratch / "missing.dem").string(), file, "--box", "50,50,250,200"}, "missing.dem"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Message);
        const test::TCLIRun run = Spin(c.Args, Scratch);
        EXPECT_NE(run.ExitCode, 0);
        EXPECT_THAT(run.Err, ::testing::HasSubstr(c.Message));
        EXPECT_FALSE(std::filesystem::exists(file));
    }
}

} // namespace
} // namespace kv
