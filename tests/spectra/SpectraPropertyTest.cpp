// Property: whatever record is imported and whatever settings pass the dialogs'
// checks, every number the program keeps or writes is finite, or the command
// is refused with a message. Random records and settings from fixed seeds,
// through the same core calls the windows make: import, integration, baseline
// correction, "Analyze and Refresh" into the store, both reports.
#include "export/ReportHeader.h"
#include "export/SpectraReport.h"
#include "export/TimeHistoryReport.h"
#include "import/FreeFormatReader.h"
#include "record/BaselineCorrection.h"
#include "record/Integration.h"
#include "spectra/AnalysisSettings.h"
#include "spectra/DampingAndPeriods.h"
#include "spectra/SdofSolver.h"
#include "spectra/SpectraAnalysis.h"
#include "spectra/SpectraEngine.h"
#include "spectra/SpectraStore.h"
#include "text/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace {

using Random = std::mt19937_64;

double Uniform(Random& random, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
}

int Integer(Random& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

bool Chance(Random& random, double probability) {
    return Uniform(random, 0, 1) < probability;
}

// Magnitudes spread evenly over the decades from low to high.
double LogUniform(Random& random, double low, double high) {
    return std::exp(Uniform(random, std::log(low), std::log(high)));
}

template <typename T> T OneOf(Random& random, const std::vector<T>& values) {
    return values[static_cast<std::size_t>(
        Integer(random, 0, static_cast<int>(values.size()) - 1))];
}

std::string Text(double value) {
    return FormatGeneral(value);
}

// What each regime draws from.
struct Regime {
    const char* name;
    double smallestAmplitude, largestAmplitude; // g, file values
    double smallestScaling, largestScaling;
    double smallestStep, largestStep; // s
    double degenerateShare;           // chance of a special value where one exists
};

void PrintTo(const Regime& regime, std::ostream* out) {
    *out << regime.name;
}

// One drawn case: the texts a user would type and the record file's lines.
struct Case {
    std::vector<std::string> lines;
    FreeTypeParameters import;
    SettingsTexts settings;
    std::vector<std::string> damping;
    BaselineCorrection correction = BaselineCorrection::None;

    std::string Describe() const {
        std::ostringstream out;
        out << lines.size() << " lines (first " << (lines.empty() ? "-" : lines[0]) << "), dt "
            << Text(import.TimeStep) << ", scaling " << Text(import.ScalingFactor)
            << ", correction " << static_cast<int>(correction) << ", periods " << settings.MinPeriod
            << " .. " << settings.MaxPeriod << " step " << settings.PeriodStep << ", dt/T "
            << settings.MaxDtOverT << ", method " << static_cast<int>(settings.Method) << " beta "
            << settings.Beta << " gamma " << settings.Gamma << ", gravity " << settings.Gravity
            << ", damping";
        for (const std::string& d : damping) {
            out << ' ' << d;
        }
        return out.str();
    }
};

// A record file of 1 ... 200 samples: noise, a decaying wave, a step, a
// constant or zeros, at one amplitude.
std::vector<std::string> DrawRecordLines(Random& random, const Regime& regime) {
    const int count =
        Chance(random, regime.degenerateShare) ? Integer(random, 1, 3) : Integer(random, 4, 200);
    const double amplitude = LogUniform(random, regime.smallestAmplitude, regime.largestAmplitude);
    const int shape = Integer(random, 0, 4);
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        double value = 0;
        switch (shape) {
        case 0:
            value = Uniform(random, -1, 1);
            break;
        case 1:
            value = std::exp(-0.02 * i) * std::sin(0.3 * i);
            break;
        case 2:
            value = i == 0 ? 0.0 : 1.0;
            break;
        case 3:
            value = 1.0;
            break;
        default:
            value = 0.0;
            break;
        }
        lines.push_back(Text(amplitude * value));
    }
    return lines;
}

Case DrawCase(Random& random, const Regime& regime) {
    Case c;
    c.lines = DrawRecordLines(random, regime);
    const double special = regime.degenerateShare;
    c.import.TimeStep = Chance(random, special)
                            ? OneOf<double>(random, {0.0, -0.01, 1e-300, 5e-324, 1e307})
                            : LogUniform(random, regime.smallestStep, regime.largestStep);
    // A typed scaling factor is a finite number, however large.
    c.import.ScalingFactor =
        std::fmin((Chance(random, special) ? OneOf<double>(random, {0.0, 1e300, 1e-300}) : 1.0) *
                      LogUniform(random, regime.smallestScaling, regime.largestScaling),
                  1.7e308);
    c.import.ScalingFactor *= Chance(random, 0.3) ? -1 : 1;
    c.correction =
        OneOf<BaselineCorrection>(random, {BaselineCorrection::None, BaselineCorrection::Linear,
                                           BaselineCorrection::Parabolic});

    // Settings: a period grid of at most about 40 entries, any positive dt/T
    // and gravity, any Newmark beta and gamma (beta 0 is refused by the analysis).
    const double minPeriod = Chance(random, special) ? OneOf<double>(random, {1e-300, 1e-12, 1e-6})
                                                     : LogUniform(random, 1e-3, 5);
    const double span = minPeriod * LogUniform(random, 0.5, 1000);
    const double maxPeriod = minPeriod + span;
    const double step = span / Integer(random, 1, 40);
    c.settings.MinPeriod = Text(minPeriod);
    c.settings.MaxPeriod = Text(maxPeriod);
    c.settings.PeriodStep = Text(step);
    c.settings.MaxDtOverT = Text(LogUniform(random, 1e-3, 10));
    c.settings.Method = Chance(random, 0.5) ? SolverMethod::Newmark : SolverMethod::PiecewiseExact;
    c.settings.Beta = Text(Chance(random, special)
                               ? OneOf<double>(random, {0.0, 1e-300, 1e-12, -1e-12, -0.25})
                               : OneOf<double>(random, {0.25, 1.0 / 6, 0.5}) *
                                     LogUniform(random, 1e-6, 10) * (Chance(random, 0.2) ? -1 : 1));
    c.settings.Gamma =
        Text(Chance(random, special) ? OneOf<double>(random, {0.0, -0.5, -1e-12, 1e6})
                                     : Uniform(random, -2, 3));
    c.settings.Gravity =
        Text(Chance(random, special) ? OneOf<double>(random, {1e-300, 1e300, 5e-324})
                                     : LogUniform(random, 1e-3, 1e5));

    const int dampingCount = Integer(random, 1, 4);
    for (int i = 0; i < dampingCount; ++i) {
        const double percent =
            Chance(random, special)
                ? OneOf<double>(random, {0.0, -0.0, -99.9999, -100.0, -150.0, 99.9999, 100.0})
                : Uniform(random, -30, 60);
        c.damping.push_back(Text(percent));
    }
    return c;
}

// Keeps one analysis within a few milliseconds: if the record's time step
// would need more than this many sub-steps per sample on the shortest period,
// dt/T is raised until it does not (any positive dt/T passes the dialog).
void BoundSubSteps(Case& c, const AnalysisSettings& settings, int largest) {
    const double dt = c.import.TimeStep;
    if (SubStepCount(dt, settings.MinPeriod, settings.MaxDtOverT) > largest) {
        c.settings.MaxDtOverT = Text(dt / (settings.MinPeriod * (largest - 1)));
    }
}

bool HoldsNonFiniteText(const ReportLines& lines) {
    for (const std::string& block : lines.Blocks()) {
        for (const char* word : {"NAN", "INF", "nan", "inf"}) {
            if (block.find(word) != std::string::npos) {
                return true;
            }
        }
    }
    return false;
}

void ExpectFiniteStore(const SpectraStore& store) {
    EXPECT_TRUE(AllFinite(store.DampingRatios));
    EXPECT_TRUE(AllFinite(store.Periods));
    EXPECT_TRUE(AllFinite(store.Frequencies));
    for (SpectrumQuantity quantity :
         {SpectrumQuantity::Displacement, SpectrumQuantity::Velocity,
          SpectrumQuantity::Acceleration, SpectrumQuantity::PseudoVelocity,
          SpectrumQuantity::PseudoAcceleration}) {
        const std::vector<DOUBLEVECTOR>& curves = store.Curves(quantity);
        ASSERT_EQ(curves.size(), store.DampingRatios.size());
        for (const DOUBLEVECTOR& curve : curves) {
            ASSERT_EQ(curve.size(), store.Periods.size());
            EXPECT_TRUE(AllFinite(curve)) << "quantity " << static_cast<int>(quantity);
        }
    }
}

class FiniteOrRefused : public ::testing::TestWithParam<Regime> {
protected:
    SpectraEngine engine;
};

TEST_P(FiniteOrRefused, EveryNumberKeptOrWrittenIsFinite) {
    const Regime& regime = GetParam();
    const ReportDate date{2026, 12, 10};
    int analysed = 0;
    for (std::uint64_t seed = 1; seed <= 200; ++seed) {
        Random random(seed * 7919 + static_cast<std::uint64_t>(regime.largestAmplitude > 1e100));
        Case c = DrawCase(random, regime);

        // "Analysis Settings": only settings the dialog accepts go on.
        auto updated = UpdateAnalysisSettings(AnalysisSettings{}, c.settings);
        if (std::holds_alternative<SettingsFailure>(updated)) {
            EXPECT_FALSE(std::get<SettingsFailure>(updated).Message.empty());
            continue;
        }
        BoundSubSteps(c, std::get<AnalysisSettings>(updated), 64);
        updated = UpdateAnalysisSettings(AnalysisSettings{}, c.settings);
        ASSERT_TRUE(std::holds_alternative<AnalysisSettings>(updated)) << c.Describe();
        const AnalysisSettings settings = std::get<AnalysisSettings>(updated);
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + c.Describe());

        // Import: a record of finite samples, or the reader's warning.
        ReadOutcome read = ReadRecordLines("EQ.txt", c.lines, c.import);
        if (!read.Record) {
            EXPECT_FALSE(read.Warning.empty());
            continue;
        }
        TimeHistory& record = *read.Record;
        EXPECT_TRUE(AllFinite(record.GetAcceleration()));
        IntegrateRecord(record, settings.Gravity, false);
        record.SetIntegrated(true);

        // "Apply Baseline Correction": finite corrected series, or refused.
        const BaselineOutcome corrected =
            ApplyBaselineCorrection(record, settings.Gravity, c.correction);
        if (corrected == BaselineOutcome::Recomputed) {
            EXPECT_TRUE(AllFinite(record.GetCorrectedAcceleration()));
            EXPECT_TRUE(AllFinite(record.GetCorrectedVelocity()));
            EXPECT_TRUE(AllFinite(record.GetCorrectedDisplacement()));
        }

        // "Export Checked Data": a report of finite numbers, or its message.
        if (const auto refusal = CheckTimeHistoryReportable(record)) {
            EXPECT_NE(refusal->find(record.GetName()), std::string::npos);
        } else {
            EXPECT_FALSE(HoldsNonFiniteText(BuildTimeHistoryReport(record, "20180304", date)));
        }

        // "Analyze and Refresh" over a store that holds an earlier analysis:
        // a finite store, or a refusal that leaves the store as it was.
        DOUBLEVECTOR ratios;
        if (const auto failure = ReadDampingRatios(ratios, c.damping, 9)) {
            EXPECT_FALSE(failure->Message.empty());
            continue;
        }
        SpectraStore store;
        store.DampingRatios = {0.05};
        store.Periods = {0.0, 1.0};
        store.Frequencies = {1.0, 1.0};
        store.DisplacementCurves = store.VelocityCurves = store.PseudoVelocityCurves =
            store.AccelerationCurves = store.PseudoAccelerationCurves = {{0.0, 1.0}};
        const SpectraStore before = store;
        const SpectraOutcome outcome = AnalyzeIntoStore(engine, record, settings, ratios, store);
        EXPECT_TRUE(outcome.Messages.empty()); // the record has samples
        if (outcome.Refusal) {
            EXPECT_FALSE(outcome.Refusal->empty());
            EXPECT_EQ(store.Periods, before.Periods);
            EXPECT_EQ(store.DisplacementCurves, before.DisplacementCurves);
        } else {
            ++analysed;
            ExpectFiniteStore(store);
        }

        // "Export Checked": the grid the export builds, then its report.
        DOUBLEVECTOR periods;
        DOUBLEVECTOR frequencies;
        BuildPeriodGrid(periods, frequencies, settings.MinPeriod, settings.MaxPeriod,
                        settings.PeriodStep);
        EXPECT_TRUE(AllFinite(periods));
        EXPECT_TRUE(AllFinite(frequencies));
        SortAndDeduplicate(ratios);
        const SpectraReportResult report =
            BuildSpectraReport(engine, record, settings, ratios, periods, "20180304", date);
        EXPECT_EQ(report.Refusal, outcome.Refusal);
        if (!report.Refusal) {
            EXPECT_EQ(report.Lines.Count(), 8 + periods.size());
            EXPECT_FALSE(HoldsNonFiniteText(report.Lines));
        }
    }
    // The regimes are drawn so that most cases reach a stored analysis; a
    // generator that only produced refusals would prove nothing.
    EXPECT_GT(analysed, 35);
}

INSTANTIATE_TEST_SUITE_P(
    Regimes, FiniteOrRefused,
    ::testing::Values(
        // Records as they come: tenths of a g, time steps of hundredths of a second.
        Regime{"ordinary", 1e-3, 1, 0.5, 2, 0.002, 0.05, 0.05},
        // Time steps and scaling factors far from any real record, and the
        // special values: zero, negative, subnormal.
        Regime{"extremeSteps", 1e-3, 1, 1e-6, 1e6, 1e-9, 100, 0.3},
        // Amplitudes up to the ends of the double range.
        Regime{"extremeAmplitudes", 1e-300, 1e300, 1e-10, 1e10, 1e-4, 1, 0.3}),
    [](const ::testing::TestParamInfo<Regime>& info) { return std::string(info.param.name); });

} // namespace
