#include "platform/Reopen.h"

#include "platform/INIFile.h"

#include <algorithm>

namespace kv {

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void TRecentFiles::AppendUnique(const std::string& path)
{
    // Empty entries (a Count larger than the stored paths) stay, each in its place.
    if (NoDuplicates && !path.empty())
        std::erase_if(Entries_, [&](const std::string& e) { return SameTextIgnoringCase(e, path); });
    Entries_.push_back(path);
}

void TRecentFiles::Load()
{
    Entries_.clear();
    try {
        const TINIFile ini = TINIFile::Load(INIFile);
        // A damaged count must not fill a menu with thousands of blank entries.
        const int count = std::clamp(ini.ReadInteger(INISection, "Count", 0), 0, MaxStoredEntries);
        for (int i = 0; i < count; ++i)
            AppendUnique(ini.ReadString(INISection, "Path" + std::to_string(i), ""));
    } catch (...) {
        Entries_.clear();
    }
}

void TRecentFiles::Add(const std::string& path)
{
    if (NoDuplicates)
        std::erase_if(Entries_, [&](const std::string& e) { return SameTextIgnoringCase(e, path); });
    Entries_.insert(Entries_.begin(), path);
    if (Limit >= 0 && Entries_.size() > static_cast<size_t>(Limit))
        Entries_.resize(static_cast<size_t>(Limit));
}

void TRecentFiles::Save() const
{
    try {
        TINIFile ini = TINIFile::Load(INIFile);
        ini.EraseSection(INISection);
        ini.WriteInteger(INISection, "Count", static_cast<int>(Entries_.size()));
        for (size_t i = 0; i < Entries_.size(); ++i)
            ini.WriteString(INISection, "Path" + std::to_string(i), Entries_[i]);
        ini.Save(INIFile);
    } catch (...) {
        // The list is a convenience; failing to store it must never disturb the user.
    }
}

std::string TRecentFiles::Caption(size_t index) const
{
    const std::string name = ShowPath ? Entries_[index] : FileNameOf(Entries_[index]);
    return NumberItems ? "&" + std::to_string(index + 1) + " " + name : name;
}

std::vector<std::string> TRecentFiles::Captions() const
{
    std::vector<std::string> captions;
    for (size_t i = 0; i < Entries_.size(); ++i)
        captions.push_back(Caption(i));
    return captions;
}

} // namespace kv
