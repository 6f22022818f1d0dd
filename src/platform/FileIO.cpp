#include "platform/FileIO.h"

#include "platform/KVError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace kv {

namespace {

// Symbolic links followed before giving up, as the system does.
constexpr int MaxLinkDepth = 40;
// Room left for the temporary file's affixes within the longest name a folder takes.
constexpr size_t MaxTempBaseLength = 200;

std::string ErrorText(int error)
{
    return std::strerror(error);
}

// Why a file that is not a regular file is refused, for messages.
std::string NotRegularText(mode_t mode)
{
    const char* kind = S_ISDIR(mode)                    ? "a folder"
                       : S_ISFIFO(mode)                 ? "a pipe"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISSOCK(mode)                 ? "a socket"
                                                        : nullptr;
    return kind ? std::string("it is ") + kind + ", not a regular file" : "it is not a regular file";
}

// Closes a descriptor once, whatever happens.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : Fd_(fd) {}
    ~TFileDescriptor()
    {
        if (Fd_ >= 0)
            ::close(Fd_);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return Fd_; }
    // Closes now; the error number of a failed close, else 0.
    int Close()
    {
        const int result = ::close(Fd_);
        Fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int Fd_;
};

// The file a name finally stands for: symbolic links followed one by one (a relative link
// counts from the link's own folder). The result may not exist (a dangling link).
std::filesystem::path FollowLinks(const std::filesystem::path& fileName)
{
    std::filesystem::path current = fileName;
    for (int depth = 0; depth < MaxLinkDepth; ++depth) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, ec)))
            return current;
        const std::filesystem::path target = std::filesystem::read_symlink(current, ec);
        if (ec)
            throw EKorvelaError("Cannot write file " + fileName.string() + ": " + ec.message());
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    throw EKorvelaError("Cannot write file " + fileName.string() + ": " + ErrorText(ELOOP));
}

// Creates a new, empty file beside `target` (".<name>.XXXXXX") with the permissions new files
// get (0666 less the umask, and the folder's default ACL where it has one). Returns its
// descriptor and sets `tempName`.
int CreateTempBeside(const std::filesystem::path& target, std::filesystem::path& tempName, int& error)
{
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string base = target.filename().string();
    if (base.size() > MaxTempBaseLength)
        base.resize(MaxTempBaseLength);
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<size_t> pick(0, sizeof Letters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(6, 'x');
        for (char& c : suffix)
            c = Letters[pick(random)];
        tempName = folder / ("." + base + "." + suffix);
        const int fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST) {
            error = errno;
            return -1;
        }
    }
    error = EEXIST;
    return -1;
}

// Gives the new file the owner and permission bits of the file it replaces. Keeping the owner
// may not be allowed (only the superuser can give a file away); the group is then tried alone,
// and the permissions are kept in any case.
int TakeOverOwnerAndMode(int fd, const struct stat& old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

int WriteAll(int fd, std::string_view contents)
{
    size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        written += static_cast<size_t>(n);
    }
    return 0;
}

// Flushes a folder's entries (a rename in it) to disk. Folders that cannot be opened for
// reading or flushed by this file system are left as they are: the rename itself succeeded.
int FlushFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    TFileDescriptor dir(fd);
    if (::fsync(dir.Get()) != 0 && errno != EINVAL && errno != EROFS)
        return errno;
    return 0;
}

} // namespace

std::string CannotOpenMessage(const std::filesystem::path& fileName)
{
    return "Cannot open file " + fileName.string();
}

void RefuseIrregularFile(const std::filesystem::path& fileName)
{
    struct stat info {};
    if (::stat(fileName.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        throw EKorvelaError(CannotOpenMessage(fileName) + ": " + NotRegularText(info.st_mode));
}

std::vector<char> ReadWholeFile(const std::filesystem::path& fileName)
{
    // Refuse what is not a regular file before opening it: opening a pipe waits for a writer.
    RefuseIrregularFile(fileName);
    struct stat info {};
    // Never block, should the name have been replaced by a pipe in between; check again what
    // was opened.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw EKorvelaError(CannotOpenMessage(fileName));
    TFileDescriptor file(fd);
    if (::fstat(file.Get(), &info) != 0)
        throw EKorvelaError(CannotOpenMessage(fileName));
    if (!S_ISREG(info.st_mode))
        throw EKorvelaError(CannotOpenMessage(fileName) + ": " + NotRegularText(info.st_mode));

    // Read to the end, also when the file changed size since fstat.
    std::vector<char> data(static_cast<size_t>(info.st_size));
    size_t size = 0;
    for (;;) {
        if (size == data.size())
            data.resize(data.size() + 65536);
        const ssize_t n = ::read(file.Get(), data.data() + size, data.size() - size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EKorvelaError(CannotOpenMessage(fileName));
        if (n == 0)
            break;
        size += static_cast<size_t>(n);
    }
    data.resize(size);
    return data;
}

void WriteFileAtomically(const std::filesystem::path& fileName, std::string_view contents)
{
    TAtomicFile file(fileName);
    file.Write(contents);
    file.Commit();
}

TAtomicFile::TAtomicFile(const std::filesystem::path& fileName) : FileName_(fileName)
{
    // A symbolic link stays a link: the file it points to receives the new contents, and the
    // temporary file is made beside that file so the rename stays within one file system.
    Target_ = FollowLinks(fileName);
    struct stat old {};
    const bool exists = ::stat(Target_.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        throw EKorvelaError("Cannot write file " + fileName.string() + ": " + NotRegularText(old.st_mode));

    int error = 0;
    Fd_ = CreateTempBeside(Target_, Temp_, error);
    if (Fd_ < 0)
        Fail(error);
    if (exists && (error = TakeOverOwnerAndMode(Fd_, old)) != 0) {
        Discard();
        Fail(error);
    }
}

TAtomicFile::~TAtomicFile()
{
    Discard();
}

void TAtomicFile::Fail(int error) const
{
    throw EKorvelaError("Cannot write file " + FileName_.string() + ": " + ErrorText(error));
}

void TAtomicFile::Discard()
{
    if (Fd_ < 0)
        return;
    ::close(Fd_);
    Fd_ = -1;
    ::unlink(Temp_.c_str());
}

void TAtomicFile::Write(std::string_view data)
{
    if (Fd_ < 0)
        Fail(EBADF);
    if (const int error = WriteAll(Fd_, data); error != 0)
        Fail(error);
    Size_ += data.size();
}

void TAtomicFile::WriteAt(uint64_t offset, std::string_view data)
{
    if (Fd_ < 0)
        Fail(EBADF);
    size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = ::pwrite(Fd_, data.data() + written, data.size() - written,
                                   static_cast<off_t>(offset + written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail(n < 0 ? errno : EIO);
        written += static_cast<size_t>(n);
    }
    Size_ = std::max<uint64_t>(Size_, offset + data.size());
}

void TAtomicFile::Commit()
{
    if (Fd_ < 0)
        Fail(EBADF);
    int error = ::fsync(Fd_) != 0 ? errno : 0;
    const int closeError = ::close(Fd_) == 0 ? 0 : errno;
    Fd_ = -1;
    if (error == 0)
        error = closeError;
    if (error == 0 && ::rename(Temp_.c_str(), Target_.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(Temp_.c_str());
        Fail(error);
    }
    if (const int flushError = FlushFolder(Target_.parent_path()); flushError != 0)
        throw EKorvelaError("The new contents of " + FileName_.string() +
                            " are in place but may not have reached the disk: " + ErrorText(flushError));
}

} // namespace kv
