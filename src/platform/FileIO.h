#pragma once
// Whole-file reading and crash-safe writing.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Reads the whole file into memory. Only regular files are read: a folder, pipe, device or
// socket is refused at once ("Cannot open file <name>: it is a pipe, not a regular file"),
// never waited on. Throws EKorvelaError "Cannot open file <name>" when it cannot be opened
// or read.
std::vector<char> ReadWholeFile(const std::filesystem::path& fileName);

// Throws the message ReadWholeFile gives when `fileName` exists and is not a regular file (a
// folder, pipe, device or socket), for readers that open files by other means (libraries).
void RefuseIrregularFile(const std::filesystem::path& fileName);

// Saves `contents` as `fileName` so that a failure never destroys the old file: the contents
// go to a temporary file beside the target, are flushed to disk, and the temporary file is
// renamed over the target; the folder is flushed after the rename.
// - An existing target keeps its permission bits, and its owner and group where the system
//   allows it. A new file gets the permissions new files get (0666 less the umask).
// - A symbolic link stays a link: the file it finally points to receives the contents (the
//   temporary file is made beside that file). A dangling link is written through too: the
//   file it points to is created, as a shell's redirection would.
// - A target that exists but is not a regular file (a folder, pipe, device) is refused.
// - Hard links to the old file keep the old contents: the target is a new file.
// Throws EKorvelaError "Cannot write file <name>: <reason>" on failure (the old file is then
// as it was), or, when only flushing the folder failed after the rename, a message saying the
// new contents are in place but may not have reached the disk.
void WriteFileAtomically(const std::filesystem::path& fileName, std::string_view contents);

// The message every reader uses when a file cannot be opened.
std::string CannotOpenMessage(const std::filesystem::path& fileName);

} // namespace kv
