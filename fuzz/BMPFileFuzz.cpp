// Feeds arbitrary bytes to the BMP reader: it must fail only with EKorvelaError, never crash, hang,
// read out of bounds or take memory its input cannot justify. Whatever it reads, written back and
// read again, must give the same stored rows and colour table.
#include "platform/BMPFile.h"
#include "platform/KVError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        const kv::TBitmap bitmap =
            kv::LoadBMPStream(std::span<const char>(reinterpret_cast<const char*>(data), size), "fuzz.bmp");
        const std::string written = kv::FormatBMPData(bitmap);
        const kv::TBitmap again = kv::LoadBMPStream(std::span<const char>(written.data(), written.size()), "again.bmp");
        if (again.Width() != bitmap.Width() || again.Height() != bitmap.Height() ||
            again.PixelFormat() != bitmap.PixelFormat() ||
            (!bitmap.Palette().empty() && again.Palette() != bitmap.Palette()))
            std::abort();
        for (int32_t y = 0; y < bitmap.Height() && bitmap.RowBytes() > 0; ++y)
            if (std::memcmp(again.ScanLine(y), bitmap.ScanLine(y), bitmap.RowBytes()) != 0)
                std::abort();
    } catch (const kv::EKorvelaError&) {
    }
    return 0;
}
