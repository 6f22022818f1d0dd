#pragma once
// Opening a DEM file with the reader its extension names.

#include "dem/DEMLib.h"

#include <filesystem>

namespace kv {

// True for names ending in ".ddf" in any case: the cell module of an SDTS transfer.
bool IsSDTSFileName(const std::filesystem::path& fileName);

// Refills `dem` from `fileName`: ".ddf" (any case) goes to the SDTS loader, anything else,
// no extension included, to the USGS DEM reader. Throws EKorvelaError (or std::bad_alloc)
// when the load fails; the grid then stays valid but may be partly refilled.
void LoadDEMByExtension(const std::filesystem::path& fileName, TDEMArray& dem);

} // namespace kv
