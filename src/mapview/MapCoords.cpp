#include "mapview/MapCoords.h"

#include "platform/Rounding.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace kv {

namespace {

std::string IntegerText(long long value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

double TruncateTowardZero(double x)
{
    return std::isfinite(x) ? std::trunc(x) : 0.0;
}

} // namespace

int32_t PixelsToGroundX(const TDEMInfo& info, int32_t pixels)
{
    return RoundHalfEvenToInt32(pixels * info.Resolution[0]);
}

int32_t PixelsToGroundY(const TDEMInfo& info, int32_t pixels)
{
    return RoundHalfEvenToInt32(pixels * info.Resolution[1]);
}

std::string FormatArcSeconds(double arcSeconds)
{
    // Beyond this the whole-degree count no longer fits the integers below.
    if (!std::isfinite(arcSeconds) || std::fabs(arcSeconds) > 1e18)
        return {};
    const double degrees = std::trunc(arcSeconds / 3600.0);
    const double rest = std::fabs(arcSeconds) - std::fabs(degrees) * 3600.0;
    const double minutes = std::trunc(rest / 60.0);
    const double seconds = std::trunc(rest - minutes * 60.0);
    return IntegerText(static_cast<long long>(degrees)) + "\xC2\xB0" + IntegerText(static_cast<long long>(minutes)) +
           "'" + IntegerText(static_cast<long long>(seconds)) + "\"";
}

std::string FormatLength(double meters, const TUnits& units, std::string_view separator)
{
    const double value = std::round(meters * (units.UseFeet ? FeetPerMeter : 1.0));
    if (!std::isfinite(value))
        return {};
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 0);
    std::string digits(buffer, result.ptr);
    std::string sign;
    if (!digits.empty() && digits[0] == '-') {
        digits.erase(0, 1);
        if (digits != "0")
            sign = "-";
    }
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    return sign + grouped + (units.UseFeet ? "ft" : "m.");
}

std::string FormatGround(int32_t groundRef, double value, const TUnits& units)
{
    switch (groundRef) {
    case 0:
        return FormatArcSeconds(value);
    case 1:
        return FormatLength(value, units);
    default:
        return {};
    }
}

TCornerLabels CornerLabels(const TDEMInfo& info, const TScrollState& scroll, const TUnits& units)
{
    const int64_t below = int64_t{scroll.VertRange} - scroll.VertPosition - scroll.ClientHeight;
    const double ox = PixelsToGroundX(info, scroll.HorzPosition);
    const double oy =
        PixelsToGroundY(info, static_cast<int32_t>(std::clamp<int64_t>(below, std::numeric_limits<int32_t>::min(),
                                                                       std::numeric_limits<int32_t>::max())));
    const double gx = PixelsToGroundX(info, scroll.Width);
    const double gy = PixelsToGroundY(info, scroll.Height);
    const double x0 = info.Corners[cnSW].East;
    const double y0 = info.Corners[cnSW].North;
    const int32_t code = info.GroundRef;
    const auto east = [&](double x) { return FormatGround(code, x, units) + " E"; };
    const auto north = [&](double y) { return FormatGround(code, y, units) + " N"; };
    TCornerLabels labels;
    labels.SWEast = east(x0 + ox);
    labels.SWNorth = north(y0 + oy);
    labels.NWEast = east(x0 + ox);
    labels.NWNorth = north(y0 + gy + oy);
    labels.NEEast = east(x0 + gx + ox);
    labels.NENorth = north(y0 + gy + oy);
    labels.SEEast = east(x0 + gx + ox);
    labels.SENorth = north(y0 + oy);
    return labels;
}

TCursorReadout CursorReadout(const TDEMInfo& info, int32_t x, int32_t y, const TUnits& units)
{
    const double east = info.Corners[cnNW].East + PixelsToGroundX(info, x);
    // -y of the most negative pixel would not fit; the map is never that tall.
    const double north =
        info.Corners[cnNW].North +
        PixelsToGroundY(info, y == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max() : -y);
    return {FormatGround(info.GroundRef, east, units) + " E", FormatGround(info.GroundRef, north, units) + " N"};
}

std::string SelectionSizeText(const TRect& selection)
{
    const long long w = std::llabs(static_cast<long long>(selection.Right) - selection.Left);
    const long long h = std::llabs(static_cast<long long>(selection.Bottom) - selection.Top);
    return IntegerText(w) + "," + IntegerText(h) + ":" + IntegerText(w * h);
}

double ElevationDisplayFactor(const TDEMInfo& info, const TUnits& units)
{
    if (info.ElevUnits == ucFeet)
        return units.UseFeet ? 1.0 : MetersPerFoot;
    return units.UnitFactor();
}

TBarRange ColorBarRange(const TDEMInfo& info, const TUnits& units)
{
    const double f = ElevationDisplayFactor(info, units);
    return {TruncateTowardZero(info.DataMax * f), TruncateTowardZero(info.DataMin * f)};
}

const std::array<TArcSecondLength, 91> MetresPerArcSecond = {{
    {30.95, 30.74}, {30.98, 30.72}, {30.99, 30.69}, {30.99, 30.66}, {30.99, 30.63}, {30.98, 30.60}, {30.95, 30.58},
    {30.92, 30.55}, {30.88, 30.52}, {30.82, 30.50}, {30.76, 30.47}, {30.69, 30.45}, {30.61, 30.42}, {30.52, 30.40},
    {30.42, 30.38}, {30.32, 30.35}, {30.20, 30.33}, {30.07, 30.31}, {29.94, 30.29}, {29.79, 30.27}, {29.64, 30.25},
    {29.48, 30.23}, {29.31, 30.21}, {29.13, 30.19}, {28.94, 30.18}, {28.74, 30.16}, {28.53, 30.15}, {28.32, 30.13},
    {28.09, 30.12}, {27.86, 30.11}, {27.62, 30.10}, {27.37, 30.09}, {27.11, 30.08}, {26.84, 30.07}, {26.57, 30.06},
    {26.29, 30.06}, {26.00, 30.05}, {25.70, 30.05}, {25.39, 30.04}, {25.08, 30.04}, {24.76, 30.04}, {24.43, 30.04},
    {24.09, 30.04}, {23.75, 30.04}, {23.40, 30.04}, {23.04, 30.05}, {22.67, 30.05}, {22.30, 30.06}, {21.92, 30.06},
    {21.54, 30.07}, {21.14, 30.08}, {20.74, 30.09}, {20.34, 30.10}, {19.93, 30.11}, {19.51, 30.12}, {19.09, 30.13},
    {18.66, 30.15}, {18.22, 30.16}, {17.78, 30.18}, {17.34, 30.19}, {16.89, 30.21}, {16.43, 30.23}, {15.97, 30.25},
    {15.50, 30.27}, {15.03, 30.29}, {14.56, 30.31}, {14.08, 30.33}, {13.59, 30.35}, {13.10, 30.38}, {12.61, 30.40},
    {12.12, 30.42}, {11.62, 30.45}, {11.11, 30.47}, {10.61, 30.50}, {10.10, 30.53}, {9.58, 30.55},  {9.07, 30.58},
    {8.55, 30.61},  {8.03, 30.63},  {7.50, 30.66},  {6.98, 30.69},  {6.45, 30.72},  {5.92, 30.74},  {5.39, 30.77},
    {4.85, 30.80},  {4.32, 30.83},  {3.78, 30.86},  {3.24, 30.89},  {2.70, 30.92},  {2.16, 30.94},  {1.62, 30.97},
}};

TGroundSpacing ComputeGroundSpacing(const TDEMInfo& info)
{
    TGroundSpacing spacing;
    if (info.GroundRef == 0) {
        const double lat = std::trunc(std::fabs(info.Corners[cnSW].North / 3600.0));
        if (lat >= 0.0 && lat <= 90.0) {
            const TArcSecondLength& row = MetresPerArcSecond[static_cast<size_t>(lat)];
            spacing = {row.East * info.Resolution[0], row.North * info.Resolution[1]};
        } else {
            spacing = {30.0, 30.0};
        }
    } else {
        spacing = {info.Resolution[0], info.Resolution[1]};
    }
    if (spacing.East == 0.0)
        spacing.East = 10.0;
    if (spacing.North == 0.0)
        spacing.North = 10.0;
    return spacing;
}

} // namespace kv
