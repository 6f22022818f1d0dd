#pragma once
// Where the tests find their on-disk fixtures; the folders come from CMake.

#include <filesystem>
#include <string>
#include <vector>

namespace kv::test {

inline std::filesystem::path TestDataDir()
{
#ifdef KV_TEST_DATA_DIR
    return KV_TEST_DATA_DIR;
#else
    return "tests/data";
#endif
}

inline std::filesystem::path SamplesDir()
{
#ifdef KV_SAMPLES_DIR
    return KV_SAMPLES_DIR;
#else
    return "data/samples";
#endif
}

// A fresh empty folder under the system's temporary folder (or under `parent`), removed when
// destroyed.
class TTempDir {
public:
    TTempDir();
    explicit TTempDir(const std::filesystem::path& parent);
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::filesystem::path& Path() const { return Path_; }
    std::filesystem::path operator/(const std::string& name) const { return Path_ / name; }

private:
    std::filesystem::path Path_;
};

// Whole-file helpers for fixtures.
std::string ReadFileText(const std::filesystem::path& fileName);
// The text as one word for the shell, in single quotes.
std::string ShellQuoted(const std::string& text);
void WriteFileText(const std::filesystem::path& fileName, const std::string& contents);

} // namespace kv::test
