#include "dem/DEMLoader.h"

#include "dem/DEMWriter.h"
#include "platform/KVError.h"
#include "support/DEMFixtures.h"
#include "support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <vector>

namespace kv {
namespace {

using testing::HasSubstr;
using testing::StrEq;
using testing::ThrowsMessage;

std::span<const char> Bytes(const std::string& text)
{
    return {text.data(), text.size()};
}

// The grid in the form of tests/data/*.grid.csv: "cols,rows", then rows north to south.
TDEMArray ReadGridCsv(const std::filesystem::path& fileName)
{
    const std::string text = test::ReadFileText(fileName);
    std::vector<int32_t> numbers;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        int32_t value = 0;
        const auto result = std::from_chars(p, end, value);
        if (result.ec != std::errc())
            throw std::runtime_error("bad number in " + fileName.string());
        numbers.push_back(value);
        p = result.ptr;
        while (p < end && (*p == ',' || *p == '\n' || *p == '\r'))
            ++p;
    }
    TDEMArray grid;
    const int32_t cols = numbers.at(0);
    const int32_t rows = numbers.at(1);
    if (numbers.size() != 2 + static_cast<size_t>(cols) * static_cast<size_t>(rows))
        throw std::runtime_error("wrong cell count in " + fileName.string());
    grid.SetSize(cols, rows);
    size_t next = 2;
    for (int32_t row = rows - 1; row >= 0; --row)
        for (int32_t col = 0; col < cols; ++col)
            grid.SetValue(col, row, numbers[next++]);
    return grid;
}

// Compares the grids cell by cell, reporting the first difference only.
testing::AssertionResult SameCells(const T2DIntArray& actual, const T2DIntArray& expected)
{
    if (actual.Cols() != expected.Cols() || actual.Rows() != expected.Rows())
        return testing::AssertionFailure() << "size " << actual.Cols() << " x " << actual.Rows() << ", expected "
                                           << expected.Cols() << " x " << expected.Rows();
    for (int32_t c = 0; c < actual.Cols(); ++c)
        for (int32_t r = 0; r < actual.Rows(); ++r)
            if (actual.GetValue(c, r) != expected.GetValue(c, r))
                return testing::AssertionFailure() << "cell (" << c << ", " << r << ") is " << actual.GetValue(c, r)
                                                   << ", expected " << expected.GetValue(c, r);
    return testing::AssertionSuccess();
}

class JacksboroTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Text_ = new std::string(test::ReadFileText(test::SamplesDir() / "jacksboro.dem"));
        Expected_ = new TDEMArray(ReadGridCsv(test::TestDataDir() / "jacksboro_geo.grid.csv"));
    }
    static void TearDownTestSuite()
    {
        delete Text_;
        delete Expected_;
    }
    static inline std::string* Text_ = nullptr;
    static inline TDEMArray* Expected_ = nullptr;
};

TEST_F(JacksboroTest, LoadsTheReferenceGridAndHeader)
{
    TDEMArray dem;
    LoadDEMFile(test::SamplesDir() / "jacksboro.dem", dem);
    EXPECT_TRUE(SameCells(dem, *Expected_));
    const TDEMInfo& info = dem.Info;
    EXPECT_EQ(info.ProfileRows, 1);
    EXPECT_EQ(info.ProfileCols, 403);
    EXPECT_EQ(dem.Rows(), 343);
    EXPECT_EQ(info.GroundRef, 0);
    EXPECT_FALSE(info.IsUTM);
    EXPECT_EQ(info.GroundUnits, ucArcSeconds);
    EXPECT_EQ(info.ElevUnits, ucMeters);
    EXPECT_EQ(info.Corners[cnSW].East, -303888.0);
    EXPECT_EQ(info.Corners[cnSW].North, 131208.0);
    EXPECT_EQ(info.Corners[cnNE].East, -302682.0);
    EXPECT_EQ(info.Corners[cnNE].North, 132237.0);
    EXPECT_EQ(info.Resolution[1], 3.0);
    EXPECT_EQ(info.MinElevation, 236.0);
    EXPECT_EQ(info.MaxElevation, 1076.0);
    EXPECT_EQ(info.HorizDatum, 1);
    EXPECT_EQ(info.DataID, "?");
    EXPECT_EQ(info.CreationDate, "?");
    EXPECT_EQ(info.ErrorCount, 0);
    EXPECT_EQ(info.ErrorText, "");
    // The data range covers what the grid holds.
    EXPECT_GE(info.DataMin, 236.0);
    EXPECT_LE(info.DataMax, 1076.0);
    EXPECT_LT(info.DataMin, info.DataMax);
}

// 1210 blocks: record A, then three per profile; the break after the last block is never read.
TEST_F(JacksboroTest, LineBreaksAfterEveryBlockReadTheSameGrid)
{
    const struct {
        const char* lineBreak;
        const char* report;
    } cases[] = {
        {"\r\n", "Embedded Carriage Returns: 1209\r\n"},
        {"\n", "Embedded Line Feeds: 1209\r\n"},
        {"\r", "Embedded Carriage Returns: 1209\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.lineBreak)));
        TDEMArray dem;
        LoadDEMStream(Bytes(test::WithLineBreaks(*Text_, c.lineBreak)), dem);
        EXPECT_TRUE(SameCells(dem, *Expected_));
        EXPECT_EQ(dem.Info.ErrorText, c.report);
        EXPECT_EQ(dem.Info.ErrorCount, 1);
    }
}

TEST(LoadDEMStream, RoundTripsAWrittenGridWithVoidsAndTheVoidThreshold)
{
    TDEMArray grid = test::MakeSampleDEM(5, 400); // profiles span three blocks
    grid.SetValue(0, 0, VoidValue);
    grid.SetValue(1, 399, -999);
    grid.SetValue(2, 146, -1000); // first elevation of a profile's second block
    grid.SetValue(3, 7, -32767);
    TDEMArray dem;
    LoadDEMStream(Bytes(FormatDEMText(grid)), dem);
    TDEMArray expected = grid;
    expected.SetValue(2, 146, VoidValue);
    expected.SetValue(3, 7, VoidValue);
    EXPECT_TRUE(SameCells(dem, expected));
    EXPECT_EQ(dem.Info.DataMin, -999.0);
    EXPECT_EQ(dem.Info.MapName, " KORVELA TEST GRID");
    EXPECT_TRUE(dem.Info.IsUTM);
    EXPECT_EQ(dem.Info.ErrorCount, 0);
}

// A file may stop after the last field it needs, inside the padding of its last block; one
// byte less is a truncated file.
TEST(LoadDEMStream, ReadsAFileThatEndsInsideItsLastBlocksPadding)
{
    const TDEMArray grid = test::MakeSampleDEM(3, 30);
    const std::string full = FormatDEMText(grid);
    const std::string unpadded = full.substr(0, full.find_last_not_of(' ') + 1);
    ASSERT_LT(unpadded.size(), full.size());
    for (const std::string& text : {unpadded, test::WithLineBreaks(unpadded, "\r\n")}) {
        TDEMArray dem;
        LoadDEMStream(Bytes(text), dem);
        EXPECT_TRUE(SameCells(dem, grid));
    }
    TDEMArray dem;
    EXPECT_THAT([&] { LoadDEMStream(Bytes(unpadded.substr(0, unpadded.size() - 1)), dem); },
                ThrowsMessage<EKorvelaError>(StrEq("DEM file: the file ends at byte " +
                                                   std::to_string(unpadded.size() - 1) +
                                                   " inside profile 3 (elevation 30 of 30)")));
}

// Each prefix must load or fail with a message, and leave a grid whose size describes its cells.
TEST(LoadDEMStream, EveryTruncatedPrefixLoadsOrFailsCleanly)
{
    TDEMArray grid = test::MakeSampleDEM(2, 160);
    grid.SetValue(1, 5, VoidValue);
    const std::string text = test::WithLineBreaks(FormatDEMText(grid), "\r\n");
    for (size_t length = 0; length < text.size(); ++length) {
        TDEMArray dem;
        try {
            LoadDEMStream(std::span<const char>(text.data(), length), dem);
        } catch (const EKorvelaError&) {
        }
        ASSERT_TRUE(dem.Cols() == 0 || dem.Cols() == 5 || dem.Cols() == 2) << length;
        if (dem.Cols() > 0)
            (void)dem.GetValue(dem.Cols() - 1, dem.Rows() - 1);
    }
}

TEST(LoadDEMStream, DefectsOfOneLoadDoNotCarryIntoTheNext)
{
    TDEMArray geo = test::MakeSampleDEM(3, 20);
    geo.Info.GroundRef = 0;
    geo.Info.Corners = {};
    geo.Info.Resolution = {180.0, 180.0, 1.0}; // the replacement corners span 3600 arc-seconds

    TDEMArray dem;
    LoadDEMStream(Bytes(test::WithLineBreaks(FormatDEMText(geo), "\r\n")), dem);
    EXPECT_EQ(dem.Info.ErrorText, "Embedded Carriage Returns: 3\r\nInvalid Corners: 1\r\n");
    EXPECT_EQ(dem.Info.ErrorCount, 2);
    EXPECT_EQ(dem.Info.Corners[cnSW].East, -388800.0);
    EXPECT_EQ(dem.Info.Corners[cnNE].North, 144000.0);
    EXPECT_TRUE(SameCells(dem, geo));

    LoadDEMStream(Bytes(FormatDEMText(test::MakeSampleDEM(2, 4))), dem);
    EXPECT_EQ(dem.Info.ErrorCount, 0);
    EXPECT_EQ(dem.Info.ErrorText, "");
    EXPECT_EQ(dem.Cols(), 2);
}

TEST(LoadDEMStream, AFailedLoadStillReportsItsDefectsAndKeepsAConsistentGrid)
{
    const std::string text = test::WithLineBreaks(FormatDEMText(test::MakeSampleDEM(4, 300)), "\n");
    TDEMArray dem;
    EXPECT_THROW(LoadDEMStream(std::span<const char>(text.data(), text.size() / 2), dem), EKorvelaError);
    EXPECT_EQ(dem.Cols(), 4);
    EXPECT_EQ(dem.Rows(), 300);
    EXPECT_THAT(dem.Info.ErrorText, testing::StartsWith("Embedded Line Feeds: "));
    EXPECT_EQ(dem.Info.ErrorCount, 1);
    EXPECT_EQ(dem.GetValue(0, 0), test::MakeSampleDEM(1, 1).GetValue(0, 0)); // the first profile is in
}

TEST(LoadDEMFile, NamesAFileItCannotOpen)
{
    test::TTempDir dir;
    TDEMArray dem;
    EXPECT_THAT([&] { LoadDEMFile(dir / "missing.dem", dem); },
                ThrowsMessage<EKorvelaError>(HasSubstr("Cannot open file")));
    EXPECT_EQ(dem.Cols(), 5);
}

TEST(SaveDEMFile, WritesWhatLoadDEMFileReadsBack)
{
    test::TTempDir dir;
    const TDEMArray grid = test::MakeSampleDEM(7, 33);
    SaveDEMFile(dir / "grid.dem", grid);
    TDEMArray dem;
    LoadDEMFile(dir / "grid.dem", dem);
    EXPECT_TRUE(SameCells(dem, grid));
}

TEST(FormatDEMText, RefusesAHeaderThatDescribesAnotherGrid)
{
    TDEMArray grid = test::MakeSampleDEM(3, 10);
    grid.Info.Resolution[1] = 15.0; // would read back as 20 rows
    EXPECT_THAT([&] { FormatDEMText(grid); }, ThrowsMessage<EKorvelaError>(HasSubstr("10 rows")));
    grid.SetValue(0, 0, 1000000);
    grid.Info.Resolution[1] = 30.0;
    EXPECT_THROW(FormatDEMText(grid), EKorvelaError);
}

} // namespace
} // namespace kv
