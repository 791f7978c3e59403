#include "import/FreeTypeTexts.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>

namespace {

struct TextsCase {
    const char* name;
    char separator;
    const char* timeStep;
    const char* scalingFactor;
    // Accepted: the two numbers. Refused: the field and its message.
    double wantTimeStep;
    double wantScalingFactor;
    std::optional<FreeTypeFailure::Field> refused;
    const char* message;
};

class FreeTypeParametersFromTexts : public ::testing::TestWithParam<TextsCase> {};

TEST_P(FreeTypeParametersFromTexts, ConvertsBothFieldsOrNamesTheFirstThatFails) {
    const TextsCase& c = GetParam();
    const FreeTypeTexts texts{c.timeStep, c.scalingFactor, 3, FieldDelimiter::Space, 2};
    const auto outcome = ReadFreeTypeParameters(texts, c.separator);
    if (c.refused) {
        ASSERT_TRUE(std::holds_alternative<FreeTypeFailure>(outcome));
        const FreeTypeFailure& failure = std::get<FreeTypeFailure>(outcome);
        EXPECT_EQ(failure.Focus, *c.refused);
        EXPECT_EQ(failure.Message, c.message);
        return;
    }
    ASSERT_TRUE(std::holds_alternative<FreeTypeParameters>(outcome));
    const FreeTypeParameters& parameters = std::get<FreeTypeParameters>(outcome);
    EXPECT_EQ(parameters.TimeStep, c.wantTimeStep);
    EXPECT_EQ(parameters.ScalingFactor, c.wantScalingFactor);
    EXPECT_EQ(parameters.LinesToSkip, 3);
    EXPECT_EQ(parameters.Delimiter, FieldDelimiter::Space);
    EXPECT_EQ(parameters.AccelerationColumn, 2);
}

using Field = FreeTypeFailure::Field;

// The user's separator is read, and '.' always besides it: in a ',' locale the
// dialog's own defaults "0.01" and "1" pass, as do "0,01" and a mix of both.
INSTANTIATE_TEST_SUITE_P(
    Examples, FreeTypeParametersFromTexts,
    ::testing::Values(
        TextsCase{"PointDefaults", '.', "0.01", "1", 0.01, 1, std::nullopt, ""},
        TextsCase{"CommaLocalePointDefaults", ',', "0.01", "1", 0.01, 1, std::nullopt, ""},
        TextsCase{"CommaLocaleComma", ',', "0,01", "1,5", 0.01, 1.5, std::nullopt, ""},
        TextsCase{"CommaLocaleMixed", ',', "0,005", "-2.5E-1", 0.005, -0.25, std::nullopt, ""},
        // No range test: zero and negative values pass.
        TextsCase{"ZeroAndNegative", '.', "0", "-1", 0, -1, std::nullopt, ""},
        TextsCase{"PointLocaleRefusesComma", '.', "0,01", "1", 0, 0, Field::TimeStep,
                  "\"0,01\" is not a valid floating number!"},
        TextsCase{"CommaLocaleRefusesThousands", ',', "0.01", "1,000.5", 0, 0, Field::ScalingFactor,
                  "\"1,000.5\" is not a valid floating number!"},
        TextsCase{"TimeStepBeforeScalingFactor", ',', "dt", "s", 0, 0, Field::TimeStep,
                  "\"dt\" is not a valid floating number!"},
        TextsCase{"EmptyScalingFactor", ',', "0.02", "", 0, 0, Field::ScalingFactor,
                  "\"\" is not a valid floating number!"}),
    [](const ::testing::TestParamInfo<TextsCase>& info) { return info.param.name; });

} // namespace
