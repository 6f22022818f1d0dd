#pragma once
// The two read-only texts about the current DEM: the listing of its header ("DEM
// Information") and the defect report of its last load ("DEM Error Information").

#include "dem/DEMLib.h"

#include <string>
#include <vector>

namespace kv {

// "Radians", "Feet", "Meters", "Arc-Seconds" for the codes 0 to 3; empty text otherwise.
std::string UnitName(int code);

// The shortest general decimal form of x with at most 15 significant digits ("30", "0.25",
// "-842448", "1e+20"), always with ".".
std::string FormatGeneral(double x);

// The header listing, one line per entry, in the order the information dialog shows it.
// `colorSpacing` is the band spacing of the last drawing of the DEM image (0 before the
// first drawing); elevations use the working units (FormatElevation).
std::vector<std::string> DemInfoLines(const TDEMInfo& info, double colorSpacing);

// The defect report split into its lines (ErrorText without the CR LF breaks).
std::vector<std::string> DemErrorLines(const TDEMInfo& info);

} // namespace kv
