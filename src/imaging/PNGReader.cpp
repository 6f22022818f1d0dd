#include "imaging/PNGReader.h"

#include "PictureSize.h"
#include "platform/KVError.h"

#include <png.h>

#include <cstring>

namespace kv {

namespace {

// Deflate expands at most about 1032 times.
constexpr uint64_t MaxExpansion = 1100;

// libpng's simplified reader keeps its errors to itself and reports them in the image.
class TPNGImage {
public:
    TPNGImage()
    {
        std::memset(&Image, 0, sizeof Image);
        Image.version = PNG_IMAGE_VERSION;
    }
    ~TPNGImage() { png_image_free(&Image); }
    TPNGImage(const TPNGImage&) = delete;
    TPNGImage& operator=(const TPNGImage&) = delete;

    png_image Image;
};

} // namespace

void ReadPNG(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress, const std::string& name)
{
    TRowProgress rows(progress, 1);
    rows.Start();
    TPNGImage png;
    if (!png_image_begin_read_from_memory(&png.Image, data.data(), data.size()))
        throw EKorvelaError(name + ": not a readable PNG picture (" + png.Image.message + ")");
    const bool alpha = (png.Image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    const int bytesPerPixel = alpha ? 4 : 3;
    CheckPictureSize(name, png.Image.width, png.Image.height, bytesPerPixel, data.size(), MaxExpansion);
    png.Image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;

    TBitmap picture(static_cast<int32_t>(png.Image.width), static_cast<int32_t>(png.Image.height),
                    alpha ? pf32bit : pf24bit);
    // The bitmap's rows (top-down, padded to 4 bytes) take libpng's output directly; the stride
    // counts components, which are bytes here.
    const auto stride = static_cast<png_int_32>(picture.RowBytes());
    if (!png_image_finish_read(&png.Image, nullptr, picture.ScanLine(0), stride, nullptr))
        throw EKorvelaError(name + ": the PNG picture is damaged (" + png.Image.message + ")");
    bitmap = std::move(picture);
    rows.RowDone();
    rows.End();
}

} // namespace kv
