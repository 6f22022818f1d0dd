#pragma once
// Loads an SDTS raster DEM transfer: a set of ISO 8211 module files sharing a four-character
// prefix in one folder. The user picks the cell module (e.g. 1234CEL0.DDF); the other modules'
// names are derived from it (1234IDEN.DDF, 1234LDEF.DDF, ...).

#include "dem/DEMLib.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kv {

// Fills `dem` (grid and Info) from the transfer whose cell module is `fileName`. Module files are
// found whatever the case of their names. Throws EKorvelaError: "Cannot open file <name>" for a
// missing module (the name as derived from `fileName`), a malformed leader or directory, or a grid
// size the cell module cannot justify. On failure the grid stays valid (Cols/Rows describe its
// cells); when the cell module ends early the rows not read keep what they held.
void LoadSDTSFile(const std::filesystem::path& fileName, TDEMArray& dem);

// The bytes of module `code` ("IDEN", "CEL0", ...) of one transfer; throws when it is missing.
using TSDTSModuleSource = std::function<std::vector<char>(const std::string& code)>;

// The load itself, with the modules taken from `source`; `cellModule` is the code of the cell
// module ("CEL0"). LoadSDTSFile is this over files; tests and the fuzzer use it from memory.
void LoadSDTSModules(const TSDTSModuleSource& source, const std::string& cellModule, TDEMArray& dem);

// The file of a module: `derived` itself when it exists, else the first file of its folder (in
// name order) whose name equals it ignoring case. Throws EKorvelaError "Cannot open file <derived>"
// when there is none.
std::filesystem::path FindModuleFile(const std::filesystem::path& derived);

} // namespace kv
