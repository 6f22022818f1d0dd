#include "app/KVDocument.h"

#include "app/KVStartup.h"
#include "platform/KVError.h"
#include "support/TestData.h"

#include <optional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kv {
namespace {

using test::TTempDir;

TEST(KVDocumentTest, MainCaption)
{
    const struct {
        const char* FileName;
        const char* Caption;
    } rows[] = {
        {"D:\\dem\\area.dem", "area.dem - Korvela3D"},
        {"/maps/1234CEL0.DDF", "1234CEL0.DDF - Korvela3D"},
        {"area", "area - Korvela3D"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.FileName);
        EXPECT_EQ(MainCaption(row.FileName), row.Caption);
    }
}

TEST(KVDocumentTest, CommandLineKind)
{
    const struct {
        const char* FileName;
        TCommandLineKind Kind;
    } rows[] = {
        {"/maps/area.dem", ckDEM},     {"/maps/AREA.DEM", ckDEM},   {"/maps/1234cel0.ddf", ckDEM},
        {"/maps/MAP.DDF", ckDEM},      {"/scenes/a.TXML", ckTerrainFile}, {"/scenes/mesh.x", ckXFile},
        {"/scenes/MESH.X", ckXFile},   {"/maps/notes.TXT", ckNone}, {"/maps/area", ckNone},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.FileName);
        EXPECT_EQ(CommandLineKind(row.FileName), row.Kind);
    }
}

class KVDocumentOpenTest : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::current_path(StartFolder); }
    std::filesystem::path StartFolder = std::filesystem::current_path();
    TTempDir Settings;
    TTempDir Maps;
};

TEST_F(KVDocumentOpenTest, OpenSwitchesStatesAndWorkingFolder)
{
    TDocument document(Settings.Path());
    EXPECT_EQ(document.Caption(), "Korvela3D");
    EXPECT_EQ(document.CurrentDEM.Cols(), 5);

    const std::string fileName = (Maps / "area.dem").string();
    document.BeginOpen(fileName);
    EXPECT_EQ(document.Caption(), "area.dem - Korvela3D");
    EXPECT_TRUE(document.State().Opening);
    EXPECT_EQ(std::filesystem::current_path(), Maps.Path());
    EXPECT_EQ(document.Recent.Entries(), std::vector<std::string>{fileName});

    TDEMArray grid;
    grid.SetSize(7, 3);
    document.FinishOpen(std::move(grid));
    EXPECT_EQ(document.State().DEMLoaded, true);
    EXPECT_EQ(document.State().Opening, false);
    EXPECT_EQ(document.CurrentDEM.Cols(), 7);

    document.BeginOpen(fileName);
    document.FailOpen();
    EXPECT_FALSE(document.State().DEMLoaded); // the map commands wait for a successful open
    EXPECT_FALSE(document.State().Opening);
}

TEST_F(KVDocumentOpenTest, MissingFolderFailsBeforeTheReadButKeepsCaptionAndRecentEntry)
{
    TDocument document(Settings.Path());
    const std::string fileName = (Maps / "gone" / "area.dem").string();
    EXPECT_THROW(document.BeginOpen(fileName), EKorvelaError);
    EXPECT_EQ(document.Caption(), "area.dem - Korvela3D");
    EXPECT_EQ(document.Recent.Entries(), std::vector<std::string>{fileName});
    EXPECT_FALSE(document.State().Opening);
}

TEST_F(KVDocumentOpenTest, UserDefaultsRoundTrip)
{
    TDocument document(Settings.Path());
    document.LoadStartSettings();
    EXPECT_TRUE(document.Units().UseFeet); // no settings file: feet
    document.SetUnits(TUnits{false});
    TPlotOptions plot = document.PlotOptions();
    plot.Colored = false;
    plot.Shaded = true;
    plot.Contoured = false;
    plot.Contrast = 5;
    plot.LightDirection = ldSE;
    document.SetPlotOptions(plot);
    document.SaveUserDefaults();

    TDocument next(Settings.Path());
    next.LoadStartSettings();
    EXPECT_FALSE(next.Units().UseFeet);
    // The modes and contrast are kept; the light starts from the north-west again.
    const TPlotOptions loaded = next.PlotOptions();
    EXPECT_FALSE(loaded.Colored);
    EXPECT_TRUE(loaded.Shaded);
    EXPECT_FALSE(loaded.Contoured);
    EXPECT_EQ(loaded.Contrast, 5);
    EXPECT_EQ(loaded.LightDirection, ldNW);
}

TEST(KVStartupTest, ParseCommandLine)
{
    const struct {
        const char* Name;
        QStringList Arguments;
        QString File;
        QString Screenshot;
        int Page = 0;
        std::optional<TRect> Box;
        QString Overlay;
    } rows[] = {
        {"nothing", {}, {}, {}, 0, {}, {}},
        {"a file", {"area.dem"}, "area.dem", {}, 0, {}, {}},
        {"screenshot with file", {"--screenshot", "out.png", "area.dem"}, "area.dem", "out.png", 0, {}, {}},
        {"file before screenshot", {"area.dem", "--screenshot", "out.png"}, "area.dem", "out.png", 0, {}, {}},
        {"later names ignored", {"a.dem", "b.dem"}, "a.dem", {}, 0, {}, {}},
        {"3D page", {"--screenshot", "out.png", "--page", "3D"}, {}, "out.png", 2, {}, {}},
        {"DEM page", {"--page", "dem", "--screenshot", "out.png"}, {}, "out.png", 0, {}, {}},
        {"topo page with box", {"--page", "topo", "--box", "10,-2,300,250"}, {}, {}, 1, TRect{10, -2, 300, 250}, {}},
        {"overlay page with picture", {"--page", "Overlay", "--overlay", "map.png", "a.dem"}, "a.dem", {}, 3, {}, "map.png"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        const TCommandLine commandLine = ParseCommandLine(row.Arguments);
        EXPECT_EQ(commandLine.File, row.File);
        EXPECT_EQ(commandLine.Screenshot, row.Screenshot);
        EXPECT_EQ(commandLine.Page, row.Page);
        EXPECT_EQ(commandLine.Box, row.Box);
        EXPECT_EQ(commandLine.Overlay, row.Overlay);
    }
    EXPECT_THAT([] { ParseCommandLine({"--overlay"}); },
                ::testing::ThrowsMessage<EKorvelaError>(::testing::HasSubstr("--overlay needs")));
    EXPECT_THAT([] { ParseCommandLine({"--page", "print"}); },
                ::testing::ThrowsMessage<EKorvelaError>(::testing::HasSubstr("--page takes")));
    for (const char* box : {"1,2,3", "1,2,3,4,", "1,2,x,4", "", "1,2,3,99999999999"})
        EXPECT_THAT([box] { ParseCommandLine({"--box", box}); },
                    ::testing::ThrowsMessage<EKorvelaError>(::testing::HasSubstr("four whole numbers")))
            << box;
    EXPECT_THAT([] { ParseCommandLine({"--screenshot"}); },
                ::testing::ThrowsMessage<EKorvelaError>(::testing::HasSubstr("needs the name")));
    EXPECT_THAT([] { ParseCommandLine({"--fast"}); },
                ::testing::ThrowsMessage<EKorvelaError>(::testing::HasSubstr("Unknown option --fast")));

    const TCommandLine boxed = ParseCommandLine({"--screenshot", "out.png", "--box", "10,20,300,250", "a.dem"});
    ASSERT_TRUE(boxed.Box.has_value());
    EXPECT_EQ(*boxed.Box, (TRect{10, 20, 300, 250}));
    EXPECT_EQ(boxed.File, "a.dem");
    EXPECT_FALSE(ParseCommandLine({"a.dem"}).Box.has_value());
}

} // namespace
} // namespace kv
