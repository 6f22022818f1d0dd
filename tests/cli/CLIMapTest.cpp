// The map command: the picture it saves is the program's map drawing of the file.

#include "PNGPicture.h"
#include "dem/KVDemReader.h"
#include "mapview/DEMImage.h"
#include "mapview/MapCoords.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace kv {
namespace {

using test::ReadPNG;
using test::TPicture;
using test::TTempDir;

// Runs the tool with its settings folder in `scratch`; the exit code.
int RunMap(const std::vector<std::string>& args, const TTempDir& scratch)
{
    std::string command = "XDG_CONFIG_HOME='" + scratch.Path().string() + "' '" KV_CLI_PATH "' map";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " >/dev/null 2>'" + (scratch / "stderr.txt").string() + "' </dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

const std::string Sample = (test::SamplesDir() / "jacksboro.dem").string();

// The sample's map drawn in this process.
TBitmap Expected(const TPlotOptions& modes, const TUnits& units)
{
    TDEMArray dem;
    LoadDEMByExtension(Sample, dem);
    TColorBar bar;
    const TBarRange range = ColorBarRange(dem.Info, units);
    bar.SetRange(range.Top, range.Bottom);
    TPlotOptions options = modes;
    TDEMImageState state;
    TBitmap bitmap;
    DrawElevationImage(bitmap, dem, options, bar, units, state);
    return bitmap;
}

int CountDifferences(const TPicture& picture, const TBitmap& expected)
{
    int differences = 0;
    for (int32_t y = 0; y < expected.Height(); ++y)
        for (int32_t x = 0; x < expected.Width(); ++x)
            differences += picture.Pixel(x, y) != expected.GetPixel(x, y);
    return differences;
}

TEST(CLIMap, SavesTheMapOfTheSample)
{
    TTempDir scratch;
    const auto out = scratch / "map.png";
    ASSERT_EQ(RunMap({Sample, out.string(), "--colored", "--contoured", "--meters"}, scratch), 0)
        << test::ReadFileText(scratch / "stderr.txt");
    const TPicture picture = ReadPNG(out);
    // 403 columns by 343 rows, a 4-pixel frame: 1 row above, 3 below, 4 columns right.
    ASSERT_EQ(picture.Width, 407);
    ASSERT_EQ(picture.Height, 347);
    EXPECT_EQ(picture.Pixel(0, 0), clWhite);
    EXPECT_EQ(picture.Pixel(403, 100), clWhite);
    EXPECT_EQ(picture.Pixel(200, 344), clWhite);
    EXPECT_NE(picture.Pixel(200, 343), clWhite); // the southern row of cells

    TPlotOptions modes;
    modes.Colored = true;
    modes.Contoured = true;
    modes.Shaded = false;
    const TBitmap expected = Expected(modes, TUnits{false});
    EXPECT_EQ(CountDifferences(picture, expected), 0);
    // Both black contour pixels and band colours appear.
    int black = 0, coloured = 0;
    for (int32_t x = 0; x < 403; ++x) {
        black += picture.Pixel(x, 170) == clBlack;
        coloured += picture.Pixel(x, 170) != clBlack && picture.Pixel(x, 170) != clWhite;
    }
    EXPECT_GT(black, 10);
    EXPECT_GT(coloured, 100);
}

TEST(CLIMap, ShadingOptionsAndSettings)
{
    TTempDir scratch;
    const auto out = scratch / "shaded.png";
    ASSERT_EQ(RunMap({Sample, out.string(), "--shaded", "--light", "SE", "--contrast", "5"}, scratch), 0)
        << test::ReadFileText(scratch / "stderr.txt");
    TPlotOptions shaded;
    shaded.Colored = false;
    shaded.Contoured = false;
    shaded.Shaded = true;
    shaded.LightDirection = ldSE;
    shaded.Contrast = 5;
    EXPECT_EQ(CountDifferences(ReadPNG(out), Expected(shaded, TUnits{true})), 0);

    // No mode named: the settings file decides (here colour only, in feet).
    std::filesystem::create_directories(scratch / "Korvela3D");
    test::WriteFileText(scratch / "Korvela3D" / "Korvela.ini",
                        "[Plot]\r\nColored=1\r\nContoured=0\r\nShaded=0\r\n[Units]\r\nFeet=1\r\n");
    const auto plain = scratch / "plain.png";
    ASSERT_EQ(RunMap({Sample, plain.string()}, scratch), 0) << test::ReadFileText(scratch / "stderr.txt");
    TPlotOptions colour;
    colour.Contoured = false;
    EXPECT_EQ(CountDifferences(ReadPNG(plain), Expected(colour, TUnits{true})), 0);
}

TEST(CLIMap, RefusesBadArguments)
{
    TTempDir scratch;
    const auto out = (scratch / "x.png").string();
    EXPECT_EQ(RunMap({Sample, out, "--contrast", "7"}, scratch), 1);
    EXPECT_EQ(RunMap({Sample, out, "--light", "NNW"}, scratch), 1);
    EXPECT_EQ(RunMap({Sample}, scratch), 1);
    EXPECT_EQ(RunMap({(scratch / "missing.dem").string(), out}, scratch), 1);
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
} // namespace kv
