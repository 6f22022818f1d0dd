#include "platform/Units.h"

#include <charconv>
#include <cmath>

namespace kv {

void ApplyUnits()
{
    UnitFactor = UseFeet ? FeetPerMeter : 1.0;
    UnitSuffix = UseFeet ? "Ft." : "M.";
}

std::string FormatElevation(double x, int precision, int digits)
{
    const double value = x * UnitFactor;
    char buffer[400];
    std::to_chars_result result{};
    const bool tooWide = std::isfinite(value) && value != 0.0 &&
                         std::floor(std::log10(std::fabs(value))) + 1 > precision;
    if (tooWide || !std::isfinite(value))
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                               precision > 1 ? precision - 1 : 0);
    else
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, digits);
    std::string text(buffer, result.ptr);
    if (text == "-0")
        text = "0";
    return text + " " + UnitSuffix;
}

} // namespace kv
