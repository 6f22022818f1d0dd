// The parallel reading (profiles found first) against the reference reading (profiles in
// order) on inputs that stress where blocks lie: line breaks between, inside and around
// blocks, voids, fields in unusual forms, truncated and malformed files. Both must give the
// same grid, range, defect report and message; the path each case must take is checked too,
// so that a parallel path that always gave up would not pass unnoticed.
#include "dem/DEMLoader.h"

#include "DEMLoaderPaths.h"
#include "dem/DEMWriter.h"
#include "platform/KVError.h"
#include "support/DEMFixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kv {
namespace {

// 7 profiles of 400 elevations: three blocks each (146 + 170 + 84 elevations).
constexpr int32_t Cols = 7;
constexpr int32_t Rows = 400;

size_t ProfileStart(int32_t profile)
{
    return test::ProfileOffset(Rows, profile);
}

size_t ElevationAt(int32_t profile, int32_t index)
{
    return test::ElevationOffset(Rows, profile, index);
}

std::string SampleText()
{
    TDEMArray grid = test::MakeSampleDEM(Cols, Rows);
    grid.SetValue(1, 0, VoidValue);
    grid.SetValue(2, 145, -999);
    grid.SetValue(2, 146, -1000);
    grid.SetValue(6, 399, 40000);
    return FormatDEMText(grid);
}

std::string Replaced(std::string text, size_t at, const std::string& with)
{
    text.replace(at, with.size(), with);
    return text;
}

std::string Inserted(std::string text, size_t at, const std::string& what)
{
    text.insert(at, what);
    return text;
}

// What a load left behind: the message, or the grid; the header fields a load sets either way.
struct TOutcome {
    std::optional<std::string> Message;
    int32_t GridCols = 0;
    int32_t GridRows = 0;
    std::vector<int32_t> Cells;
    double DataMin = 0.0;
    double DataMax = 0.0;
    std::string ErrorText;
    int32_t ErrorCount = 0;
    std::optional<TDEMReadPath> Path;
};

TOutcome Load(const std::string& text, const TDEMReadOptions& options)
{
    TOutcome outcome;
    TDEMArray dem;
    try {
        outcome.Path = LoadDEMStreamWith(text, dem, "t.dem", options);
        outcome.GridCols = dem.Cols();
        outcome.GridRows = dem.Rows();
        for (int32_t col = 0; col < dem.Cols(); ++col)
            outcome.Cells.insert(outcome.Cells.end(), dem.Column(col), dem.Column(col) + dem.Rows());
    } catch (const EKorvelaError& error) {
        outcome.Message = error.what();
    }
    outcome.DataMin = dem.Info.DataMin;
    outcome.DataMax = dem.Info.DataMax;
    outcome.ErrorText = dem.Info.ErrorText;
    outcome.ErrorCount = dem.Info.ErrorCount;
    return outcome;
}

enum TExpect { exFoundFirst, exFellBack, exFails };

TEST(DEMLoaderPaths, ParallelReadingAgreesWithReadingInOrder)
{
    const std::string clean = SampleText();
    const std::string crlf = test::WithLineBreaks(clean, "\r\n");
    const struct {
        const char* name;
        std::string text;
        TExpect expect;
    } cases[] = {
        {"no line breaks", clean, exFoundFirst},
        {"CR LF after every block", crlf, exFoundFirst},
        {"LF after every block", test::WithLineBreaks(clean, "\n"), exFoundFirst},
        {"CR after every block", test::WithLineBreaks(clean, "\r"), exFoundFirst},
        {"runs of line breaks between blocks", test::WithLineBreaks(clean, "\n\r\r\n\n"), exFoundFirst},
        {"line breaks before record A and after the last block", "\r\n" + clean + "\n\n", exFoundFirst},
        {"line break inside record A", Inserted(clean, 900, "\r\n"), exFoundFirst},
        {"line break before a profile only", Inserted(clean, ProfileStart(4), "\r\n"), exFoundFirst},
        {"line break between two blocks of a profile only", Inserted(clean, ProfileStart(4) + 1024, "\r\n"),
         exFellBack},
        {"line break inside a profile's elevations", Inserted(clean, ElevationAt(3, 200), "\n"), exFellBack},
        {"line break inside a field", Inserted(clean, ElevationAt(4, 10) + 3, "\r\n"), exFellBack},
        {"line break in a profile header", Inserted(clean, ProfileStart(5) + 50, "\r"), exFellBack},
        {"line break in the padding of a profile's last block", Inserted(clean, ProfileStart(2) + 3 * 1024 - 2, "\n"),
         exFellBack},
        {"line break in the padding of the last block", Inserted(clean, clean.size() - 2, "\r\n"), exFellBack},
        {"other control bytes in the padding", Replaced(clean, ProfileStart(1) + 1022, std::string("\t\0", 2)),
         exFoundFirst},
        {"blanks inside fields, plus signs, leading zeros",
         Replaced(Replaced(Replaced(clean, ElevationAt(0, 5), " 1 2 3"), ElevationAt(0, 6), "+00042"),
                  ElevationAt(6, 300), "-    7"),
         exFoundFirst},
        {"a field of blanks", Replaced(clean, ElevationAt(4, 170), "      "), exFails},
        {"a malformed elevation in the last profile", Replaced(clean, ElevationAt(6, 399), "  12x4"), exFails},
        {"a malformed elevation behind line breaks", Replaced(crlf, 1026 * 10 + 300, " ab12 "), exFails},
        {"a malformed profile header", Replaced(clean, ProfileStart(4) + 12, "  four"), exFails},
        {"ends inside the padding of the last block", clean.substr(0, ElevationAt(6, 399) + 6), exFoundFirst},
        {"ends inside the last elevation", clean.substr(0, ElevationAt(6, 399) + 5), exFails},
        {"ends inside a profile", clean.substr(0, ElevationAt(3, 250)), exFails},
        {"ends between two profiles", clean.substr(0, ProfileStart(5)), exFails},
        {"ends inside the line break after a profile", crlf.substr(0, 1026 * 7 - 1), exFails},
        {"trailing bytes after the last profile", clean + "RECORD C 123", exFoundFirst},
        // A profile whose start lies higher reads fewer elevations, so the next profile starts
        // inside its blocks, as in-order reading would see it.
        {"a profile that starts higher", Replaced(clean, ProfileStart(2) + 48, "   4.002600000000000D+06"), exFails},
        {"a profile that starts outside the grid", Replaced(clean, ProfileStart(6) + 48, "   3.900000000000000D+06"),
         exFoundFirst},
        {"a profile that stores nothing",
         Replaced(Replaced(clean, ProfileStart(6) + 12, "     0"), ElevationAt(6, 0), "  oops"), exFoundFirst},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TDEMReadOptions inOrder;
        inOrder.InOrder = true;
        const TOutcome expected = Load(c.text, inOrder);
        ASSERT_EQ(expected.Message.has_value(), c.expect == exFails) << expected.Message.value_or("");
        for (unsigned threads : {1u, 3u, 7u}) {
            SCOPED_TRACE(std::to_string(threads) + " threads");
            TDEMReadOptions parallel;
            parallel.Threads = threads;
            const TOutcome actual = Load(c.text, parallel);
            EXPECT_EQ(actual.Message, expected.Message);
            EXPECT_EQ(actual.GridCols, expected.GridCols);
            EXPECT_EQ(actual.GridRows, expected.GridRows);
            EXPECT_TRUE(actual.Cells == expected.Cells);
            EXPECT_EQ(actual.DataMin, expected.DataMin);
            EXPECT_EQ(actual.DataMax, expected.DataMax);
            EXPECT_EQ(actual.ErrorText, expected.ErrorText);
            EXPECT_EQ(actual.ErrorCount, expected.ErrorCount);
            if (c.expect != exFails) {
                EXPECT_EQ(actual.Path, c.expect == exFoundFirst ? rpFoundFirst : rpFellBack);
            }
        }
    }
}

// The cases above would pass if neither path read anything: check the reference itself on the
// trickiest of them.
TEST(DEMLoaderPaths, ReadingInOrderCountsLineBreaksAndKeepsTheGrid)
{
    const std::string clean = SampleText();
    TDEMReadOptions inOrder;
    inOrder.InOrder = true;
    const TOutcome plain = Load(clean, inOrder);
    ASSERT_FALSE(plain.Message.has_value());
    EXPECT_EQ(plain.DataMin, -999.0);
    EXPECT_EQ(plain.DataMax, 40000.0);
    EXPECT_EQ(plain.Cells[1 * Rows], VoidValue);
    EXPECT_EQ(plain.Cells[2 * Rows + 146], VoidValue);

    // 21 profile blocks follow record A; the runs after the last one are never read.
    const TOutcome runs = Load(test::WithLineBreaks(clean, "\n\r\r\n\n"), inOrder);
    EXPECT_EQ(runs.ErrorText, "Embedded Line Feeds: 21\r\n");
    EXPECT_TRUE(runs.Cells == plain.Cells);

    const TOutcome inside = Load(Inserted(clean, ElevationAt(3, 200), "\n"), inOrder);
    EXPECT_EQ(inside.ErrorText, "Embedded Line Feeds: 1\r\n");
    EXPECT_TRUE(inside.Cells == plain.Cells);
}

} // namespace
} // namespace kv
