#include "DEMFields.h"

#include "platform/KVError.h"

#include <charconv>

namespace kv {

namespace {

// Field widths are small (at most 144); numbers are never longer than this.
constexpr size_t MaxNumberChars = 64;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Copies `field` without blanks into `out`; false when the result does not fit.
bool StripBlanks(std::string_view field, char* out, size_t& length, bool exponentD)
{
    length = 0;
    for (char c : field) {
        if (c == ' ')
            continue;
        if (length == MaxNumberChars)
            return false;
        out[length++] = (exponentD && c == 'D') ? 'E' : c;
    }
    return true;
}

} // namespace

bool TryParseInteger(std::string_view text, int32_t& value)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || (text.size() == 1 && text.front() == '-'))
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool TryParseReal(std::string_view text, double& value)
{
    // Validate the shape first: from_chars also accepts "inf", "nan" and hex forms.
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const size_t numberStart = i;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        size_t exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    if (i != text.size())
        return false;
    const bool negative = numberStart > 0 && text[0] == '-';
    const auto [end, ec] = std::from_chars(text.data() + numberStart, text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return false;
    if (negative)
        value = -value;
    return true;
}

bool TryParseIntField(std::string_view field, int32_t& value)
{
    if (field.size() == 6 && TryParseCompactInt6(field.data(), value))
        return true;
    char buffer[MaxNumberChars];
    size_t length = 0;
    return StripBlanks(field, buffer, length, false) && TryParseInteger(std::string_view(buffer, length), value);
}

bool TryParseRealField(std::string_view field, bool emptyIsZero, double& value)
{
    char buffer[MaxNumberChars];
    size_t length = 0;
    const bool fits = StripBlanks(field, buffer, length, true);
    if (fits && length == 0 && emptyIsZero) {
        value = 0.0;
        return true;
    }
    return fits && TryParseReal(std::string_view(buffer, length), value);
}

std::string InvalidIntegerMessage(std::string_view field)
{
    std::string shown;
    for (char c : field)
        if (c != ' ')
            shown += c;
    return "'" + shown + "' is not a valid integer value";
}

std::string InvalidRealMessage(std::string_view field)
{
    std::string shown;
    for (char c : field)
        if (c != ' ')
            shown += c == 'D' ? 'E' : c;
    return "'" + shown + "' is not a valid floating point value";
}

int32_t ParseIntField(std::string_view field)
{
    int32_t value = 0;
    if (!TryParseIntField(field, value))
        throw EKorvelaError(InvalidIntegerMessage(field));
    return value;
}

double ParseRealField(std::string_view field, bool emptyIsZero)
{
    double value = 0.0;
    if (!TryParseRealField(field, emptyIsZero, value))
        throw EKorvelaError(InvalidRealMessage(field));
    return value;
}

std::string FoldBlanks(std::string_view field)
{
    std::string text;
    text.reserve(field.size());
    for (char c : field) {
        if (c == ' ' && !text.empty() && text.back() == ' ')
            continue;
        text += c;
    }
    return text;
}

} // namespace kv
