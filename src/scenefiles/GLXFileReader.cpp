#include "scenefiles/GLXFileReader.h"

#include "platform/FileIO.h"
#include "platform/KVError.h"
#include "scenefiles/GLXFileBinToText.h"
#include "scenefiles/GLXFileGlobal.h"
#include "scenefiles/GLXFileTextReader.h"

namespace kv {

void ReadXFile(TGLFrame& baseFrame, std::string_view data, const TProgressCallback& progress, bool append)
{
    TXFileInfo info;
    ReadXFileHeader(data, info);
    if (info.Format == xfText) {
        ReadXFileText(baseFrame.Meshes(), data, append, progress);
    } else if (info.Format == xfBinary) {
        const std::string text = XFileBinaryToText(data, progress, 50, 0);
        ReadXFileText(baseFrame.Meshes(), text, append, progress, 50, 50);
    } else {
        throw EKorvelaError(std::string("File Type Unsupported: ") + XFileFormatName(info.Format));
    }
}

void LoadXFile(TGLFrame& baseFrame, const std::filesystem::path& fileName, const TProgressCallback& progress, bool append)
{
    const std::vector<char> data = ReadWholeFile(fileName);
    ReadXFile(baseFrame, std::string_view(data.data(), data.size()), progress, append);
}

} // namespace kv
