// Feeds every picture decoder: the first input byte picks the format ('t' TIFF, 'p' PNG, 'j' JPEG,
// 'g' GIF, 'a' TGA, 'x' PCX, 'l' LBM, anything else BMP), the rest are the file's bytes, copied
// into a buffer of exactly their size. Only EKorvelaError may come out.
#include "imaging/ImageLib.h"
#include "platform/KVError.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const char* name = "picture.bmp";
    switch (data[0]) {
    case 't': name = "picture.tif"; break;
    case 'p': name = "picture.png"; break;
    case 'j': name = "picture.jpg"; break;
    case 'g': name = "picture.gif"; break;
    case 'a': name = "picture.tga"; break;
    case 'x': name = "picture.pcx"; break;
    case 'l': name = "picture.lbm"; break;
    default: break;
    }
    const std::vector<uint8_t> file(data + 1, data + size);
    kv::TBitmap bitmap;
    try {
        kv::LoadImageData(bitmap, file, name);
    } catch (const kv::EKorvelaError&) {
    }
    if (!bitmap.Empty())
        (void)bitmap.GetPixel(bitmap.Width() - 1, bitmap.Height() - 1);
    return 0;
}
