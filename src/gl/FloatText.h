#pragma once
// Numbers as the scene engine's text forms write and read them: "." as the decimal separator
// whatever the locale, digits counted exactly, so a number written and read back keeps its value.

#include <span>
#include <string>
#include <string_view>

namespace kv {

// Significant digits and least exponent digits of the long general form of the vector texts and
// scene files (1.5E-0006), and of the short form of single numbers in scene files (1.5E-6).
constexpr int LongFloatDigits = 18;
constexpr int LongExponentDigits = 4;
constexpr int ShortFloatDigits = 15;
constexpr int ShortExponentDigits = 1;

// General form: v rounded to `digits` significant digits (1 to 30), trailing zeros and a trailing
// point dropped. Fixed notation unless the rounded magnitude is below 0.00001 or needs more than
// `digits` integer digits; then scientific with "E", a "-" only for negative exponents and at
// least `exponentDigits` exponent digits. Zero is "0" (negative zero "-0"); infinities and NaN are
// "INF", "-INF" and "NAN", which ParseFloat reads back.
std::string FormatGeneral(double v, int digits = LongFloatDigits, int exponentDigits = LongExponentDigits);

// Fixed notation with `decimals` digits after the point (0 to 30).
std::string FormatFixed(double v, int decimals);

// One number, surrounding blanks and line breaks ignored; a leading "+" is accepted. Throws
// EKorvelaError naming `what` (the text's kind, "Vector3D") when the text is not one number or
// its magnitude is beyond the range of a double.
double ParseFloat(std::string_view text, std::string_view what = "number");

// Splits `text` at "," and parses exactly numbers.size() numbers into `numbers`. Throws
// EKorvelaError naming `what` when the count differs or a piece is not a number.
void ParseFloatList(std::string_view text, std::string_view what, std::span<double> numbers);

} // namespace kv
