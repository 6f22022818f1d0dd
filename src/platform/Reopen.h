#pragma once
// The list of recently opened files behind the "&Reopen" menu: full paths, newest first,
// stored in "XKorvela.ini", section "History" (Count, then Path0, Path1, ...).

#include <filesystem>
#include <string>
#include <vector>

namespace kv {

// The file name without its folder; both separators count, as stored lists may come from
// Windows.
std::string FileNameOf(const std::string& path);

inline constexpr const char* RecentFilesName = "XKorvela.ini";
inline constexpr int MaxStoredEntries = 256; // the most entries a stored list is read with

class TRecentFiles {
public:
    std::filesystem::path INIFile; // the file the list is kept in
    std::string INISection = "History";
    int Limit = 5;            // entries kept after each addition
    bool NoDuplicates = true; // an added path replaces an equal one (compared without regard to case)
    bool NumberItems = true;  // captions start with "&" and the 1-based position
    bool ShowPath = false;    // captions show the full path instead of the file name

    // Replaces the list with the stored one: Count entries read in order, duplicates removed,
    // no limit applied. Any error leaves the list empty and is not reported.
    void Load();

    // Puts `path` at the top (removing an equal entry), then cuts the list to Limit.
    void Add(const std::string& path);

    // Rewrites the section with the list in order; other sections of the file are kept. Any
    // error is ignored: the list stays as it is in memory.
    void Save() const;

    const std::vector<std::string>& Entries() const { return Entries_; }
    // The menu caption of entry `index` (0-based): "&1 area.dem" for the first.
    std::string Caption(size_t index) const;
    std::vector<std::string> Captions() const;

private:
    void AppendUnique(const std::string& path);

    std::vector<std::string> Entries_;
};

} // namespace kv
