// The binary X file converter, and the reading of what it makes, over arbitrary tokens after a
// binary header (32-bit floats when the first byte is even, 64-bit otherwise).
#include "platform/KVError.h"
#include "scenefiles/GLXFileReader.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::string file = data[0] % 2 == 0 ? "xof 0302bin 0032" : "xof 0302bin 0064";
    file.append(reinterpret_cast<const char*>(data) + 1, size - 1);
    kv::TGLBaseFrame base;
    try {
        kv::ReadXFile(base, file);
    } catch (const kv::EKorvelaError&) {
    }
    return 0;
}
