// Arbitrary bytes into the PCX reader.
#include "PictureReaderFuzzing.h"
#include "imaging/PCXReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return kv::fuzz::FuzzPictureReader(data, size, [](std::span<const uint8_t> bytes, kv::TBitmap& bitmap) {
        kv::ReadPCX(bytes, bitmap);
    });
}
