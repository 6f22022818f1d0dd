#include "terrain/STLWriter.h"

#include "platform/KVError.h"
#include "terrain/TerrainFixtures.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <regex>
#include <unistd.h>

namespace kv {
namespace {

using test::GridOf;

using TPoint = std::array<float, 3>;

struct TReadTriangle {
    TPoint Normal;
    TPoint Corner[3];
};

float FloatAt(const std::string& bytes, size_t offset)
{
    uint32_t bits = 0;
    for (int k = 3; k >= 0; --k)
        bits = (bits << 8) | uint8_t(bytes[offset + size_t(k)]);
    return std::bit_cast<float>(bits);
}

// The file read back as a reader would, checking its layout on the way.
std::vector<TReadTriangle> ReadSTL(const std::string& bytes)
{
    EXPECT_GE(bytes.size(), 84u);
    EXPECT_NE(bytes.compare(0, 5, "solid"), 0) << "a binary header must not look like the text form";
    uint32_t count = 0;
    for (int k = 3; k >= 0; --k)
        count = (count << 8) | uint8_t(bytes[80 + size_t(k)]);
    EXPECT_EQ(bytes.size(), 84 + 50 * size_t(count));
    std::vector<TReadTriangle> triangles(count);
    for (size_t t = 0; t < count; ++t) {
        const size_t at = 84 + 50 * t;
        for (size_t k = 0; k < 3; ++k)
            triangles[t].Normal[k] = FloatAt(bytes, at + 4 * k);
        for (size_t c = 0; c < 3; ++c)
            for (size_t k = 0; k < 3; ++k)
                triangles[t].Corner[c][k] = FloatAt(bytes, at + 12 + 12 * c + 4 * k);
        EXPECT_EQ(bytes[at + 48], 0);
        EXPECT_EQ(bytes[at + 49], 0);
    }
    return triangles;
}

struct TSolidReport {
    size_t Triangles = 0;
    size_t BadEdges = 0; // directed edges not matched by exactly one opposite edge
    size_t ZeroArea = 0;
    size_t WrongNormals = 0; // stored normals that disagree with the winding
    double Volume = 0;       // positive when the normals point outward
    TPoint Min{1e30f, 1e30f, 1e30f};
    TPoint Max{-1e30f, -1e30f, -1e30f};
};

// A closed, consistently oriented solid: every edge a -> b appears once and b -> a once.
TSolidReport CheckSolid(const std::vector<TReadTriangle>& triangles)
{
    TSolidReport report;
    report.Triangles = triangles.size();
    std::map<std::pair<TPoint, TPoint>, int> edges;
    for (const TReadTriangle& t : triangles) {
        for (int c = 0; c < 3; ++c) {
            ++edges[{t.Corner[c], t.Corner[(c + 1) % 3]}];
            for (int k = 0; k < 3; ++k) {
                report.Min[size_t(k)] = std::min(report.Min[size_t(k)], t.Corner[c][size_t(k)]);
                report.Max[size_t(k)] = std::max(report.Max[size_t(k)], t.Corner[c][size_t(k)]);
            }
        }
        double a[3], b[3], n[3];
        for (size_t k = 0; k < 3; ++k) {
            a[k] = double(t.Corner[1][k]) - t.Corner[0][k];
            b[k] = double(t.Corner[2][k]) - t.Corner[0][k];
        }
        n[0] = a[1] * b[2] - a[2] * b[1];
        n[1] = a[2] * b[0] - a[0] * b[2];
        n[2] = a[0] * b[1] - a[1] * b[0];
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length == 0) {
            ++report.ZeroArea;
            continue;
        }
        if (n[0] * t.Normal[0] + n[1] * t.Normal[1] + n[2] * t.Normal[2] < 0.999 * length)
            ++report.WrongNormals;
        const auto& p = t.Corner;
        report.Volume += (double(p[0][0]) * (double(p[1][1]) * p[2][2] - double(p[1][2]) * p[2][1]) -
                          double(p[0][1]) * (double(p[1][0]) * p[2][2] - double(p[1][2]) * p[2][0]) +
                          double(p[0][2]) * (double(p[1][0]) * p[2][1] - double(p[1][1]) * p[2][0])) /
                         6.0;
    }
    for (const auto& [edge, count] : edges) {
        const auto opposite = edges.find({edge.second, edge.first});
        if (count != 1 || opposite == edges.end() || opposite->second != 1)
            ++report.BadEdges;
    }
    return report;
}

TTerrainSamples SamplesOf(const TTopoGrid& grid, int32_t budgetK = 1000, double dx = 10, double dy = 10)
{
    TTerrainSource source;
    source.Grid = &grid;
    source.EastSpacing = dx;
    source.NorthSpacing = dy;
    return SampleTerrain(source, budgetK);
}

std::unique_ptr<TTopoGrid> Hills(int32_t cols, int32_t rows)
{
    auto grid = std::make_unique<TTopoGrid>();
    for (int32_t c = 0; c < cols; ++c)
        for (int32_t r = 0; r < rows; ++r)
            grid->Set(c, r, 300 + 40 * std::sin(c * 0.3) * std::cos(r * 0.2) + r);
    grid->SetSize(cols, rows);
    return grid;
}

struct TSolidCase {
    const char* Name;
    std::unique_ptr<TTopoGrid> Grid;
    int32_t BudgetK;
};

std::vector<TSolidCase> SolidCases()
{
    std::vector<TSolidCase> cases;
    cases.push_back({"2 x 2", GridOf({{10, 20}, {30, 40}}), 1000});
    cases.push_back(
        {"voids", GridOf({{TopoVoidValue, 5, 9}, {7, TopoVoidValue, 3}, {1, 2, TopoVoidValue}, {4, 4, 4}}), 1000});
    cases.push_back({"thinned hills", Hills(120, 70), 4});
    return cases;
}

TEST(STLWriterTest, SolidsAreClosedOrientedOutwardAndSitOnTheOrigin)
{
    for (const TSolidCase& c : SolidCases()) {
        SCOPED_TRACE(c.Name);
        const TTerrainSamples samples = SamplesOf(*c.Grid, c.BudgetK);
        const int32_t nx = samples.Counts.NX;
        const int32_t ny = samples.Counts.NY;
        const TPrintSolid solid = BuildPrintSolid(samples, {});
        const TSolidReport report = CheckSolid(ReadSTL(STLBytes(solid)));
        EXPECT_EQ(report.Triangles, size_t(2 * (nx - 1) * (ny - 1) + 3 * 2 * (nx - 1 + ny - 1)));
        EXPECT_EQ(report.BadEdges, 0u);
        EXPECT_EQ(report.ZeroArea, 0u);
        EXPECT_EQ(report.WrongNormals, 0u);
        EXPECT_GT(report.Volume, 0);
        EXPECT_EQ(report.Min, (TPoint{0, 0, 0}));
        EXPECT_FLOAT_EQ(report.Max[0], float((nx - 1) * samples.StepX));
        EXPECT_FLOAT_EQ(report.Max[1], float((ny - 1) * samples.StepY));
        // Exaggeration 2 over the highest sample, on a base of 5 % of the grid's range.
        const double range = samples.Extents.Max - samples.Extents.Min;
        const double highest = *std::max_element(samples.Heights.begin(), samples.Heights.end());
        EXPECT_NEAR(report.Max[2], range * 2 * 0.05 + (highest - samples.Extents.Min) * 2, 1e-3);
    }
}

TEST(STLWriterTest, NorthIsUpTheYAxis)
{
    // Only the north-east sample is high: it must land at the largest x and y.
    const auto grid = GridOf({{0, 0, 100}, {0, 0, 0}});
    const TPrintSolid solid = BuildPrintSolid(SamplesOf(*grid), {});
    float highest = -1;
    TPoint at{};
    for (size_t k = 0; k < solid.Corners.size(); k += 3)
        if (solid.Corners[k + 2] > highest) {
            highest = solid.Corners[k + 2];
            at = {solid.Corners[k], solid.Corners[k + 1], solid.Corners[k + 2]};
        }
    EXPECT_EQ(at[0], 20);
    EXPECT_EQ(at[1], 10);
}

TEST(STLWriterTest, PrintSizeScalesTheLongerSideAndBaseMillimetresSetTheFloor)
{
    const auto grid = GridOf({{10, 20, 30, 40}, {30, 40, 50, 60}});
    const TTerrainSamples samples = SamplesOf(*grid, 1000, 100, 50); // 300 m by 50 m
    TPrintOptions options;
    options.PrintSizeMM = 150;
    options.BaseMM = 3;
    const TSolidReport report = CheckSolid(ReadSTL(STLBytes(BuildPrintSolid(samples, options))));
    EXPECT_EQ(report.BadEdges, 0u);
    EXPECT_FLOAT_EQ(report.Max[0], 150);
    EXPECT_FLOAT_EQ(report.Max[1], 25);
    // 0.5 mm a metre, heights doubled: 50 m of range is 50 mm above the 3 mm base.
    EXPECT_FLOAT_EQ(report.Max[2], 3 + 50 * 2 * 0.5);

    TPrintOptions realSize;
    realSize.BaseMM = 3;
    const TSolidReport metres = CheckSolid(ReadSTL(STLBytes(BuildPrintSolid(samples, realSize))));
    EXPECT_FLOAT_EQ(metres.Max[2], 0.003f + 100);
}

TEST(STLWriterTest, NothingSolidIsRefusedWithAReason)
{
    const auto row = GridOf({{1, 2, 3}});
    const auto flat = GridOf({{7, 7}, {7, 7}});
    const auto hill = GridOf({{1, 2}, {3, 4}});
    TPrintOptions zeroBase;
    zeroBase.BaseHeightPercent = 0;
    TPrintOptions negativeMM;
    negativeMM.BaseMM = -1;
    using testing::HasSubstr;
    using testing::ThrowsMessage;
    EXPECT_THAT([&] { BuildPrintSolid(SamplesOf(*row), {}); },
                ThrowsMessage<EKorvelaError>(HasSubstr("at least 2 samples in each direction")));
    EXPECT_THAT([&] { BuildPrintSolid(SamplesOf(*flat), {}); },
                ThrowsMessage<EKorvelaError>(HasSubstr("no thickness")));
    EXPECT_THAT([&] { BuildPrintSolid(SamplesOf(*hill), zeroBase); },
                ThrowsMessage<EKorvelaError>(HasSubstr("no thickness")));
    EXPECT_THAT([&] { BuildPrintSolid(SamplesOf(*hill), negativeMM); },
                ThrowsMessage<EKorvelaError>(HasSubstr("thicker than 0 mm")));
    // A flat terrain prints with a thickness given in millimetres.
    TPrintOptions millimetres;
    millimetres.BaseMM = 2;
    EXPECT_EQ(CheckSolid(ReadSTL(STLBytes(BuildPrintSolid(SamplesOf(*flat), millimetres)))).BadEdges, 0u);
}

// admesh, an independent STL checker, reads the file and finds nothing to repair.
TEST(STLWriterTest, AdmeshFindsNothingToRepair)
{
    if (std::system("admesh --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "admesh is not installed (scripts/install-deps.sh installs it)";
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("kv-stl-" + std::to_string(getpid()) + ".stl");
    for (const TSolidCase& c : SolidCases()) {
        SCOPED_TRACE(c.Name);
        WriteSTLFile(file, BuildPrintSolid(SamplesOf(*c.Grid, c.BudgetK), {}));
        std::string output;
        FILE* pipe = popen(("admesh '" + file.string() + "' 2>&1").c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char buffer[4096];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        EXPECT_EQ(pclose(pipe), 0);
        const auto figure = [&](const char* label) {
            std::smatch match;
            const std::regex pattern(std::string(label) + R"(\s*:\s*(-?[0-9.]+))");
            EXPECT_TRUE(std::regex_search(output, match, pattern)) << label << "\n" << output;
            return match.empty() ? -1.0 : std::stod(match[1].str());
        };
        EXPECT_EQ(figure("Total disconnected facets"), 0);
        EXPECT_EQ(figure("Number of parts"), 1);
        EXPECT_EQ(figure("Degenerate facets"), 0);
        EXPECT_EQ(figure("Edges fixed"), 0);
        EXPECT_EQ(figure("Facets reversed"), 0);
        EXPECT_EQ(figure("Backwards edges"), 0);
        EXPECT_EQ(figure("Normals fixed"), 0);
        EXPECT_GT(figure("Volume"), 0);
    }
    std::filesystem::remove(file);
}

} // namespace
} // namespace kv
