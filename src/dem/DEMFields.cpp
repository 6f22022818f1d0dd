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

int32_t ParseIntField(std::string_view field)
{
    char buffer[MaxNumberChars];
    size_t length = 0;
    int32_t value = 0;
    if (StripBlanks(field, buffer, length, false) && TryParseInteger(std::string_view(buffer, length), value))
        return value;
    std::string shown;
    for (char c : field)
        if (c != ' ')
            shown += c;
    throw EKorvelaError("'" + shown + "' is not a valid integer value");
}

double ParseRealField(std::string_view field, bool emptyIsZero)
{
    char buffer[MaxNumberChars];
    size_t length = 0;
    double value = 0.0;
    const bool fits = StripBlanks(field, buffer, length, true);
    if (fits && length == 0 && emptyIsZero)
        return 0.0;
    if (fits && TryParseReal(std::string_view(buffer, length), value))
        return value;
    std::string shown;
    for (char c : field)
        if (c != ' ')
            shown += c == 'D' ? 'E' : c;
    throw EKorvelaError("'" + shown + "' is not a valid floating point value");
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
