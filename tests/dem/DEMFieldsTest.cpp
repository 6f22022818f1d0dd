// The branch-free conversion of 6-character integer fields must never disagree with the
// general one: it may only decline a field (which the general conversion then judges).
#include "DEMFields.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace kv {
namespace {

// The general conversion alone: blanks removed, then a plain integer.
bool GeneralConversion(std::string_view field, int32_t& value)
{
    std::string text;
    for (char c : field)
        if (c != ' ')
            text += c;
    return TryParseInteger(text, value);
}

TEST(CompactInt6, TakesTheUsualFormsAndDeclinesTheRest)
{
    const struct {
        const char* field;
        bool taken;
        int32_t value;
    } cases[] = {
        {"   123", true, 123},  {"  -123", true, -123}, {"-00012", true, -12},   {"     0", true, 0},
        {"999999", true, 999999}, {"-99999", true, -99999}, {"    -0", true, 0},
        {" 1 2 3", false, 0},   {"+   12", false, 0},  {"  12  ", false, 0},   {"      ", false, 0},
        {"     -", false, 0},   {"--  12", false, 0},  {" -  12", false, 0},   {"1e3   ", false, 0},
        {"  12-3", false, 0},   {"\t  123", false, 0}, {"  \xb1" "123", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        int32_t value = 0;
        EXPECT_EQ(TryParseCompactInt6(c.field, value), c.taken);
        if (c.taken) {
            EXPECT_EQ(value, c.value);
        }
    }
}

// Every right-aligned value, and every single-character change of a few of them.
TEST(CompactInt6, AgreesWithTheGeneralConversion)
{
    const std::string alphabet = std::string(" -+0123456789.eED\r\n\t") + '\0' + "\x80\xff";
    char field[8];
    for (int32_t number = -99999; number <= 999999; number += 7) {
        std::snprintf(field, sizeof field, "%6d", number);
        int32_t value = 0;
        ASSERT_TRUE(TryParseCompactInt6(field, value)) << field;
        ASSERT_EQ(value, number);
        if (number % 1001 != 0)
            continue;
        for (int at = 0; at < 6; ++at) {
            const char kept = field[at];
            for (char c : alphabet) {
                field[at] = c;
                int32_t fast = 0;
                int32_t general = 0;
                const std::string_view text(field, 6);
                if (TryParseCompactInt6(field, fast)) {
                    ASSERT_TRUE(GeneralConversion(text, general)) << testing::PrintToString(std::string(text));
                    ASSERT_EQ(fast, general) << testing::PrintToString(std::string(text));
                }
            }
            field[at] = kept;
        }
    }
}

} // namespace
} // namespace kv
