#include "dem/KVDEMMerge.h"

#include "DEMBlockReader.h"
#include "dem/DEMLoader.h"
#include "DEMRecords.h"
#include "dem/DEMWriter.h"
#include "platform/KVError.h"
#include "support/DEMFixtures.h"
#include "support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace kv {
namespace {

using ::testing::HasSubstr;

constexpr double Spacing = 30.0;
constexpr double West0 = 500000.0;
constexpr double South0 = 4000000.0;

// A UTM grid whose first profile lies at `westEast` and whose southern edge at `southNorth`;
// cell (c, r) holds base + 10 c + r, so every cell tells where it came from.
TDEMArray MakeGrid(int32_t cols, int32_t rows, double westEast, double southNorth, int32_t base,
                   double xSpacing = Spacing)
{
    TDEMArray dem = test::MakeUTMGrid(cols, rows, westEast, southNorth, xSpacing, Spacing);
    dem.Info.MapName = "TEST GRID";
    for (int32_t c = 0; c < cols; ++c)
        for (int32_t r = 0; r < rows; ++r)
            dem.SetValue(c, r, base + 10 * c + r);
    dem.Info.MinElevation = base;
    dem.Info.MaxElevation = base + 10 * (cols - 1) + rows - 1;
    return dem;
}

std::span<const char> Bytes(const std::string& text)
{
    return {text.data(), text.size()};
}

// Profile headers and elevations of a merged file, as written.
struct TRawProfile {
    TProfileHeader Header;
    std::vector<int32_t> Values;
};

std::vector<TRawProfile> ReadRawProfiles(const std::string& text, TDEMInfo& info)
{
    TDEMBlockReader reader(Bytes(text));
    reader.ReadBlock();
    ReadRecordA(reader, info, false, false);
    std::vector<TRawProfile> profiles(static_cast<size_t>(info.ProfileRows) * info.ProfileCols);
    for (TRawProfile& profile : profiles) {
        reader.ReadBlock();
        profile.Header = ReadProfileHeader(reader, false);
        for (int64_t i = 0; i < profile.Header.Length(); ++i)
            profile.Values.push_back(reader.ReadInt(6));
    }
    return profiles;
}

// Every profile is row 1 and numbered by its place in the file, whatever its number in the
// input it came from.
void ExpectNumberedInOrder(const std::vector<TRawProfile>& profiles)
{
    for (size_t i = 0; i < profiles.size(); ++i) {
        EXPECT_EQ(profiles[i].Header.Row, 1) << i;
        EXPECT_EQ(profiles[i].Header.Col, static_cast<int32_t>(i + 1)) << i;
    }
}

TDEMArray LoadText(const std::string& text)
{
    TDEMArray dem;
    LoadDEMStream(Bytes(text), dem);
    return dem;
}

std::vector<int32_t> ColumnOf(const TDEMArray& dem, int32_t col)
{
    return std::vector<int32_t>(dem.Column(col), dem.Column(col) + dem.Rows());
}

TMergeCallbacks AnswerYes(std::vector<std::string>* questions = nullptr)
{
    TMergeCallbacks callbacks;
    callbacks.Confirm = [questions](const std::string& question) {
        if (questions)
            questions->push_back(question);
        return true;
    };
    return callbacks;
}

std::string MergeWE(const std::string& west, const std::string& east, double pan,
                    const TMergeCallbacks& callbacks = {})
{
    auto text = MergeWestEastData({Bytes(west), "w.dem"}, {Bytes(east), "e.dem"}, pan, callbacks);
    if (!text)
        throw std::runtime_error("merge refused");
    return *text;
}

std::string MergeSN(const std::string& south, const std::string& north, double pan,
                    const TMergeCallbacks& callbacks = {})
{
    auto text = MergeSouthNorthData({Bytes(south), "s.dem"}, {Bytes(north), "n.dem"}, pan, callbacks);
    if (!text)
        throw std::runtime_error("merge refused");
    return *text;
}

// ---- The west-east walk -------------------------------------------------------------------

TEST(PlanWestEast, SplitsTheProfilesAroundTheSeam)
{
    struct TCase {
        int64_t west, east;
        double slant, pan;
        TWestEastPlan expected;
    };
    const TCase cases[] = {
        {360, 358, 120.0, 0.5, {4, 354, 177, 179, 533}},
        {360, 358, -149.0, 0.5, {4, 354, 177, 179, 533}}, // the skew counts whole profiles either way
        {360, 358, 120.0, 0.0, {4, 354, 0, 356, 356}},
        {360, 358, 120.0, 1.0, {4, 354, 354, 2, 710}},
        {10, 10, 0.0, 0.55, {0, 10, 5, 5, 15}},
        {0, 0, 0.0, 0.5, {0, 0, 0, 0, 0}},
    };
    for (const TCase& c : cases) {
        const TWestEastPlan plan = PlanWestEast(c.west, c.east, 1000.0 + c.slant, 1000.0, c.pan);
        EXPECT_EQ(plan.Skew, c.expected.Skew) << c.west << " " << c.slant << " " << c.pan;
        EXPECT_EQ(plan.Common, c.expected.Common);
        EXPECT_EQ(plan.Shift, c.expected.Shift);
        EXPECT_EQ(plan.WestTail, c.expected.WestTail);
        EXPECT_EQ(plan.GaugeMaximum, c.expected.GaugeMaximum);
    }
}

TEST(PlanWestEast, RefusesPanFactorsAndSkewsItCannotWalk)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(PlanWestEast(10, 10, 0, 0, -0.01), EKorvelaError);
    EXPECT_THROW(PlanWestEast(10, 10, 0, 0, 1.01), EKorvelaError);
    EXPECT_THROW(PlanWestEast(10, 10, 0, 0, nan), EKorvelaError);
    EXPECT_THROW(PlanWestEast(10, 3, 120.0, 0, 0.5), EKorvelaError); // skew 4 > 3 profiles
    EXPECT_THROW(PlanWestEast(10, 10, 1e308, -1e308, 0.5), EKorvelaError);
    EXPECT_NO_THROW(PlanWestEast(10, 4, 120.0, 0, 0.5));
}

// ---- West-east merge ----------------------------------------------------------------------

// West 6 x 5 with an east edge slanted by two profiles; the east file starts at the west
// file's NE corner.
struct TWestEastFixture : ::testing::Test {
    TDEMArray WestGrid = MakeGrid(6, 5, West0, South0, 1000);
    TDEMArray EastGrid = MakeGrid(6, 5, West0 + 5 * Spacing + 60.0, South0, 2000);
    std::string West, East;

    void SetUp() override
    {
        WestGrid.Info.Corners[cnNE].East += 60.0;
        West = FormatDEMText(WestGrid);
        East = FormatDEMText(EastGrid);
    }
};

TEST_F(TWestEastFixture, SlidesTheWindowAndJoinsTheSeamProfiles)
{
    // 6 profiles each, skew 2, pan 0.5: shift 2, westTail 2.
    const std::string text = MergeWE(West, East, 0.5);
    const TDEMArray merged = LoadText(text);
    ASSERT_EQ(merged.Cols(), 6);
    ASSERT_EQ(merged.Rows(), 5);
    EXPECT_EQ(merged.Info.ErrorCount, 0) << merged.Info.ErrorText;
    // The name is right-aligned in its field; the loader folds the leading blanks into one.
    EXPECT_EQ(merged.Info.MapName, " West/East Merged: w.dem(50%) and e.dem");
    EXPECT_EQ(ColumnOf(merged, 0), ColumnOf(WestGrid, 2));
    EXPECT_EQ(ColumnOf(merged, 1), ColumnOf(WestGrid, 3));
    EXPECT_EQ(ColumnOf(merged, 2), ColumnOf(WestGrid, 4)); // seam: the west part is read into the grid
    EXPECT_EQ(ColumnOf(merged, 4), ColumnOf(EastGrid, 2));
    EXPECT_EQ(ColumnOf(merged, 5), ColumnOf(EastGrid, 3));
    // Corners a third of the way along (shift 2 of 6 columns).
    const TDEMInfo& w = WestGrid.Info;
    const TDEMInfo& e = EastGrid.Info;
    EXPECT_DOUBLE_EQ(merged.Info.Corners[cnSW].East, w.Corners[cnSW].East + (w.Corners[cnSE].East - w.Corners[cnSW].East) / 3);
    EXPECT_DOUBLE_EQ(merged.Info.Corners[cnNE].East, e.Corners[cnNW].East + (e.Corners[cnNE].East - e.Corners[cnNW].East) / 3);
    EXPECT_EQ(merged.Info.MinElevation, 1000);
    EXPECT_EQ(merged.Info.MaxElevation, EastGrid.Info.MaxElevation);

    // The seam profiles hold the west profile, then the east one.
    TDEMInfo info;
    const auto raw = ReadRawProfiles(text, info);
    ASSERT_EQ(raw.size(), 6u);
    ExpectNumberedInOrder(raw);
    for (int seam = 0; seam < 2; ++seam) {
        const TRawProfile& p = raw[2 + seam];
        EXPECT_EQ(p.Header.M, 10);
        EXPECT_EQ(p.Header.N, 1);
        EXPECT_EQ(p.Header.X0, WestGrid.Info.Corners[cnSW].East + (4 + seam) * Spacing);
        std::vector<int32_t> expected = ColumnOf(WestGrid, 4 + seam);
        const auto eastPart = ColumnOf(EastGrid, seam);
        expected.insert(expected.end(), eastPart.begin(), eastPart.end());
        EXPECT_EQ(p.Values, expected);
    }
}

TEST_F(TWestEastFixture, LowerStartingProfileLeadsTheSeam)
{
    // The east file starts two rows further south: its seam profiles go first.
    EastGrid = MakeGrid(6, 7, West0 + 5 * Spacing + 60.0, South0 - 2 * Spacing, 2000);
    East = FormatDEMText(EastGrid);
    TDEMInfo info;
    const auto raw = ReadRawProfiles(MergeWE(West, East, 0.0), info);
    ASSERT_EQ(raw.size(), 6u);
    EXPECT_EQ(raw[4].Header.Y0, South0 - 2 * Spacing);
    EXPECT_EQ(raw[4].Header.M, 12);
    EXPECT_EQ(raw[4].Values.front(), 2000);
    EXPECT_EQ(raw[4].Values[7], 1040);
}

TEST_F(TWestEastFixture, PanZeroKeepsTheWestFileAndPanOneTakesTheEastFile)
{
    const TDEMArray keepWest = LoadText(MergeWE(West, East, 0.0));
    EXPECT_EQ(keepWest.Info.MapName, " West/East Merged: w.dem(100%) and e.dem");
    for (int32_t c = 0; c < 6; ++c)
        EXPECT_EQ(ColumnOf(keepWest, c), ColumnOf(WestGrid, c)) << c;

    // Pan 1: the last two west profiles pair with the first two east ones; the rest is east.
    const TDEMArray takeEast = LoadText(MergeWE(West, East, 1.0));
    EXPECT_EQ(takeEast.Info.MapName, " West/East Merged: w.dem(0%) and e.dem");
    ASSERT_EQ(takeEast.Cols(), 6);
    for (int32_t c = 2; c < 6; ++c)
        EXPECT_EQ(ColumnOf(takeEast, c), ColumnOf(EastGrid, c)) << c;
}

TEST_F(TWestEastFixture, CopiesTheRestOfTheWestFileAsItStands)
{
    const std::string trailer = "     1     2     3 RECORD C";
    const std::string text = MergeWE(West + trailer, East + "IGNORED", 0.5);
    EXPECT_EQ(text.substr(text.size() - trailer.size()), trailer);
    EXPECT_EQ(text.size() % 1024, trailer.size());
}

TEST_F(TWestEastFixture, ReportsProgressEveryTwelfthStepAndResetsTheGauge)
{
    WestGrid = MakeGrid(30, 5, West0, South0, 1000);
    EastGrid = MakeGrid(30, 5, West0 + 29 * Spacing, South0, 2000);
    std::vector<std::pair<int, int>> calls;
    TMergeCallbacks callbacks;
    callbacks.Progress = [&](int position, int maximum) { calls.emplace_back(position, maximum); };
    MergeWE(FormatDEMText(WestGrid), FormatDEMText(EastGrid), 0.5, callbacks);
    // shift 15, westTail 15: maximum 45, steps 0 ... 44.
    const std::vector<std::pair<int, int>> expected = {{0, 45}, {0, 45}, {12, 45}, {24, 45}, {36, 45}, {0, 45}};
    EXPECT_EQ(calls, expected);
}

TEST(MergeWestEast, MergesHalvesOfARealFileBackIntoTheMiddleOfIt)
{
    TDEMArray whole;
    LoadDEMFile(test::SamplesDir() / "jacksboro.dem", whole);
    ASSERT_EQ(whole.Cols(), 403);
    // Halves of 202 and 201 profiles side by side, 3 arc-seconds apart.
    auto slice = [&](int32_t first, int32_t count) {
        TDEMArray part;
        part.Info = whole.Info;
        part.SetSize(count, whole.Rows());
        for (int32_t c = 0; c < count; ++c)
            std::copy(whole.Column(first + c), whole.Column(first + c) + whole.Rows(), part.Column(c));
        const double x = whole.Info.Resolution[0];
        const double westEast = whole.Info.Corners[cnSW].East + first * x;
        for (TCorner corner : {cnSW, cnNW})
            part.Info.Corners[corner].East = westEast;
        for (TCorner corner : {cnNE, cnSE})
            part.Info.Corners[corner].East = westEast + (count - 1) * x;
        return FormatDEMText(part);
    };
    std::vector<std::string> questions;
    const TDEMArray merged = LoadText(MergeWE(slice(0, 202), slice(202, 201), 0.5, AnswerYes(&questions)));
    EXPECT_TRUE(questions.empty());
    // common 201, shift 100: the west file's profiles 100 ... 201, then the east file's 0 ... 99.
    ASSERT_EQ(merged.Cols(), 202);
    ASSERT_EQ(merged.Rows(), whole.Rows());
    for (int32_t c = 0; c < 202; ++c)
        ASSERT_EQ(ColumnOf(merged, c), ColumnOf(whole, 100 + c)) << c;
}

// ---- Compatibility questions and refusals -------------------------------------------------

TEST(MergeCompatibility, AsksWhenTheSeamCornersLieMoreThanTenApart)
{
    struct TCase {
        double gap;
        int32_t eastGroundRef;
        const char* question; // nullptr: no question
    };
    const TCase cases[] = {
        {10.00, 1, nullptr},
        {10.01, 1, "DEM Files Are 10.01 Meters Appart\r\nMerge Anyway?"},
        {-250.0, 1, "DEM Files Are 250.00 Meters Appart\r\nMerge Anyway?"},
        {0.0, 0, "DEM Files Are Different Types\r\nMerge Anyway?"},
    };
    const TDEMArray westGrid = MakeGrid(4, 3, West0, South0, 100);
    const std::string west = FormatDEMText(westGrid);
    for (const TCase& c : cases) {
        TDEMArray eastGrid = MakeGrid(4, 3, West0 + 3 * Spacing + c.gap, South0, 200);
        eastGrid.Info.GroundRef = c.eastGroundRef;
        const std::string east = FormatDEMText(eastGrid);
        std::vector<std::string> questions;
        EXPECT_TRUE(MergeWestEastData({Bytes(west), "w"}, {Bytes(east), "e"}, 0.5, AnswerYes(&questions)));
        if (c.question) {
            EXPECT_THAT(questions, ::testing::ElementsAre(c.question)) << c.gap;
            // No answer means no: a missing Confirm refuses.
            EXPECT_FALSE(MergeWestEastData({Bytes(west), "w"}, {Bytes(east), "e"}, 0.5, {}));
        } else {
            EXPECT_TRUE(questions.empty()) << c.gap;
        }
    }
}

TEST(MergeFiles, RefusalAndFailureLeaveAnExistingOutputUntouched)
{
    test::TTempDir dir;
    const TDEMArray westGrid = MakeGrid(4, 3, West0, South0, 100);
    const TDEMArray eastGrid = MakeGrid(4, 3, West0 + 3 * Spacing + 50.0, South0, 200);
    const std::string west = FormatDEMText(westGrid);
    const std::string east = FormatDEMText(eastGrid);
    test::WriteFileText(dir / "w.dem", west);
    test::WriteFileText(dir / "e.dem", east);
    test::WriteFileText(dir / "cut.dem", east.substr(0, 3000));
    test::WriteFileText(dir / "out.dem", "previous result");

    TMergeCallbacks refuse;
    refuse.Confirm = [](const std::string&) { return false; };
    EXPECT_FALSE(MergeWestEast(dir / "w.dem", dir / "e.dem", dir / "out.dem", 0.5, refuse));
    EXPECT_FALSE(MergeSouthNorth(dir / "w.dem", dir / "e.dem", dir / "out.dem", 0.5, refuse));
    EXPECT_THROW(MergeWestEast(dir / "w.dem", dir / "cut.dem", dir / "out.dem", 0.5, AnswerYes()), EKorvelaError);
    try {
        MergeWestEast(dir / "w.dem", dir / "missing.dem", dir / "out.dem", 0.5, AnswerYes());
        ADD_FAILURE() << "a missing input merged";
    } catch (const EKorvelaError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + (dir / "missing.dem").string());
    }
    EXPECT_EQ(test::ReadFileText(dir / "out.dem"), "previous result");

    ASSERT_TRUE(MergeWestEast(dir / "w.dem", dir / "e.dem", dir / "out.dem", 0.0, AnswerYes()));
    TDEMArray merged;
    LoadDEMFile(dir / "out.dem", merged);
    EXPECT_EQ(merged.Info.MapName, " West/East Merged: w.dem(100%) and e.dem");
    EXPECT_EQ(ColumnOf(merged, 3), ColumnOf(westGrid, 3));
}

TEST(MergeMapName, CutsTo144Characters)
{
    const std::string name = MergedMapName("West/East Merged: ", std::string(100, 'w'), std::string(100, 'e'), 0.25);
    EXPECT_EQ(name.size(), 144u);
    EXPECT_EQ(name.substr(117, 14), "w(75%) and eee");
}

// ---- South-north merge --------------------------------------------------------------------

TEST(MergeSouthNorth, JoinsTheUpperHalfOfTheSouthFileToTheLowerHalfOfTheNorthFile)
{
    const TDEMArray south = MakeGrid(4, 6, West0, South0, 1000);
    const TDEMArray north = MakeGrid(4, 6, West0, South0 + 6 * Spacing, 2000);
    std::vector<std::string> questions;
    const std::string text = MergeSN(FormatDEMText(south), FormatDEMText(north), 0.5, AnswerYes(&questions));
    EXPECT_TRUE(questions.empty());
    const TDEMArray merged = LoadText(text);
    EXPECT_EQ(merged.Info.MapName, " South/North Merged: s.dem(50%) and n.dem");
    EXPECT_EQ(merged.Info.ErrorCount, 0) << merged.Info.ErrorText;
    EXPECT_DOUBLE_EQ(merged.Info.Corners[cnSW].North, South0 + 3 * Spacing);
    EXPECT_DOUBLE_EQ(merged.Info.Corners[cnNE].North, South0 + 9 * Spacing);
    ASSERT_EQ(merged.Cols(), 4);
    ASSERT_EQ(merged.Rows(), 6);
    for (int32_t c = 0; c < 4; ++c) {
        const int32_t s = 1000 + 10 * c;
        const int32_t n = 2000 + 10 * c;
        EXPECT_EQ(ColumnOf(merged, c), (std::vector<int32_t>{s + 3, s + 4, s + 5, n, n + 1, n + 2})) << c;
    }
}

TEST(MergeSouthNorth, FillsTheGapBetweenDistantFilesWithTheLowestElevation)
{
    // Five rows are missing between the south file's top row and the north file's first.
    const TDEMArray south = MakeGrid(2, 6, West0, South0, 1000);
    const TDEMArray north = MakeGrid(2, 6, West0, South0 + 11 * Spacing, 2000);
    std::vector<std::string> questions;
    const TDEMArray merged =
        LoadText(MergeSN(FormatDEMText(south), FormatDEMText(north), 0.5, AnswerYes(&questions)));
    EXPECT_THAT(questions, ::testing::ElementsAre("DEM Files Are 150.00 Meters Appart\r\nMerge Anyway?"));
    ASSERT_EQ(merged.Rows(), 11);
    const int32_t f = 1000;
    EXPECT_EQ(ColumnOf(merged, 1), (std::vector<int32_t>{1013, 1014, 1015, f, f, f, f, f, 2010, 2011, 2012}));
}

TEST(MergeSouthNorth, RefusesGapsThatNeedMoreFillerThanTheFilesHold)
{
    const std::string south = FormatDEMText(MakeGrid(2, 6, West0, South0, 1000));
    const std::string north = FormatDEMText(MakeGrid(2, 6, West0, South0 + 1e6, 2000));
    try {
        MergeSN(south, north, 0.5, AnswerYes());
        ADD_FAILURE() << "a 33000-row gap was filled";
    } catch (const EKorvelaError& error) {
        EXPECT_THAT(error.what(), HasSubstr("too far apart"));
    }
}

TEST(MergeSouthNorth, WritesColumnsThatDoNotLineUpFromWestToEast)
{
    // North profiles every 60 m against south ones every 30 m: x0 matches at 0 and 60 only.
    const TDEMArray south = MakeGrid(4, 4, West0, South0, 1000);
    const TDEMArray north = MakeGrid(4, 4, West0, South0 + 4 * Spacing, 2000, 60.0);
    TDEMInfo info;
    const auto raw = ReadRawProfiles(MergeSN(FormatDEMText(south), FormatDEMText(north), 0.5, AnswerYes()), info);
    EXPECT_EQ(info.ProfileRows, 1);
    ASSERT_EQ(info.ProfileCols, 6);
    ExpectNumberedInOrder(raw);
    const double x0[] = {0, 30, 60, 90, 120, 180};
    const int32_t first[] = {1002, 1012, 1022, 1032, 2020, 2030};
    const int64_t length[] = {4, 2, 4, 2, 2, 2};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(raw[i].Header.X0, West0 + x0[i]) << i;
        EXPECT_EQ(raw[i].Values.front(), first[i]) << i;
        EXPECT_EQ(raw[i].Header.Length(), length[i]) << i;
    }
}

// ---- Sizes ----------------------------------------------------------------------------------

TEST(MergeSizes, ProfilesLongerThan1200ElevationsMergeWhole)
{
    const TDEMArray west = MakeGrid(3, 1500, West0, South0, 1000);
    const TDEMArray east = MakeGrid(3, 1500, West0 + 2 * Spacing, South0, 2000);
    const TDEMArray merged = LoadText(MergeWE(FormatDEMText(west), FormatDEMText(east), 1.0));
    ASSERT_EQ(merged.Rows(), 1500);
    EXPECT_EQ(ColumnOf(merged, 2), ColumnOf(east, 2));
    const TDEMArray north = MakeGrid(3, 1500, West0, South0 + 1500 * Spacing, 3000);
    const TDEMArray sn = LoadText(MergeSN(FormatDEMText(west), FormatDEMText(north), 1.0));
    EXPECT_EQ(ColumnOf(sn, 1), ColumnOf(north, 1));
}

// Replaces the text of one field (`offset` into the data, `width` characters).
std::string Patched(std::string text, size_t offset, const std::string& field)
{
    text.replace(offset, field.size(), field);
    return text;
}

TEST(MergeSizes, RefusesSizesTheFileCannotHold)
{
    const std::string good = FormatDEMText(MakeGrid(3, 4, West0, South0, 1000));
    const std::string east = FormatDEMText(MakeGrid(3, 4, West0 + 2 * Spacing, South0, 2000));
    // Record A: SW North at 570, SE North at 714, ProfileRows at 852, ProfileCols at 858; a
    // profile's m at 12, n at 18 and x0 at 24 of its block.
    const struct {
        const char* name;
        std::string west;
        const char* message;
    } cases[] = {
        {"negative columns", Patched(good, 858, "    -3"), "negative number of profiles"},
        {"negative rows and columns", Patched(Patched(good, 852, "    -1"), 858, "    -3"), "negative number"},
        {"count beyond 32 bits", Patched(Patched(good, 852, "999999"), 858, "999999"), "claims 999998000001 profiles"},
        {"more profiles than blocks", Patched(good, 858, "     4"), "claims 4 profiles"},
        {"negative length", Patched(good, 1024 + 12, "    -4"), "negative number of elevations"},
        {"length beyond the file", Patched(Patched(good, 1024 + 12, "999999"), 1024 + 18, "999999"),
         "claims 999998000001 elevations"},
        {"empty real field", Patched(good, 1024 + 24, std::string(24, ' ')), "is not a valid floating point value"},
        {"corners beyond the range of numbers",
         Patched(Patched(good, 570, FormatD24(-1.7e308)), 714, FormatD24(1.7e308)),
         "exceed the range of numbers"},
    };
    for (const auto& c : cases) {
        try {
            MergeWE(c.west, east, 0.5);
            ADD_FAILURE() << c.name << " merged";
        } catch (const EKorvelaError& error) {
            EXPECT_THAT(error.what(), HasSubstr(c.message)) << c.name;
        }
    }
}

TEST(MergeSizes, EveryTruncationOfEitherInputFailsCleanly)
{
    const std::string west = FormatDEMText(MakeGrid(3, 200, West0, South0, 1000));
    const std::string east = FormatDEMText(MakeGrid(3, 200, West0 + 2 * Spacing, South0, 2000));
    // Cuts before the last block leave fields unread; within it only padding may be missing.
    for (size_t length = 0; length + 1024 <= west.size(); length += 7) {
        const std::string westCut = west.substr(0, length);
        const std::string eastCut = east.substr(0, length);
        EXPECT_THROW(MergeWE(westCut, east, 0.5), EKorvelaError) << length;
        EXPECT_THROW(MergeWE(west, eastCut, 1.0), EKorvelaError) << length; // pan 1 reads every east profile
        EXPECT_THROW(MergeSN(westCut, east, 0.5, AnswerYes()), EKorvelaError) << length;
        EXPECT_THROW(MergeSN(west, eastCut, 0.5, AnswerYes()), EKorvelaError) << length;
    }
}

} // namespace
} // namespace kv
