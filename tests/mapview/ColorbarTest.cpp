// The colour bar's model, its mouse handling and its painting.

#include "mapview/Colorbar.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kv {
namespace {

TColorBar MapBar(double top, double bottom)
{
    TColorBar bar; // dc20, as the map's bar
    bar.SetRange(top, bottom);
    return bar;
}

TEST(Colorbar, PalettesHaveTheirSizesAndEnds)
{
    struct TCase {
        TColorCount Count;
        size_t Entries;
        TColor Second;
        TColor Last;
    };
    const TCase cases[] = {
        {dc12, 13, RGBColor(128, 0, 0), RGBColor(255, 0, 255)},
        {dc20, 20, RGBColor(255, 255, 255), RGBColor(0, 0, 128)},
        {dc24, 24, RGBColor(255, 0, 0), RGBColor(255, 0, 127)},
        {dc30, 30, RGBColor(255, 255, 255), RGBColor(0, 0, 128)},
        {dc32, 33, RGBColor(255, 240, 0), RGBColor(0, 0, 0)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Entries);
        const std::vector<TColor> colors = PaletteColors(c.Count);
        ASSERT_EQ(colors.size(), c.Entries);
        EXPECT_EQ(colors[0], clBlack);
        EXPECT_EQ(colors[1], c.Second);
        EXPECT_EQ(colors.back(), c.Last);
    }
    const std::vector<TColor> reds = PaletteColors(dc32);
    EXPECT_EQ(reds[16], RGBColor(255, 0, 0));
    EXPECT_EQ(reds[17], RGBColor(240, 0, 0));
}

TEST(Colorbar, NewPaletteSpacesEvenly)
{
    TColorBar bar;
    int invalidated = 0;
    bar.OnInvalidate = [&] { ++invalidated; };
    bar.SetColorCount(dc12);
    ASSERT_EQ(bar.Count(), 13);
    EXPECT_GT(invalidated, 0);
    for (int32_t i = 0; i < 13; ++i)
        EXPECT_EQ(bar.Entries()[i].Position, i * 100000 / 12);
    bar.SetColorCount(dc32);
    EXPECT_EQ(bar.Entries()[1].Position, 3125);
    EXPECT_EQ(bar.Entries()[32].Position, 100000);
}

TEST(Colorbar, BandColorsOfTheMapBar)
{
    const TColorBar bar = MapBar(1900, 0);
    EXPECT_EQ(bar.Entries()[1].Position, 5263);
    EXPECT_NEAR(bar.Entries()[1].Value, 1800.003, 1e-9);
    struct TCase {
        double Value;
        TColor Color;
    };
    const TCase cases[] = {
        {1900, RGBColor(255, 255, 255)},
        {1850, RGBColor(255, 255, 255)},
        {bar.Entries()[1].Value, RGBColor(255, 255, 255)}, // on a boundary: the band above
        {1799.9, RGBColor(191, 191, 191)},
        {0, RGBColor(0, 0, 128)},
        {1900.5, RGBColor(255, 255, 255)}, // beyond the ends: the nearest end band
        {1e9, RGBColor(255, 255, 255)},
        {-0.5, RGBColor(0, 0, 128)},
        {std::nan(""), RGBColor(0, 0, 128)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Value);
        EXPECT_EQ(bar.GetBandColor(c.Value), c.Color);
    }
    // A reversed range finds its bands too.
    const TColorBar reversed = MapBar(0, 1900);
    EXPECT_EQ(reversed.GetBandColor(50), RGBColor(255, 255, 255));
    EXPECT_EQ(reversed.GetBandColor(1899), RGBColor(0, 0, 128));
}

TEST(Colorbar, LevelColors)
{
    const TColorBar bar = MapBar(1900, 0);
    struct TCase {
        double Value;
        TColor Color;
    };
    const TCase cases[] = {
        {1900, RGBColor(255, 255, 255)},
        {1800.5, RGBColor(255, 255, 255)},
        {1799.9, RGBColor(191, 191, 191)},
        {0, RGBColor(0, 0, 128)},
        {1900.1, clBlack},
        {-0.1, clBlack},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Value);
        EXPECT_EQ(bar.GetLevelColor(c.Value), c.Color);
    }
}

std::vector<int32_t> Positions(const TColorBar& bar)
{
    std::vector<int32_t> positions;
    for (const TColorBarEntry& e : bar.Entries())
        positions.push_back(e.Position);
    return positions;
}

TEST(Colorbar, SpreadEvenlyClampsItsEnds)
{
    TColorBar bar;
    bar.SetColorCount(dc12);
    bar.MoveBoundary(4, 10000, 100); // boundaries 1 .. 3 pushed up
    EXPECT_EQ(Positions(bar)[4], 10000);
    bar.SpreadEvenly(0, 4);
    const std::vector<int32_t> spread = Positions(bar);
    EXPECT_EQ((std::vector<int32_t>(spread.begin(), spread.begin() + 5)),
              (std::vector<int32_t>{0, 2500, 5000, 7500, 10000}));
    const std::vector<int32_t> before = Positions(bar);
    bar.SpreadEvenly(4, 13); // past the end: clamped to the last boundary
    std::vector<int32_t> expected = before;
    for (int i = 5; i < 12; ++i)
        expected[i] = 10000 + (i - 4) * 90000 / 8;
    EXPECT_EQ(Positions(bar), expected);
    bar.SpreadEvenly(7, 7);
    bar.SpreadEvenly(9, 2);
    EXPECT_EQ(Positions(bar), expected);
}

TEST(Colorbar, MoveBoundaryPushesItsNeighbours)
{
    TColorBar bar;
    bar.SetColorCount(dc12); // boundaries every 8333
    bar.SetRange(1200, 0);
    bar.MoveBoundary(2, 30000, 200); // g = 1000
    const std::vector<int32_t> p = Positions(bar);
    EXPECT_EQ(p[2], 30000);
    EXPECT_EQ(p[3], 31000);
    EXPECT_EQ(p[4], 33333); // already below
    EXPECT_EQ(p[1], 8333);
    EXPECT_DOUBLE_EQ(bar.Entries()[2].Value, 1200 - 0.3 * 1200);

    bar.MoveBoundary(10, -5, 200); // clamped to 0; every earlier one pushed to 0
    const std::vector<int32_t> q = Positions(bar);
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(q[i], 0) << i;
    EXPECT_EQ(q[11], 91666);
    bar.MoveBoundary(13, 0, 200); // out of range: nothing
    EXPECT_EQ(Positions(bar), q);
}

TEST(Colorbar, GradientBlendsBetweenItsEnds)
{
    TColorBar bar;
    bar.SetColorCount(dc12);
    bar.Gradient(6, 1); // swapped: 1 .. 6, from 128,0,0 toward 0,128,0 in steps of 1/6
    const auto& e = bar.Entries();
    EXPECT_EQ(e[1].Color, RGBColor(128, 0, 0));
    EXPECT_EQ(e[2].Color, RGBColor(107, 21, 0)); // 128 - 21.33, 21.33
    EXPECT_EQ(e[3].Color, RGBColor(85, 43, 0));
    EXPECT_EQ(e[5].Color, RGBColor(43, 85, 0));
    EXPECT_EQ(e[6].Color, RGBColor(0, 128, 0));
    EXPECT_EQ(e[7].Color, RGBColor(0, 128, 128));
    bar.Gradient(0, 2); // clamped to 1 .. 2: no entry between
    EXPECT_EQ(e[1].Color, RGBColor(128, 0, 0));
    EXPECT_EQ(e[2].Color, RGBColor(107, 21, 0));
}

TEST(Colorbar, DraggingABoundary)
{
    TColorBar bar;
    bar.SetColorCount(dc12);
    bar.SetRange(1200, 0);
    std::vector<int32_t> selected;
    std::vector<double> changing;
    int spreads = 0;
    bar.OnChangeSelect = [&](int32_t band) { selected.push_back(band); };
    bar.OnChangingBar = [&](int32_t index, double value, int32_t position) {
        EXPECT_EQ(index, 3);
        EXPECT_EQ(position, 40000);
        changing.push_back(value);
    };
    bar.OnChangeSpread = [&] { ++spreads; };
    const int32_t height = 120; // boundaries every 10 pixels

    EXPECT_EQ(bar.MouseMove(31, height), crVSplit); // within a pixel of boundary 3
    EXPECT_EQ(bar.MouseMove(35, height), crDefault);
    EXPECT_EQ(bar.MouseDown(35, height), crDefault); // selects band 4
    EXPECT_EQ(selected, std::vector<int32_t>{4});
    bar.MouseDown(36, height); // the same band: no event
    EXPECT_EQ(selected.size(), 1u);

    EXPECT_EQ(bar.MouseDown(29, height), crVSplit);
    EXPECT_EQ(bar.DragLine(), 29);
    bar.MouseMove(48, height);
    EXPECT_EQ(bar.DragLine(), 48);
    ASSERT_EQ(changing.size(), 1u);
    EXPECT_DOUBLE_EQ(changing[0], 1200 - 0.4 * 1200);
    bar.MouseUp(48, height, false);
    EXPECT_FALSE(bar.DragLine());
    EXPECT_EQ(spreads, 1);
    EXPECT_EQ(Positions(bar)[3], 40000);
    EXPECT_EQ(Positions(bar)[4], 41666); // pushed below: 40000 + 2 x 833

    // The ends only with AdjustEnds; nothing at all unless Adjustable.
    EXPECT_EQ(bar.BoundaryAt(0, height), 0);
    bar.AdjustEnds = false;
    EXPECT_FALSE(bar.BoundaryAt(0, height));
    EXPECT_FALSE(bar.BoundaryAt(120, height));
    bar.Adjustable = false;
    EXPECT_EQ(bar.MouseDown(95, height), crDefault);
    EXPECT_EQ(selected.size(), 1u);
}

TEST(Colorbar, CtrlDragSpreadsBothSides)
{
    TColorBar bar;
    bar.SetColorCount(dc12);
    bar.MouseDown(60, 120);
    bar.MouseUp(30, 120, true); // boundary 6 to 25000; 0..6 and 6..12 spread evenly
    const std::vector<int32_t> p = Positions(bar);
    EXPECT_EQ(p[3], 12500);
    EXPECT_EQ(p[6], 25000);
    EXPECT_EQ(p[9], 25000 + 3 * 75000 / 6);
}

// Records the labels instead of drawing glyphs; each "glyph box" is 2 pixels per character by
// 5 pixels, painted in the font colour so the test sees where it went.
class TBoxText : public TTextPainter {
public:
    std::vector<std::string> Labels;
    TPoint TextExtent(const TCanvas&, const std::string& text) override
    {
        return {static_cast<int32_t>(2 * text.size()), 5};
    }
    void TextOut(TCanvas& canvas, int32_t x, int32_t y, const std::string& text) override
    {
        Labels.push_back(text);
        const TPoint e = TextExtent(canvas, text);
        for (int32_t i = 0; i < e.X; ++i)
            for (int32_t j = 0; j < e.Y; ++j)
                canvas.SetPixel(x + i, y + j, canvas.Font.Color);
    }
};

TEST(Colorbar, PaintsBandsOutlinesLabelsAndTheSelection)
{
    TColorBar bar;
    bar.SetColorCount(dc12);
    bar.SetRange(1200, 0);
    bar.LabelBars = true;
    bar.Selected = 2;
    TBitmap bitmap(20, 120, pf32bit);
    TCanvas canvas(bitmap);
    canvas.Pen.Color = clLime;
    TBoxText text;
    PaintColorBar(canvas, bar, 20, 120, true, &text);

    // Boundaries at rows 0, 9, 19, 30, 39, 49, 60, ... 89, 99 (120 x 8333 i / 100000).
    // Band 1 (128,0,0): rows 0 .. 8 (its outline starts one row above, off the bitmap); its
    // colour's mean 42 is below 50, so the outline is grey.
    EXPECT_EQ(bitmap.GetPixel(5, 2), RGBColor(128, 0, 0));
    EXPECT_EQ(bitmap.GetPixel(0, 5), clGray);
    // Row 8 is band 1's bottom outline, drawn over by band 2's top outline (black: red's mean is 85).
    EXPECT_EQ(bitmap.GetPixel(5, 8), clBlack);
    // Band 9 (0,0,255), mean 85: black outline; band 10 (0,0,128), mean 42: grey outline.
    EXPECT_EQ(bitmap.GetPixel(0, 85), clBlack);
    EXPECT_EQ(bitmap.GetPixel(0, 95), clGray);
    EXPECT_EQ(bitmap.GetPixel(19, 95), clGray);
    EXPECT_EQ(bitmap.GetPixel(5, 95), RGBColor(0, 0, 128));
    // The selected band 2 (255,0,0, boundaries 9 and 19) carries a dotted inverted frame from
    // (1, 10) to (19, 18): every other pixel from its top-left corner inverts red to cyan.
    EXPECT_EQ(bitmap.GetPixel(1, 10), InvertedColor(RGBColor(255, 0, 0)));
    EXPECT_EQ(bitmap.GetPixel(2, 10), RGBColor(255, 0, 0));
    EXPECT_EQ(bitmap.GetPixel(3, 10), InvertedColor(RGBColor(255, 0, 0)));
    EXPECT_EQ(bitmap.GetPixel(16, 15), RGBColor(255, 0, 0)); // inside the frame, beside the label
    // Labels: every band's lower value; a 5-pixel label fits a 10-pixel band (5 + 1 < 10),
    // centred in the band shrunk by a pixel, in the contrasting colour.
    ASSERT_EQ(text.Labels.size(), 12u);
    EXPECT_EQ(text.Labels[0], "1100");
    EXPECT_EQ(text.Labels[11], "0");
    // Band 5 (0,255,0) lies between boundaries 39 and 49; shrunk to (1, 39, 19, 48) it centres
    // the 6 x 5 label "700" at (7, 41).
    EXPECT_EQ(bitmap.GetPixel(7, 41), RGBColor(255, 0, 255));
    EXPECT_EQ(bitmap.GetPixel(12, 45), RGBColor(255, 0, 255));
    EXPECT_EQ(bitmap.GetPixel(12, 46), RGBColor(0, 255, 0));
    EXPECT_EQ(bitmap.GetPixel(13, 46), RGBColor(0, 255, 0));
    EXPECT_EQ(bitmap.GetPixel(6, 42), RGBColor(0, 255, 0));
    EXPECT_EQ(canvas.Pen.Color, clLime); // the canvas's pen is left as it was

    // Without a text painter, labels are skipped; disabled, no frame.
    TBitmap plain(20, 120, pf32bit);
    TCanvas plainCanvas(plain);
    PaintColorBar(plainCanvas, bar, 20, 120, false, nullptr);
    EXPECT_EQ(plain.GetPixel(7, 42), RGBColor(0, 255, 0));
    EXPECT_EQ(plain.GetPixel(1, 10), RGBColor(255, 0, 0));
    // A label that does not fit its band is left out.
    TBitmap small(20, 60, pf32bit);
    TCanvas smallCanvas(small);
    TBoxText smallText;
    PaintColorBar(smallCanvas, bar, 20, 60, false, &smallText);
    EXPECT_TRUE(smallText.Labels.empty()); // 5 + 1 < 5 fails
}

} // namespace
} // namespace kv
