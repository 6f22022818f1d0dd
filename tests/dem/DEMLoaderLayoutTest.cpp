// How the reader sizes the grid from record A and places each profile in it, and which
// headers it refuses before allocating.
#include "dem/DEMLoader.h"

#include "DEMRecords.h"
#include "platform/KVError.h"
#include "support/DEMFixtures.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

using testing::HasSubstr;
using testing::ThrowsMessage;

struct TProfile {
    double Y0 = 0.0;
    std::vector<int32_t> Elevations;
};

// A file of record A and the given profiles, written field by field.
std::string BuildFile(TDEMInfo info, const std::vector<TProfile>& profiles)
{
    TDEMBlockWriter writer;
    WriteRecordA(writer, info);
    int32_t col = 0;
    for (const TProfile& profile : profiles) {
        TProfileHeader header;
        header.Row = 1;
        header.Col = ++col;
        header.M = static_cast<int32_t>(profile.Elevations.size());
        header.N = 1;
        header.Y0 = profile.Y0;
        WriteProfileHeader(writer, header);
        for (int32_t value : profile.Elevations)
            writer.PutInt(value);
        writer.Flush();
    }
    return writer.TakeOutput();
}

// South edge 1000, 10 rows of 30 m: north edge 1300.
TDEMInfo TenRowHeader(int32_t profiles)
{
    TDEMInfo info;
    info.GroundRef = 1;
    info.Resolution = {30.0, 30.0, 1.0};
    info.Corners = {{{0.0, 1000.0}, {0.0, 1300.0}, {60.0, 1300.0}, {60.0, 1000.0}}};
    info.ProfileRows = 1;
    info.ProfileCols = profiles;
    return info;
}

std::vector<int32_t> Column(const TDEMArray& dem, int32_t col)
{
    return std::vector<int32_t>(dem.Column(col), dem.Column(col) + dem.Rows());
}

constexpr int32_t V = VoidValue;

TEST(ProfilePlacement, StartsAtTheRowOfItsFirstNorthingRoundedHalfToEven)
{
    const struct {
        const char* name;
        double y0;
        std::vector<int32_t> expected;
        int32_t outOfBounds;
    } cases[] = {
        {"south edge", 1000.0, {1, 2, 3, 4, V, V, V, V, V, V}, 0},
        {"row 2", 1060.0, {V, V, 1, 2, 3, 4, V, V, V, V}, 0},
        {"2.5 rounds to 2", 1075.0, {V, V, 1, 2, 3, 4, V, V, V, V}, 0},
        {"3.5 rounds to 4", 1105.0, {V, V, V, V, 1, 2, 3, 4, V, V}, 0},
        {"runs past the north edge", 1240.0, {V, V, V, V, V, V, V, V, 1, 2}, 0},
        {"start on the north edge stores nothing", 1300.0, {V, V, V, V, V, V, V, V, V, V}, 0},
        {"below the south edge", 970.0, {1, 2, 3, 4, V, V, V, V, V, V}, 1},
        {"beyond the north edge", 1320.0, {1, 2, 3, 4, V, V, V, V, V, V}, 1},
        {"far off", 1.0e300, {1, 2, 3, 4, V, V, V, V, V, V}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TDEMArray dem;
        LoadDEMStream(BuildFile(TenRowHeader(1), {{c.y0, {1, 2, 3, 4}}}), dem);
        ASSERT_EQ(dem.Cols(), 1);
        EXPECT_EQ(Column(dem, 0), c.expected);
        EXPECT_EQ(dem.Info.ErrorText,
                  c.outOfBounds ? "Profiles Out Of Bounds: " + std::to_string(c.outOfBounds) + "\r\n" : "");
    }
}

TEST(ProfilePlacement, VoidThresholdAndDataRangeCountOnlyValidCells)
{
    TDEMArray dem;
    LoadDEMStream(BuildFile(TenRowHeader(2), {{1000.0, {-999, -1000, 5, -32767}}, {900.0, {40000, 7}}}), dem);
    EXPECT_EQ(Column(dem, 0), (std::vector<int32_t>{-999, V, 5, V, V, V, V, V, V, V}));
    EXPECT_EQ(Column(dem, 1), (std::vector<int32_t>{40000, 7, V, V, V, V, V, V, V, V}));
    EXPECT_EQ(dem.Info.DataMin, -999.0);
    EXPECT_EQ(dem.Info.DataMax, 40000.0);
    EXPECT_EQ(dem.Info.ErrorCount, 1);

    TDEMArray allVoid;
    LoadDEMStream(BuildFile(TenRowHeader(1), {{1000.0, {-5000}}}), allVoid);
    EXPECT_EQ(allVoid.Info.DataMin, 32767.0);
    EXPECT_EQ(allVoid.Info.DataMax, -32767.0);
}

TEST(GridLayout, UsesTheLowestSouthAndHighestNorthCorner)
{
    TDEMArray grid = test::MakeSampleDEM(2, 471);
    TDEMInfo& info = grid.Info;
    info.Corners = {{{296149.78125, 4388623.5}, {296517.28125, 4402498.5}, {307227.9375, 4402221.5},
                     {306879.8125, 4388347.0}}};
    EXPECT_EQ(BaseNorthOf(info), 4388347.0);
    EXPECT_EQ(NorthSpanOf(info), 14151.5);
    TDEMArray dem;
    LoadDEMStream(BuildFile(info, {{4388347.0, {10, 11}}, {4388347.0 + 30.0 * 470, {12, 13}}}), dem);
    EXPECT_EQ(dem.Cols(), 2);
    EXPECT_EQ(dem.Rows(), 471);
    EXPECT_EQ(dem.GetValue(0, 1), 11);
    // 14100 m of a 14151.5 m span over 471 rows: row 469.29, so 469.
    EXPECT_EQ(dem.GetValue(1, 469), 12);
    EXPECT_EQ(dem.GetValue(1, 470), 13);
    EXPECT_EQ(dem.Info.ErrorCount, 0);
}

// Headers whose sizes the data cannot back are refused before the grid is touched.
TEST(GridLayout, RefusesSizesTheDataCannotHold)
{
    const struct {
        const char* name;
        void (*change)(TDEMInfo&);
        const char* message;
    } cases[] = {
        {"negative profile count", [](TDEMInfo& i) { i.ProfileCols = -3; },
         "DEM file: the file declares a negative number of profiles: 1 rows by -3 columns of profiles"},
        {"negative rows of profiles", [](TDEMInfo& i) { i.ProfileRows = -1; },
         "DEM file: the file declares a negative number of profiles: -1 rows by 2 columns of profiles"},
        {"more profiles than blocks", [](TDEMInfo& i) { i.ProfileRows = 999; },
         "DEM file: the file declares 1998 profiles, but its 3072 bytes can hold at most 4"},
        {"product beyond 32 bits", [](TDEMInfo& i) { i.ProfileRows = 99999, i.ProfileCols = 99999; },
         "DEM file: the file declares 9999800001 profiles, but its 3072 bytes can hold at most 4"},
        {"y spacing 0", [](TDEMInfo& i) { i.Resolution[1] = 0.0; },
         "DEM file: the file has a y spacing of 0, so its grid rows cannot be computed"},
        {"north span 0", [](TDEMInfo& i) { i.Corners[cnNW].North = i.Corners[cnNE].North = 1000.0; },
         "DEM file: the file has a north span of 0, so its profiles cannot be placed"},
        {"north below south", [](TDEMInfo& i) { i.Corners[cnNW].North = i.Corners[cnNE].North = 700.0; },
         "DEM file: the file has an invalid grid height: a north span of -300 over a y spacing of 30 gives -10 rows"},
        {"row count overflows", [](TDEMInfo& i) { i.Corners[cnNW].North = 1e308, i.Resolution[1] = 1e-300; },
         "DEM file: the file has an invalid grid height: a north span of 1e+308 over a y spacing of 1e-300 gives inf rows"},
        {"more rows than the data", [](TDEMInfo& i) { i.Resolution[1] = 0.0001; },
         "DEM file: the file declares 3000000 grid rows, but its 3072 bytes can hold at most 513 elevations per profile"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TDEMInfo info = TenRowHeader(2);
        c.change(info);
        const std::string text = BuildFile(info, {{1000.0, {1}}, {1000.0, {2}}});
        TDEMArray dem;
        dem.SetValue(4, 4, 77);
        EXPECT_THAT([&] { LoadDEMStream(text, dem); }, ThrowsMessage<EKorvelaError>(testing::StrEq(c.message)));
        EXPECT_EQ(dem.Cols(), 5);
        EXPECT_EQ(dem.Rows(), 5);
        EXPECT_EQ(dem.GetValue(4, 4), 77);
    }
}

// Profiles and rows each within what the data could hold, but a grid of more than 4 cells per
// elevation the bytes could carry is refused before it is allocated: a 1 MiB file cannot cost
// 700 MB. Profiles may cover part of the grid: up to the limit the file loads.
TEST(GridLayout, RefusesMoreCellsThanTheDataCouldFill)
{
    const struct {
        int32_t profiles;
        int32_t rows;
        size_t bytes;
        const char* message; // empty: loads
    } cases[] = {
        {1024, 174762, 1 << 20,
         "DEM file: the file declares a grid of 1024 by 174762 cells, more than 4 times the 174763 elevations its "
         "1048576 bytes can hold"},
        {5, 820, 6 * 1024, ""},
        {5, 821, 6 * 1024,
         "DEM file: the file declares a grid of 5 by 821 cells, more than 4 times the 1025 elevations its 6144 bytes "
         "can hold"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.profiles) + " by " + std::to_string(c.rows));
        TDEMInfo info = TenRowHeader(c.profiles);
        info.Corners[cnNW].North = info.Corners[cnNE].North = 1000.0 + 30.0 * c.rows;
        std::string text = BuildFile(info, std::vector<TProfile>(5, {1000.0, {1, 2, 3}}));
        text.resize(c.bytes, ' ');
        TDEMArray dem;
        dem.SetValue(4, 4, 77);
        if (*c.message == '\0') {
            LoadDEMStream(text, dem);
            EXPECT_EQ(dem.Cols(), c.profiles);
            EXPECT_EQ(dem.Rows(), c.rows);
            continue;
        }
        EXPECT_THAT([&] { LoadDEMStream(text, dem); }, ThrowsMessage<EKorvelaError>(testing::StrEq(c.message)));
        EXPECT_EQ(dem.Cols(), 5);
        EXPECT_EQ(dem.GetValue(4, 4), 77);
    }
}

// A header that leaves the grid without a column or a row is no DEM: an error, not an empty
// success, and the grid the program holds stays as it was.
TEST(GridLayout, GridsWithoutAColumnOrARowAreRefused)
{
    TDEMInfo noProfiles = TenRowHeader(0);
    noProfiles.Resolution[1] = 0.0; // never consulted without profiles
    TDEMInfo noRows = TenRowHeader(1);
    noRows.Resolution[1] = 1e9;     // a north span shorter than one spacing
    const struct {
        const char* name;
        std::string file;
        const char* message;
    } cases[] = {
        {"no profiles", BuildFile(noProfiles, {}), "x.dem: no elevations: record A declares 1 rows by 0 columns of profiles"},
        {"no rows", BuildFile(noRows, {{1000.0, {1}}}), "x.dem: no elevations: a north span of"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TDEMArray dem;
        EXPECT_THAT([&] { LoadDEMStream(c.file, dem, "x.dem"); },
                    ThrowsMessage<EKorvelaError>(testing::StartsWith(c.message)));
        EXPECT_EQ(dem.Cols(), 5);
    }
}

TEST(ProfileFields, MalformedElevationsFailWithTheFieldText)
{
    std::string text = BuildFile(TenRowHeader(1), {{1000.0, {1, 2, 3}}});
    text.replace(1024 + 144 + 6, 6, "  2x  ");
    TDEMArray dem;
    EXPECT_THAT([&] { LoadDEMStream(text, dem, "x.dem"); },
                ThrowsMessage<EKorvelaError>(
                    testing::StrEq("x.dem: byte 1174, profile 1, elevation 2: '2x' is not a valid integer value")));
    EXPECT_EQ(dem.GetValue(0, 0), 1);
}

} // namespace
} // namespace kv
