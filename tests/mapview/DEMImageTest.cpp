// The map drawing: shading greys, contour test, hand-computed pixels of small grids, and the
// parallel drawing against a plain one-cell-at-a-time drawing.

#include "mapview/DEMImage.h"
#include "mapview/MapCoords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace kv {
namespace {

const TUnits Meters{false};

TEST(DEMImage, ShadeGreysAtMediumContrast)
{
    struct TCase {
        int32_t Contrast;
        int64_t Difference;
        uint8_t Grey;
    };
    const TCase cases[] = {
        {3, -2, 136},
        {3, -1, 119},
        {3, 0, 119},
        {3, 1, 102},
        {3, 2, 85},
        {3, 7, 85},
        {3, 8, 68},
        {3, 35, 17},
        {3, 36, 0},
        {3, 1000, 0},
        {3, -1000, 255},
        {3, -36, 239},
        {0, -294, 239},
        {0, 293, 17},
        {6, 8, 0},
        {6, -9, 255},
        // A damaged contrast shades as "Medium".
        {7, -2, 136},
        {-1, 1, 102},
        {1000, 36, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Contrast << " " << c.Difference);
        EXPECT_EQ(ShadeGrey(c.Contrast, c.Difference), c.Grey);
    }
}

TEST(DEMImage, ShadeDifferenceByLight)
{
    // v = 10, previous 1, west 2, north-west 3, south-west 4.
    const int64_t expected[] = {9, -9, 8, -8, 6, -7, 7, -6};
    for (uint8_t light = 0; light < 8; ++light) {
        SCOPED_TRACE(int(light));
        EXPECT_EQ(ShadeDifference(light, 10, 1, 2, 3, 4), expected[light]);
    }
    EXPECT_EQ(ShadeDifference(8, 10, 1, 2, 3, 4), 0);
    EXPECT_EQ(ShadeDifference(255, 10, 1, 2, 3, 4), 0);
}

TEST(DEMImage, ContourCrossings)
{
    struct TCase {
        int64_t A, B;
        int32_t Interval;
        bool Crosses;
    };
    const TCase cases[] = {
        {9, 10, 10, true},
        {10, 19, 10, false},
        {10, 20, 10, true},
        {-5, 3, 10, false},
        {-15, -9, 10, false},
        {-15, 0, 10, true},
        {10, 9, 10, true},
        {-20, -10, 10, true},
        {-20, -11, 10, false},
        {5, 5, 0, false},
        {5, 6, 0, true},
        {5, 6, -3, true},
        {INT32_MIN, INT32_MAX, 1, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.A << " " << c.B << " " << c.Interval);
        EXPECT_EQ(CrossesContour(c.A, c.B, c.Interval), c.Crosses);
    }
}

TEST(DEMImage, ContourIntervalFromTheRange)
{
    struct TCase {
        int32_t GroundRef;
        double Min, Max;
        int32_t Interval;
    };
    const TCase cases[] = {
        {0, 1000, 1600, 20},     {1, 1000, 1600, 40}, {2, 1000, 1600, 40}, {1, 7, 7, 0},
        {0, 0, 75, 2},   // 2.5: halves to even
        {1, 0, 52.5, 4}, // 3.5
        {1, 0, 1e12, INT32_MAX},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Max);
        TDEMInfo info;
        info.GroundRef = c.GroundRef;
        info.DataMin = c.Min;
        info.DataMax = c.Max;
        EXPECT_EQ(ComputeImageContourInterval(info), c.Interval);
    }
}

// A grid from columns given south to north.
TDEMArray Grid(const std::vector<std::vector<int32_t>>& columns, double dataMin, double dataMax)
{
    TDEMArray dem;
    dem.SetSize(static_cast<int32_t>(columns.size()), static_cast<int32_t>(columns[0].size()));
    for (int32_t i = 0; i < dem.Cols(); ++i)
        for (int32_t j = 0; j < dem.Rows(); ++j)
            dem.SetValue(i, j, columns[size_t(i)][size_t(j)]);
    dem.Info.GroundRef = 1;
    dem.Info.ElevUnits = ucMeters;
    dem.Info.DataMin = dataMin;
    dem.Info.DataMax = dataMax;
    return dem;
}

TColorBar BarFor(const TDEMArray& dem, const TUnits& units)
{
    TColorBar bar;
    const TBarRange range = ColorBarRange(dem.Info, units);
    bar.SetRange(range.Top, range.Bottom);
    return bar;
}

TColor Grey(uint8_t g)
{
    return RGBColor(g, g, g);
}

constexpr int32_t V = VoidValue;

TEST(DEMImage, ContourAndColourPixelsOfASmallGrid)
{
    // Header range 0 .. 150: interval 10, and the previous value starts at 0.
    const TDEMArray dem = Grid({{11, 13, 10, V}, {12, 19, 20, 25}, {V, V, 24, 29}}, 0, 150);
    const TColorBar bar = BarFor(dem, Meters);
    TPlotOptions options;
    options.Colored = false;
    options.Contoured = true;
    TDEMImageState state;
    TBitmap bitmap;
    DrawElevationImage(bitmap, dem, options, bar, Meters, state, 1);
    EXPECT_EQ(options.ImageContourInterval, 10);
    ASSERT_EQ(bitmap.Width(), 7);
    ASSERT_EQ(bitmap.Height(), 8);
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);

    // Row j at y = 4 - j. Black: (0,4) 11 after the start value 0; (1,2) 20 after 19; (1,1) 25
    // against its west neighbour from the empty column buffer (0).
    std::vector<std::pair<int, int>> black = {{0, 4}, {1, 2}, {1, 1}};
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 7; ++x) {
            const bool isBlack = std::find(black.begin(), black.end(), std::make_pair(x, y)) != black.end();
            EXPECT_EQ(bitmap.GetPixel(x, y), isBlack ? clBlack : clWhite) << x << "," << y;
        }

    // A second drawing starts from the first one's column buffer: 25 now has 29 to its west.
    DrawElevationImage(bitmap, dem, options, bar, Meters, state, 1);
    EXPECT_EQ(bitmap.GetPixel(1, 1), clWhite);
    // Row 3 of column 2 is void: its entry keeps column 1's 19.
    EXPECT_EQ(state.ColumnBuffer, (std::vector<int32_t>{0, 29, 24, 19, 12, 0}));

    // Coloured: the band colour of each drawn cell, voids and the frame white.
    options.Colored = true;
    options.Contoured = false;
    DrawElevationImage(bitmap, dem, options, bar, Meters, state, 1);
    // The bar runs 150 .. 0 in 19 bands: 11 lies between boundaries 17 (15.79) and 18 (7.89),
    // band 18; 29 between boundaries 15 (31.58) and 16 (23.68), band 16.
    EXPECT_EQ(bitmap.GetPixel(0, 4), RGBColor(0, 0, 208));
    EXPECT_EQ(bitmap.GetPixel(2, 1), RGBColor(0, 191, 255));
    EXPECT_EQ(bitmap.GetPixel(1, 2), RGBColor(0, 127, 255)); // 20: band 17
    EXPECT_EQ(bitmap.GetPixel(0, 1), clWhite);
    EXPECT_EQ(bitmap.GetPixel(2, 4), clWhite);
    EXPECT_EQ(bitmap.GetPixel(0, 0), clWhite);
    EXPECT_EQ(bitmap.GetPixel(3, 2), clWhite);
}

TEST(DEMImage, FlatGridShading)
{
    // 3 x 3 cells of 100, medium contrast.
    const TDEMArray dem = Grid({{100, 100, 100}, {100, 100, 100}, {100, 100, 100}}, 100, 100);
    const TColorBar bar = BarFor(dem, Meters);
    struct TCase {
        uint8_t Light;
        // Greys of image rows 1 .. 3 (north to south), columns 0 .. 2.
        std::array<std::array<uint8_t, 3>, 3> Greys;
    };
    const TCase cases[] = {
        // North light: no difference anywhere, except the first cell against the start value 100.
        {ldN, {{{119, 119, 119}, {119, 119, 119}, {119, 119, 119}}}},
        // North-west: column 0 and the top row compare with buffer entries never drawn (0).
        {ldNW, {{{255, 255, 255}, {255, 119, 119}, {255, 119, 119}}}},
        // North-east: the bottom row's south-west neighbour lies below the map (0).
        {ldNE, {{{0, 119, 119}, {0, 119, 119}, {0, 0, 0}}}},
        {ldW, {{{255, 119, 119}, {255, 119, 119}, {255, 119, 119}}}},
        // A damaged light direction: no relief.
        {9, {{{119, 119, 119}, {119, 119, 119}, {119, 119, 119}}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(int(c.Light));
        TPlotOptions options;
        options.Colored = true; // the shading replaces the colour
        options.Contoured = true;
        options.Shaded = true;
        options.LightDirection = c.Light;
        TDEMImageState state;
        TBitmap bitmap;
        DrawElevationImage(bitmap, dem, options, bar, Meters, state, 1);
        EXPECT_EQ(options.ImageContourInterval, 0); // taken as 1: no pair of equal cells crosses
        for (int32_t y = 1; y <= 3; ++y)
            for (int32_t x = 0; x < 3; ++x)
                EXPECT_EQ(bitmap.GetPixel(x, y), Grey(c.Greys[size_t(y - 1)][size_t(x)])) << x << "," << y;
    }
}

TEST(DEMImage, ShadingAcrossVoidsAndColumns)
{
    // Light from the north compares each cell with the one drawn before it, across voids and from
    // the top of one column to the bottom of the next.
    const TDEMArray dem = Grid({{100, 101, V, 103}, {90, 92, 91, 91}}, 90, 103);
    const TColorBar bar = BarFor(dem, Meters);
    TPlotOptions options;
    options.Colored = false;
    options.Contoured = false;
    options.Shaded = true;
    options.LightDirection = ldN;
    TDEMImageState state;
    TBitmap bitmap;
    DrawElevationImage(bitmap, dem, options, bar, Meters, state, 1);
    EXPECT_EQ(bitmap.GetPixel(0, 4), Grey(68));  // 100 - 90 (the start value) = 10
    EXPECT_EQ(bitmap.GetPixel(0, 3), Grey(102)); // 101 - 100
    EXPECT_EQ(bitmap.GetPixel(0, 2), clWhite);   // void
    EXPECT_EQ(bitmap.GetPixel(0, 1), Grey(85));  // 103 - 101 across the void
    EXPECT_EQ(bitmap.GetPixel(1, 4), Grey(204)); // 90 - 103 from the previous column's top
    EXPECT_EQ(bitmap.GetPixel(1, 3), Grey(85));  // 92 - 90
    EXPECT_EQ(bitmap.GetPixel(1, 2), Grey(119)); // -1
    EXPECT_EQ(bitmap.GetPixel(1, 1), Grey(119)); // 0

    // UTM grids triple the difference: -1 becomes -3.
    TDEMArray utm = dem;
    utm.Info.IsUTM = true;
    DrawElevationImage(bitmap, utm, options, bar, Meters, state, 1);
    EXPECT_EQ(bitmap.GetPixel(1, 2), Grey(154));
    EXPECT_EQ(bitmap.GetPixel(0, 3), Grey(85)); // 3

    // South-west light in column 1: the neighbour below and to the west. Where that neighbour is
    // void, its buffer entry is what the last drawing left there (0 in a fresh state).
    options.LightDirection = ldSW;
    utm.Info.IsUTM = false;
    TDEMImageState fresh;
    DrawElevationImage(bitmap, utm, options, bar, Meters, fresh, 1);
    EXPECT_EQ(bitmap.GetPixel(1, 2), Grey(68));  // 101 - 91 = 10
    EXPECT_EQ(bitmap.GetPixel(1, 1), Grey(255)); // 0 (row 2 of column 0 is void) - 91
    EXPECT_EQ(bitmap.GetPixel(1, 3), Grey(68));  // 100 - 92 = 8
    EXPECT_EQ(bitmap.GetPixel(1, 4), Grey(255)); // the bottom row's south-west lies below the map: 0 - 90
}

TEST(DEMImage, ColourInTheWorkingUnits)
{
    // Cells in feet, shown in metres: a cell's colour is the band of its value in metres.
    TDEMArray dem = Grid({{0, 1000, 2000, 3000}}, 0, 3000);
    dem.Info.ElevUnits = ucFeet;
    const TColorBar bar = BarFor(dem, Meters); // 914 .. 0
    EXPECT_EQ(bar.Top(), 914);
    TPlotOptions options;
    options.Contoured = false;
    TDEMImageState state;
    TBitmap bitmap;
    DrawElevationImage(bitmap, dem, options, bar, Meters, state, 1);
    EXPECT_EQ(bitmap.GetPixel(0, 3), bar.GetBandColor(304.8));
    EXPECT_EQ(bitmap.GetPixel(0, 2), bar.GetBandColor(609.6));
    EXPECT_NE(bar.GetBandColor(304.8), bar.GetBandColor(609.6));
    // 3000 ft = 914.4 m lies above the bar's truncated top: the top band.
    EXPECT_EQ(bitmap.GetPixel(0, 1), RGBColor(255, 255, 255));
    EXPECT_EQ(bitmap.GetPixel(0, 4), RGBColor(0, 0, 128));
}

TEST(DEMImage, GridsTallerThanTheOldColumnBuffer)
{
    const int32_t rows = 1500;
    std::vector<std::vector<int32_t>> columns(2, std::vector<int32_t>(rows));
    for (int32_t j = 0; j < rows; ++j) {
        columns[0][size_t(j)] = j;
        columns[1][size_t(j)] = j + 5;
    }
    const TDEMArray dem = Grid(columns, 0, rows + 4);
    const TColorBar bar = BarFor(dem, Meters);
    TPlotOptions options;
    options.Colored = false;
    options.Contoured = false;
    options.Shaded = true;
    options.LightDirection = ldE; // v - west = 5 in column 1
    TDEMImageState state;
    TBitmap bitmap;
    DrawElevationImage(bitmap, dem, options, bar, Meters, state, 1);
    EXPECT_EQ(bitmap.Height(), rows + 4);
    EXPECT_EQ(state.ColumnBuffer.size(), size_t(rows) + 2);
    for (int32_t y : {1, 2, 300, 1202, 1203, 1204, 1499, 1500})
        EXPECT_EQ(bitmap.GetPixel(1, y), Grey(85)) << y;
}

// The drawing written out one cell at a time from its definition, for comparison.
void ReferenceDraw(TBitmap& bitmap, const TDEMArray& dem, const TPlotOptions& options, const TColorBar& bar,
                   double factor, std::vector<int32_t>& buffer)
{
    const int32_t rows = dem.Rows();
    bitmap = TBitmap(dem.Cols() + 4, rows + 4, pf32bit);
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        for (int32_t x = 0; x < bitmap.Width(); ++x)
            bitmap.SetPixel(x, y, clWhite);
    const int32_t c = ComputeImageContourInterval(dem.Info);
    int64_t previous = static_cast<int32_t>(dem.Info.DataMin);
    buffer.resize(size_t(rows) + 2, 0);
    for (int32_t i = 0; i < dem.Cols(); ++i) {
        const std::vector<int32_t> west = buffer; // the buffer before this column
        for (int32_t j = 0; j < rows; ++j) {
            const int32_t v = dem.GetValue(i, j);
            if (v == VoidValue)
                continue;
            const size_t y = size_t(rows - j);
            TColor pixel = clWhite;
            if (options.Colored)
                pixel = bar.GetBandColor(v * factor);
            if (options.Shaded) {
                int64_t d = ShadeDifference(options.LightDirection, v, previous, west[y], west[y - 1], west[y + 1]);
                if (dem.Info.IsUTM)
                    d *= 3;
                pixel = Grey(ShadeGrey(options.Contrast, d));
            }
            if (options.Contoured && (CrossesContour(previous, v, c) || (i != 0 && CrossesContour(west[y], v, c))))
                pixel = clBlack;
            bitmap.SetPixel(i, int32_t(y), pixel);
            previous = v;
            buffer[y] = v;
        }
    }
}

TEST(DEMImage, ParallelDrawingEqualsTheDefinition)
{
    std::mt19937 random(12345);
    const int32_t cols = 301, rows = 77;
    TDEMArray dem;
    dem.SetSize(cols, rows);
    std::uniform_int_distribution<int32_t> step(-9, 9);
    std::uniform_int_distribution<int32_t> percent(0, 99);
    int32_t v = 50;
    for (int32_t i = 0; i < cols; ++i)
        for (int32_t j = 0; j < rows; ++j) {
            v = std::clamp(v + step(random), -40, 400);
            // Voids: scattered, plus whole columns and a block of rows over many columns.
            const bool isVoid = percent(random) < 15 || i == 64 || i == 65 || (i > 120 && i < 200 && j > 30 && j < 60);
            dem.SetValue(i, j, isVoid ? VoidValue : v);
        }
    dem.Info.GroundRef = 1;
    dem.Info.ElevUnits = ucMeters;
    // A header range narrower than the cells: some elevations fall outside the level table.
    dem.Info.DataMin = -20;
    dem.Info.DataMax = 390;
    const TColorBar bar = BarFor(dem, Meters);

    int variants = 0;
    for (int modes = 1; modes < 8; ++modes)
        for (uint8_t light : {ldN, ldNE, ldSW, ldE})
            for (bool utm : {false, true}) {
                TPlotOptions options;
                options.Colored = modes & 1;
                options.Shaded = modes & 2;
                options.Contoured = modes & 4;
                options.LightDirection = light;
                options.Contrast = 4;
                dem.Info.IsUTM = utm;
                std::vector<int32_t> referenceBuffer(size_t(rows) + 2, 7);
                TBitmap expected;
                ReferenceDraw(expected, dem, options, bar, 1.0, referenceBuffer);
                for (int32_t threads : {1, 2, 5}) {
                    SCOPED_TRACE(::testing::Message() << modes << " " << int(light) << " " << utm << " " << threads);
                    TDEMImageState state{std::vector<int32_t>(size_t(rows) + 2, 7)};
                    TBitmap bitmap;
                    DrawElevationImage(bitmap, dem, options, bar, Meters, state, threads);
                    ASSERT_EQ(bitmap.Width(), expected.Width());
                    ASSERT_EQ(bitmap.Height(), expected.Height());
                    int differences = 0;
                    for (int32_t y = 0; y < bitmap.Height(); ++y)
                        differences += std::memcmp(bitmap.ScanLine(y), expected.ScanLine(y), bitmap.RowBytes()) != 0;
                    EXPECT_EQ(differences, 0);
                    EXPECT_EQ(state.ColumnBuffer, referenceBuffer);
                }
                ++variants;
            }
    EXPECT_EQ(variants, 56);
}

TEST(DEMImage, EmptyGridGivesAWhiteFrame)
{
    TDEMArray dem;
    dem.SetSize(0, 0);
    TColorBar bar;
    TPlotOptions options;
    TDEMImageState state;
    TBitmap bitmap(10, 10, pf8bit);
    DrawElevationImage(bitmap, dem, options, bar, Meters, state);
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(bitmap.Height(), 4);
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
    EXPECT_EQ(bitmap.GetPixel(3, 3), clWhite);
}

} // namespace
} // namespace kv
