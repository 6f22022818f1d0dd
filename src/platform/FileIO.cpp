#include "platform/FileIO.h"

#include "platform/KVError.h"

#include <cstdio>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace kv {

std::string CannotOpenMessage(const std::filesystem::path& fileName)
{
    return "Cannot open file " + fileName.string();
}

std::vector<char> ReadWholeFile(const std::filesystem::path& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    std::error_code ec;
    if (!in || std::filesystem::is_directory(fileName, ec))
        throw EKorvelaError(CannotOpenMessage(fileName));
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        throw EKorvelaError(CannotOpenMessage(fileName));
    in.seekg(0, std::ios::beg);
    std::vector<char> data(static_cast<size_t>(size));
    if (size > 0 && !in.read(data.data(), size))
        throw EKorvelaError(CannotOpenMessage(fileName));
    return data;
}

void WriteFileAtomically(const std::filesystem::path& fileName, std::string_view contents)
{
    const std::filesystem::path folder = fileName.has_parent_path() ? fileName.parent_path() : ".";
    std::string pattern = (folder / ("." + fileName.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0)
        throw EKorvelaError("Cannot create file " + fileName.string());
    const std::filesystem::path temp = pattern;
    size_t written = 0;
    bool ok = true;
    while (ok && written < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        ok = n > 0;
        if (ok)
            written += static_cast<size_t>(n);
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    std::error_code ec;
    if (ok) {
        // mkstemp creates the file readable by its owner only; give it the usual permissions.
        std::filesystem::permissions(temp,
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_read | std::filesystem::perms::others_read,
                                     ec);
        std::filesystem::rename(temp, fileName, ec);
        ok = !ec;
    }
    if (!ok) {
        std::filesystem::remove(temp, ec);
        throw EKorvelaError("Cannot write file " + fileName.string());
    }
}

} // namespace kv
