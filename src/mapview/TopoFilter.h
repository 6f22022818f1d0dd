#pragma once
// The topo editor's stripe filter: a step-ratio profile that shows sampling stripes as peaks at
// fixed positions, and a three-point running mean that flattens them, both along one direction of
// the topo grid. The grid is smoothed in place.

#include "mapview/TopoGrid.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// West-East: along the rows (across the columns); South-North: along the columns.
enum TFilterDirection { fdWestEast, fdSouthNorth };

// Cells at or below this take no part in the filter.
inline constexpr double FilterVoidLimit = -32767.0;

// The profile's plotted entries: for every position p along the direction (0 .. n - 1, n the
// cells along it less 4) the mean, over the lines across it, of |middle step| / mean of the two
// outer steps of the four cells from p (South-North: from p - 1; entry 0 stays 0). Groups with a
// void cell or flat outer steps add nothing. Empty when fewer than 5 cells lie along the direction.
std::vector<float> StepRatioProfile(const TTopoGrid& grid, TFilterDirection direction);

// One pass of the running mean in the direction, in place: each cell between two others
// becomes the mean of the three, the western (northern) one already smoothed; the first and last
// cell of every line stay; a void cell leaves its neighbours as they are.
void SmoothTopo(TTopoGrid& grid, TFilterDirection direction);

// What the graph shows: the profile against its index, the x axis from 0 to the number of
// entries with 5 grid lines, the y axis from the lowest entry (or 4 when it is higher) to 4.
struct TStepRatioGraph {
    std::vector<float> Values;
    double XMax = 0.0;
    int32_t XGridLines = 5;
    double YMin = 0.0;
    double YMax = 4.0;
};
TStepRatioGraph StepRatioGraph(const TTopoGrid& grid, TFilterDirection direction);

// The readout under the mouse at graph coordinates (x, y): "12 0.87".
std::string GraphCursorText(double x, double y);

} // namespace kv
