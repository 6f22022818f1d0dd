#include "imaging/TIFFLibrary.h"

#include "PictureSize.h"
#include "platform/KVError.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace kv {

namespace {

// Deflate's ceiling, which also covers LZW and PackBits in practice.
constexpr uint64_t MaxExpansion = 2800;

struct TMemoryFile {
    std::span<const uint8_t> Data;
    toff_t Position = 0;
};

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size)
{
    auto* file = static_cast<TMemoryFile*>(handle);
    if (size <= 0 || file->Position >= file->Data.size())
        return 0;
    const size_t n = std::min(static_cast<size_t>(size), static_cast<size_t>(file->Data.size() - file->Position));
    std::memcpy(buffer, file->Data.data() + file->Position, n);
    file->Position += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return 0; }

toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    auto* file = static_cast<TMemoryFile*>(handle);
    const toff_t base = whence == SEEK_CUR ? file->Position : whence == SEEK_END ? file->Data.size() : 0;
    file->Position = base + offset;
    return file->Position;
}

int CloseProc(thandle_t) { return 0; }

// The file is in memory already: libtiff may read it in place.
int MapProc(thandle_t handle, void** base, toff_t* size)
{
    auto* file = static_cast<TMemoryFile*>(handle);
    *base = const_cast<uint8_t*>(file->Data.data());
    *size = file->Data.size();
    return 1;
}

void UnmapProc(thandle_t, void*, toff_t) {}
toff_t SizeProc(thandle_t handle) { return static_cast<TMemoryFile*>(handle)->Data.size(); }

class TLibraryFile {
public:
    TLibraryFile(TMemoryFile& file, const std::string& name)
    {
        // libtiff's diagnostics would go to stderr; its return values tell us all we need.
        static std::once_flag quiet;
        std::call_once(quiet, [] {
            TIFFSetErrorHandler(nullptr);
            TIFFSetWarningHandler(nullptr);
        });
        Tiff = TIFFClientOpen(name.c_str(), "r", &file, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                              UnmapProc);
        if (!Tiff)
            throw EKorvelaError(name + ": not a readable TIFF picture");
    }
    ~TLibraryFile() { TIFFClose(Tiff); }
    TLibraryFile(const TLibraryFile&) = delete;
    TLibraryFile& operator=(const TLibraryFile&) = delete;

    TIFF* Tiff = nullptr;
};

} // namespace

void ReadTIFFWithLibrary(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress,
                         const std::string& name)
{
    TMemoryFile memory{data};
    TLibraryFile file(memory, name);
    uint32_t width = 0;
    uint32_t height = 0;
    TIFFGetField(file.Tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(file.Tiff, TIFFTAG_IMAGELENGTH, &height);
    CheckPictureSize(name, width, height, 4, data.size(), MaxExpansion);

    TRowProgress rows(progress, 1);
    rows.Start();
    std::vector<uint32_t> raster(size_t{width} * height);
    if (!TIFFReadRGBAImageOriented(file.Tiff, width, height, raster.data(), ORIENTATION_TOPLEFT, 0))
        throw EKorvelaError(name + ": libtiff could not decode the picture");
    TBitmap picture(static_cast<int32_t>(width), static_cast<int32_t>(height), pf32bit);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = picture.ScanLine(static_cast<int32_t>(y));
        const uint32_t* source = raster.data() + size_t{y} * width;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t abgr = source[x];
            row[4 * x] = static_cast<uint8_t>(TIFFGetB(abgr));
            row[4 * x + 1] = static_cast<uint8_t>(TIFFGetG(abgr));
            row[4 * x + 2] = static_cast<uint8_t>(TIFFGetR(abgr));
            row[4 * x + 3] = static_cast<uint8_t>(TIFFGetA(abgr));
        }
    }
    bitmap = std::move(picture);
    rows.RowDone();
    rows.End();
}

} // namespace kv
