#include "platform/INIFile.h"

#include "platform/FileIO.h"
#include "platform/KVError.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace kv {

namespace {

std::string_view Trim(std::string_view text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

TINIFile TINIFile::Load(const std::filesystem::path& fileName)
{
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec))
        return {};
    const std::vector<char> data = ReadWholeFile(fileName);
    return Parse(std::string_view(data.data(), data.size()));
}

TINIFile TINIFile::Parse(std::string_view text)
{
    TINIFile ini;
    TSection* current = nullptr;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            current = &ini.SectionFor(Trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1)));
            continue;
        }
        const size_t equals = line.find('=');
        if (!current || equals == std::string_view::npos)
            continue;
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        // The first occurrence of a key wins, as lookups always found it first.
        const bool known = std::any_of(current->Entries.begin(), current->Entries.end(),
                                       [&](const TEntry& e) { return SameTextIgnoringCase(e.Key, key); });
        if (!known)
            current->Entries.push_back({std::string(key), std::string(value)});
    }
    return ini;
}

const TINIFile::TSection* TINIFile::FindSection(std::string_view name) const
{
    for (const TSection& section : Sections_)
        if (SameTextIgnoringCase(section.Name, name))
            return &section;
    return nullptr;
}

TINIFile::TSection& TINIFile::SectionFor(std::string_view name)
{
    for (TSection& section : Sections_)
        if (SameTextIgnoringCase(section.Name, name))
            return section;
    Sections_.push_back({std::string(name), {}});
    return Sections_.back();
}

std::optional<std::string> TINIFile::Value(std::string_view section, std::string_view key) const
{
    if (const TSection* found = FindSection(section))
        for (const TEntry& entry : found->Entries)
            if (SameTextIgnoringCase(entry.Key, key))
                return entry.Value;
    return std::nullopt;
}

std::string TINIFile::ReadString(std::string_view section, std::string_view key, const std::string& fallback) const
{
    return Value(section, key).value_or(fallback);
}

int TINIFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const
{
    const std::optional<std::string> text = Value(section, key);
    if (!text)
        return fallback;
    std::string_view digits = *text;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return (ec == std::errc() && end == digits.data() + digits.size() && !digits.empty()) ? value : fallback;
}

bool TINIFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const
{
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TINIFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    TSection& target = SectionFor(section);
    for (TEntry& entry : target.Entries) {
        if (SameTextIgnoringCase(entry.Key, key)) {
            entry.Value = value;
            return;
        }
    }
    target.Entries.push_back({std::string(key), std::string(value)});
}

void TINIFile::WriteInteger(std::string_view section, std::string_view key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void TINIFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

void TINIFile::EraseSection(std::string_view section)
{
    std::erase_if(Sections_, [&](const TSection& s) { return SameTextIgnoringCase(s.Name, section); });
}

std::string TINIFile::Text() const
{
    std::string text;
    for (const TSection& section : Sections_) {
        if (!text.empty())
            text += '\n';
        text += '[' + section.Name + "]\n";
        for (const TEntry& entry : section.Entries)
            text += entry.Key + '=' + entry.Value + '\n';
    }
    return text;
}

void TINIFile::Save(const std::filesystem::path& fileName) const
{
    std::error_code ec;
    if (fileName.has_parent_path())
        std::filesystem::create_directories(fileName.parent_path(), ec);
    WriteFileAtomically(fileName, Text());
}

} // namespace kv
