#include "PictureSize.h"

#include "platform/KVError.h"
#include "platform/MemoryStatus.h"

#include <algorithm>
#include <cstdint>

namespace kv {

void CheckPictureSize(const std::string& name, uint64_t width, uint64_t height, double bytesPerPixel,
                      uint64_t fileBytes, uint64_t maxExpansion)
{
    const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (width == 0 || height == 0)
        throw EKorvelaError(name + ": the picture has no pixels (" + size + ")");
    if (width > INT32_MAX || height > INT32_MAX)
        throw EKorvelaError(name + ": a picture of " + size + " is larger than the program can hold");
    const long double bytes = static_cast<long double>(width) * height * bytesPerPixel;
    const long double backed = std::max<long double>(static_cast<long double>(fileBytes) * maxExpansion, 1 << 20);
    if (bytes > backed)
        throw EKorvelaError(name + ": a picture of " + size + " needs " + std::to_string(uint64_t(bytes)) +
                            " bytes, far more than the file's " + std::to_string(fileBytes) + " bytes can fill");
    if (bytes > static_cast<long double>(AvailableMemoryBytes()))
        throw EKorvelaError(name + ": a picture of " + size + " needs more memory than is available");
}

} // namespace kv
