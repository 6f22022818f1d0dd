#include "gl/FloatText.h"

#include "platform/KVError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

namespace kv {
namespace {

constexpr std::string_view Blanks = " \t\r\n";

std::string_view Trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// Text quoted in a message, cut short so that a whole array's text never floods it.
std::string Quoted(std::string_view text)
{
    constexpr size_t Shown = 40;
    std::string shown(text.substr(0, Shown));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return "\"" + shown + (text.size() > Shown ? "...\"" : "\"");
}

std::string NonFinite(double v)
{
    if (std::isnan(v))
        return "NAN";
    return v < 0 ? "-INF" : "INF";
}

} // namespace

std::string FormatGeneral(double v, int digits, int exponentDigits)
{
    if (!std::isfinite(v))
        return NonFinite(v);
    if (v == 0.0)
        return std::signbit(v) ? "-0" : "0";
    digits = std::clamp(digits, 1, 30);

    // Scientific form with exactly `digits` significant digits: "-d.ddddde-XXX".
    char buffer[64];
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, digits - 1);
    const std::string_view scientific(buffer, static_cast<size_t>(written.ptr - buffer));
    const size_t ePos = scientific.find('e');
    const bool negative = scientific.front() == '-';
    std::string mantissa;
    for (char c : scientific.substr(0, ePos))
        if (c >= '0' && c <= '9')
            mantissa += c;
    int exponent = 0;
    std::string_view exponentText = scientific.substr(ePos + 1);
    if (exponentText.front() == '+')
        exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();

    std::string text = negative ? "-" : "";
    if (exponent < -5 || exponent >= digits) {
        text += mantissa.front();
        if (mantissa.size() > 1)
            text += "." + mantissa.substr(1);
        text += 'E';
        if (exponent < 0)
            text += '-';
        const std::string exponentDigitsText = std::to_string(std::abs(exponent));
        if (static_cast<int>(exponentDigitsText.size()) < exponentDigits)
            text.append(static_cast<size_t>(exponentDigits) - exponentDigitsText.size(), '0');
        return text + exponentDigitsText;
    }
    if (exponent < 0)
        return text + "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + mantissa;
    const size_t integerDigits = static_cast<size_t>(exponent) + 1;
    if (mantissa.size() <= integerDigits)
        return text + mantissa + std::string(integerDigits - mantissa.size(), '0');
    return text + mantissa.substr(0, integerDigits) + "." + mantissa.substr(integerDigits);
}

std::string FormatFixed(double v, int decimals)
{
    if (!std::isfinite(v))
        return NonFinite(v);
    decimals = std::clamp(decimals, 0, 30);
    char buffer[400]; // 309 integer digits of the largest double, the sign, the point, the decimals
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    return std::string(buffer, written.ptr);
}

double ParseFloat(std::string_view text, std::string_view what)
{
    const std::string_view number = Trim(text);
    std::string_view digits = number;
    if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-' && digits[1] != '+')
        digits.remove_prefix(1);
    double value = 0.0;
    const std::from_chars_result read =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::general);
    if (number.empty())
        throw EKorvelaError("Expected a number in the " + std::string(what) + " text, found nothing.");
    if (read.ec == std::errc::result_out_of_range)
        throw EKorvelaError("Expected a number within the range of a double in the " + std::string(what) +
                            " text, found " + Quoted(number) + ".");
    if (read.ec != std::errc() || read.ptr != digits.data() + digits.size())
        throw EKorvelaError("Expected a number in the " + std::string(what) + " text, found " + Quoted(number) + ".");
    return value;
}

void ParseFloatList(std::string_view text, std::string_view what, std::span<double> numbers)
{
    const size_t pieces = static_cast<size_t>(std::count(text.begin(), text.end(), ',')) + 1;
    if (pieces != numbers.size())
        throw EKorvelaError("Expected " + std::to_string(numbers.size()) + " numbers separated by \",\" in the " +
                            std::string(what) + " text, found " + std::to_string(pieces) + " in " + Quoted(text) + ".");
    size_t start = 0;
    for (double& number : numbers) {
        const size_t comma = std::min(text.find(',', start), text.size());
        number = ParseFloat(text.substr(start, comma - start), what);
        start = comma + 1;
    }
}

} // namespace kv
