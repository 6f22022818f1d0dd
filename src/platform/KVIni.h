#pragma once
// The user's saved defaults in "Korvela.ini": the working units and the map plotting options.

#include <filesystem>

namespace kv {

inline constexpr const char* SettingsFileName = "Korvela.ini";

// What the settings file holds, with the defaults a missing file or key gives.
struct TUserSettings {
    bool UseFeet = true;   // [Units] Feet
    bool Colored = true;   // [Plot] Colored
    bool Contoured = true; // [Plot] Contoured
    bool Shaded = false;   // [Plot] Shaded
    int Contrast = 3;      // [Plot] Contrast

    bool operator==(const TUserSettings&) const = default;
};

// Reads the settings file of `folder`; every stored key replaces the matching field of
// `defaults`, a missing key (or file) keeps it. An unreadable file reads as `defaults`.
TUserSettings LoadSettings(const std::filesystem::path& folder, const TUserSettings& defaults = {});

// Writes all five keys (other keys of the file are kept). Throws EKorvelaError on failure.
void SaveSettings(const std::filesystem::path& folder, const TUserSettings& settings);

} // namespace kv
