#include "platform/KVIni.h"

#include "platform/SettingsFolder.h"
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

} // namespace
} // namespace kv
