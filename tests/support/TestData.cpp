#include "support/TestData.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kv::test {

TTempDir::TTempDir() : TTempDir(std::filesystem::temp_directory_path()) {}

TTempDir::TTempDir(const std::filesystem::path& parent)
{
    std::string pattern = (parent / "kvtest.XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    Path_ = pattern;
}

TTempDir::~TTempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(Path_, ec);
}

std::string ReadFileText(const std::filesystem::path& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + fileName.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFileText(const std::filesystem::path& fileName, const std::string& contents)
{
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out)
        throw std::runtime_error("cannot write " + fileName.string());
}

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace kv::test
