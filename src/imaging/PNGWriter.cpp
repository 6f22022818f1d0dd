#include "imaging/PNGWriter.h"

#include "platform/KVError.h"

#include <png.h>

#include <csetjmp>
#include <string>
#include <vector>

namespace kv {

namespace {

struct TPNGOutput {
    std::string Data;
};

void AppendPNGData(png_structp png, png_bytep data, size_t length)
{
    auto* output = static_cast<TPNGOutput*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        output->Data.append(reinterpret_cast<const char*>(data), length);
    } catch (...) {
        failed = true;
    }
    if (failed)
        png_error(png, "out of memory");
}

void FlushPNGData(png_structp) {}

[[noreturn]] void ThrowPNGError(png_structp png, png_const_charp message)
{
    // Keep the message for the caller, then leave through the set-jump point.
    auto* text = static_cast<std::string*>(png_get_error_ptr(png));
    if (text)
        *text = message ? message : "";
    png_longjmp(png, 1);
}

// Encodes the rows; false when libpng failed. Nothing in this frame needs destroying, because
// libpng leaves it with a long jump.
bool EncodeRGB(png_structp png, png_infop info, png_bytepp rows, uint32_t width, uint32_t height)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

} // namespace

std::string EncodePNG(const TBitmap& bitmap)
{
    if (bitmap.Empty())
        throw EKorvelaError("Cannot encode a picture of " + std::to_string(bitmap.Width()) + " x " +
                            std::to_string(bitmap.Height()) + " pixels as PNG.");
    const auto width = static_cast<size_t>(bitmap.Width());
    const auto height = static_cast<size_t>(bitmap.Height());
    std::vector<png_byte> pixels(width * height * 3);
    std::vector<png_bytep> rows(height);
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* from = bitmap.ScanLine(static_cast<int32_t>(y));
        png_bytep to = pixels.data() + y * width * 3;
        rows[y] = to;
        const int bytes = bitmap.PixelFormat() == pf32bit ? 4 : bitmap.PixelFormat() == pf24bit ? 3 : 0;
        for (size_t x = 0; x < width; ++x) {
            if (bytes != 0) {
                to[3 * x] = from[bytes * x + 2];     // red
                to[3 * x + 1] = from[bytes * x + 1]; // green
                to[3 * x + 2] = from[bytes * x];     // blue
            } else {
                const TColor color = bitmap.GetPixel(int32_t(x), int32_t(y));
                to[3 * x] = RedOf(color);
                to[3 * x + 1] = GreenOf(color);
                to[3 * x + 2] = BlueOf(color);
            }
        }
    }
    std::string error;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, ThrowPNGError, nullptr);
    if (!png)
        throw EKorvelaError("Cannot start the PNG encoder");
    png_infop info = png_create_info_struct(png);
    TPNGOutput output;
    bool encoded = false;
    if (info) {
        png_set_write_fn(png, &output, AppendPNGData, FlushPNGData);
        encoded = EncodeRGB(png, info, rows.data(), static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    }
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!encoded)
        throw EKorvelaError("Cannot encode the picture as PNG: " + (error.empty() ? std::string("no memory") : error));
    return std::move(output.Data);
}

} // namespace kv
