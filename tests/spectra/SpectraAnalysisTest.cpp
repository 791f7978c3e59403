#include "spectra/SpectraAnalysis.h"
#include "spectra/CircularFrequency.h"
#include "spectra/DampingAndPeriods.h"
#include "spectra/SdofSolver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

std::unique_ptr<TimeHistory> WaveRecord(std::size_t count) {
    auto record = std::make_unique<TimeHistory>("wave.txt", 0.01);
    for (std::size_t i = 0; i < count; ++i) {
        record->AddAcceleration(0.25 * std::sin(0.3 * i) * std::exp(-0.01 * i) - 0.01);
    }
    return record;
}

DOUBLEVECTOR DefaultPeriods() {
    DOUBLEVECTOR periods, frequencies;
    BuildPeriodGrid(periods, frequencies, 0.02, 6, 0.02);
    return periods;
}

class Analysis : public ::testing::Test {
protected:
    SpectraEngine engine{2};
    AnalysisSettings settings;
    SpectraCurves curves;
};

TEST_F(Analysis, CurvesHoldPeriodZeroValuesSolverPeaksAndPseudoSpectra) {
    const auto record = WaveRecord(400);
    const DOUBLEVECTOR periods = DefaultPeriods();
    const DOUBLEVECTOR ratios = {0.05, 0.2};
    const SpectraOutcome outcome =
        ComputeSpectraCurves(engine, *record, settings, ratios, periods, curves);
    EXPECT_FALSE(outcome.Refusal);
    EXPECT_TRUE(outcome.Messages.empty());
    for (const auto* table : {&curves.SD, &curves.SV, &curves.PSV, &curves.SA, &curves.PSA}) {
        ASSERT_EQ(table->size(), 2u);
        for (const DOUBLEVECTOR& curve : *table) {
            ASSERT_EQ(curve.size(), 301u);
        }
    }
    const double pga = record->PeakAcceleration();
    for (std::size_t j = 0; j < ratios.size(); ++j) {
        EXPECT_EQ(curves.SD[j][0], 0.0);
        EXPECT_EQ(curves.SV[j][0], 0.0);
        EXPECT_EQ(curves.PSV[j][0], 0.0);
        EXPECT_EQ(curves.SA[j][0], pga);
        EXPECT_EQ(curves.PSA[j][0], pga);
        for (std::size_t i = 1; i < periods.size(); ++i) {
            const double omega = 6.2831852 / periods[i];
            const double sd = curves.SD[j][i];
            EXPECT_EQ(curves.PSV[j][i], omega * sd) << i;
            EXPECT_EQ(curves.PSA[j][i], omega * omega * sd / settings.Gravity) << i;
        }
        for (std::size_t i : {std::size_t{1}, std::size_t{37}, std::size_t{300}}) {
            double sd = 0, sv = 0, sa = 0;
            ASSERT_TRUE(ComputePeakResponse(*record, false, settings.Gravity, settings.MaxDtOverT,
                                            ratios[j], periods[i], SolverMethod::PiecewiseExact,
                                            0.25, 0.5, sd, sv, sa));
            EXPECT_EQ(curves.SD[j][i], sd);
            EXPECT_EQ(curves.SV[j][i], sv);
            EXPECT_EQ(curves.SA[j][i], sa);
        }
    }
}

TEST_F(Analysis, CorrectedRecordIsAnalysedFromCorrectedSeriesButShowsUncorrectedPeak) {
    auto record = WaveRecord(300);
    record->GetCorrectedAcceleration() = record->GetAcceleration();
    for (double& x : record->GetCorrectedAcceleration()) {
        x += 0.01;
    }
    record->SetCorrected(true);
    const DOUBLEVECTOR periods = {0, 0.1, 0.5, 2};
    ComputeSpectraCurves(engine, *record, settings, {0.05}, periods, curves);
    ASSERT_EQ(curves.SA.size(), 1u);
    EXPECT_EQ(curves.SA[0][0], record->PeakAcceleration());
    EXPECT_EQ(curves.PSA[0][0], record->PeakAcceleration());
    for (std::size_t i = 1; i < periods.size(); ++i) {
        double sd = 0, sv = 0, sa = 0;
        ASSERT_TRUE(ComputePeakResponse(*record, true, 980, 0.02, 0.05, periods[i],
                                        SolverMethod::PiecewiseExact, 0.25, 0.5, sd, sv, sa));
        EXPECT_EQ(curves.SD[0][i], sd);
        EXPECT_EQ(curves.SA[0][i], sa);
    }
}

TEST_F(Analysis, EmptyRecordGivesOneMessagePerRatioAndNoCurves) {
    TimeHistory record("empty.txt", 0.01);
    const SpectraOutcome outcome =
        ComputeSpectraCurves(engine, record, settings, {0.05, 0.2}, DefaultPeriods(), curves);
    EXPECT_FALSE(outcome.Refusal);
    ASSERT_EQ(outcome.Messages.size(), 2u);
    EXPECT_EQ(outcome.Messages[0], "Error calculation for DampingRatio: 0.05& Period: 0.02");
    EXPECT_EQ(outcome.Messages[1], "Error calculation for DampingRatio: 0.2& Period: 0.02");
    EXPECT_TRUE(curves.SD.empty());
    EXPECT_TRUE(curves.PSA.empty());
    EXPECT_EQ(SolverFailureMessage(0.05, 0.02, ','),
              "Error calculation for DampingRatio: 0,05& Period: 0,02");
}

struct RefusalCase {
    const char* name;
    int method;
    double beta;
    DOUBLEVECTOR ratios;
    std::optional<std::string> refusal;
};

class InputCheck : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(InputCheck, RefusesDegenerateInputBeforeComputing) {
    const RefusalCase& c = GetParam();
    AnalysisSettings settings;
    settings.Method = c.method;
    settings.NewmarkBeta = c.beta;
    EXPECT_EQ(CheckSpectraInputs(settings, c.ratios), c.refusal);

    SpectraEngine engine(1);
    SpectraCurves curves;
    const auto record = WaveRecord(100);
    const SpectraOutcome outcome =
        ComputeSpectraCurves(engine, *record, settings, c.ratios, {0, 0.1, 1}, curves);
    EXPECT_EQ(outcome.Refusal, c.refusal);
    EXPECT_EQ(curves.SD.empty(), c.refusal.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Examples, InputCheck,
    ::testing::Values(
        RefusalCase{"NewmarkBetaZero", 1, 0.0, {0.05}, "Newmark's Beta must not be zero!"},
        RefusalCase{"PiecewiseExactIgnoresBeta", 0, 0.0, {0.05}, std::nullopt},
        RefusalCase{"NewmarkNegativeBeta", 1, -0.25, {0.05}, std::nullopt},
        RefusalCase{
            "RatioMinusOne", 0, 0.25, {0.05, -1.0}, "Damping Ratio must be greater than -100%!"},
        RefusalCase{
            "RatioBelowMinusOne", 1, 0.25, {-1.5}, "Damping Ratio must be greater than -100%!"},
        RefusalCase{"RatioJustAboveMinusOne", 0, 0.25, {-0.99, 0.0}, std::nullopt}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

// Strong negative damping makes the response grow without bound: the analysis
// stops with a message instead of storing infinities.
TEST_F(Analysis, NonFiniteResultAbandonsTheWholeAnalysis) {
    const auto record = WaveRecord(1000);
    const SpectraOutcome outcome =
        ComputeSpectraCurves(engine, *record, settings, {0.05, -0.9}, {0, 0.02, 1}, curves);
    ASSERT_TRUE(outcome.Refusal);
    EXPECT_EQ(*outcome.Refusal, "Calculation overflow for DampingRatio: -0.9 & Period: 0.02");
    EXPECT_TRUE(curves.SD.empty());
    EXPECT_TRUE(curves.SA.empty());
}

TEST_F(Analysis, InfiniteNewmarkConstantsAbandonTheAnalysis) {
    const auto record = WaveRecord(100);
    settings.Method = 1;
    settings.NewmarkGamma = 1e308;
    const SpectraOutcome outcome =
        ComputeSpectraCurves(engine, *record, settings, {0.05}, {0, 0.5, 1}, curves);
    ASSERT_TRUE(outcome.Refusal);
    EXPECT_EQ(*outcome.Refusal, "Calculation overflow for DampingRatio: 0.05 & Period: 0.5");
    EXPECT_TRUE(curves.SD.empty());
}

TEST_F(Analysis, PeriodTooShortForTheTimeStepIsRefused) {
    const auto record = WaveRecord(100);
    const SpectraOutcome outcome =
        ComputeSpectraCurves(engine, *record, settings, {0.05}, {0, 1e-12, 1}, curves);
    ASSERT_TRUE(outcome.Refusal);
    EXPECT_EQ(*outcome.Refusal,
              "Period 1E-12 is too short for the time step 0.01: the oscillator cannot be "
              "integrated!");
    EXPECT_TRUE(curves.SD.empty());
}

// A time step of zero or less (which the import passes on unchanged) is
// refused as such, before any period is blamed for it; a positive one of any
// size is analysed.
TEST_F(Analysis, TimeStepNotGreaterThanZeroIsRefusedAsSuch) {
    struct Case {
        double dt;
        const char* refusal; // nullptr: analysed
    };
    const Case cases[] = {
        {-0.01, "Time step -0.01 is not greater than zero: the record cannot be analysed!"},
        {0.0, "Time step 0 is not greater than zero: the record cannot be analysed!"},
        {-1e300, "Time step -1E300 is not greater than zero: the record cannot be analysed!"},
        {1e-6, nullptr},
        {0.02, nullptr},
    };
    for (const Case& c : cases) {
        TimeHistory record("r.txt", c.dt);
        for (int i = 0; i < 50; ++i) {
            record.AddAcceleration(0.1 * std::sin(0.3 * i));
        }
        const SpectraOutcome outcome =
            ComputeSpectraCurves(engine, record, settings, {0.05}, {0, 0.1, 1}, curves);
        if (c.refusal) {
            EXPECT_EQ(outcome.Refusal, std::optional<std::string>(c.refusal)) << c.dt;
            EXPECT_TRUE(curves.SD.empty()) << c.dt;
        } else {
            EXPECT_FALSE(outcome.Refusal) << c.dt << ": " << outcome.Refusal.value_or("");
            EXPECT_EQ(curves.SD.size(), 1u) << c.dt;
        }
    }
    // The same text in the user's format.
    TimeHistory record("r.txt", -0.5);
    record.AddAcceleration(0.1);
    record.AddAcceleration(0.2);
    EXPECT_EQ(ComputeSpectraCurves(engine, record, settings, {0.05}, {0, 0.1}, curves, ',').Refusal,
              std::optional<std::string>(
                  "Time step -0,5 is not greater than zero: the record cannot be analysed!"));
}

TEST(AppendSpectraCurves, FillsTablesInStoreOrder) {
    SpectraStore store;
    store.DisplacementCurves.push_back({-1});
    SpectraCurves curves;
    curves.SD = {{1}};
    curves.SV = {{2}};
    curves.PSV = {{3}};
    curves.SA = {{4}};
    curves.PSA = {{5}};
    AppendSpectraCurves(store, std::move(curves));
    ASSERT_EQ(store.DisplacementCurves.size(), 2u);
    EXPECT_EQ(store.DisplacementCurves[1], DOUBLEVECTOR{1});
    EXPECT_EQ(store.VelocityCurves, std::vector<DOUBLEVECTOR>{{2}});
    EXPECT_EQ(store.PseudoVelocityCurves, std::vector<DOUBLEVECTOR>{{3}});
    EXPECT_EQ(store.AccelerationCurves, std::vector<DOUBLEVECTOR>{{4}});
    EXPECT_EQ(store.PseudoAccelerationCurves, std::vector<DOUBLEVECTOR>{{5}});
    EXPECT_EQ(store.Curves(SpectrumQuantity::Acceleration), store.AccelerationCurves);
}

TEST_F(Analysis, AnalyzeIntoStoreReplacesStoreWithSortedRatiosAndDefaultGrid) {
    const auto record = WaveRecord(200);
    SpectraStore store;
    store.DisplacementCurves = {{1, 2}, {3, 4}, {5, 6}};
    ASSERT_FALSE(ReadDampingRatios(store.DampingRatios, {"20", "5", "20"}, 3));
    const SpectraOutcome outcome = AnalyzeIntoStore(engine, *record, settings, store);
    EXPECT_FALSE(outcome.Refusal);
    EXPECT_EQ(store.DampingRatios, (DOUBLEVECTOR{0.05, 0.2}));
    ASSERT_EQ(store.Periods.size(), 301u);
    EXPECT_EQ(store.Frequencies.size(), 301u);
    EXPECT_EQ(store.Frequencies[0], 50.0);
    for (const auto* table :
         {&store.DisplacementCurves, &store.VelocityCurves, &store.PseudoVelocityCurves,
          &store.AccelerationCurves, &store.PseudoAccelerationCurves}) {
        ASSERT_EQ(table->size(), 2u);
        EXPECT_EQ((*table)[1].size(), 301u);
    }
    // Higher damping, lower peak displacement at the same period.
    EXPECT_LT(store.DisplacementCurves[1][50], store.DisplacementCurves[0][50]);
}

TEST_F(Analysis, RefusedAnalysisLeavesTheStoreAsItWas) {
    const auto record = WaveRecord(200);
    SpectraStore store;
    store.Periods = {0, 1};
    store.Frequencies = {1, 1};
    store.DisplacementCurves = {{0, 7}};
    store.DampingRatios = {0.05};
    for (double refused : {-1.0, 0.05}) {
        settings.Method = refused < 0 ? 0 : 1;
        settings.NewmarkBeta = refused < 0 ? 0.25 : 0;
        const SpectraOutcome outcome =
            AnalyzeIntoStore(engine, *record, settings, {0.1, refused}, store);
        ASSERT_TRUE(outcome.Refusal);
    }
    EXPECT_EQ(store.DampingRatios, (DOUBLEVECTOR{0.05}));
    EXPECT_EQ(store.Periods, (DOUBLEVECTOR{0, 1}));
    EXPECT_EQ(store.Frequencies, (DOUBLEVECTOR{1, 1}));
    EXPECT_EQ(store.DisplacementCurves, (std::vector<DOUBLEVECTOR>{{0, 7}}));

    // Ratios read into the store stay there as read; the rest is kept.
    store.DampingRatios = {0.2, -1.5};
    ASSERT_TRUE(AnalyzeIntoStore(engine, *record, settings, store).Refusal);
    EXPECT_EQ(store.DampingRatios, (DOUBLEVECTOR{0.2, -1.5}));
    EXPECT_EQ(store.Periods, (DOUBLEVECTOR{0, 1}));
    EXPECT_EQ(store.DisplacementCurves, (std::vector<DOUBLEVECTOR>{{0, 7}}));
}

} // namespace
