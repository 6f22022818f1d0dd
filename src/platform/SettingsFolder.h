#pragma once
// Where the settings files live: $XDG_CONFIG_HOME/Korvela3D, else ~/.config/Korvela3D.

#include <filesystem>

namespace kv {

std::filesystem::path SettingsFolder();

} // namespace kv
