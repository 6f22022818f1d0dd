#pragma once
// The commands of the main window and the one rule that decides which of them are enabled.
// Plain data and a plain function: the window applies the result to its actions, tests check
// the rule without a display.

#include <cstdint>
#include <span>
#include <string_view>

namespace kv {

// What the document is doing; the only input of the enabling rule.
struct TDocumentState {
    bool DEMLoaded = false; // the last open completed (the DEM commands need it)
    bool Opening = false;   // a file is being read
    bool CaptureArmed = false; // a movie file was chosen and its capture has not ended
};

// What a command needs before it can run.
enum TCommandNeed : uint8_t {
    ndNothing, // always available
    ndIdle,    // not while a file is being read
    ndDEM,     // a loaded map, not while a file is being read
    ndArmed,   // an armed capture (the capture button)
};

struct TCommandInfo {
    std::string_view Name; // objectName of the command's QAction
    TCommandNeed Need = ndNothing;
    bool Built = false;    // false: the part of the program behind it is not there yet
};

// Every command of the main window: menu items, submenus and tool buttons, by objectName.
std::span<const TCommandInfo> MainCommands();

// The command of that name, or nullptr.
const TCommandInfo* FindCommand(std::string_view name);

// A command is enabled when it is built and what it needs is there.
bool CommandEnabled(const TCommandInfo& command, const TDocumentState& state);

} // namespace kv
