#include "platform/IniFile.h"
#include "platform/KVIni.h"
#include "platform/Reopen.h"
#include "platform/SettingsFolder.h"
#include "platform/Units.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kv {
namespace {

using test::ReadFileText;
using test::TTempDir;
using test::WriteFileText;

TEST(Settings, MissingFileGivesDefaultsAndSavingCreatesIt)
{
    TTempDir dir;
    const TUserSettings loaded = LoadSettings(dir / "Korvela3D");
    EXPECT_TRUE(loaded.UseFeet);
    EXPECT_TRUE(loaded.Colored);
    EXPECT_TRUE(loaded.Contoured);
    EXPECT_FALSE(loaded.Shaded);
    EXPECT_EQ(loaded.Contrast, 3);

    TUserSettings changed{false, false, true, true, 7};
    SaveSettings(dir / "Korvela3D", changed);
    EXPECT_EQ(LoadSettings(dir / "Korvela3D"), changed);
    EXPECT_NE(ReadFileText(dir / "Korvela3D" / "Korvela.ini").find("[Units]\nFeet=0\n"), std::string::npos);
}

TEST(Settings, StoredKeysReplaceDefaultsAndMissingOrBadKeysKeepThem)
{
    TTempDir dir;
    WriteFileText(dir / "Korvela.ini", "[units]\r\nfeet = 0\r\n[Plot]\r\nContrast=x\r\nShaded=1\r\n");
    const TUserSettings loaded = LoadSettings(dir.Path());
    EXPECT_FALSE(loaded.UseFeet);
    EXPECT_TRUE(loaded.Shaded);
    EXPECT_EQ(loaded.Contrast, 3);
    EXPECT_TRUE(loaded.Colored);
}

TEST(Settings, FolderFollowsXdgConfigHome)
{
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string keep = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", "/some/where", 1);
    EXPECT_EQ(SettingsFolder(), std::filesystem::path("/some/where/Korvela3D"));
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(SettingsFolder().filename(), "Korvela3D");
    EXPECT_TRUE(SettingsFolder().is_absolute());
    if (saved)
        setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

TEST(Units, FormatElevationShowsTheWorkingUnit)
{
    struct Case {
        bool feet;
        double meters;
        int digits;
        const char* expected;
    };
    const Case cases[] = {
        {true, 1000, 0, "3281 Ft."},
        {false, 1000, 0, "1000 M."},
        {false, 1234.4, 0, "1234 M."},
        {true, 1234.4, 0, "4050 Ft."},
        {false, 12.345, 2, "12.35 M."},
        {false, 0, 0, "0 M."},
        {false, -0.2, 0, "0 M."},
        {false, 123456789012.0, 0, "1.2345679e+11 M."},
    };
    for (const Case& c : cases) {
        UseFeet = c.feet;
        ApplyUnits();
        EXPECT_EQ(FormatElevation(c.meters, 8, c.digits), c.expected) << c.meters;
    }
    UseFeet = true;
    ApplyUnits();
    EXPECT_DOUBLE_EQ(UnitFactor, 3.280839895013123);
    EXPECT_EQ(UnitSuffix, "Ft.");
}

class RecentFilesTest : public ::testing::Test {
protected:
    TRecentFiles Recent()
    {
        TRecentFiles recent;
        recent.INIFile = Dir / "XKorvela.ini";
        return recent;
    }
    TTempDir Dir;
};

TEST_F(RecentFilesTest, NoFileGivesEmptyList)
{
    TRecentFiles recent = Recent();
    recent.Load();
    EXPECT_TRUE(recent.Entries().empty());
}

TEST_F(RecentFilesTest, SameFileInOtherCaseMovesToTopOnce)
{
    TRecentFiles recent = Recent();
    recent.Add("/maps/B.DEM");
    recent.Add("C:\\A\\X.DEM");
    recent.Add("/maps/b.dem");
    recent.Add("c:\\a\\x.dem");
    EXPECT_EQ(recent.Entries(), (std::vector<std::string>{"c:\\a\\x.dem", "/maps/b.dem"}));
    EXPECT_EQ(recent.Captions(), (std::vector<std::string>{"&1 x.dem", "&2 b.dem"}));
}

TEST_F(RecentFilesTest, KeepsTheNewestFiveAndStoresThemNewestFirst)
{
    TRecentFiles recent = Recent();
    for (int i = 1; i <= 6; ++i)
        recent.Add("/d/f" + std::to_string(i) + ".dem");
    ASSERT_EQ(recent.Entries().size(), 5u);
    EXPECT_EQ(recent.Entries().front(), "/d/f6.dem");
    EXPECT_EQ(recent.Entries().back(), "/d/f2.dem");
    recent.Save();
    const std::string text = ReadFileText(Dir / "XKorvela.ini");
    EXPECT_NE(text.find("Count=5\nPath0=/d/f6.dem\n"), std::string::npos) << text;

    TRecentFiles reread = Recent();
    reread.Load();
    EXPECT_EQ(reread.Entries(), recent.Entries());
}

TEST_F(RecentFilesTest, StoredListIsReadWhole)
{
    // A count larger than the stored paths gives blank entries; a longer list than the
    // limit stays whole until the next file is added.
    WriteFileText(Dir / "XKorvela.ini", "[Other]\nKeep=1\n[History]\nCount=3\nPath0=/a/one.dem\n");
    TRecentFiles recent = Recent();
    recent.Load();
    EXPECT_EQ(recent.Captions(), (std::vector<std::string>{"&1 one.dem", "&2 ", "&3 "}));

    std::string eight = "[History]\nCount=8\n";
    for (int i = 0; i < 8; ++i)
        eight += "Path" + std::to_string(i) + "=/x/" + std::to_string(i) + ".dem\n";
    WriteFileText(Dir / "XKorvela.ini", eight);
    recent.Load();
    EXPECT_EQ(recent.Entries().size(), 8u);
    recent.Add("/x/new.dem");
    EXPECT_EQ(recent.Entries().size(), 5u);
}

TEST_F(RecentFilesTest, SavingKeepsOtherSectionsAndIgnoresErrors)
{
    WriteFileText(Dir / "XKorvela.ini", "[Other]\nKeep=1\n[History]\nCount=1\nPath0=/old.dem\n");
    TRecentFiles recent = Recent();
    recent.Add("/new.dem");
    recent.Save();
    const TIniFile ini = TIniFile::Load(Dir / "XKorvela.ini");
    EXPECT_EQ(ini.ReadString("Other", "Keep", ""), "1");
    EXPECT_EQ(ini.ReadInteger("History", "Count", 0), 1);
    EXPECT_EQ(ini.ReadString("History", "Path0", ""), "/new.dem");

    recent.INIFile = Dir / "XKorvela.ini" / "not-a-folder" / "x.ini";
    EXPECT_NO_THROW(recent.Save());
    EXPECT_NO_THROW(recent.Load());
    EXPECT_TRUE(recent.Entries().empty());
}

} // namespace
} // namespace kv
