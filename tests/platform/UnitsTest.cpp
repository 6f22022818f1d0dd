#include "platform/Units.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Units, FormatElevationShowsTheWorkingUnit)
{
    struct Case {
        bool feet;
        double meters;
        int digits;
        const char* expected;
    };
    const Case cases[] = {
        {true, 1000, 0, "3281 Ft."},
        {false, 1000, 0, "1000 M."},
        {false, 1234.4, 0, "1234 M."},
        {true, 1234.4, 0, "4050 Ft."},
        {false, 12.345, 2, "12.35 M."},
        {false, 0, 0, "0 M."},
        {false, -0.2, 0, "0 M."},
        {false, 123456789012.0, 0, "1.2345679e+11 M."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatElevation(c.meters, 8, c.digits, TUnits{c.feet}), c.expected) << c.meters;
    EXPECT_DOUBLE_EQ(TUnits{true}.UnitFactor(), 3.280839895013123);
    EXPECT_STREQ(TUnits{true}.UnitSuffix(), "Ft.");
}

} // namespace
} // namespace kv
