// The plot options: the dialog's interlocks, names and the settings file's values.

#include "mapview/PlotOptions.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(PlotOptions, ModeBoxesInterlock)
{
    struct TCase {
        const char* Name;
        TPlotModes Checked; // after the click
        TPlotModeBox Clicked;
        TPlotModes Result;
    };
    const TCase cases[] = {
        {"colour off with nothing else: contours on", {false, false, false}, mbColored, {false, false, true}},
        {"colour on beside shading: shading off", {true, true, false}, mbColored, {true, false, false}},
        {"colour on beside contours: both stay", {true, false, true}, mbColored, {true, false, true}},
        {"shading off with nothing else: colour on", {false, false, false}, mbShaded, {true, false, false}},
        {"shading on beside colour: colour off", {true, true, true}, mbShaded, {false, true, true}},
        {"contours off with nothing else: colour on", {false, false, false}, mbContoured, {true, false, false}},
        {"contours on beside colour and shading: no change", {true, true, true}, mbContoured, {true, true, true}},
        {"contours off beside shading: no change", {false, true, false}, mbContoured, {false, true, false}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ClickPlotMode(c.Checked, c.Clicked), c.Result);
    }
}

TEST(PlotOptions, Names)
{
    EXPECT_STREQ(ContrastName(0), "Very Light");
    EXPECT_STREQ(ContrastName(3), "Medium");
    EXPECT_STREQ(ContrastName(6), "Very Dark");
    EXPECT_STREQ(ContrastName(7), "Medium");
    EXPECT_STREQ(ContrastName(-1), "Medium");
    EXPECT_EQ(EffectiveContrast(5), 5);
    EXPECT_EQ(EffectiveContrast(99), 3);
    EXPECT_STREQ(LightDirectionName(ldN), "N");
    EXPECT_STREQ(LightDirectionName(ldNW), "NW");
    EXPECT_STREQ(LightDirectionName(ldSW), "SW");
    EXPECT_STREQ(LightDirectionName(8), "");
}

TEST(PlotOptions, FromTheSettingsFile)
{
    TUserSettings settings;
    settings.Colored = false;
    settings.Shaded = true;
    settings.Contoured = false;
    settings.Contrast = 5;
    const TPlotOptions options = PlotOptionsFromSettings(settings);
    EXPECT_EQ(options, (TPlotOptions{false, false, true, 5, ldNW, 100}));
    EXPECT_EQ(PlotOptionsFromSettings(TUserSettings{}), TPlotOptions{});
}

} // namespace
} // namespace kv
