// The elevation table: number scanning, extent rules, Enter navigation, copy and paste, the
// round trip with the topo grid, and the elevation file.

#include "mapview/ElevationSheet.h"

#include "platform/KVError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>
#include <vector>

namespace kv {
namespace {

std::vector<double> AllNumbers(std::string_view text)
{
    std::vector<double> numbers;
    size_t pos = 0;
    while (std::optional<double> value = ScanNumber(text, pos))
        numbers.push_back(*value);
    return numbers;
}

TEST(ElevationSheetTest, ScannerFindsNumbersAndSeparatesOnAnythingElse)
{
    struct TCase {
        std::string_view Text;
        std::vector<double> Numbers;
    };
    const std::vector<TCase> cases = {
        {"12.5abc-3e2", {12.5, -300}},
        {"1\t2\t-3.25\r\n", {1, 2, -3.25}},
        {"1.2.3", {1.2, 0.3}},
        {"1e", {1}},
        {"1e+5", {1, 5}}, // the exponent takes a minus sign only
        {"2E-1x", {0.2}},
        {"--5 - x", {-5}},
        {"+7", {7}},
        {"1e999 4", {4}}, // beyond the range of a double: not a number
        {"", {}},
        {"no numbers", {}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(AllNumbers(c.Text), c.Numbers) << c.Text;
    EXPECT_EQ(ParseCellNumber("abc"), 0.0);
    EXPECT_EQ(ParseCellNumber(" 42 m"), 42.0);
}

TEST(ElevationSheetTest, ExtentRules)
{
    TElevationSheet sheet;
    EXPECT_EQ(sheet.Extent(), (TSheetExtent{0, 0}));
    for (int32_t c = 0; c < 5; ++c)
        sheet.SetCellText(c, 0, "1");
    for (int32_t c = 0; c < 7; ++c)
        sheet.SetCellText(c, 1, "2");
    // Row 3's first cell is empty: the long row 4 does not count for the columns.
    for (int32_t c = 1; c < 12; ++c)
        sheet.SetCellText(c, 3, "4");
    EXPECT_EQ(sheet.Extent(), (TSheetExtent{7, 2}));
    EXPECT_EQ(sheet.SizeText(), "7,2");
    // A cell without a number ends a run.
    sheet.SetCellText(2, 0, "x");
    sheet.SetCellText(2, 1, "");
    EXPECT_EQ(sheet.Extent(), (TSheetExtent{2, 2}));
    sheet.Clear();
    EXPECT_EQ(sheet.Extent(), (TSheetExtent{0, 0}));
    EXPECT_EQ(sheet.CellText(1, 3), "");
}

TEST(ElevationSheetTest, EnterMovesAlongTheRowThenToTheNext)
{
    struct TCase {
        TSheetCell From, To;
    };
    for (const TCase& c : std::vector<TCase>{
             {{0, 0}, {1, 0}}, {{SheetCols - 1, 4}, {0, 5}}, {{SheetCols - 1, SheetRows - 1}, {0, SheetRows - 1}}})
        EXPECT_EQ(NextCellOnEnter(c.From), c.To);
}

TEST(ElevationSheetTest, PasteOfASpreadsheetBlockAndCopyBack)
{
    TElevationSheet sheet;
    sheet.SetCellText(9, 9, "old");
    sheet.PasteText("100\t101.25\t102\r\n-3\t4e1\t5\r\n\r\n");
    EXPECT_EQ(sheet.CellText(9, 9), ""); // pasting clears the sheet first
    EXPECT_EQ(sheet.Extent(), (TSheetExtent{3, 2}));
    EXPECT_EQ(sheet.CopyText(), "100.0\t101.2\t102.0\r\n-3.0\t40.0\t5.0\r\n");

    TElevationSheet again;
    again.PasteText(sheet.CopyText());
    EXPECT_EQ(again.CopyText(), sheet.CopyText());

    // A line longer than the sheet stops at its last column.
    std::string wide;
    for (int32_t c = 0; c < SheetCols + 10; ++c)
        wide += "7\t";
    sheet.PasteText(wide);
    EXPECT_EQ(sheet.Extent(), (TSheetExtent{SheetCols, 1}));
}

TEST(ElevationSheetTest, GridRoundTripInFeet)
{
    TTopoGrid grid;
    grid.SetSize(2, 1);
    grid.Set(0, 0, 100.0);
    grid.Set(1, 0, -7.4);
    TElevationSheet sheet;
    sheet.FillFromGrid(grid, FeetPerMeter);
    EXPECT_EQ(sheet.CellText(0, 0), "328");
    EXPECT_EQ(sheet.CellText(1, 0), "-24");
    ASSERT_TRUE(sheet.WriteToGrid(grid, FeetPerMeter));
    EXPECT_NEAR(grid.Get(0, 0), 99.974, 0.001);
    // Saving writes the metres, one decimal: 328 ft is 100.0 m.
    EXPECT_EQ(ElvText(sheet, 32.8, 32.8, FeetPerMeter), "2,1\r\n10.0,10.0\r\n0.0,0.0,31\r\n100.0,-7.3\r\n");
}

TEST(ElevationSheetTest, RaggedAndEmptySheetsWriteBack)
{
    TElevationSheet sheet;
    sheet.PasteText("1\t2\t3\r\n4\r\n5\t6\r\n");
    TTopoGrid grid;
    ASSERT_TRUE(sheet.WriteToGrid(grid, 1.0));
    ASSERT_EQ(grid.Cols(), 3);
    ASSERT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.Get(1, 1), 0.0);
    EXPECT_EQ(grid.Get(2, 2), 0.0);
    EXPECT_EQ(grid.Get(1, 2), 6.0);

    sheet.Clear();
    EXPECT_FALSE(sheet.WriteToGrid(grid, 1.0));
    EXPECT_TRUE(grid.Empty());
}

TEST(ElevationSheetTest, AFullTopoGridIsNeverCut)
{
    TTopoGrid grid;
    grid.SetSize(TopoCapacity, TopoCapacity);
    grid.Set(TopoCapacity - 1, TopoCapacity - 1, 77.0);
    TElevationSheet sheet;
    sheet.FillFromGrid(grid, 1.0);
    ASSERT_TRUE(sheet.WriteToGrid(grid, 1.0));
    EXPECT_EQ(grid.Cols(), TopoCapacity);
    EXPECT_EQ(grid.Rows(), TopoCapacity);
    EXPECT_EQ(grid.Get(TopoCapacity - 1, TopoCapacity - 1), 77.0);
}

TEST(ElevationSheetTest, ReadsElevationFiles)
{
    struct TCase {
        const char* Name;
        std::string Text;
        TSheetExtent Extent;
        std::string Copy;
        double East, North;
    };
    const std::vector<TCase> cases = {
        {"as written",
         "2,2\r\n10.0,30.0\r\n0.0,0.0,31\r\n1.5,-2.0\r\n3.0,4.0\r\n",
         {2, 2},
         "1.5\t-2.0\r\n3.0\t4.0\r\n",
         10,
         30},
        {"missing numbers read as 0", "3,1\r\n5,5\r\n", {3, 1}, "0.0\t0.0\t0.0\r\n", 5, 5},
        {"signs and exponents", "1,2 x 2.5e1 ;7.5 0 0 31 -1e1\n+2", {1, 2}, "-10.0\r\n2.0\r\n", 25, 7.5},
        // Spacings outside the resolution fields' range are brought into it.
        {"spacings clamped", "1,1,0,5e9,0,0,31,8", {1, 1}, "8.0\r\n", ElvSpacingMin, ElvSpacingMax},
        {"empty", "", {0, 0}, "", ElvSpacingMin, ElvSpacingMin},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TElevationSheet sheet;
        const TElvHeader header = ReadElvText(c.Text, sheet, 1.0);
        EXPECT_EQ(sheet.Extent(), c.Extent);
        EXPECT_EQ(sheet.CopyText(), c.Copy);
        EXPECT_DOUBLE_EQ(header.EastSpacing, c.East);
        EXPECT_DOUBLE_EQ(header.NorthSpacing, c.North);
    }
}

TEST(ElevationSheetTest, RefusesSizesBeyondTheSheetAndKeepsIt)
{
    for (const char* text : {"1501,1\r\n", "1,1501\r\n", "-1,1\r\n", "99999999999999999999999,1\r\n"}) {
        TElevationSheet sheet;
        sheet.SetCellText(0, 0, "5");
        EXPECT_THROW(ReadElvText(text, sheet, 1.0), EKorvelaError) << text;
        EXPECT_EQ(sheet.CellText(0, 0), "5");
    }
}

TEST(ElevationSheetTest, FileRoundTripKeepsCellsOutsideTheFile)
{
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("ElevationSheetTest-" + std::to_string(::getpid()) + ".elv");
    TElevationSheet sheet;
    sheet.PasteText("1\t2\r\n3.25\t-4\r\n");
    SaveElvFile(file, sheet, 12.5, 20.0, 1.0);
    TElevationSheet loaded;
    loaded.SetCellText(5, 5, "kept");
    const TElvHeader header = LoadElvFile(file, loaded, 1.0);
    std::filesystem::remove(file);
    EXPECT_EQ(header.Cols, 2);
    EXPECT_EQ(header.Rows, 2);
    EXPECT_DOUBLE_EQ(header.EastSpacing, 12.5);
    EXPECT_DOUBLE_EQ(header.NorthSpacing, 20.0);
    EXPECT_EQ(loaded.CopyText(), "1.0\t2.0\r\n3.2\t-4.0\r\n");
    EXPECT_EQ(loaded.CellText(5, 5), "kept");
}

} // namespace
} // namespace kv
