#include "spectra/AnalysisSettings.h"
#include "spectra/DampingAndPeriods.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <variant>

namespace {

AnalysisSettings Current() {
    AnalysisSettings s;
    s.NewmarkBeta = 0.3;
    s.NewmarkGamma = 0.6;
    return s;
}

struct FailureCase {
    const char* name;
    std::function<void(SettingsTexts&)> edit;
    std::string message;
    SettingsField field;
};

class UpdateFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(UpdateFailure, NamesFirstFailedFieldWithItsMessage) {
    const FailureCase& c = GetParam();
    SettingsTexts texts = DefaultSettingsTexts();
    c.edit(texts);
    const auto result = UpdateAnalysisSettings(Current(), texts);
    ASSERT_TRUE(std::holds_alternative<SettingsFailure>(result));
    const SettingsFailure& failure = std::get<SettingsFailure>(result);
    EXPECT_EQ(failure.Message, c.message);
    EXPECT_EQ(failure.Field, c.field);
}

const char* const minZero = "Min. Period must be greater than zero! ";
const char* const maxZero = "Max. Period must be greater than zero! ";
const char* const maxBelowMin = "Max. Period must be greater than Min. Period! ";
const char* const stepZero = "Period Step must be greater than zero! ";
const char* const stepTooLarge = "periodstep must be less than [Max. Period - Min. Period] ! ";
const char* const gridTooLong =
    "Period Step is too small: the period grid would hold more than 100000 periods! ";
const char* const dtOverTZero = "Maximum dt/T  must be greater than zero! ";
const char* const gravityZero = "Gravitational acceleration must be greater than zero! ";

INSTANTIATE_TEST_SUITE_P(
    InCheckingOrder, UpdateFailure,
    ::testing::Values(
        FailureCase{"MinNotANumber", [](SettingsTexts& t) { t.MinPeriod = "abc"; },
                    "\"abc\" is not a valid floating number!", SettingsField::MinPeriod},
        FailureCase{"MinZero", [](SettingsTexts& t) { t.MinPeriod = "0"; }, minZero,
                    SettingsField::MinPeriod},
        FailureCase{"MinNegativeBeforeEverythingElse",
                    [](SettingsTexts& t) {
                        t.MinPeriod = "-1";
                        t.MaxPeriod = "x";
                        t.Gravity = "0";
                    },
                    minZero, SettingsField::MinPeriod},
        FailureCase{"MaxNotANumber", [](SettingsTexts& t) { t.MaxPeriod = "6 s"; },
                    "\"6 s\" is not a valid floating number!", SettingsField::MaxPeriod},
        FailureCase{"MaxZeroBeforeMaxBelowMin", [](SettingsTexts& t) { t.MaxPeriod = "0"; },
                    maxZero, SettingsField::MaxPeriod},
        FailureCase{"MaxEqualsMin", [](SettingsTexts& t) { t.MaxPeriod = "0.02"; }, maxBelowMin,
                    SettingsField::MaxPeriod},
        FailureCase{"MaxBelowMin",
                    [](SettingsTexts& t) {
                        t.MinPeriod = "5";
                        t.MaxPeriod = "4";
                    },
                    maxBelowMin, SettingsField::MaxPeriod},
        FailureCase{"StepEmpty", [](SettingsTexts& t) { t.PeriodStep = ""; },
                    "\"\" is not a valid floating number!", SettingsField::PeriodStep},
        FailureCase{"StepZero", [](SettingsTexts& t) { t.PeriodStep = "0"; }, stepZero,
                    SettingsField::PeriodStep},
        FailureCase{"StepNegative", [](SettingsTexts& t) { t.PeriodStep = "-0.02"; }, stepZero,
                    SettingsField::PeriodStep},
        FailureCase{"StepBeyondRange",
                    [](SettingsTexts& t) {
                        t.MinPeriod = "1";
                        t.MaxPeriod = "6";
                        t.PeriodStep = "5.5";
                    },
                    stepTooLarge, SettingsField::PeriodStep},
        FailureCase{"GridOfAboutSixHundredThousand",
                    [](SettingsTexts& t) { t.PeriodStep = "0.00001"; }, gridTooLong,
                    SettingsField::PeriodStep},
        // 0, 1, 2, ..., 100000: one period more than the limit.
        FailureCase{"GridOneBeyondLimit",
                    [](SettingsTexts& t) {
                        t.MinPeriod = "1";
                        t.MaxPeriod = "100000.5";
                        t.PeriodStep = "1";
                    },
                    gridTooLong, SettingsField::PeriodStep},
        // A step that does not advance the sum would make the grid endless.
        FailureCase{"StepBelowResolution",
                    [](SettingsTexts& t) {
                        t.MinPeriod = "1";
                        t.MaxPeriod = "2";
                        t.PeriodStep = "1E-20";
                    },
                    gridTooLong, SettingsField::PeriodStep},
        FailureCase{"DtOverTNotANumber", [](SettingsTexts& t) { t.MaxDtOverT = "1/50"; },
                    "\"1/50\" is not a valid floating number!", SettingsField::MaxDtOverT},
        FailureCase{"DtOverTZeroForPiecewiseExact", [](SettingsTexts& t) { t.MaxDtOverT = "0"; },
                    dtOverTZero, SettingsField::MaxDtOverT},
        FailureCase{"DtOverTZeroForNewmark",
                    [](SettingsTexts& t) {
                        t.Method = SolverMethod::Newmark;
                        t.MaxDtOverT = "-0.5";
                        t.Beta = "?";
                    },
                    dtOverTZero, SettingsField::MaxDtOverT},
        FailureCase{"BetaNotANumberForNewmark",
                    [](SettingsTexts& t) {
                        t.Method = SolverMethod::Newmark;
                        t.Beta = "1/4";
                        t.Gamma = "?";
                    },
                    "\"1/4\" is not a valid floating number!", SettingsField::Beta},
        FailureCase{"GammaNotANumberForNewmark",
                    [](SettingsTexts& t) {
                        t.Method = SolverMethod::Newmark;
                        t.Gamma = "half";
                        t.Gravity = "0";
                    },
                    "\"half\" is not a valid floating number!", SettingsField::Gamma},
        FailureCase{"GravityNotANumber", [](SettingsTexts& t) { t.Gravity = "9.8m"; },
                    "\"9.8m\" is not a valid floating number!", SettingsField::Gravity},
        // With the piecewise exact method the Newmark fields are never read.
        FailureCase{"GravityZeroPastUnreadNewmarkFields",
                    [](SettingsTexts& t) {
                        t.Beta = "?";
                        t.Gamma = "?";
                        t.Gravity = "0";
                    },
                    gravityZero, SettingsField::Gravity},
        FailureCase{"GravityNegative", [](SettingsTexts& t) { t.Gravity = "-980"; }, gravityZero,
                    SettingsField::Gravity}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST(UpdateAnalysisSettings, DefaultTextsGiveTheDefaults) {
    const auto result = UpdateAnalysisSettings(AnalysisSettings{}, DefaultSettingsTexts());
    ASSERT_TRUE(std::holds_alternative<AnalysisSettings>(result));
    const AnalysisSettings& s = std::get<AnalysisSettings>(result);
    const AnalysisSettings defaults;
    EXPECT_EQ(s.Gravity, defaults.Gravity);
    EXPECT_EQ(s.MinPeriod, defaults.MinPeriod);
    EXPECT_EQ(s.MaxPeriod, defaults.MaxPeriod);
    EXPECT_EQ(s.PeriodStep, defaults.PeriodStep);
    EXPECT_EQ(s.Method, 0);
    EXPECT_EQ(s.MaxDtOverT, defaults.MaxDtOverT);
    EXPECT_EQ(s.NewmarkBeta, 0.25);
    EXPECT_EQ(s.NewmarkGamma, 0.5);
}

TEST(UpdateAnalysisSettings, StepEqualToRangeIsAccepted) {
    SettingsTexts texts = DefaultSettingsTexts();
    texts.MinPeriod = "1";
    texts.MaxPeriod = "6";
    texts.PeriodStep = "5";
    const auto result = UpdateAnalysisSettings(Current(), texts);
    ASSERT_TRUE(std::holds_alternative<AnalysisSettings>(result));
    EXPECT_EQ(std::get<AnalysisSettings>(result).PeriodStep, 5.0);
}

TEST(UpdateAnalysisSettings, GridOfExactlyTheLimitIsAccepted) {
    SettingsTexts texts = DefaultSettingsTexts();
    texts.MinPeriod = "1";
    texts.MaxPeriod = "99999.5";
    texts.PeriodStep = "1";
    const auto result = UpdateAnalysisSettings(Current(), texts);
    ASSERT_TRUE(std::holds_alternative<AnalysisSettings>(result));
    const AnalysisSettings& s = std::get<AnalysisSettings>(result);
    DOUBLEVECTOR periods, frequencies;
    BuildPeriodGrid(periods, frequencies, s.MinPeriod, s.MaxPeriod, s.PeriodStep);
    EXPECT_EQ(periods.size(), 100000u);
}

TEST(UpdateAnalysisSettings, PiecewiseExactKeepsStoredBetaAndGamma) {
    SettingsTexts texts = DefaultSettingsTexts();
    texts.Beta = "not read";
    texts.Gamma = "";
    texts.MinPeriod = "0.05";
    const auto result = UpdateAnalysisSettings(Current(), texts);
    ASSERT_TRUE(std::holds_alternative<AnalysisSettings>(result));
    const AnalysisSettings& s = std::get<AnalysisSettings>(result);
    EXPECT_EQ(s.MinPeriod, 0.05);
    EXPECT_EQ(s.NewmarkBeta, 0.3);
    EXPECT_EQ(s.NewmarkGamma, 0.6);
    EXPECT_EQ(s.Method, 0);
}

TEST(UpdateAnalysisSettings, NewmarkTakesAnyBetaAndGammaIncludingZeroAndNegative) {
    SettingsTexts texts = DefaultSettingsTexts();
    texts.Method = SolverMethod::Newmark;
    texts.Beta = "0";
    texts.Gamma = "-0.5";
    const auto result = UpdateAnalysisSettings(Current(), texts);
    ASSERT_TRUE(std::holds_alternative<AnalysisSettings>(result));
    const AnalysisSettings& s = std::get<AnalysisSettings>(result);
    EXPECT_EQ(s.Method, 1);
    EXPECT_EQ(s.NewmarkBeta, 0.0);
    EXPECT_EQ(s.NewmarkGamma, -0.5);
}

TEST(UpdateAnalysisSettings, ReadsTheRegionalDecimalSeparator) {
    SettingsTexts texts = DefaultSettingsTexts();
    texts.MinPeriod = "0,05";
    texts.MaxPeriod = "4,5";
    texts.PeriodStep = "0,05";
    texts.MaxDtOverT = "0,01";
    texts.Gravity = "981,5";
    const auto result = UpdateAnalysisSettings(Current(), texts, ',');
    ASSERT_TRUE(std::holds_alternative<AnalysisSettings>(result));
    const AnalysisSettings& s = std::get<AnalysisSettings>(result);
    EXPECT_EQ(s.MinPeriod, 0.05);
    EXPECT_EQ(s.MaxPeriod, 4.5);
    EXPECT_EQ(s.MaxDtOverT, 0.01);
    EXPECT_EQ(s.Gravity, 981.5);
}

// '.' is read besides the user's separator: in a ',' locale the texts "Program
// Defaults" writes ("0.02", ...) pass, and so do fields mixing both; with '.'
// as the user's separator a ',' stays refused.
TEST(UpdateAnalysisSettings, ReadsThePointBesidesTheRegionalSeparator) {
    const auto defaults = UpdateAnalysisSettings(Current(), DefaultSettingsTexts(), ',');
    ASSERT_TRUE(std::holds_alternative<AnalysisSettings>(defaults));
    const AnalysisSettings& d = std::get<AnalysisSettings>(defaults);
    EXPECT_EQ(d.MinPeriod, 0.02);
    EXPECT_EQ(d.PeriodStep, 0.02);
    EXPECT_EQ(d.MaxDtOverT, 0.02);

    SettingsTexts mixed = DefaultSettingsTexts();
    mixed.Method = SolverMethod::Newmark;
    mixed.MinPeriod = "0,05";
    mixed.MaxPeriod = "4.5";
    mixed.Beta = "0,2";
    mixed.Gamma = "0.55";
    mixed.Gravity = "981.456";
    const auto result = UpdateAnalysisSettings(Current(), mixed, ',');
    ASSERT_TRUE(std::holds_alternative<AnalysisSettings>(result));
    const AnalysisSettings& s = std::get<AnalysisSettings>(result);
    EXPECT_EQ(s.MinPeriod, 0.05);
    EXPECT_EQ(s.MaxPeriod, 4.5);
    EXPECT_EQ(s.NewmarkBeta, 0.2);
    EXPECT_EQ(s.NewmarkGamma, 0.55);
    EXPECT_EQ(s.Gravity, 981.456);

    SettingsTexts comma = DefaultSettingsTexts();
    comma.MaxDtOverT = "0,02";
    const auto refused = UpdateAnalysisSettings(Current(), comma, '.');
    ASSERT_TRUE(std::holds_alternative<SettingsFailure>(refused));
    EXPECT_EQ(std::get<SettingsFailure>(refused).Message,
              "\"0,02\" is not a valid floating number!");
    EXPECT_EQ(std::get<SettingsFailure>(refused).Field, SettingsField::MaxDtOverT);
}

TEST(SettingsTexts, DefaultsAreTheProgramDefaultsAsText) {
    const SettingsTexts texts = DefaultSettingsTexts();
    EXPECT_EQ(texts.MinPeriod, "0.02");
    EXPECT_EQ(texts.MaxPeriod, "6");
    EXPECT_EQ(texts.PeriodStep, "0.02");
    EXPECT_EQ(texts.MaxDtOverT, "0.02");
    EXPECT_EQ(texts.Beta, "0.25");
    EXPECT_EQ(texts.Gamma, "0.5");
    EXPECT_EQ(texts.Gravity, "980");
    EXPECT_EQ(texts.Method, SolverMethod::PiecewiseExact);

    const SettingsTexts shown = SettingsToTexts(AnalysisSettings{});
    EXPECT_EQ(shown.MinPeriod, texts.MinPeriod);
    EXPECT_EQ(shown.MaxPeriod, texts.MaxPeriod);
    EXPECT_EQ(shown.PeriodStep, texts.PeriodStep);
    EXPECT_EQ(shown.MaxDtOverT, texts.MaxDtOverT);
    EXPECT_EQ(shown.Beta, texts.Beta);
    EXPECT_EQ(shown.Gamma, texts.Gamma);
    EXPECT_EQ(shown.Gravity, texts.Gravity);
    EXPECT_EQ(shown.Method, texts.Method);
}

TEST(SettingsTexts, ShownSettingsReadBackUnchanged) {
    AnalysisSettings s;
    s.Gravity = 981.456;
    s.MinPeriod = 0.015;
    s.MaxPeriod = 10;
    s.PeriodStep = 0.005;
    s.Method = 1;
    s.MaxDtOverT = 0.001;
    s.NewmarkBeta = 1.0 / 6;
    s.NewmarkGamma = 0.5;
    const SettingsTexts texts = SettingsToTexts(s, ',');
    EXPECT_EQ(texts.Gravity, "981,456");
    EXPECT_EQ(texts.Method, SolverMethod::Newmark);
    const auto result = UpdateAnalysisSettings(AnalysisSettings{}, texts, ',');
    ASSERT_TRUE(std::holds_alternative<AnalysisSettings>(result));
    const AnalysisSettings& back = std::get<AnalysisSettings>(result);
    EXPECT_EQ(back.Gravity, s.Gravity);
    EXPECT_EQ(back.PeriodStep, s.PeriodStep);
    EXPECT_EQ(back.Method, 1);
    // 15 digits: 1/6 comes back as 0.166666666666667.
    EXPECT_EQ(back.NewmarkBeta, 0.166666666666667);
}

} // namespace
