#pragma once
// The working units: whether lengths and elevations are shown in feet or meters. Stored
// lengths and elevations are meters; the factor applies only to what is shown or typed.
//
// The units are a value that the caller holds and passes on (the document keeps the one the
// settings file and the environment options chose); nothing reads them from a global.

#include <string>

namespace kv {

inline constexpr double MetersPerFoot = 0.3048;              // the international foot
inline constexpr double FeetPerMeter = 1.0 / MetersPerFoot;  // 3.280839895013123

struct TUnits {
    bool UseFeet = true;

    // 3.280839895013123 in feet mode, 1 in meters mode.
    double UnitFactor() const { return UseFeet ? FeetPerMeter : 1.0; }
    // "Ft." or "M.".
    const char* UnitSuffix() const { return UseFeet ? "Ft." : "M."; }
};

// meters x UnitFactor in fixed notation with `digits` decimals (exponent form when the value
// has more than `precision` integer digits), then " " and UnitSuffix: FormatElevation(1000, 8,
// 0, units) reads "3281 Ft." in feet mode and "1000 M." in meters mode.
std::string FormatElevation(double meters, int precision, int digits, const TUnits& units);

} // namespace kv
