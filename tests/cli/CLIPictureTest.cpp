// The picture command: what it saves is the picture the program's loader decodes, pixel for
// pixel, whatever the source's pixel format; bad input fails with a message and writes nothing.

#include "PNGPicture.h"
#include "imaging/ImageLib.h"
#include "platform/BMPFile.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace kv {
namespace {

using test::ReadPNG;
using test::TTempDir;

int RunPicture(const std::vector<std::string>& args, const TTempDir& scratch)
{
    std::string command = "'" KV_CLI_PATH "' picture";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " >/dev/null 2>'" + (scratch / "stderr.txt").string() + "' </dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

TBitmap Pattern(TPixelFormat format)
{
    TBitmap bitmap(13, 7, format);
    for (int32_t y = 0; y < 7; ++y)
        for (int32_t x = 0; x < 13; ++x)
            bitmap.SetPixel(x, y, RGBColor(uint8_t(x * 19), uint8_t(y * 36), uint8_t((x * y * 7) & 0xFF)));
    return bitmap;
}

TEST(CLIPictureTest, SavesTheDecodedPicturePixelForPixel)
{
    const TTempDir scratch;
    for (TPixelFormat format : {pf24bit, pf8bit, pf4bit, pf32bit}) {
        const auto in = scratch / "in.bmp";
        const auto out = scratch / "out.png";
        SaveBMPFile(in, Pattern(format));
        ASSERT_EQ(RunPicture({in.string(), out.string()}, scratch), 0) << test::ReadFileText(scratch / "stderr.txt");
        TBitmap decoded;
        LoadImageFile(decoded, in);
        const test::TPicture picture = ReadPNG(out);
        ASSERT_EQ(picture.Width, 13) << format;
        ASSERT_EQ(picture.Height, 7);
        int differences = 0;
        for (int32_t y = 0; y < 7; ++y)
            for (int32_t x = 0; x < 13; ++x)
                differences += picture.Pixel(x, y) != decoded.GetPixel(x, y);
        EXPECT_EQ(differences, 0) << "format " << format;
    }
}

TEST(CLIPictureTest, FailsOnBadInputWithoutWriting)
{
    const TTempDir scratch;
    const auto out = scratch / "out.png";
    EXPECT_EQ(RunPicture({(scratch / "missing.jpg").string(), out.string()}, scratch), 1);
    EXPECT_NE(test::ReadFileText(scratch / "stderr.txt").find("missing.jpg"), std::string::npos);
    const auto junk = scratch / "junk.png";
    test::WriteFileText(junk, "not a picture at all");
    EXPECT_EQ(RunPicture({junk.string(), out.string()}, scratch), 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(RunPicture({junk.string()}, scratch), 1);
    EXPECT_NE(test::ReadFileText(scratch / "stderr.txt").find("Usage: korvela3d-cli picture"), std::string::npos);
}

} // namespace
} // namespace kv
