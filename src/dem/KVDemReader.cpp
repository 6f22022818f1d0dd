#include "dem/KVDemReader.h"

#include "dem/DEMLoader.h"
#include "dem/SDTSLoader.h"
#include "platform/TextCase.h"

namespace kv {

bool IsSDTSFileName(const std::filesystem::path& fileName)
{
    return SameTextIgnoringCase(fileName.extension().string(), ".ddf");
}

void LoadDEMByExtension(const std::filesystem::path& fileName, TDEMArray& dem)
{
    if (IsSDTSFileName(fileName))
        LoadSDTSFile(fileName, dem);
    else
        LoadDEMFile(fileName, dem);
}

} // namespace kv
