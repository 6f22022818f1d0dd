#include "scenefiles/GLXFileReader.h"

#include "imaging/ImageLib.h"
#include "platform/FileIO.h"
#include "platform/KVError.h"
#include "scenefiles/GLXFileBinToText.h"
#include "scenefiles/GLXFileGlobal.h"
#include "scenefiles/GLXFileTextReader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv {

void ReadXFile(TGLFrame& baseFrame, std::string_view data, const TProgressCallback& progress, bool append,
               const TXTextureLoader& loadTexture)
{
    TXFileInfo info;
    ReadXFileHeader(data, info);
    if (info.Format == xfText) {
        ReadXFileText(baseFrame.Meshes(), data, append, progress, 100, 0, loadTexture);
    } else if (info.Format == xfBinary) {
        const std::string text = XFileBinaryToText(data, progress, 50, 0);
        ReadXFileText(baseFrame.Meshes(), text, append, progress, 50, 50, loadTexture);
    } else {
        throw EKorvelaError(std::string("File Type Unsupported: ") + XFileFormatName(info.Format));
    }
}

namespace {

// A regular file mapped read-only: large model files are parsed straight from the page cache,
// without zero-filling and copying them into a buffer first.
class TMappedFile {
public:
    explicit TMappedFile(const std::filesystem::path& fileName)
    {
        RefuseIrregularFile(fileName);
        const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            throw EKorvelaError(CannotOpenMessage(fileName));
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
            void* at = ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (at != MAP_FAILED) {
                Data_ = static_cast<const char*>(at);
                Size_ = static_cast<size_t>(info.st_size);
            }
        }
        ::close(fd);
        if (!Data_)
            Copy_ = ReadWholeFile(fileName); // empty files, and systems that refuse the mapping
    }
    ~TMappedFile()
    {
        if (Data_)
            ::munmap(const_cast<char*>(Data_), Size_);
    }
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;

    std::string_view Text() const
    {
        return Data_ ? std::string_view(Data_, Size_) : std::string_view(Copy_.data(), Copy_.size());
    }

private:
    const char* Data_ = nullptr;
    size_t Size_ = 0;
    std::vector<char> Copy_;
};

} // namespace

void LoadXFile(TGLFrame& baseFrame, const std::filesystem::path& fileName, const TProgressCallback& progress,
               bool append)
{
    const TMappedFile file(fileName);
    const std::filesystem::path folder = std::filesystem::absolute(fileName).parent_path();
    const TXTextureLoader loadTexture = [&folder](const std::string& name, TBitmap& picture) {
        try {
            LoadImageFile(picture, folder / name);
            return true;
        } catch (const std::exception&) {
            return false;
        }
    };
    ReadXFile(baseFrame, file.Text(), progress, append, loadTexture);
}

} // namespace kv
