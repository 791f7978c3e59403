#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct FormatCase {
    double value;
    int decimals;
    const char* fixed;
    const char* upTo;
};

class Formats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Formats, FixedAndUpTo) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.fixed);
    EXPECT_EQ(FormatUpTo(c.value, c.decimals), c.upTo);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Formats,
    ::testing::Values(
        FormatCase{0.0, 6, "0.000000", "0"}, FormatCase{5.0, 3, "5.000", "5"},
        FormatCase{2.5, 3, "2.500", "2.5"}, FormatCase{12.3456, 3, "12.346", "12.346"},
        FormatCase{0.02, 5, "0.02000", "0.02"}, FormatCase{5.99999999999996, 6, "6.000000", "6"},
        FormatCase{-0.3, 8, "-0.30000000", "-0.3"},
        // Rounds to zero: no minus sign.
        FormatCase{-1e-12, 6, "0.000000", "0"}, FormatCase{-0.0, 5, "0.00000", "0"},
        // Exact halves go away from zero.
        FormatCase{0.125, 2, "0.13", "0.13"}, FormatCase{-2.5, 0, "-3", "-3"},
        FormatCase{0.5, 0, "1", "1"},
        // 0.15 is below the half in binary: it rounds down correctly.
        FormatCase{0.15, 1, "0.1", "0.1"}, FormatCase{1234567.0, 2, "1234567.00", "1234567"}));

TEST(Formats, DecimalSeparator) {
    EXPECT_EQ(FormatFixed(1.5, 2, ','), "1,50");
    EXPECT_EQ(FormatUpTo(0.025 * 100, 3, ','), "2,5");
    EXPECT_EQ(FormatGeneral(0.05, ','), "0,05");
}

TEST(Formats, General) {
    EXPECT_EQ(FormatGeneral(0.02), "0.02");
    EXPECT_EQ(FormatGeneral(6), "6");
    EXPECT_EQ(FormatGeneral(980), "980");
    EXPECT_EQ(FormatGeneral(0.05), "0.05");
    EXPECT_EQ(FormatGeneral(5.99999999999996), "5.99999999999996");
    EXPECT_EQ(FormatGeneral(2.980000000000002), "2.98");
    EXPECT_EQ(FormatGeneral(-1.25), "-1.25");
    EXPECT_EQ(FormatGeneral(0.00001), "0.00001");
    EXPECT_EQ(FormatGeneral(1e-6), "1E-6");
    EXPECT_EQ(FormatGeneral(1e15), "1E15");
    EXPECT_EQ(FormatGeneral(123456789012345.0), "123456789012345");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
}

struct ParseCase {
    const char* text;
    char separator;
    bool ok;
    double value;
};

class Parse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(Parse, StrictConversion) {
    const ParseCase& c = GetParam();
    const auto value = ParseNumber(c.text, c.separator);
    ASSERT_EQ(value.has_value(), c.ok) << c.text;
    if (c.ok) {
        EXPECT_EQ(*value, c.value) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Parse,
    ::testing::Values(ParseCase{"0.01", '.', true, 0.01}, ParseCase{"-5", '.', true, -5},
                      ParseCase{"+1.5e3", '.', true, 1500}, ParseCase{"1E-2", '.', true, 0.01},
                      ParseCase{".5", '.', true, 0.5}, ParseCase{"5.", '.', true, 5},
                      ParseCase{"-.8075668E-03", '.', true, -.8075668E-03},
                      ParseCase{"0,01", ',', true, 0.01}, ParseCase{"0,01", '.', false, 0},
                      ParseCase{"0.01", ',', false, 0}, ParseCase{"abc", '.', false, 0},
                      ParseCase{"", '.', false, 0}, ParseCase{"-", '.', false, 0},
                      ParseCase{".", '.', false, 0}, ParseCase{"1e", '.', false, 0},
                      ParseCase{"5%", '.', false, 0}, ParseCase{" 1", '.', false, 0},
                      ParseCase{"1 ", '.', false, 0}, ParseCase{"inf", '.', false, 0},
                      ParseCase{"nan", '.', false, 0}, ParseCase{"0x10", '.', false, 0},
                      ParseCase{"1,000.5", '.', false, 0}, ParseCase{"1e999", '.', false, 0},
                      ParseCase{"1e-999", '.', true, 0.0}));

TEST(Messages, NotAValidFloatingNumber) {
    EXPECT_EQ(NotAValidFloatingNumber("abc"), "\"abc\" is not a valid floating number!");
}

} // namespace
