#include "spectra/DampingAndPeriods.h"
#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Fields(std::vector<std::string> first) {
    std::vector<std::string> texts = {"5", "10", "15", "20", "30", "35", "40", "50", "60"};
    for (std::size_t i = 0; i < first.size(); ++i) {
        texts[i] = first[i];
    }
    return texts;
}

struct DampingCase {
    const char* name;
    std::vector<std::string> texts;
    int count;
    DOUBLEVECTOR sorted; // after SortAndDeduplicate
};

class DampingAccepted : public ::testing::TestWithParam<DampingCase> {};

TEST_P(DampingAccepted, ReadsFirstCountFieldsAsFractions) {
    const DampingCase& c = GetParam();
    DOUBLEVECTOR ratios = {0.7, 0.8}; // left over from an earlier analysis
    EXPECT_FALSE(ReadDampingRatios(ratios, Fields(c.texts), c.count).has_value());
    SortAndDeduplicate(ratios);
    EXPECT_EQ(ratios, c.sorted);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DampingAccepted,
    ::testing::Values(
        DampingCase{"DuplicatesAndOrderDoNotMatter", {"20", "5", "20"}, 3, {0.05, 0.2}},
        DampingCase{"FiveAndFivePointZeroAreOne", {"5", "5.0", "5e0"}, 3, {0.05}},
        DampingCase{"JustBelowOneZeroAndNegative", {"99.9", "0", "-5"}, 3, {-0.05, 0, 99.9 / 100}},
        // Fields past the count are never read, whatever they hold.
        DampingCase{
            "OnlyTheEnabledField", {"5", "x", "5%", "", "?", "?", "?", "?", "?"}, 1, {0.05}},
        DampingCase{
            "AllNineDefaults", {}, 9, {0.05, 0.10, 0.15, 0.20, 0.30, 0.35, 0.40, 0.50, 0.60}}),
    [](const ::testing::TestParamInfo<DampingCase>& info) { return info.param.name; });

TEST(PrepareSpectraGrid, ReplacesGridAndSortsRatiosInOneStep) {
    AnalysisSettings settings;
    settings.MinPeriod = 0.1;
    settings.MaxPeriod = 1;
    settings.PeriodStep = 0.3;
    DOUBLEVECTOR ratios = {0.05, 0.02, 0.05};
    DOUBLEVECTOR periods = {9, 9}; // an earlier grid
    DOUBLEVECTOR frequencies = {9};
    PrepareSpectraGrid(settings, ratios, periods, frequencies);
    EXPECT_EQ(ratios, (DOUBLEVECTOR{0.02, 0.05}));
    // 0.1, 0.4, 0.7 by repeated addition; the next sum passes 1, and 0.7 falls
    // short of 1 by more than 10 %, so 1 closes the grid.
    const double second = 0.1 + 0.3;
    const double third = second + 0.3;
    EXPECT_EQ(periods, (DOUBLEVECTOR{0, 0.1, second, third, 1}));
    EXPECT_EQ(frequencies, (DOUBLEVECTOR{1 / 0.1, 1 / 0.1, 1 / second, 1 / third, 1}));
}

TEST(ReadDampingRatios, PercentDividedOnceGivesNearestDouble) {
    DOUBLEVECTOR ratios;
    ASSERT_FALSE(ReadDampingRatios(ratios, Fields({"35", "7"}), 2).has_value());
    ASSERT_EQ(ratios.size(), 2u);
    EXPECT_EQ(ratios[0], 0.35);
    EXPECT_EQ(ratios[1], 0.07);
}

struct RefusedCase {
    const char* name;
    std::vector<std::string> texts;
    int count;
    std::string message;
    int field;
    DOUBLEVECTOR readBefore;
};

class DampingRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(DampingRefused, NamesFieldAndKeepsEarlierRatios) {
    const RefusedCase& c = GetParam();
    DOUBLEVECTOR ratios = {0.9};
    const auto failure = ReadDampingRatios(ratios, Fields(c.texts), c.count);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->Message, c.message);
    EXPECT_EQ(failure->FieldIndex, c.field);
    EXPECT_EQ(ratios, c.readBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DampingRefused,
    ::testing::Values(
        RefusedCase{"Hundred", {"100"}, 1, "Damping Ratio must be less than 1!", 0, {}},
        RefusedCase{"AboveHundredInThirdField",
                    {"5", "10", "250"},
                    4,
                    "Damping Ratio must be less than 1!",
                    2,
                    {0.05, 0.10}},
        RefusedCase{"PercentSign", {"5%"}, 1, "\"5%\" is not a valid floating number!", 0, {}},
        RefusedCase{"EmptyFifthField",
                    {"5", "10", "15", "20", ""},
                    5,
                    "\"\" is not a valid floating number!",
                    4,
                    {0.05, 0.10, 0.15, 0.20}},
        RefusedCase{"NotANumberBeforeTooLarge",
                    {"1,5", "100"},
                    2,
                    "\"1,5\" is not a valid floating number!",
                    0,
                    {}}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

// The user's separator, and '.' always besides it.
TEST(ReadDampingRatios, ReadsTheRegionalSeparatorAndThePoint) {
    DOUBLEVECTOR ratios;
    ASSERT_FALSE(ReadDampingRatios(ratios, Fields({"2,5", "7.5", "10"}), 3, ',').has_value());
    EXPECT_EQ(ratios, (DOUBLEVECTOR{0.025, 0.075, 0.1}));
    ASSERT_FALSE(ReadDampingRatios(ratios, Fields({"2.5"}), 1, '.').has_value());
    EXPECT_EQ(ratios, DOUBLEVECTOR{0.025});
    const std::optional<DampingFailure> refused =
        ReadDampingRatios(ratios, Fields({"5", "2,5"}), 2, '.');
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->Message, "\"2,5\" is not a valid floating number!");
    EXPECT_EQ(refused->FieldIndex, 1);
}

struct GridCase {
    const char* name;
    double minPeriod, maxPeriod, step;
    std::size_t size;
    std::string last;   // shortest round-trip text of the last period
    DOUBLEVECTOR whole; // the whole grid when short enough to list
};

std::string RoundTrip(double value) {
    char buffer[32];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
        if (std::stod(buffer) == value) {
            break;
        }
    }
    return buffer;
}

class PeriodGrid : public ::testing::TestWithParam<GridCase> {};

TEST_P(PeriodGrid, AccumulatesAndClosesAsExpected) {
    const GridCase& c = GetParam();
    DOUBLEVECTOR periods = {9, 9, 9}, frequencies = {1};
    BuildPeriodGrid(periods, frequencies, c.minPeriod, c.maxPeriod, c.step);
    ASSERT_EQ(periods.size(), c.size);
    EXPECT_EQ(periods[0], 0.0);
    EXPECT_EQ(periods[1], c.minPeriod);
    EXPECT_EQ(RoundTrip(periods.back()), c.last);
    if (!c.whole.empty()) {
        EXPECT_EQ(periods, c.whole);
    }
    ASSERT_EQ(frequencies.size(), periods.size());
    EXPECT_EQ(frequencies[0], 1.0 / periods[1]);
    for (std::size_t i = 1; i < periods.size(); ++i) {
        EXPECT_EQ(frequencies[i], 1.0 / periods[i]) << i;
    }
    // The count used by the settings check agrees with the grid.
    EXPECT_EQ(PeriodGridSize(c.minPeriod, c.maxPeriod, c.step, 100000), c.size);
    EXPECT_EQ(PeriodGridSize(c.minPeriod, c.maxPeriod, c.step, c.size - 1), c.size);
    EXPECT_EQ(PeriodGridSize(c.minPeriod, c.maxPeriod, c.step, 1), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, PeriodGrid,
    ::testing::Values(
        GridCase{"Defaults", 0.02, 6, 0.02, 301, "5.99999999999996", {}},
        GridCase{"GapBelowTenPercentNotClosed", 0.02, 3, 0.02, 150, "2.980000000000002", {}},
        GridCase{"GapAboveTenPercentClosed", 1, 6, 2, 5, "6", {0, 1, 3, 5, 6}},
        GridCase{
            "HalfSecondSteps", 1, 6, 0.5, 11, "5.5", {0, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5, 5.5}},
        GridCase{"StepEqualToRange", 1, 6, 5, 3, "6", {0, 1, 6}}),
    [](const ::testing::TestParamInfo<GridCase>& info) { return info.param.name; });

// The closing rule's boundary: maxPeriod is added only when the gap is MORE
// than 10 % of it. Gaps that come out exactly 0.1 of maxPeriod in doubles are
// not closed; the doubles just above are, those just below are not.
INSTANTIATE_TEST_SUITE_P(
    ClosingBoundary, PeriodGrid,
    ::testing::Values(
        GridCase{"GapOfExactlyTenPercentNotClosed", 1, 10, 8, 3, "9", {0, 1, 9}},
        GridCase{"ExactlyTenPercentAfterSeveralSteps", 1, 10, 2, 6, "9", {0, 1, 3, 5, 7, 9}},
        GridCase{"ExactlyTenPercentOfAFractionalMaximum",
                 0.25,
                 2.5,
                 0.5,
                 6,
                 "2.25",
                 {0, 0.25, 0.75, 1.25, 1.75, 2.25}},
        GridCase{
            "GapJustAboveTenPercentClosed", 0.3, 3, 2.4, 4, "3", {0, 0.3, 2.6999999999999997, 3}},
        GridCase{"AccumulatedGapJustAboveTenPercentClosed",
                 0.1,
                 1,
                 0.2,
                 7,
                 "1",
                 {0, 0.1, 0.30000000000000004, 0.5, 0.7, 0.8999999999999999, 1}},
        GridCase{"GapJustBelowTenPercentNotClosed", 0.2, 2, 1.6, 3, "1.8", {0, 0.2, 1.8}}),
    [](const ::testing::TestParamInfo<GridCase>& info) { return info.param.name; });

TEST(PeriodGrid, DefaultsStartWithFiftyFiftyTwentyFive) {
    DOUBLEVECTOR periods, frequencies;
    BuildPeriodGrid(periods, frequencies, 0.02, 6, 0.02);
    ASSERT_GE(frequencies.size(), 3u);
    EXPECT_EQ(frequencies[0], 50.0);
    EXPECT_EQ(frequencies[1], 50.0);
    EXPECT_EQ(frequencies[2], 25.0);
    EXPECT_EQ(FormatGeneral(periods.back()), "5.99999999999996");
    EXPECT_LT(periods.back(), 6.0);
}

} // namespace
