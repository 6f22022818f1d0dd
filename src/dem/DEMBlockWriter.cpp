#include "DEMBlockWriter.h"

#include "platform/KVError.h"

#include <charconv>
#include <cstdio>

namespace kv {

namespace {

// Scientific form with `precision` decimals and an exponent of at least two digits, as
// to_chars writes it ("1.5e+00"), with the exponent letter replaced.
std::string Scientific(double value, int precision, char exponentLetter)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, precision);
    std::string text(buffer, result.ptr);
    const size_t e = text.find('e');
    if (e != std::string::npos)
        text[e] = exponentLetter;
    return text;
}

} // namespace

std::string FormatI6(int64_t value)
{
    std::string text = std::to_string(value);
    if (text.size() > 6)
        throw EKorvelaError("The value " + text + " does not fit a 6-character DEM field");
    return std::string(6 - text.size(), ' ') + text;
}

std::string FormatD24(double value)
{
    if (value == 0.0)
        return "   0.0" + std::string(18, ' ');
    std::string text = Scientific(value, 15, 'D');
    // Pad so that the decimal point is the 5th character; a three-digit exponent still fits
    // the field by giving up a leading blank.
    const size_t point = text.find('.');
    if (point < 4)
        text.insert(0, 4 - point, ' ');
    if (text.size() < 24)
        text.append(24 - text.size(), ' ');
    while (text.size() > 24 && text.front() == ' ')
        text.erase(0, 1);
    return text;
}

std::string FormatE12(double value)
{
    if (value == 0.0)
        return "0.0" + std::string(9, ' ');
    // 7 significant digits; fewer when a sign or a long exponent would overflow the field.
    std::string text;
    for (int precision = 6; precision >= 0; --precision) {
        text = Scientific(value, precision, 'E');
        if (text.size() <= 12)
            break;
    }
    if (text.size() < 12)
        text.insert(0, 12 - text.size(), ' ');
    return text;
}

std::string FormatA(std::string_view text, int width)
{
    const size_t w = static_cast<size_t>(width);
    if (text.size() >= w)
        return std::string(text.substr(0, w));
    return std::string(w - text.size(), ' ') + std::string(text);
}

void TDEMBlockWriter::Put(std::string_view field)
{
    if (BlockOpen_ && Output_.size() - BlockStart_ + field.size() > BlockSize - 1)
        Flush();
    if (!BlockOpen_) {
        BlockStart_ = Output_.size();
        BlockOpen_ = true;
    }
    Output_.append(field);
}

void TDEMBlockWriter::Flush()
{
    if (!BlockOpen_)
        return;
    const size_t used = Output_.size() - BlockStart_;
    if (used < BlockSize)
        Output_.append(BlockSize - used, ' ');
    BlockOpen_ = false;
}

void TDEMBlockWriter::PutRaw(std::string_view bytes)
{
    Flush();
    Output_.append(bytes);
}

} // namespace kv
