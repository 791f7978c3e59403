#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

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

// Exact decimal ties: rounded away from zero from the digits, never by moving
// the value (once a value's ulp exceeds the last printed place, a nudge by one
// ulp would change the digits). Next to them, the doubles just below a tie.
INSTANTIATE_TEST_SUITE_P(
    ExactTies, Formats,
    ::testing::Values(
        // 2^27 + 2^-9: the ulp 2^-25 is three units of the eighth decimal.
        FormatCase{0x1.000000001p+27, 8, "134217728.00195313", "134217728.00195313"},
        FormatCase{-0x1.000000001p+27, 8, "-134217728.00195313", "-134217728.00195313"},
        FormatCase{0x1.000000000ffffp+27, 8, "134217728.00195310", "134217728.0019531"},
        // 2^46 + 2^-6 and 2^45 + 2^-7: the tie is the value's last bit.
        FormatCase{0x1.0000000000001p+46, 5, "70368744177664.01563", "70368744177664.01563"},
        FormatCase{0x1.0000000000001p+45, 6, "35184372088832.007813", "35184372088832.007813"},
        FormatCase{-0x1.0000000000001p+45, 6, "-35184372088832.007813", "-35184372088832.007813"},
        FormatCase{2251799813685248.5, 0, "2251799813685249", "2251799813685249"},
        // The carry runs through the digits and the separator.
        FormatCase{9.5, 0, "10", "10"}, FormatCase{-99.5, 0, "-100", "-100"},
        FormatCase{9.96875, 4, "9.9688", "9.9688"}, FormatCase{0.0625, 3, "0.063", "0.063"},
        FormatCase{0x1p-10, 9, "0.000976563", "0.000976563"},
        FormatCase{0x1.fffffffffffffp-4, 2, "0.12", "0.12"}));

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

// What users type and record files hold: the user's separator, and '.' always.
TEST(Parse, UserNumbersTakeThePointBesidesTheUsersSeparator) {
    EXPECT_EQ(ParseUserNumber("0,01", ','), 0.01);
    EXPECT_EQ(ParseUserNumber("0.01", ','), 0.01);
    EXPECT_EQ(ParseUserNumber("0.01", '.'), 0.01);
    EXPECT_FALSE(ParseUserNumber("0,01", '.'));
    EXPECT_FALSE(ParseUserNumber("1,000.5", ','));
    EXPECT_FALSE(ParseUserNumber("1e999", ','));
    EXPECT_EQ(ParseUserNumber("1e-999", ','), 0.0);
}

// Values beyond the range of doubles, however the digits and the exponent
// place them: an underflow reads as 1e-400 does (zero, with its sign), an
// overflow is refused.
TEST(Parse, OutOfRangeByItsOrderNotByHowItIsWritten) {
    const std::string zeros323(323, '0');
    const std::string zeros400(400, '0');
    const std::optional<double> tiny = ParseNumber("1e-400");
    const std::optional<double> minusTiny = ParseNumber("-1e-400");
    ASSERT_TRUE(tiny && minusTiny);
    EXPECT_EQ(*tiny, 0.0);
    EXPECT_FALSE(std::signbit(*tiny));
    EXPECT_TRUE(std::signbit(*minusTiny));
    struct Case {
        std::string text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"0." + zeros323 + "1", *tiny},
        {"-0." + zeros323 + "1", *minusTiny},
        {"+." + zeros323 + "1", *tiny},
        {"0," + zeros323 + "1", std::nullopt}, // not the separator
        {"0." + zeros400 + "1e50", *tiny},     // 1e-351
        {"0." + zeros400 + "1e+500", 1e99},    // in range after all
        {"1" + zeros400 + "e-800", *tiny},     // 1e-400
        {"1" + zeros400, std::nullopt},        // 1e400
        {"0.001e400", std::nullopt},
        {"1e-99999999999999999999999", *tiny},
        {"1e99999999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<double> value = ParseNumber(c.text);
        ASSERT_EQ(value.has_value(), c.value.has_value()) << c.text;
        if (value) {
            EXPECT_EQ(*value, *c.value) << c.text;
            EXPECT_EQ(std::signbit(*value), std::signbit(*c.value)) << c.text;
        }
    }
}

TEST(Messages, NotAValidFloatingNumber) {
    EXPECT_EQ(NotAValidFloatingNumber("abc"), "\"abc\" is not a valid floating number!");
}

} // namespace
