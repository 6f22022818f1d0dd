// The reader's messages name the file and say where: the byte and field of a malformed field,
// the byte where the data ends and what it was about to read.
#include "dem/DEMLoader.h"

#include "dem/DEMWriter.h"
#include "platform/KVError.h"
#include "support/DEMFixtures.h"
#include "support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

using testing::StrEq;
using testing::ThrowsMessage;

// 4 profiles of 400 elevations, three blocks each: 13 blocks.
constexpr int32_t Rows = 400;

std::string Replaced(std::string text, size_t at, const std::string& with)
{
    text.replace(at, with.size(), with);
    return text;
}

TEST(DEMLoaderMessages, NameTheFileTheByteAndTheField)
{
    const std::string clean = FormatDEMText(test::MakeSampleDEM(4, Rows));
    const std::string badYSpacing = Replaced(clean, 828, "        3O.0");
    const auto elevation = [](int32_t profile, int32_t index) { return test::ElevationOffset(Rows, profile, index); };
    const auto profile = [](int32_t index) { return test::ProfileOffset(Rows, index); };
    const struct {
        const char* name;
        std::string text;
        std::string message;
    } cases[] = {
        {"empty", "", "x.dem: the file ends at byte 0 inside record A (the map name)"},
        {"record A cut short", clean.substr(0, 600),
         "x.dem: the file ends at byte 600 inside record A (the north-west corner's easting)"},
        {"malformed record A field", badYSpacing,
         "x.dem: byte 828, record A, the y spacing: '3O.0' is not a valid floating point value"},
        {"bytes counted in the file, line breaks included", "\r\n" + badYSpacing,
         "x.dem: byte 830, record A, the y spacing: '3O.0' is not a valid floating point value"},
        {"malformed profile header", Replaced(clean, profile(1) + 48, "               4.0D+0X  "),
         "x.dem: byte 4144, profile 2, the northing of the first elevation: '4.0E+0X' is not a valid floating point "
         "value"},
        {"malformed elevation in a profile's second block", Replaced(clean, elevation(2, 149), "  ab12"),
         "x.dem: byte 8210, profile 3, elevation 150: 'ab12' is not a valid integer value"},
        {"ends inside a profile header", clean.substr(0, profile(2) + 30),
         "x.dem: the file ends at byte 7198 inside profile 3 (the easting of the first elevation)"},
        {"ends inside the elevations", clean.substr(0, elevation(1, 300) + 4),
         "x.dem: the file ends at byte " + std::to_string(elevation(1, 300) + 4) +
             " inside profile 2 (elevation 301 of 400)"},
        {"ends between profiles", clean.substr(0, profile(3)),
         "x.dem: the file ends at byte 10240, before profile 4 of 4"},
        {"header refused", Replaced(clean, 816, "   3.0000000   0.0000000"),
         "x.dem: the file has a y spacing of 0, so its grid rows cannot be computed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TDEMArray dem;
        EXPECT_THAT([&] { LoadDEMStream(c.text, dem, "x.dem"); }, ThrowsMessage<EKorvelaError>(StrEq(c.message)));
    }
}

TEST(DEMLoaderMessages, LoadDEMFileNamesTheFileWithoutItsFolder)
{
    test::TTempDir dir;
    std::filesystem::create_directory(dir / "maps");
    test::WriteFileText(dir / "maps" / "short.dem", "   tiny\r\n");
    TDEMArray dem;
    EXPECT_THAT([&] { LoadDEMFile(dir / "maps" / "short.dem", dem); },
                ThrowsMessage<EKorvelaError>(StrEq("short.dem: the file ends at byte 9 inside record A (the map name)")));
    EXPECT_EQ(dem.Info.ErrorText, "Embedded Carriage Returns: 1\r\n");
    EXPECT_THAT([&] { LoadDEMFile(dir / "maps", dem); },
                ThrowsMessage<EKorvelaError>(StrEq("Cannot open file " + (dir / "maps").string())));
}

} // namespace
} // namespace kv
