#pragma once
// INI-style settings files: "[Section]" lines and "Key=Value" lines below them. Sections and
// keys are found without regard to case, as the platform's profile files always were; the
// order of sections and keys is kept when the file is written back.

#include "platform/TextCase.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class TINIFile {
public:
    TINIFile() = default;

    // Reads `fileName`; a file that does not exist reads as empty. Throws EKorvelaError when
    // the file exists but cannot be read.
    static TINIFile Load(const std::filesystem::path& fileName);

    // Parses INI text (line breaks LF or CR LF; lines starting with ';' or '#' are comments).
    static TINIFile Parse(std::string_view text);

    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, const std::string& fallback) const;
    // An integer value; `fallback` when the key is missing or its value is not an integer.
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
    // Stored as 1 or 0; any integer other than 0 reads as true.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    void EraseSection(std::string_view section);

    std::string Text() const;

    // Writes the file (creating its folder) without ever leaving a half-written file.
    // Throws EKorvelaError on failure.
    void Save(const std::filesystem::path& fileName) const;

private:
    struct TEntry {
        std::string Key;
        std::string Value;
    };
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
    };

    const TSection* FindSection(std::string_view name) const;
    TSection& SectionFor(std::string_view name);

    std::vector<TSection> Sections_;
};

} // namespace kv
