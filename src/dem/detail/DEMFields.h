#pragma once
// Conversions of the fixed-width fields of USGS DEM files: integers with blanks anywhere,
// reals with Fortran "D" exponents, and texts whose runs of blanks fold into one.
// Numbers always use "." whatever the locale.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace kv {

// Blanks removed, then an optional sign and decimal digits. Throws EKorvelaError
// "'<text>' is not a valid integer value" for anything else (an empty field included) and
// for a value outside the 32-bit range.
int32_t ParseIntField(std::string_view field);

// Blanks removed, every "D" read as "E", then an optional sign, digits with an optional
// decimal point, and an optional exponent. An empty field gives 0 when `emptyIsZero`, else
// fails like a malformed one: "'<text>' is not a valid floating point value".
double ParseRealField(std::string_view field, bool emptyIsZero);

// The same conversions without throwing: false when the field is malformed.
bool TryParseIntField(std::string_view field, int32_t& value);
bool TryParseRealField(std::string_view field, bool emptyIsZero, double& value);

// The messages ParseIntField and ParseRealField throw for a malformed `field`.
std::string InvalidIntegerMessage(std::string_view field);
std::string InvalidRealMessage(std::string_view field);

// The 6 characters at `p` as an integer, when they have the form writers give them: blanks,
// then an optional minus sign, then at least one digit up to the end. Returns false for any
// other form, which TryParseIntField then judges (blanks inside, a plus sign, malformed text).
// No branches on the characters: every 6-character field costs the same few operations.
inline bool TryParseCompactInt6(const char* p, int32_t& value)
{
    if constexpr (std::endian::native != std::endian::little) {
        return false;
    } else {
        constexpr uint64_t ones = 0x0101010101010101u;
        constexpr uint64_t fieldBytes = 0x0000FFFFFFFFFFFFu;
        // Character i in byte i, bytes 6 and 7 zero; two loads in registers, as one 6-byte
        // copy through memory would stall the load that follows it.
        uint32_t low = 0;
        uint16_t high = 0;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + 4, 2);
        const uint64_t field = low | (uint64_t{high} << 32);
        // High bit of every byte that is not a digit (bytes 6 and 7 count as digits).
        const uint64_t offsets = field ^ ((ones * '0') & fieldBytes);
        const uint64_t nonDigitBits = (((offsets & (ones * 0x7F)) + ones * (0x80 - 10)) | offsets) & (ones * 0x80);
        const uint64_t nonDigits = (nonDigitBits >> 7) * 0xFF; // 0xFF in every such byte
        // The non-digits must be a leading run that leaves the last character a digit.
        const bool leadingRun = (nonDigits & (nonDigits + 1)) == 0 && nonDigits < (uint64_t{1} << 40);
        // Within the run every byte is a blank, but its last one may be a minus sign.
        const uint64_t lastNonDigit = nonDigits ^ (nonDigits >> 8);
        const uint64_t signs = (field ^ (ones * ' ')) & nonDigits;
        const bool negative = signs != 0;
        const bool blanksAndSign = signs == 0 || signs == (lastNonDigit & (ones * ('-' ^ ' ')));
        // Digits in all 8 bytes, the field right-aligned behind two zeros, then 8 digits at once.
        uint64_t digits = (((field & ~nonDigits) | ((ones * '0') & nonDigits)) << 16) | (ones * '0' & 0xFFFF);
        digits = ((digits & (ones * 0x0F)) * 2561) >> 8;
        digits = ((digits & 0x00FF00FF00FF00FFu) * 6553601) >> 16;
        digits = ((digits & 0x0000FFFF0000FFFFu) * 42949672960001u) >> 32;
        const auto magnitude = static_cast<uint32_t>(digits);
        value = static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
        return leadingRun && blanksAndSign;
    }
}

// The standard conversions after the field clean-up, shared with other readers: a plain
// optional sign and digits / decimal number. Return false when `text` is not such a number.
bool TryParseInteger(std::string_view text, int32_t& value);
bool TryParseReal(std::string_view text, double& value);

// Every run of blanks folded into one blank (a leading or trailing run leaves one blank).
std::string FoldBlanks(std::string_view field);

} // namespace kv
