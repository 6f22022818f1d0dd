#pragma once
// Conversions of the fixed-width fields of USGS DEM files: integers with blanks anywhere,
// reals with Fortran "D" exponents, and texts whose runs of blanks fold into one.
// Numbers always use "." whatever the locale.

#include <cstdint>
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

// The standard conversions after the field clean-up, shared with other readers: a plain
// optional sign and digits / decimal number. Return false when `text` is not such a number.
bool TryParseInteger(std::string_view text, int32_t& value);
bool TryParseReal(std::string_view text, double& value);

// Every run of blanks folded into one blank (a leading or trailing run leaves one blank).
std::string FoldBlanks(std::string_view field);

} // namespace kv
