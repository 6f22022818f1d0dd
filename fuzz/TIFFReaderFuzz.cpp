// Arbitrary bytes into the TIFF reader.
#include "PictureReaderFuzzing.h"
#include "imaging/TIFFReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return kv::fuzz::FuzzPictureReader(data, size, [](std::span<const uint8_t> bytes, kv::TBitmap& bitmap) {
        kv::ReadTIFF(bytes, bitmap);
    });
}
