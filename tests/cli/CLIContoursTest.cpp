// The contours command: the topo editor's picture of a box of the map, saved as PNG.

#include "mapview/TopoContours.h"
#include "PNGPicture.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace kv {
namespace {

using test::TTempDir;

using test::ReadPNG;
using test::TPicture;

int RunContours(const std::vector<std::string>& args, const TTempDir& scratch)
{
    std::string command = "XDG_CONFIG_HOME='" + scratch.Path().string() + "' '" KV_CLI_PATH "' contours";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " >/dev/null 2>'" + (scratch / "stderr.txt").string() + "' </dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

const std::string Sample = (test::SamplesDir() / "jacksboro.dem").string();

TEST(CLIContours, PictureSizeFollowsTheBoxAndTheZoom)
{
    TTempDir scratch;
    const auto out = (scratch / "topo.png").string();
    const struct {
        const char* Box;
        const char* Zoom; // empty: the fitted spacing
        int32_t Width, Height;
    } rows[] = {
        // The box's columns L .. R - 1 and its B - T rows.
        {"50,40,350,300", "2", 600, 520},
        {"0,0,403,343", "1", 402, 342},            // the whole map: its last column and southern row are left out
        {"100,100,130,110", "", 30 * 19, 10 * 19}, // fitted: min(568 / 29, 328 / 9) = 19
        {"-20,-5,10,5", "3", 30, 12},              // clamped to the map: its northern 4 rows
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Box);
        std::vector<std::string> args{Sample, out, "--box", row.Box};
        if (*row.Zoom)
            args.insert(args.end(), {"--zoom", row.Zoom});
        ASSERT_EQ(RunContours(args, scratch), 0) << test::ReadFileText(scratch / "stderr.txt");
        const TPicture picture = ReadPNG(out);
        EXPECT_EQ(picture.Width, row.Width);
        EXPECT_EQ(picture.Height, row.Height);
    }
}

TEST(CLIContours, PlainLinesAndPointMarks)
{
    TTempDir scratch;
    const auto out = (scratch / "marks.png").string();
    ASSERT_EQ(RunContours({Sample, out, "--box", "100,100,180,150", "--zoom", "8", "--interval", "10", "--meters",
                           "--no-color", "--marks"},
                          scratch),
              0)
        << test::ReadFileText(scratch / "stderr.txt");
    const TPicture picture = ReadPNG(out);
    ASSERT_EQ(picture.Width, 640);
    int white = 0, other = 0;
    for (int32_t y = 0; y < picture.Height; ++y)
        for (int32_t x = 0; x < picture.Width; ++x) {
            const TColor pixel = picture.Pixel(x, y);
            white += pixel == clWhite;
            other += pixel != clWhite && pixel != clBlack && pixel != TopoMarkColor;
        }
    EXPECT_GT(white, 500);
    EXPECT_EQ(other, 0);
    // Marks: blue squares centred on the grid points, black inside.
    EXPECT_EQ(picture.Pixel(8 * 5 - 2, 8 * 3), TopoMarkColor);
    EXPECT_EQ(picture.Pixel(8 * 5 - 1, 8 * 3 - 1) == clBlack || picture.Pixel(8 * 5 - 1, 8 * 3 - 1) == clWhite, true);
}

TEST(CLIContours, BadArgumentsAreRefused)
{
    TTempDir scratch;
    const auto out = (scratch / "bad.png").string();
    const std::vector<std::vector<std::string>> rows = {
        {Sample, out},                                      // no box
        {Sample, out, "--box", "1,2,3"},                    // not four numbers
        {Sample, out, "--box", "10,10,10,50"},              // selects nothing
        {Sample, out, "--box", "500,10,600,50"},            // beside the map
        {Sample, out, "--box", "1,2,30,40", "--zoom", "0"}, // out of range
        {Sample, out, "--box", "1,2,30,40", "--zoom", "2.5"},
        {Sample, out, "--box", "1,2,30,40", "--interval", "0"},
    };
    for (const auto& args : rows) {
        SCOPED_TRACE(args.back());
        EXPECT_EQ(RunContours(args, scratch), 1);
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

} // namespace
} // namespace kv
