#include "gl/GLFonts.h"

#include "GLTestHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

using test::Near;

// Glyphs 1.5 high ("A"), each advancing by its code's distance from '@' (A = 1, B = 2, ...).
TGlyphMetricsTable TestMetrics()
{
    TGlyphMetricsTable metrics{};
    for (int code = 'A'; code <= 'Z'; ++code)
        metrics[size_t(code)] = {0.5f, 1.5f, 0, 0, float(code - '@'), 0};
    return metrics;
}

TEST(TGL3DStringTest, SplitsTextAtEveryKindOfLineBreak)
{
    struct TCase {
        std::string Text;
        bool Breaks;
        std::vector<std::string> Lines;
    };
    const TCase cases[] = {
        {"AB\r\nC", true, {"AB", "C"}},
        {"AB\nC\rD", true, {"AB", "C", "D"}},
        {"AB\r\n", true, {"AB"}},
        {"A\n\nB", true, {"A", "", "B"}},
        {"", true, {}},
        {"AB\r\nC", false, {"AB\r\nC"}},
    };
    for (const TCase& c : cases) {
        TGL3DString text;
        text.SetText(c.Text);
        text.SetShowLineBreaks(c.Breaks);
        EXPECT_EQ(text.TextLines(), c.Lines) << c.Text;
    }
}

TEST(TGL3DStringTest, LaysOutLinesByJustification)
{
    TGL3DString text;
    EXPECT_TRUE(text.Layout().Lines.empty()); // no glyphs yet
    text.Font.SetGlyphMetrics(TestMetrics());
    text.SetText("AB\r\nC");
    const double h = 1.5;

    struct TCase {
        uint8_t Justify;
        double FirstX;
        double SecondX;
    };
    const TCase cases[] = {{jsLeft, 0, 0}, {jsRight, -3, -3}, {jsCentre, -1.5, -1.5}};
    for (const TCase& c : cases) {
        text.SetJustify(c.Justify);
        const TGL3DLayout layout = text.Layout();
        ASSERT_EQ(layout.Lines.size(), 2u);
        EXPECT_EQ(layout.LineHeight, h);
        // Two lines: 2h + 0.1 high, as wide as "AB" (advances 1 + 2).
        EXPECT_TRUE(Near(layout.BoxSize, {3, 2 * h + 0.1, -0.2}, 1e-12));
        EXPECT_EQ(layout.Lines[0].Width, 3);
        EXPECT_EQ(layout.Lines[1].Width, 3);
        const double H = 2 * h + 0.1;
        EXPECT_TRUE(Near(layout.Lines[0].Origin, {c.FirstX, H / 2 - h, 0}, 1e-12));
        EXPECT_TRUE(Near(layout.Lines[1].Origin, {c.SecondX, H / 2 - h - (h + 0.1), 0}, 1e-12));
    }

    text.SetText("AB");
    text.SetJustify(jsRight);
    const TGL3DLayout single = text.Layout();
    // A right-justified line ends at x = 0.
    EXPECT_EQ(single.Lines[0].Origin.x + single.Lines[0].Width, 0);
    EXPECT_TRUE(Near(single.BoxSize, {3, h, -0.2}));
}

TEST(TGL3DStringTest, DrawsUTF8TextWithOneGlyphPerCharacter)
{
    struct TCase {
        std::string Text;
        std::string Codes;
    };
    const TCase cases[] = {
        {"AB", "AB"},
        {"A\xC3\xA9"
         "B",
         "A\xE9"
         "B"}, // e acute, U+00E9
        {"\xE2\x82\xAC"
         "5",
         "?5"}, // the euro sign has no glyph code
        {"A\xE9"
         "B",
         "A\xE9"
         "B"},                    // not UTF-8: byte for byte
        {"\xC0\x81", "\xC0\x81"}, // an overlong form is not UTF-8 either
        {"\xC3", "\xC3"},         // nor a cut sequence
    };
    for (const TCase& c : cases)
        EXPECT_EQ(GlyphCodes(c.Text), c.Codes) << c.Text;

    TGL3DString text;
    TGlyphMetricsTable metrics = TestMetrics();
    metrics[0xE9] = {0.5f, 1.5f, 0, 0, 7, 0};
    text.Font.SetGlyphMetrics(metrics);
    text.SetText("\xC3\xA9");
    const TGL3DLayout layout = text.Layout();
    ASSERT_EQ(layout.Lines.size(), 1u);
    EXPECT_EQ(layout.Lines[0].Text, "\xE9");
    EXPECT_EQ(layout.Lines[0].Width, 7);
}

TEST(TGL3DStringTest, DepthChangeAsksForTheGlyphsAgain)
{
    TGL3DFont font;
    font.SetGlyphMetrics(TestMetrics());
    font.SetDepth(0.2);
    EXPECT_TRUE(font.Built());
    font.SetDepth(0.5);
    EXPECT_FALSE(font.Built());
}

TEST(TGL3DStringTest, SettersNotifyOnlyChangesAndAssignCopiesTheText)
{
    TGL3DString text;
    int changes = 0;
    text.OnChange = [&](TGLObject*) { ++changes; };
    text.SetText("Hi");
    text.SetText("Hi");
    text.SetLineSpacing(0.1);
    text.SetJustify(jsLeft);
    EXPECT_EQ(changes, 2);

    text.Font.Name = "Courier";
    text.Font.SetDepth(1);
    text.SetColor(0x00FF00);
    text.SetRenderMode(rmWire);
    TGL3DString copy;
    copy.Assign(text);
    EXPECT_EQ(copy.Text(), "Hi");
    EXPECT_EQ(copy.Justify(), jsLeft);
    EXPECT_EQ(copy.Font.Name, "Courier");
    EXPECT_EQ(copy.Font.Depth(), 1);
    EXPECT_EQ(copy.GetColor(), 0x00FF00u);
    EXPECT_EQ(copy.RenderMode(), rmWire);

    copy.ResetAll();
    EXPECT_EQ(copy.Text(), "");
}

TEST(TGLStringList3DTest, NamesStringsFromOne)
{
    TGLStringList3D list;
    EXPECT_EQ(list.NewString(), 0);
    EXPECT_EQ(list.NewString(), 1);
    EXPECT_EQ(list.String(0)->Name(), "String3D-1");
    EXPECT_EQ(list.String(1)->Name(), "String3D-2");
}

} // namespace
} // namespace kv
