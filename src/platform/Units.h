#pragma once
// The working units: whether lengths and elevations are shown in feet or meters. Stored
// values are always meters; the factor applies only to what is shown or typed.

#include <string>

namespace kv {

inline constexpr double MetersPerFoot = 0.3048;              // the international foot
inline constexpr double FeetPerMeter = 1.0 / MetersPerFoot;  // 3.280839895013123

// Program-wide, set at start-up from the settings file and by the environment options.
inline bool UseFeet = true;
inline double UnitFactor = FeetPerMeter;
inline std::string UnitSuffix = "Ft.";

// Sets UnitFactor and UnitSuffix from UseFeet.
void ApplyUnits();

// x x UnitFactor in fixed notation with `digits` decimals (exponent form when the value has
// more than `precision` integer digits), then " " and UnitSuffix: FormatElevation(1000, 8, 0)
// reads "3281 Ft." in feet mode and "1000 M." in meters mode.
std::string FormatElevation(double x, int precision, int digits);

} // namespace kv
