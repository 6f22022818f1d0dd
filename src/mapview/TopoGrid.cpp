#include "mapview/TopoGrid.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kv {

namespace {

// Fixed notation with the given decimals and "." whatever the locale.
std::string Fixed(double value, int decimals)
{
    char buffer[400];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

TRect Normalized(const TRect& r)
{
    return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right), std::max(r.Top, r.Bottom)};
}

} // namespace

void TTopoGrid::SetSize(int32_t cols, int32_t rows)
{
    Cols_ = std::clamp(cols, 0, TopoCapacity);
    Rows_ = std::clamp(rows, 0, TopoCapacity);
}

void ResetTopoEditor(TTopoDocument& doc, const TDEMInfo& info, const TUnits& units)
{
    doc.TopoSpacing = 5;
    SetTopoInterval(doc, 75.0, units);
    doc.MarkPoints = false;
    doc.ColorByElevation = true;
    doc.AutoUpdate = true;
    doc.TopoSelection = {0, 0, TopoCapacity, TopoCapacity};
    doc.Spacing = ComputeGroundSpacing(info);
}

double SetTopoInterval(TTopoDocument& doc, double meters, const TUnits& units)
{
    const double f = units.UnitFactor();
    double shown = std::round(meters * f * 100.0) / 100.0;
    if (shown == 0.0 || !std::isfinite(shown))
        shown = 1.0;
    // The field's range; an interval of 0 or below would never step past a level.
    shown = std::clamp(shown, TopoIntervalMin, TopoIntervalMax);
    doc.TopoInterval = shown / f;
    return shown;
}

double RoundUpToTen(double r)
{
    const double magnitude = std::ceil(std::fabs(r) / 10.0) * 10.0;
    return r < 0.0 ? -magnitude : magnitude;
}

double NextContourLevel(double z, double interval)
{
    const double q = z / interval;
    const double whole = std::trunc(q);
    if (q == whole)
        return z;
    return (whole + (z > 0.0 ? 1.0 : 0.0)) * interval;
}

TLoadOutcome LoadSelection(TTopoDocument& doc, const TDEMArray& dem, const TRect& demSelection, const TUnits& units)
{
    const TRect sel = Normalized(demSelection);
    if (sel.Left == sel.Right || sel.Top == sel.Bottom)
        return loNothingSelected;
    const int32_t gridRows = dem.Rows();
    int64_t left = std::max<int64_t>(sel.Left, 0);
    int64_t right = std::min<int64_t>(sel.Right, int64_t(dem.Cols()) - 1);
    int64_t south = std::max<int64_t>(int64_t(gridRows) - sel.Bottom, 0);
    const int64_t north = std::min<int64_t>(int64_t(gridRows) - sel.Top, int64_t(gridRows) - 1);
    if (right <= left || north <= south)
        return loNothingSelected;
    TLoadOutcome outcome = loLoaded;
    if (right - left > TopoCapacity) {
        right = left + TopoCapacity;
        outcome = loClipped;
    }
    if (north - south > TopoCapacity) {
        south = north - TopoCapacity;
        outcome = loClipped;
    }

    doc.TopoLoaded = false;
    ResetTopoEditor(doc, dem.Info, units);
    doc.TopoRefCode = dem.Info.GroundRef;
    const auto cols = int32_t(right - left);
    const auto rows = int32_t(north - south);
    // Grid rows north .. south + 1, north first.
    for (int32_t u = 0; u < cols; ++u) {
        const int32_t* column = dem.Column(int32_t(left) + u);
        for (int32_t t = 0; t < rows; ++t)
            doc.Grid.Set(u, t, double(column[north - t]));
    }
    doc.Grid.SetSize(cols, rows);
    doc.TopoMax = dem.Info.DataMax;
    doc.TopoMin = dem.Info.DataMin;
    SetTopoInterval(doc, RoundUpToTen((doc.TopoMax - doc.TopoMin) / 15.0), units);
    doc.Spacing = ComputeGroundSpacing(dem.Info);
    doc.MetresPerGroundUnit = {1.0, 1.0};
    if (dem.Info.GroundRef == 0) {
        const double lat = std::trunc(std::fabs(dem.Info.Corners[cnSW].North / 3600.0));
        if (lat >= 0.0 && lat <= 90.0)
            doc.MetresPerGroundUnit = MetresPerArcSecond[size_t(lat)];
    }
    const TGroundPoint& nw = dem.Info.Corners[cnNW];
    doc.TopoOrigin = {nw.East + PixelsToGroundX(dem.Info, int32_t(left)),
                      nw.North + PixelsToGroundY(dem.Info, -int32_t(int64_t(gridRows) - north))};
    doc.TopoSelection = {0, 0, cols - 1, rows - 1};
    doc.TopoLoaded = true;
    return outcome;
}

void FitSpacing(TTopoDocument& doc, int32_t imageWidth, int32_t imageHeight)
{
    const int32_t a = std::max(doc.Grid.Cols() - 1, 1);
    const int32_t b = std::max(doc.Grid.Rows() - 1, 1);
    const int32_t fit = std::min((imageWidth - 1) / a, (imageHeight - 1) / b);
    doc.TopoSpacing = std::clamp(fit, TopoSpacingMin, TopoSpacingMax);
}

TRect BoxCells(const TTopoDocument& doc, const TRect& boxPixels)
{
    const TRect box = Normalized(boxPixels);
    const int32_t s = std::max(doc.TopoSpacing, 1);
    return {box.Left / s, box.Top / s, box.Right / s, box.Bottom / s};
}

std::string TopoSizeText(const TRect& cells)
{
    return std::to_string(cells.Width() * cells.Height());
}

bool CropToBox(TTopoDocument& doc, const TRect& boxPixels)
{
    TRect cells = BoxCells(doc, boxPixels);
    doc.TopoSelection = cells;
    cells.Left = std::max(cells.Left, 0);
    cells.Top = std::max(cells.Top, 0);
    cells.Right = std::min(cells.Right, doc.Grid.Cols() - 1);
    cells.Bottom = std::min(cells.Bottom, doc.Grid.Rows() - 1);
    if (cells.Right < cells.Left || cells.Bottom < cells.Top)
        return false;
    doc.TopoOrigin.East += cells.Left * doc.Spacing.East / doc.MetresPerGroundUnit.East;
    doc.TopoOrigin.North -= cells.Top * doc.Spacing.North / doc.MetresPerGroundUnit.North;
    const int32_t cols = cells.Right - cells.Left + 1;
    const int32_t rows = cells.Bottom - cells.Top + 1;
    // Ascending order: a target cell never lies after a source still to be read.
    for (int32_t u = 0; u < cols; ++u)
        for (int32_t t = 0; t < rows; ++t)
            doc.Grid.Set(u, t, doc.Grid.Get(cells.Left + u, cells.Top + t));
    doc.Grid.SetSize(cols, rows);
    doc.TopoSelection = {0, 0, cols - 1, rows - 1};
    return true;
}

void RefreshAfterEdit(TTopoDocument& doc, bool updateInterval, const TUnits& units, int32_t imageWidth,
                      int32_t imageHeight)
{
    doc.TopoOrigin = {0.0, 0.0};
    doc.TopoRefCode = 1;
    doc.MetresPerGroundUnit = {1.0, 1.0};
    double high = -32767.0;
    double low = 32767.0;
    for (int32_t c = 0; c < doc.Grid.Cols(); ++c) {
        const double* column = doc.Grid.Column(c);
        for (int32_t r = 0; r < doc.Grid.Rows(); ++r) {
            if (column[r] > high)
                high = column[r];
            if (column[r] < low)
                low = column[r];
        }
    }
    doc.TopoMax = high;
    doc.TopoMin = low;
    if (updateInterval)
        SetTopoInterval(doc, (high - low) / 15.0, units);
    doc.TopoSelection = {0, 0, doc.Grid.Cols() - 1, doc.Grid.Rows() - 1};
    FitSpacing(doc, imageWidth, imageHeight);
}

double InterpolatedElevation(const TTopoGrid& grid, double px, double py)
{
    if (!(px >= 0.0) || !(py >= 0.0))
        return 0.0;
    const double cf = std::trunc(px);
    const double rf = std::trunc(py);
    if (cf + 1.0 >= grid.Cols() || rf + 1.0 >= grid.Rows())
        return 0.0;
    const auto c = int32_t(cf);
    const auto r = int32_t(rf);
    const double fx = px - cf;
    const double fy = py - rf;
    const double top = grid.Get(c, r) + (grid.Get(c + 1, r) - grid.Get(c, r)) * fx;
    const double bottom = grid.Get(c, r + 1) + (grid.Get(c + 1, r + 1) - grid.Get(c, r + 1)) * fx;
    return top + (bottom - top) * fy;
}

TTopoReadout TopoReadouts(const TTopoDocument& doc, int32_t x, int32_t y, const TUnits& units)
{
    TTopoReadout readout;
    if (!doc.TopoLoaded)
        return readout;
    const double s = std::max(doc.TopoSpacing, 1);
    const double px = x / s;
    const double py = y / s;
    readout.Point = Fixed(px, 1) + ", " + Fixed(py, 1) + " ";
    const double east = doc.TopoOrigin.East + px * doc.Spacing.East / doc.MetresPerGroundUnit.East;
    const double north = doc.TopoOrigin.North - py * doc.Spacing.North / doc.MetresPerGroundUnit.North;
    readout.Location =
        FormatGround(doc.TopoRefCode, east, units) + "E, " + FormatGround(doc.TopoRefCode, north, units) + "N ";
    const double value = InterpolatedElevation(doc.Grid, px, py) * units.UnitFactor();
    readout.Elevation = Fixed(value, 1) + " " + units.UnitSuffix() + " ";
    return readout;
}

} // namespace kv
