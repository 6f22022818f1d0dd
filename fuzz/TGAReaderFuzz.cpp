// Arbitrary bytes into the TGA reader.
#include "PictureReaderFuzzing.h"
#include "imaging/TGAReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return kv::fuzz::FuzzPictureReader(data, size, [](std::span<const uint8_t> bytes, kv::TBitmap& bitmap) {
        kv::ReadTGA(bytes, bitmap);
    });
}
