#include "dem/SDTSLoader.h"

#include "platform/FileIO.h"
#include "platform/KVError.h"
#include "support/SDTSWriter.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <charconv>
#include <sstream>

namespace kv {
namespace {

using test::TSDTSTransfer;

// The expected grid of the sample transfers: "cols,rows", then rows north to south.
TDEMArray ReadGridCsv(const std::filesystem::path& fileName)
{
    std::istringstream text(test::ReadFileText(fileName));
    std::string line;
    std::getline(text, line);
    const auto number = [](std::string_view s) {
        int32_t v = 0;
        std::from_chars(s.data(), s.data() + s.size(), v);
        return v;
    };
    const size_t comma = line.find(',');
    TDEMArray grid;
    grid.SetSize(number(line.substr(0, comma)), number(line.substr(comma + 1)));
    for (int32_t row = grid.Rows() - 1; row >= 0; --row) {
        std::getline(text, line);
        std::string_view rest = line;
        for (int32_t col = 0; col < grid.Cols(); ++col) {
            const size_t end = rest.find(',');
            grid.SetValue(col, row, number(rest.substr(0, end)));
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        }
    }
    return grid;
}

void ExpectSameCells(const TDEMArray& actual, const TDEMArray& expected)
{
    ASSERT_EQ(actual.Cols(), expected.Cols());
    ASSERT_EQ(actual.Rows(), expected.Rows());
    int mismatches = 0;
    for (int32_t c = 0; c < expected.Cols(); ++c)
        for (int32_t r = 0; r < expected.Rows(); ++r)
            if (actual.GetValue(c, r) != expected.GetValue(c, r) && ++mismatches <= 5)
                ADD_FAILURE() << "cell " << c << "," << r << ": " << actual.GetValue(c, r) << " instead of "
                              << expected.GetValue(c, r);
    EXPECT_EQ(mismatches, 0);
}

std::filesystem::path SampleDir()
{
    return test::TestDataDir() / "sdts";
}

TEST(SDTSLoader, SampleTransfersLoadTheirGridAndHeader)
{
    const TDEMArray expected = ReadGridCsv(SampleDir() / "7001.grid.csv");
    for (const char* file : {"7001CEL0.DDF", "7002CEL0.DDF"}) {
        SCOPED_TRACE(file);
        TDEMArray dem;
        dem.Info.ErrorCount = 3;
        dem.Info.ErrorText = "left over\r\n";
        LoadSDTSFile(SampleDir() / file, dem);
        ExpectSameCells(dem, expected);
        const TDEMInfo& info = dem.Info;
        EXPECT_EQ(info.MapName, "JACKSBORO FAULT AREA, TN-24000");
        EXPECT_EQ(info.LevelCode, 2);
        EXPECT_EQ(info.PatternCode, 1);
        EXPECT_EQ(info.GroundRef, 1);
        EXPECT_TRUE(info.IsUTM);
        EXPECT_EQ(info.Zone, 16);
        EXPECT_EQ(info.HorizDatum, 4);
        EXPECT_EQ(info.GroundUnits, ucMeters);
        EXPECT_EQ(info.ElevUnits, ucMeters);
        EXPECT_EQ(info.PolySides, 4);
        EXPECT_EQ(info.ProfileRows, 280);
        EXPECT_EQ(info.ProfileCols, 360);
        EXPECT_DOUBLE_EQ(info.Resolution[0], 30.0);
        EXPECT_DOUBLE_EQ(info.Resolution[1], 30.0);
        EXPECT_DOUBLE_EQ(info.Resolution[2], 1.0);
        EXPECT_DOUBLE_EQ(info.MinElevation, 240.0);
        EXPECT_DOUBLE_EQ(info.MaxElevation, 815.0);
        EXPECT_DOUBLE_EQ(info.DataMin, 240.0);
        EXPECT_DOUBLE_EQ(info.DataMax, 815.0);
        EXPECT_DOUBLE_EQ(info.OriginEast, 751080.0);
        EXPECT_DOUBLE_EQ(info.OriginNorth, 4045560.0);
        EXPECT_DOUBLE_EQ(info.Corners[cnSW].East, 751080.0);
        EXPECT_DOUBLE_EQ(info.Corners[cnSW].North, 4037190.0);
        EXPECT_DOUBLE_EQ(info.Corners[cnNW].North, 4045560.0);
        EXPECT_DOUBLE_EQ(info.Corners[cnNE].East, 761850.0);
        EXPECT_DOUBLE_EQ(info.Corners[cnSE].North, 4037190.0);
        EXPECT_EQ(info.MapScale, 24000);
        EXPECT_EQ(info.DataID, "LAT::   36 26 38.7437 N LONG::  -84  4 42.2922 W SCALE:: 24000");
        EXPECT_EQ(info.CreationDate, "20261210");
        EXPECT_EQ(info.ErrorCount, 0);
        EXPECT_EQ(info.ErrorText, "");
    }
}

TEST(SDTSLoader, FindsModulesWhateverTheCaseOfTheirNames)
{
    const TDEMArray expected = ReadGridCsv(SampleDir() / "7001.grid.csv");
    test::TTempDir folder;
    for (const auto& entry : std::filesystem::directory_iterator(SampleDir())) {
        std::string name = entry.path().filename().string();
        if (!name.starts_with("7001") || !name.ends_with(".DDF"))
            continue;
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::filesystem::copy_file(entry.path(), folder / name);
    }
    TDEMArray dem;
    LoadSDTSFile(folder / "7001cel0.ddf", dem);
    ExpectSameCells(dem, expected);
    EXPECT_EQ(dem.Info.MapName, "JACKSBORO FAULT AREA, TN-24000");
}

TSDTSTransfer SmallTransfer(int32_t cols, int32_t rows)
{
    TSDTSTransfer t;
    t.Cols = cols;
    t.Rows = rows;
    for (int32_t i = 0; i < cols * rows; ++i)
        t.Cells.push_back(static_cast<float>(100 + i));
    return t;
}

TEST(SDTSLoader, MissingModuleNamesTheDerivedFile)
{
    for (const char* code : {"DQPA", "RSDF", "DDSH", "IDEN", "DDOM", "IREF", "XREF", "SPDM", "LDEF", "CEL0"}) {
        test::TTempDir folder;
        const std::filesystem::path cellFile = test::WriteSDTSTransfer(folder.Path(), "1234", SmallTransfer(2, 2));
        const std::filesystem::path missing = folder / (std::string("1234") + code + ".DDF");
        std::filesystem::remove(missing);
        TDEMArray dem;
        try {
            LoadSDTSFile(cellFile, dem);
            ADD_FAILURE() << code << ": loaded without it";
        } catch (const EKorvelaError& e) {
            EXPECT_EQ(std::string(e.what()), CannotOpenMessage(missing)) << code;
        }
        EXPECT_EQ(dem.Cols(), 5); // the grid was not touched
    }
}

// Loads `t` from memory.
void LoadFromMemory(const TSDTSTransfer& t, TDEMArray& dem, const std::map<std::string, std::string>* changed = nullptr)
{
    std::map<std::string, std::string> modules = test::BuildSDTSTransfer(t);
    if (changed)
        for (const auto& [code, bytes] : *changed)
            modules[code] = bytes;
    LoadSDTSModules(
        [&](const std::string& code) {
            const std::string& bytes = modules.at(code);
            return TSDTSModuleFile{"1234" + code + ".DDF", std::vector<char>(bytes.begin(), bytes.end())};
        },
        "CEL0", dem);
}

TEST(SDTSLoader, CellValueRulesAndRowOrder)
{
    const struct {
        bool floatCells;
        bool repeat;
        std::vector<float> cells; // 3 rows of 2, north first
        std::vector<int32_t> expected;
        double min, max;
    } cases[] = {
        {false, false, {-1000, -1001, 5, -32767, 32767, 7}, {-1000, VoidValue, 5, VoidValue, 32767, 7}, -1000, 32767},
        {false, true, {-1000, -1001, 5, -32767, 32767, 7}, {-1000, VoidValue, 5, VoidValue, 32767, 7}, -1000, 32767},
        {true, false, {-32765.0f, -32766.0f, 123.5f, 122.5f, 1e30f, -0.4f}, {-32765, VoidValue, 124, 122, VoidValue, 0},
         -32765, 124},
        {true, true, {-32765.0f, -32766.0f, 123.5f, 122.5f, 1e30f, -0.4f}, {-32765, VoidValue, 124, 122, VoidValue, 0},
         -32765, 124},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.floatCells ? "float" : "16-bit") + (c.repeat ? ", repeat" : ""));
        TSDTSTransfer t = SmallTransfer(2, 3);
        t.FloatCells = c.floatCells;
        t.RepeatMode = c.repeat;
        t.Cells = c.cells;
        TDEMArray dem;
        LoadFromMemory(t, dem);
        ASSERT_EQ(dem.Cols(), 2);
        ASSERT_EQ(dem.Rows(), 3);
        for (int32_t i = 0; i < 6; ++i)
            EXPECT_EQ(dem.GetValue(i % 2, 2 - i / 2), c.expected[static_cast<size_t>(i)]) << "file cell " << i;
        EXPECT_DOUBLE_EQ(dem.Info.DataMin, c.min);
        EXPECT_DOUBLE_EQ(dem.Info.DataMax, c.max);
    }
}

TEST(SDTSLoader, HeaderCodesFromTheirModules)
{
    const struct {
        std::string comment, units, system, datum, objectRep;
        int32_t level, groundRef;
        uint8_t elevUnits, horizDatum;
        int32_t pattern;
    } cases[] = {
        {"DEM LEVEL  3 x", "FEET", "Geographic", "NAS", "G2", 3, 0, ucFeet, 1, 1},
        {"DEM LEVEL 2", "feet", "State Plane", "WGC", "G1", 1, 2, ucMeters, 2, 0},
        {"DEM LEVEL  ", "METERS", "UTM", "WGE", "", 1, 1, ucMeters, 3, 0},
        {"DEM LEVEL  X", "", "Mercator", "???", "G2", 1, 7, ucMeters, 9, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.comment + " / " + c.system);
        TSDTSTransfer t = SmallTransfer(1, 1);
        t.LevelComment = c.comment;
        t.Units = c.units;
        t.RefSystem = c.system;
        t.Datum = c.datum;
        t.ObjectRep = c.objectRep;
        TDEMArray dem;
        dem.Info.GroundRef = 7; // unknown names keep what was there
        dem.Info.HorizDatum = 9;
        LoadFromMemory(t, dem);
        EXPECT_EQ(dem.Info.LevelCode, c.level);
        EXPECT_EQ(dem.Info.ElevUnits, c.elevUnits);
        EXPECT_EQ(dem.Info.GroundRef, c.groundRef);
        EXPECT_EQ(dem.Info.IsUTM, c.groundRef == 1);
        EXPECT_EQ(dem.Info.HorizDatum, c.horizDatum);
        EXPECT_EQ(dem.Info.PatternCode, c.pattern);
    }
}

TEST(SDTSLoader, OriginFromTextOrSignedBinaryAddress)
{
    TSDTSTransfer t = SmallTransfer(1, 1);
    t.AddressX = -1250;
    t.AddressY = 404556000;
    t.OriginX = 10.0;
    TDEMArray dem;
    LoadFromMemory(t, dem);
    EXPECT_DOUBLE_EQ(dem.Info.OriginEast, -12.5 + 10.0);
    EXPECT_DOUBLE_EQ(dem.Info.OriginNorth, 4045560.0);
    t.BinaryAddress = false;
    LoadFromMemory(t, dem);
    EXPECT_DOUBLE_EQ(dem.Info.OriginEast, -12.5 + 10.0);
    EXPECT_DOUBLE_EQ(dem.Info.OriginNorth, 4045560.0);
}

TEST(SDTSLoader, GridSizesTheCellModuleCannotBackAreRefusedBeforeAllocating)
{
    const TSDTSTransfer valid = SmallTransfer(2, 2); // a cell module of a few hundred bytes
    const struct {
        std::string rows, cols, message;
    } cases[] = {
        {"-3", "2", "1234LDEF.DDF: the grid size NROW -3 by NCOL 2 is invalid"},
        {"2", "-1", "1234LDEF.DDF: the grid size NROW 2 by NCOL -1 is invalid"},
        {"0", "2", "1234LDEF.DDF: no elevations: the grid size is NROW 0 by NCOL 2"},
        {"2", "0", "1234LDEF.DDF: no elevations: the grid size is NROW 2 by NCOL 0"},
        {"2000", "2", "1234CEL0.DDF: the grid of NROW 2000 by NCOL 2 cells needs 8000 bytes of 16-bit cells, "
                      "but the cell module holds only "},
        {"2", "2000", "1234CEL0.DDF: the grid of NROW 2 by NCOL 2000 cells needs 8000 bytes"},
        {"2147483647", "2147483647", "1234CEL0.DDF: the grid of NROW 2147483647 by NCOL 2147483647 cells needs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows + " x " + c.cols);
        TSDTSTransfer t = valid;
        t.RowsText = c.rows;
        t.ColsText = c.cols;
        std::map<std::string, std::string> changed{{"LDEF", test::BuildSDTSTransfer(t).at("LDEF")}};
        TDEMArray dem;
        dem.SetSize(3, 4);
        try {
            LoadFromMemory(valid, dem, &changed);
            ADD_FAILURE() << "loaded";
        } catch (const EKorvelaError& e) {
            EXPECT_TRUE(std::string(e.what()).starts_with(c.message)) << e.what();
        }
        EXPECT_EQ(dem.Cols(), 3);
        EXPECT_EQ(dem.Rows(), 4);
    }
}

// The real cell module of 223 KB with NROW = NCOL = 20000 in its LDEF once loaded 400 million
// invented cells at 1.5 GB.
TEST(SDTSLoader, RealCellModuleWithAHugeDeclaredGridIsRefused)
{
    test::TTempDir folder;
    for (const auto& entry : std::filesystem::directory_iterator(SampleDir()))
        if (entry.path().filename().string().starts_with("7001"))
            std::filesystem::copy_file(entry.path(), folder / entry.path().filename());
    TSDTSTransfer huge = SmallTransfer(2, 2);
    huge.RowsText = huge.ColsText = "20000";
    const std::string ldef = test::BuildSDTSTransfer(huge).at("LDEF");
    test::WriteFileText(folder / "7001LDEF.DDF", ldef);
    TDEMArray dem;
    try {
        LoadSDTSFile(folder / "7001CEL0.DDF", dem);
        ADD_FAILURE() << "loaded";
    } catch (const EKorvelaError& e) {
        EXPECT_EQ(std::string(e.what()), "7001CEL0.DDF: the grid of NROW 20000 by NCOL 20000 cells needs 800000000 "
                                         "bytes of 16-bit cells, but the cell module holds only 222849 bytes");
    }
    EXPECT_EQ(dem.Cols(), 5);
}

// Cells arrive north row first, west to east; every cell the module does not deliver is void
// (0 would be a valid elevation), and a module that delivers none is no DEM at all.
TEST(SDTSLoader, CellsTheModuleDoesNotDeliverAreVoid)
{
    for (const bool repeat : {false, true}) {
        TSDTSTransfer t = SmallTransfer(3, 4);
        t.RepeatMode = repeat;
        const std::string cells = test::BuildSDTSTransfer(t).at("CEL0");
        bool sawPartial = false;
        for (size_t n = 0; n <= cells.size(); ++n) {
            SCOPED_TRACE("repeat " + std::to_string(repeat) + ", prefix " + std::to_string(n));
            std::map<std::string, std::string> changed{{"CEL0", cells.substr(0, n)}};
            TDEMArray dem;
            dem.SetSize(3, 4);
            try {
                LoadFromMemory(t, dem, &changed);
            } catch (const EKorvelaError& e) {
                EXPECT_TRUE(std::string(e.what()).starts_with("1234CEL0.DDF: ")) << e.what();
                ASSERT_EQ(dem.Cols(), 3);
                EXPECT_EQ(dem.GetValue(0, 3), 0); // the old grid, untouched
                continue;
            }
            int delivered = 0;
            for (int32_t i = 0; i < 12; ++i) {
                const int32_t cell = dem.GetValue(i % 3, 3 - i / 3);
                if (cell == VoidValue)
                    continue;
                EXPECT_EQ(cell, 100 + i) << "cell " << i;
                EXPECT_EQ(delivered, i) << "cell " << i << " after a void one";
                ++delivered;
            }
            EXPECT_GT(delivered, 0);
            sawPartial = sawPartial || delivered < 12;
            if (n == cells.size()) {
                EXPECT_EQ(delivered, 12);
            }
        }
        EXPECT_TRUE(sawPartial);
    }
}

TEST(SDTSLoader, EveryTruncatedHeaderModuleLoadsOrFailsCleanly)
{
    const TSDTSTransfer t = SmallTransfer(2, 2);
    for (const auto& [code, bytes] : test::BuildSDTSTransfer(t)) {
        for (size_t n = 0; n < bytes.size(); ++n) {
            std::map<std::string, std::string> changed{{code, bytes.substr(0, n)}};
            TDEMArray dem;
            try {
                LoadFromMemory(t, dem, &changed);
            } catch (const EKorvelaError&) {
            }
            ASSERT_EQ(dem.Cols() == 0, dem.Rows() == 0) << code << " cut to " << n;
        }
    }
}

TEST(SDTSLoader, CellRecordWithoutTheCellFieldIsNoDEM)
{
    TSDTSTransfer t = SmallTransfer(2, 2);
    test::TSDTSModule cel;
    cel.Fields.push_back({"CELL", "Cell", "MODN!RCID", "(A,I)"});
    cel.Records.push_back({{"CELL", test::TextUnits({"CEL0", "1"})}});
    std::map<std::string, std::string> changed{{"CEL0", test::BuildModule(cel)}};
    TDEMArray dem;
    try {
        LoadFromMemory(t, dem, &changed);
        ADD_FAILURE() << "loaded";
    } catch (const EKorvelaError& e) {
        EXPECT_STREQ(e.what(), "1234CEL0.DDF: no elevations: the first data record of the cell module has no "
                               "CVLS field");
    }
    EXPECT_EQ(dem.Cols(), 5);
}

// Errors of the record reader say which module they come from.
TEST(SDTSLoader, MalformedModuleErrorsNameTheModule)
{
    const TSDTSTransfer t = SmallTransfer(2, 2);
    for (const char* code : {"IDEN", "LDEF", "CEL0"}) {
        std::string bytes = test::BuildSDTSTransfer(t).at(code);
        bytes[0] = 'x'; // the record length of the DDR leader
        std::map<std::string, std::string> changed{{code, bytes}};
        TDEMArray dem;
        try {
            LoadFromMemory(t, dem, &changed);
            ADD_FAILURE() << code << ": loaded";
        } catch (const EKorvelaError& e) {
            EXPECT_TRUE(std::string(e.what()).starts_with("1234" + std::string(code) + ".DDF: ")) << e.what();
        }
    }
}

} // namespace
} // namespace kv
