#include "capture/AVIErrors.h"

#include "platform/KVError.h"

#include <array>
#include <cstdio>
#include <utility>

namespace kv {

namespace {

constexpr std::array<std::pair<uint32_t, const char*>, 20> ResultTexts{{
    {arUnregisteredFileType, ": Unregistered File Type"},
    {arUnsupported, ": Compression Not Supported"},
    {arBadFormat, ": Bad/corrupt file format."},
    {arMemory, ": Insufficient memory."},
    {arInternal, ": AVI Internal Error"},
    {arBadFlags, ": Bad Flags"},
    {arBadParam, ": Bad Parameters"},
    {arBadSize, ": Bad size"},
    {arBadHandle, ": Bad Handle"},
    {arFileRead, ": Disk read error."},
    {arFileWrite, ": File write error"},
    {arFileOpen, ": Disk open error."},
    {arCompressor, ": Compressor Error"},
    {arNoCompressor, ": Suitable Compressor Not Found"},
    {arReadOnly, ": File opened Read only"},
    {arNoData, ": Files does not contains specified data type"},
    {arBufferTooSmall, ": Buffer Smaller Than Sample"},
    {arCantCompress, ": Unable to compress"},
    {arUserAbort, ": User abort"},
    {arError, ": AVI Error"},
}};

} // namespace

std::string AVIResultText(uint32_t result)
{
    for (const auto& [code, text] : ResultTexts)
        if (code == result)
            return text;
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(result));
    return std::string(" Unknown Error: ") + hex;
}

std::string AVIErrorMessage(std::string_view operation, uint32_t result, std::string_view detail)
{
    std::string message(operation);
    message += AVIResultText(result);
    if (!detail.empty())
        message.append(" (").append(detail).append(")");
    return message;
}

void ThrowAVIError(std::string_view operation, uint32_t result, std::string_view detail)
{
    throw EKorvelaError(AVIErrorMessage(operation, result, detail));
}

std::string CreateFileOperation(std::string_view extension)
{
    return std::string("Unable to create AVI file (\"").append(extension).append("\")");
}

} // namespace kv
