#include "scenefiles/GLXFileGlobal.h"

#include "platform/KVError.h"

namespace kv {

const char* XFileFormatName(TXFileFormat format)
{
    switch (format) {
    case xfText:
        return "Text";
    case xfBinary:
        return "Binary";
    case xfCompressed:
        return "Compressed";
    case xfBZip:
        return "BZip";
    case xfBTip:
        return "BTip";
    default:
        return "Unknown";
    }
}

void ReadXFileHeader(std::string_view data, TXFileInfo& info)
{
    if (data.size() < 16 || data.substr(0, 4) != "xof ")
        throw EKorvelaError("Invalid File");
    info.Version = std::string(data.substr(4, 4));
    const std::string_view format = data.substr(8, 4);
    if (format == "txt ")
        info.Format = xfText;
    else if (format == "bin ")
        info.Format = xfBinary;
    else if (format == "com ")
        info.Format = xfCompressed;
    else if (format == "bzip")
        info.Format = xfBZip;
    else if (format == "tzip")
        info.Format = xfBTip;
    else
        info.Format = xfUnknown;
    const std::string_view floatSize = data.substr(12, 4);
    if (floatSize == "0032")
        info.FloatSize = 32;
    else if (floatSize == "0064")
        info.FloatSize = 64;
}

} // namespace kv
