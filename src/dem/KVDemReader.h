#pragma once
// Opening a DEM file with the reader its extension names.

#include "dem/DEMLib.h"

#include <filesystem>

namespace kv {

// True for names ending in ".ddf" in any case: a module of an SDTS transfer.
bool IsSDTSFileName(const std::filesystem::path& fileName);

// True for the name of an SDTS transfer's cell module, "????CEL?.DDF" in any case
// (7001CEL0.DDF): the module that opens the transfer.
bool IsSDTSCellModuleName(const std::filesystem::path& fileName);

// Refills `dem` from `fileName`: ".ddf" (any case) goes to the SDTS loader, anything else,
// no extension included, to the USGS DEM reader. Another module than the cell module of an
// SDTS transfer (7001IDEN.DDF) is refused with a message naming the cell module to open. Throws EKorvelaError (or std::bad_alloc)
// when the load fails; the grid then stays valid but may be partly refilled.
void LoadDEMByExtension(const std::filesystem::path& fileName, TDEMArray& dem);

} // namespace kv
