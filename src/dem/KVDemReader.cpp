#include "dem/KVDemReader.h"

#include "dem/DEMLoader.h"
#include "dem/SDTSLoader.h"
#include "platform/KVError.h"
#include "platform/TextCase.h"

#include <system_error>

namespace kv {

namespace {

// "CEL" at characters 5 to 7 of an 8-character name before the extension.
bool HasCellModuleStem(const std::string& stem)
{
    return stem.size() == 8 && SameTextIgnoringCase(stem.substr(4, 3), "CEL");
}

// The cell module of the transfer that `module` belongs to (same first four characters, in
// the same folder), or an empty path when there is none or more than one.
std::filesystem::path CellModuleBeside(const std::filesystem::path& module)
{
    const std::string prefix = module.stem().string().substr(0, 4);
    const std::filesystem::path folder = module.has_parent_path() ? module.parent_path() : ".";
    std::filesystem::path found;
    int count = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path name = it->path().filename();
        if (IsSDTSCellModuleName(name) && SameTextIgnoringCase(name.string().substr(0, 4), prefix)) {
            found = name;
            ++count;
        }
    }
    return count == 1 ? found : std::filesystem::path();
}

} // namespace

bool IsSDTSFileName(const std::filesystem::path& fileName)
{
    return SameTextIgnoringCase(fileName.extension().string(), ".ddf");
}

bool IsSDTSCellModuleName(const std::filesystem::path& fileName)
{
    return IsSDTSFileName(fileName) && HasCellModuleStem(fileName.stem().string());
}

void LoadDEMByExtension(const std::filesystem::path& fileName, TDEMArray& dem)
{
    if (!IsSDTSFileName(fileName)) {
        LoadDEMFile(fileName, dem);
        return;
    }
    // The loader finds the transfer's other modules from the cell module's name; any other
    // module would send it looking for files that do not exist.
    if (!IsSDTSCellModuleName(fileName)) {
        const std::filesystem::path cell = CellModuleBeside(fileName);
        throw EKorvelaError(fileName.string() + " is not the cell module of an SDTS transfer: open " +
                            (cell.empty() ? std::string("the transfer's") : cell.string() + ", the transfer's") +
                            " ????CEL?.DDF file");
    }
    LoadSDTSFile(fileName, dem);
}

} // namespace kv
