#include "app/KVCommands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kv {
namespace {

struct TEnablingCase {
    const char* Name;
    TCommandNeed Need;
    bool Built;
    TDocumentState State;
    bool Enabled;
};

constexpr TDocumentState Start{false, false};
constexpr TDocumentState FirstOpen{false, true};
constexpr TDocumentState Loaded{true, false};
constexpr TDocumentState Reopening{true, true};

const TEnablingCase EnablingCases[] = {
    {"unbuilt command stays off with a map", ndNothing, false, Loaded, false},
    {"unbuilt DEM command stays off with a map", ndDEM, false, Loaded, false},
    {"always-available command at start", ndNothing, true, Start, true},
    {"always-available command while reading", ndNothing, true, FirstOpen, true},
    {"idle command at start", ndIdle, true, Start, true},
    {"idle command while reading", ndIdle, true, FirstOpen, false},
    {"idle command while reading again", ndIdle, true, Reopening, false},
    {"DEM command at start", ndDEM, true, Start, false},
    {"DEM command while the first file is read", ndDEM, true, FirstOpen, false},
    {"DEM command with a map", ndDEM, true, Loaded, true},
    {"DEM command while another file is read", ndDEM, true, Reopening, false},
    {"capture button before a file is armed", ndArmed, true, Loaded, false},
    {"capture button once a file is armed", ndArmed, true, TDocumentState{false, true, true}, true},
};

TEST(KVCommandsTest, EnablingRule)
{
    for (const TEnablingCase& row : EnablingCases) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(CommandEnabled(TCommandInfo{"X", row.Need, row.Built}, row.State), row.Enabled);
    }
}

TEST(KVCommandsTest, CommandNamesAreUnique)
{
    std::set<std::string> names;
    for (const TCommandInfo& command : MainCommands())
        EXPECT_TRUE(names.insert(std::string(command.Name)).second) << command.Name;
}

// The commands that need a loaded map are the ones the open flow switches.
TEST(KVCommandsTest, DEMCommandsAreTheMapCommands)
{
    std::set<std::string> demCommands;
    for (const TCommandInfo& command : MainCommands())
        if (command.Need == ndDEM)
            demCommands.insert(std::string(command.Name));
    EXPECT_EQ(demCommands, (std::set<std::string>{"ReReadBtn", "TopoEditBtn", "SetBoxBtn", "SaveImage1", "PrintImage1",
                                                  "ExportGeoTIFF1"}));
}

TEST(KVCommandsTest, FindCommand)
{
    ASSERT_NE(FindCommand("OpenDemFile1"), nullptr);
    EXPECT_EQ(FindCommand("OpenDemFile1")->Need, ndIdle);
    EXPECT_EQ(FindCommand("NoSuchCommand"), nullptr);
}

} // namespace
} // namespace kv
