#include "platform/SettingsFolder.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace kv {

std::filesystem::path SettingsFolder()
{
    // The XDG base-directory rules: a relative XDG_CONFIG_HOME is invalid and ignored.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg && std::filesystem::path(xdg).is_absolute())
        return std::filesystem::path(xdg) / "Korvela3D";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = getpwuid(getuid());
        home = user && user->pw_dir ? user->pw_dir : "/tmp";
    }
    return std::filesystem::path(home) / ".config" / "Korvela3D";
}

} // namespace kv
