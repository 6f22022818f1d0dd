#include "platform/FileIO.h"

#include "platform/KVError.h"
#include "support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kv {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using test::ReadFileText;
using test::TTempDir;
using test::WriteFileText;

// Sets the process's umask for one test and puts the old one back.
class TUmask {
public:
    explicit TUmask(mode_t mask) : Old_(::umask(mask)) {}
    ~TUmask() { ::umask(Old_); }

private:
    mode_t Old_;
};

struct stat StatOf(const fs::path& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info;
}

// Names in `folder` other than `expected`: temporary files left behind.
std::vector<std::string> Leftovers(const fs::path& folder, const std::vector<std::string>& expected)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end())
            names.push_back(name);
    }
    return names;
}

// A folder on another file system than the temporary folder, when the machine has one.
std::optional<fs::path> OtherFileSystemFolder(const fs::path& here)
{
    struct stat shm {};
    if (::stat("/dev/shm", &shm) != 0 || !S_ISDIR(shm.st_mode) || ::access("/dev/shm", W_OK) != 0 ||
        shm.st_dev == StatOf(here).st_dev)
        return std::nullopt;
    return fs::path("/dev/shm");
}

TEST(WriteFileAtomically, KeepsModesOwnersAndLinks)
{
    const TUmask umask(002);
    const bool root = ::geteuid() == 0;
    enum TTarget { tgNew, tgExisting, tgLink, tgLinkElsewhere, tgDangling };
    struct TCase {
        const char* name;
        TTarget target;
        mode_t expectedMode;
    };
    const TCase cases[] = {
        {"new file: 0666 less the umask", tgNew, 0664},
        {"existing 0640 file keeps its mode (and owner)", tgExisting, 0640},
        {"link to a file in another folder", tgLink, 0640},
        {"link to a file on another file system", tgLinkElsewhere, 0640},
        // Written through, as a shell's redirection does: the link stays a link and the file
        // it names is created.
        {"dangling link", tgDangling, 0664},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TTempDir dir;
        fs::create_directory(dir / "real");
        std::optional<TTempDir> elsewhere;
        fs::path realFolder = dir / "real";
        if (c.target == tgLinkElsewhere) {
            const std::optional<fs::path> other = OtherFileSystemFolder(dir.Path());
            if (!other) {
                std::printf("skipped '%s': no writable /dev/shm on another file system\n", c.name);
                continue;
            }
            elsewhere.emplace(*other);
            realFolder = elsewhere->Path();
        }
        const fs::path saved = dir / "map.dem";
        const fs::path real = c.target == tgNew || c.target == tgExisting ? saved : realFolder / "map.dem";
        if (c.target != tgNew && c.target != tgDangling) {
            WriteFileText(real, "old contents");
            ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
            if (root) {
                ASSERT_EQ(::chown(real.c_str(), 12345, 23456), 0);
            }
        }
        if (c.target == tgLink || c.target == tgDangling)
            fs::create_symlink(fs::path("real") / "map.dem", saved); // relative to the link's folder
        if (c.target == tgLinkElsewhere)
            fs::create_symlink(real, saved);
        const ino_t oldInode = fs::exists(real) ? StatOf(real).st_ino : 0;

        WriteFileAtomically(saved, "new contents");

        EXPECT_EQ(ReadFileText(saved), "new contents");
        EXPECT_EQ(fs::is_symlink(saved), c.target == tgLink || c.target == tgLinkElsewhere || c.target == tgDangling);
        const struct stat after = StatOf(real);
        EXPECT_EQ(after.st_mode & 07777, c.expectedMode);
        EXPECT_NE(after.st_ino, oldInode); // replaced by a rename, never rewritten in place
        if (root && (c.target == tgExisting || c.target == tgLink || c.target == tgLinkElsewhere)) {
            EXPECT_EQ(after.st_uid, 12345u);
            EXPECT_EQ(after.st_gid, 23456u);
        }
        EXPECT_THAT(Leftovers(dir.Path(), {"map.dem", "real"}), ::testing::IsEmpty());
        EXPECT_THAT(Leftovers(realFolder, {"map.dem"}), ::testing::IsEmpty());
    }
}

TEST(WriteFileAtomically, AFailedSaveLeavesTheOldFileAsItWas)
{
    TTempDir dir;
    WriteFileText(dir / "map.dem", "old contents");
    fs::create_directory(dir / "folder");
    WriteFileText(dir / "folder" / "inside", "kept");
    // Never a real device here: a save that wrongly went through would replace it.
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);

    // Targets that fail for the superuser too.
    const struct {
        const char* name;
        fs::path target;
        const char* message;
    } cases[] = {
        {"parent is a regular file", dir / "map.dem" / "child.dem", "Not a directory"},
        {"target is a folder", dir / "folder", "it is a folder, not a regular file"},
        {"target is a pipe", dir / "pipe", "it is a pipe, not a regular file"},
    };
    for (const auto& c : cases) {
        try {
            WriteFileAtomically(c.target, "new contents");
            ADD_FAILURE() << c.name << ": saved";
        } catch (const EKorvelaError& error) {
            EXPECT_THAT(error.what(), HasSubstr("Cannot write file " + c.target.string() + ": ")) << c.name;
            EXPECT_THAT(error.what(), HasSubstr(c.message)) << c.name;
        }
    }
    EXPECT_EQ(ReadFileText(dir / "map.dem"), "old contents");
    EXPECT_EQ(ReadFileText(dir / "folder" / "inside"), "kept");
    EXPECT_TRUE(fs::is_fifo(dir / "pipe"));

    // A write that fails half-way (the file size limit stands in for a full disk): in a child
    // process, so the limit does not reach the other tests.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            WriteFileAtomically(dir / "map.dem", std::string(100000, 'x'));
        } catch (const EKorvelaError& error) {
            ::_exit(std::string(error.what()).find("File too large") != std::string::npos ? 0 : 2);
        }
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child's status " << status;
    EXPECT_EQ(ReadFileText(dir / "map.dem"), "old contents");
    EXPECT_THAT(Leftovers(dir.Path(), {"map.dem", "folder", "pipe"}), ::testing::IsEmpty());
}

TEST(TAtomicFile, PiecesAndPatchesAppearOnlyWhenCommitted)
{
    TTempDir dir;
    WriteFileText(dir / "spin.avi", "older movie");
    {
        TAtomicFile file(dir / "spin.avi");
        file.Write("RIFF????");
        file.Write("frames");
        file.WriteAt(4, "size");
        EXPECT_EQ(file.Size(), 14u);
        EXPECT_EQ(ReadFileText(dir / "spin.avi"), "older movie") << "not before the commit";
        file.Commit();
        EXPECT_THROW(file.Write("more"), EKorvelaError);
    }
    EXPECT_EQ(ReadFileText(dir / "spin.avi"), "RIFFsizeframes");
    {
        // Given up half-way: the file stays as it was and nothing is left beside it.
        TAtomicFile file(dir / "spin.avi");
        file.Write("half a movie");
    }
    EXPECT_EQ(ReadFileText(dir / "spin.avi"), "RIFFsizeframes");
    EXPECT_THAT(Leftovers(dir.Path(), {"spin.avi"}), ::testing::IsEmpty());
}

TEST(ReadWholeFile, RefusesWhatIsNotARegularFileAtOnce)
{
    TTempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.dem").c_str(), 0600), 0);
    fs::create_symlink(dir / "pipe.dem", dir / "link-to-pipe.dem");
    const struct {
        fs::path file;
        const char* reason;
    } cases[] = {
        {dir / "pipe.dem", "it is a pipe, not a regular file"},
        {dir / "link-to-pipe.dem", "it is a pipe, not a regular file"},
        {dir.Path(), "it is a folder, not a regular file"},
        {"/dev/zero", "it is a device, not a regular file"},
    };
    // Opening a pipe for reading would wait for a writer: the alarm ends a test that hangs.
    ::alarm(30);
    for (const auto& c : cases) {
        try {
            ReadWholeFile(c.file);
            ADD_FAILURE() << c.file << " was read";
        } catch (const EKorvelaError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot open file " + c.file.string() + ": " + c.reason);
        }
    }
    ::alarm(0);

    WriteFileText(dir / "map.dem", "contents");
    fs::create_symlink(dir / "map.dem", dir / "link.dem");
    const std::vector<char> data = ReadWholeFile(dir / "link.dem");
    EXPECT_EQ(std::string(data.begin(), data.end()), "contents");
}

} // namespace
} // namespace kv
