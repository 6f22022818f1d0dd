#pragma once
// PNG files the command-line tool wrote, decoded by libpng for comparison.

#include "platform/Color.h"
#include "support/TestData.h"

#include <png.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kv::test {

struct TPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> RGB;
    TColor Pixel(int32_t x, int32_t y) const
    {
        const size_t i = (size_t(y) * size_t(Width) + size_t(x)) * 3;
        return RGBColor(RGB[i], RGB[i + 1], RGB[i + 2]);
    }
};

inline TPicture ReadPNG(const std::filesystem::path& fileName)
{
    const std::string data = ReadFileText(fileName);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    TPicture picture;
    if (!png_image_begin_read_from_memory(&image, data.data(), data.size()))
        return picture;
    image.format = PNG_FORMAT_RGB;
    picture.RGB.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.RGB.data(), 0, nullptr))
        return picture;
    picture.Width = static_cast<int32_t>(image.width);
    picture.Height = static_cast<int32_t>(image.height);
    return picture;
}

} // namespace kv::test
