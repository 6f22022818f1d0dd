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

// The same safe save for contents that are written piece by piece (a movie that grows frame by
// frame): the pieces go to the temporary file beside the target, and only Commit puts the file in
// place. Destroying it without a successful Commit removes the temporary file, so the old file
// stays as it was. Every failure throws EKorvelaError "Cannot write file <name>: <reason>".
class TAtomicFile {
public:
    // Creates the temporary file, with the rules of WriteFileAtomically for links and targets
    // that are not regular files.
    explicit TAtomicFile(const std::filesystem::path& fileName);
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Appends at the end of what was written.
    void Write(std::string_view data);
    // Overwrites bytes already written (a header whose sizes are known only at the end).
    void WriteAt(uint64_t offset, std::string_view data);
    // Bytes written so far.
    uint64_t Size() const { return Size_; }
    // Flushes the file to disk and renames it over the target; nothing can be written after.
    void Commit();
    // Drops the temporary file now; the target is left as it was.
    void Discard();

private:
    [[noreturn]] void Fail(int error) const;

    std::filesystem::path FileName_;
    std::filesystem::path Target_;
    std::filesystem::path Temp_;
    int Fd_ = -1;
    uint64_t Size_ = 0;
};

// The message every reader uses when a file cannot be opened.
std::string CannotOpenMessage(const std::filesystem::path& fileName);

} // namespace kv
