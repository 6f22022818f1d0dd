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
// found whatever the case of their names. Cells the cell module does not deliver (it ends early,
// or a row holds fewer values than NCOL) are VoidValue. Throws EKorvelaError: "Cannot open file
// <name>" for a missing module (the name as derived from `fileName`); otherwise a message that
// starts with the module's file name ("7001LDEF.DDF: ..."): a malformed leader or directory, an
// invalid grid size, no elevations (an empty grid, no CVLS field, not a single cell), or a grid
// size the cell module cannot back. On failure the grid keeps its cells; Info may be refilled.
void LoadSDTSFile(const std::filesystem::path& fileName, TDEMArray& dem);

// One module of a transfer: its file name (messages start with it) and its bytes.
struct TSDTSModuleFile {
    std::string Name;
    std::vector<char> Bytes;
};

// Module `code` ("IDEN", "CEL0", ...) of one transfer; throws when it is missing.
using TSDTSModuleSource = std::function<TSDTSModuleFile(const std::string& code)>;

// The load itself, with the modules taken from `source`; `cellModule` is the code of the cell
// module ("CEL0"). LoadSDTSFile is this over files; tests and the fuzzer use it from memory.
void LoadSDTSModules(const TSDTSModuleSource& source, const std::string& cellModule, TDEMArray& dem);

// The file of a module: `derived` itself when it exists, else the first file of its folder (in
// name order) whose name equals it ignoring case. Throws EKorvelaError "Cannot open file <derived>"
// when there is none.
std::filesystem::path FindModuleFile(const std::filesystem::path& derived);

} // namespace kv
