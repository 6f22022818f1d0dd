#pragma once
// Whole-file reading and crash-safe writing.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Reads the whole file into memory. Throws EKorvelaError "Cannot open file <name>" when it
// cannot be opened or read.
std::vector<char> ReadWholeFile(const std::filesystem::path& fileName);

// Writes `contents` to `fileName` through a temporary file in the same folder that is renamed
// over the target only when everything was written, so a failure never destroys the old file.
// Throws EKorvelaError on failure.
void WriteFileAtomically(const std::filesystem::path& fileName, std::string_view contents);

// The message every reader uses when a file cannot be opened.
std::string CannotOpenMessage(const std::filesystem::path& fileName);

} // namespace kv
