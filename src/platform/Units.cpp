#include "platform/Units.h"

#include <charconv>
#include <cmath>

namespace kv {

std::string FormatElevation(double meters, int precision, int digits, const TUnits& units)
{
    const double value = meters * units.UnitFactor();
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
    return text + " " + units.UnitSuffix();
}

} // namespace kv
