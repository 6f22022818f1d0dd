#pragma once
// The two read-only texts about the current DEM: the listing of its header ("DEM
// Information") and the defect report of its last load ("DEM Error Information").

#include "dem/DEMLib.h"
#include "platform/Units.h"

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
// first drawing), like the cells in the file's elevation unit. High point, low point and
// spacing are converted from that unit to the working `units`; the header lines show the
// header's own numbers.
std::vector<std::string> DEMInfoLines(const TDEMInfo& info, double colorSpacing, const TUnits& units);

// The defect report split into its lines (ErrorText without the CR LF breaks).
std::vector<std::string> DEMErrorLines(const TDEMInfo& info);

} // namespace kv
