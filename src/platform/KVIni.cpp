#include "platform/KVIni.h"

#include "platform/INIFile.h"
#include "platform/KVError.h"

namespace kv {

TUserSettings LoadSettings(const std::filesystem::path& folder, const TUserSettings& defaults)
{
    TINIFile ini;
    try {
        ini = TINIFile::Load(folder / SettingsFileName);
    } catch (const EKorvelaError&) {
        return defaults;
    }
    TUserSettings settings;
    settings.UseFeet = ini.ReadBool("Units", "Feet", defaults.UseFeet);
    settings.Colored = ini.ReadBool("Plot", "Colored", defaults.Colored);
    settings.Contoured = ini.ReadBool("Plot", "Contoured", defaults.Contoured);
    settings.Shaded = ini.ReadBool("Plot", "Shaded", defaults.Shaded);
    settings.Contrast = ini.ReadInteger("Plot", "Contrast", defaults.Contrast);
    return settings;
}

void SaveSettings(const std::filesystem::path& folder, const TUserSettings& settings)
{
    const std::filesystem::path fileName = folder / SettingsFileName;
    TINIFile ini;
    try {
        ini = TINIFile::Load(fileName);
    } catch (const EKorvelaError&) {
        // An unreadable file is replaced by a fresh one.
    }
    ini.WriteBool("Units", "Feet", settings.UseFeet);
    ini.WriteBool("Plot", "Colored", settings.Colored);
    ini.WriteBool("Plot", "Contoured", settings.Contoured);
    ini.WriteBool("Plot", "Shaded", settings.Shaded);
    ini.WriteInteger("Plot", "Contrast", settings.Contrast);
    ini.Save(fileName);
}

} // namespace kv
