// Arbitrary bytes into the LBM reader.
#include "PictureReaderFuzzing.h"
#include "imaging/LBMReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return kv::fuzz::FuzzPictureReader(data, size, [](std::span<const uint8_t> bytes, kv::TBitmap& bitmap) {
        kv::ReadLBM(bytes, bitmap);
    });
}
