#include "gl/FloatText.h"

#include "platform/KVError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace kv {
namespace {

using ::testing::StrEq;
using ::testing::ThrowsMessage;

constexpr double Inf = std::numeric_limits<double>::infinity();

TEST(FloatText, GeneralFormRoundsToSignificantDigitsAndDropsTrailingZeros)
{
    struct TCase {
        const char* name;
        double value;
        int digits;
        int exponentDigits;
        const char* text;
    };
    const TCase cases[] = {
        {"zero", 0.0, 18, 4, "0"},
        {"negative zero keeps its sign", -0.0, 18, 4, "-0"},
        {"integer", 100.0, 18, 4, "100"},
        {"half", 0.5, 18, 4, "0.5"},
        {"negative", -1234.5, 18, 4, "-1234.5"},
        {"binary tail of 0.1 shows at 18 digits", 0.1, 18, 4, "0.100000000000000006"},
        {"single 0.2 widened", double(0.2f), 18, 4, "0.200000002980232239"},
        {"fixed down to 0.00001", 0x1p-16, 18, 4, "0.0000152587890625"},
        {"below 0.00001 is scientific", 0x1p-20, 18, 4, "9.5367431640625E-0007"},
        {"rounding up to 0.00001 stays fixed", 0.0000099999999999999999, 15, 1, "0.00001"},
        {"18 integer digits stay fixed", 123456789012345678.0, 18, 4, "123456789012345680"},
        {"19 integer digits are scientific", 1e18, 18, 4, "1E0018"},
        {"positive exponents have no sign", 0x1p100, 18, 4, "1.2676506002282294E0030"},
        {"negative and small", -0x1p-100, 18, 4, "-7.88860905221011805E-0031"},
        {"the binary value shows, not the literal", 1.5e-6, 18, 4, "1.50000000000000004E-0006"},
        {"denormal", 4.9406564584124654e-324, 18, 4, "4.94065645841246544E-0324"},
        {"short form", 0.1, 15, 1, "0.1"},
        {"short form exponent is not padded", 1.5e-6, 15, 1, "1.5E-6"},
        {"short form switches at 16 integer digits", 1e15, 15, 1, "1E15"},
        {"short form rounding carries", 0.99999999999999999, 15, 1, "1"},
        {"infinity", Inf, 18, 4, "INF"},
        {"negative infinity", -Inf, 18, 4, "-INF"},
        {"not a number", std::nan(""), 18, 4, "NAN"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatGeneral(c.value, c.digits, c.exponentDigits), c.text);
    }
}

TEST(FloatText, FixedFormHasTheGivenDecimals)
{
    EXPECT_EQ(FormatFixed(1.0, 3), "1.000");
    EXPECT_EQ(FormatFixed(-2.345678, 2), "-2.35");
    EXPECT_EQ(FormatFixed(1e20, 1), "100000000000000000000.0");
    EXPECT_EQ(FormatFixed(7.25, 0), "7");
    EXPECT_EQ(FormatFixed(-Inf, 2), "-INF");
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::max(), 30).size(), 309u + 1 + 30);
}

// Every finite double, the denormals included, comes back bit for bit from its long form.
TEST(FloatText, LongFormReadsBackToTheSameDouble)
{
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value))
            continue;
        const std::string text = FormatGeneral(value);
        ASSERT_EQ(std::bit_cast<uint64_t>(ParseFloat(text)), std::bit_cast<uint64_t>(value)) << text;
    }
    for (double value : {Inf, -Inf, std::numeric_limits<double>::denorm_min(), -0.0, 1e-5, 0.3})
        EXPECT_EQ(std::bit_cast<uint64_t>(ParseFloat(FormatGeneral(value))), std::bit_cast<uint64_t>(value));
    EXPECT_TRUE(std::isnan(ParseFloat(FormatGeneral(std::nan("")))));
}

TEST(FloatText, ParseAcceptsBlanksSignsAndExponents)
{
    struct TCase {
        const char* text;
        double value;
    };
    const TCase cases[] = {
        {"1.5", 1.5},          {" \t1.5\r\n", 1.5}, {"+2", 2.0},      {"-2", -2.0},   {".5", 0.5},
        {"1.5E-0006", 1.5e-6}, {"1e5", 1e5},        {"2E0018", 2e18}, {"-INF", -Inf}, {"inf", Inf},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseFloat(c.text), c.value);
    }
}

TEST(FloatText, ParseRejectsWhatIsNotOneNumber)
{
    struct TCase {
        const char* text;
        const char* message;
    };
    const TCase cases[] = {
        {"", "Expected a number in the Float text, found nothing."},
        {"  \r\n", "Expected a number in the Float text, found nothing."},
        {"abc", "Expected a number in the Float text, found \"abc\"."},
        {"1.5x", "Expected a number in the Float text, found \"1.5x\"."},
        {"1,5", "Expected a number in the Float text, found \"1,5\"."},
        {"1 5", "Expected a number in the Float text, found \"1 5\"."},
        {"+-1", "Expected a number in the Float text, found \"+-1\"."},
        {"++1", "Expected a number in the Float text, found \"++1\"."},
        {"+", "Expected a number in the Float text, found \"+\"."},
        {"0x10", "Expected a number in the Float text, found \"0x10\"."},
        {"1e999", "Expected a number within the range of a double in the Float text, found \"1e999\"."},
        {"1\n2", "Expected a number in the Float text, found \"1 2\"."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_THAT([&] { ParseFloat(c.text, "Float"); }, ThrowsMessage<EKorvelaError>(StrEq(c.message)));
    }
    const std::string longText(100, '7');
    EXPECT_THAT([&] { ParseFloat(longText + "x", "Float"); },
                ThrowsMessage<EKorvelaError>(
                    StrEq("Expected a number in the Float text, found \"" + std::string(40, '7') + "...\".")));
}

TEST(FloatText, ListNeedsExactlyTheCountOfNumbers)
{
    std::array<double, 3> n{};
    ParseFloatList("\r\n 1, 2 ,\t3 ", "Vector3D", n);
    EXPECT_EQ(n, (std::array<double, 3>{1, 2, 3}));

    struct TCase {
        const char* text;
        const char* message;
    };
    const TCase cases[] = {
        {"1,2", "Expected 3 numbers separated by \",\" in the Vector3D text, found 2 in \"1,2\"."},
        {"1,2,3,4", "Expected 3 numbers separated by \",\" in the Vector3D text, found 4 in \"1,2,3,4\"."},
        {"", "Expected 3 numbers separated by \",\" in the Vector3D text, found 1 in \"\"."},
        {"1,,3", "Expected a number in the Vector3D text, found nothing."},
        {"1;2;3", "Expected 3 numbers separated by \",\" in the Vector3D text, found 1 in \"1;2;3\"."},
        {"1,2,x", "Expected a number in the Vector3D text, found \"x\"."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_THAT([&] { ParseFloatList(c.text, "Vector3D", n); }, ThrowsMessage<EKorvelaError>(StrEq(c.message)));
    }
}

} // namespace
} // namespace kv
