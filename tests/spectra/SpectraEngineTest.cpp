#include "spectra/SpectraEngine.h"
#include "spectra/DampingAndPeriods.h"
#include "spectra/SdofSolver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// A few hundred samples of enveloped, irregular motion (g), starting off zero.
std::unique_ptr<TimeHistory> MotionRecord(std::size_t count, double dt) {
    auto record = std::make_unique<TimeHistory>("motion.txt", dt);
    std::uint64_t state = 12345;
    for (std::size_t i = 0; i < count; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const double noise = static_cast<double>(state >> 11) / 9007199254740992.0 - 0.5;
        const double t = static_cast<double>(i) / static_cast<double>(count);
        record->AddAcceleration(0.02 + 0.6 * noise * std::sin(3.14159 * t) + 0.1 * std::sin(i));
    }
    return record;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct Grid {
    const char* name;
    DOUBLEVECTOR ratios;
    DOUBLEVECTOR periods;
};

Grid DefaultGrid() {
    Grid grid{"DefaultGrid", {0.0, 0.02, 0.05, 0.1, 0.2, 0.5, 0.95, -0.05}, {}};
    DOUBLEVECTOR frequencies;
    BuildPeriodGrid(grid.periods, frequencies, 0.02, 6, 0.02);
    return grid;
}

// Short periods with sub-step counts beyond the excitation block (n = 1001,
// 501), so that blocks end inside a record step; and groups of one oscillator.
Grid ShortPeriodGrid() {
    return Grid{"ShortPeriods", {0.05, 0.3}, {0.0, 0.0005, 0.001, 0.013, 0.02, 0.3, 1.0, 5.0}};
}

struct Method {
    const char* name;
    SolverMethod method;
    double beta, gamma;
};

const Method methods[] = {{"PiecewiseExact", SolverMethod::PiecewiseExact, 0.25, 0.5},
                          {"AverageAcceleration", SolverMethod::Newmark, 0.25, 0.5},
                          {"LinearAcceleration", SolverMethod::Newmark, 1.0 / 6, 0.5}};

std::vector<VectorPath> SupportedPaths() {
    std::vector<VectorPath> paths;
    for (VectorPath p :
         {VectorPath::Scalar, VectorPath::Sse2, VectorPath::Avx2, VectorPath::Avx512}) {
        if (IsVectorPathSupported(p)) {
            paths.push_back(p);
        }
    }
    return paths;
}

// The engine against the one-oscillator solver, pair by pair, bit for bit: for
// 1 and 2 threads, every vector path this processor runs, both methods, and a
// corrected record (whose corrected series drives the oscillators).
class EngineMatchesSolver : public ::testing::TestWithParam<Grid> {};

TEST_P(EngineMatchesSolver, BitForBitOnEveryPathAndThreadCount) {
    const Grid& grid = GetParam();
    const auto record = MotionRecord(300, 0.01);
    auto corrected = MotionRecord(300, 0.01);
    corrected->GetCorrectedAcceleration() = corrected->GetAcceleration();
    for (double& x : corrected->GetCorrectedAcceleration()) {
        x -= 0.02;
    }
    corrected->SetCorrected(true);

    SpectraEngine oneThread(1);
    SpectraEngine twoThreads(2);
    std::size_t compared = 0;
    for (const TimeHistory* r : {record.get(), corrected.get()}) {
        for (const Method& m : methods) {
            AnalysisSettings settings;
            settings.Method = static_cast<std::int32_t>(m.method);
            settings.NewmarkBeta = m.beta;
            settings.NewmarkGamma = m.gamma;
            std::vector<std::vector<PeakResponse>> expected(grid.ratios.size());
            for (std::size_t j = 0; j < grid.ratios.size(); ++j) {
                expected[j].resize(grid.periods.size());
                for (std::size_t i = 1; i < grid.periods.size(); ++i) {
                    PeakResponse& p = expected[j][i];
                    ASSERT_TRUE(ComputePeakResponse(
                        *r, r->IsCorrected(), settings.Gravity, settings.MaxDtOverT, grid.ratios[j],
                        grid.periods[i], m.method, m.beta, m.gamma, p.SD, p.SV, p.SA));
                }
            }
            const SpectraInput input = MakeSpectraInput(*r, settings);
            for (SpectraEngine* engine : {&oneThread, &twoThreads}) {
                for (VectorPath path : SupportedPaths()) {
                    ASSERT_TRUE(engine->SetVectorPath(path));
                    std::vector<std::vector<PeakResponse>> peaks;
                    ASSERT_TRUE(engine->Compute(input, grid.ratios, grid.periods, peaks));
                    ASSERT_EQ(peaks.size(), grid.ratios.size());
                    for (std::size_t j = 0; j < grid.ratios.size(); ++j) {
                        ASSERT_EQ(peaks[j].size(), grid.periods.size());
                        EXPECT_EQ(peaks[j][0].SD, 0.0);
                        EXPECT_EQ(peaks[j][0].SA, 0.0);
                        for (std::size_t i = 1; i < grid.periods.size(); ++i) {
                            const PeakResponse& got = peaks[j][i];
                            const PeakResponse& want = expected[j][i];
                            const bool same = SameBits(got.SD, want.SD) &&
                                              SameBits(got.SV, want.SV) &&
                                              SameBits(got.SA, want.SA);
                            EXPECT_TRUE(same)
                                << m.name << " " << VectorPathName(path) << " threads "
                                << engine->ThreadCount() << " ratio " << grid.ratios[j]
                                << " period " << grid.periods[i] << ": " << got.SD << " " << got.SV
                                << " " << got.SA << " vs " << want.SD << " " << want.SV << " "
                                << want.SA;
                            if (!same) {
                                return;
                            }
                            ++compared;
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(compared, 0u);
}

INSTANTIATE_TEST_SUITE_P(Grids, EngineMatchesSolver,
                         ::testing::Values(DefaultGrid(), ShortPeriodGrid()),
                         [](const ::testing::TestParamInfo<Grid>& info) {
                             return info.param.name;
                         });

TEST(SpectraEngine, EmptySeriesFailsAndLeavesPeaksAlone) {
    SpectraEngine engine(2);
    TimeHistory record("empty", 0.01);
    std::vector<std::vector<PeakResponse>> peaks(1, std::vector<PeakResponse>(1, {1, 2, 3}));
    EXPECT_FALSE(
        engine.Compute(MakeSpectraInput(record, AnalysisSettings{}), {0.05}, {0, 0.1}, peaks));
    ASSERT_EQ(peaks.size(), 1u);
    ASSERT_EQ(peaks[0].size(), 1u);
    EXPECT_EQ(peaks[0][0].SV, 2);
    SpectraInput missing;
    EXPECT_FALSE(engine.Compute(missing, {0.05}, {0, 0.1}, peaks));
}

TEST(SpectraEngine, OneSampleGivesZeroPeaks) {
    SpectraEngine engine(2);
    TimeHistory record("one", 0.01);
    record.AddAcceleration(0.4);
    std::vector<std::vector<PeakResponse>> peaks;
    ASSERT_TRUE(engine.Compute(MakeSpectraInput(record, AnalysisSettings{}), {0.05, 0.1},
                               {0, 0.1, 1}, peaks));
    ASSERT_EQ(peaks.size(), 2u);
    for (const auto& row : peaks) {
        ASSERT_EQ(row.size(), 3u);
        for (const PeakResponse& p : row) {
            EXPECT_EQ(p.SD, 0);
            EXPECT_EQ(p.SV, 0);
            EXPECT_EQ(p.SA, 0);
        }
    }
}

TEST(SpectraEngine, PeriodWithoutSubStepCountGivesNaN) {
    SpectraEngine engine(1);
    const auto record = MotionRecord(50, 0.01);
    std::vector<std::vector<PeakResponse>> peaks;
    ASSERT_TRUE(engine.Compute(MakeSpectraInput(*record, AnalysisSettings{}), {0.05}, {0, 1e-12, 1},
                               peaks));
    EXPECT_TRUE(std::isnan(peaks[0][1].SD));
    EXPECT_TRUE(std::isfinite(peaks[0][2].SD));
    EXPECT_GT(peaks[0][2].SD, 0);
}

// A gamma so large that Newmark's constants are infinite turns the state NaN
// at the first sub-step. The solver, which skips NaN, reports zero peaks; the
// engine marks the oscillator as not finite so that callers do not take the
// zeros for a response.
TEST(SpectraEngine, OscillatorWhoseStateIsNotFiniteGetsNaN) {
    const auto record = MotionRecord(100, 0.01);
    AnalysisSettings settings;
    settings.Method = 1;
    settings.NewmarkGamma = 1e308;
    double sd = -1, sv = -1, sa = -1;
    ASSERT_TRUE(ComputePeakResponse(*record, false, 980, 0.02, 0.05, 0.5, SolverMethod::Newmark,
                                    0.25, 1e308, sd, sv, sa));
    EXPECT_EQ(sd, 0.0);
    SpectraEngine engine(1);
    std::vector<std::vector<PeakResponse>> peaks;
    ASSERT_TRUE(engine.Compute(MakeSpectraInput(*record, settings), {0.05}, {0, 0.5}, peaks));
    EXPECT_TRUE(std::isnan(peaks[0][1].SD));
    EXPECT_TRUE(std::isnan(peaks[0][1].SA));
}

TEST(SpectraEngine, ThreadCountIsAsAskedOrOnePerCore) {
    EXPECT_EQ(SpectraEngine(3).ThreadCount(), 3u);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    EXPECT_EQ(SpectraEngine().ThreadCount(), cores);
}

TEST(SpectraEngine, AutomaticPathIsTheWidestSupported) {
    SpectraEngine engine(1);
    ASSERT_TRUE(engine.SetVectorPath(VectorPath::Automatic));
    const VectorPath active = engine.ActiveVectorPath();
    EXPECT_NE(active, VectorPath::Automatic);
    EXPECT_EQ(active, SupportedPaths().back());
    EXPECT_EQ(std::string(VectorPathName(VectorPath::Avx512)), "AVX-512");
}

} // namespace

namespace {

struct ProcessorCase {
    unsigned affinity;
    const char* cpuMax; // the text of cgroup v2's cpu.max
    unsigned expected;
};

TEST(UsableProcessorCount, IsTheAffinityCutToTheQuotaRoundedUp) {
    const ProcessorCase cases[] = {
        {8, "", 8},                    // no cgroup file
        {8, "max 100000\n", 8},        // no quota
        {64, "400000 100000\n", 4},    // a scheduler's 4 cores of 64
        {64, "150000 100000\n", 2},    // 1.5 processors round up
        {64, "50000 100000\n", 1},     // half a processor still runs one thread
        {64, "1 100000", 1},           // the smallest quota, no newline
        {2, "800000 100000\n", 2},     // a quota above the mask changes nothing
        {1, "max 100000\n", 1},        // taskset -c 0
        {0, "", 1},                    // an empty mask still gives one thread
        {0, "300000 100000\n", 1},     //
        {16, "300000 0\n", 16},        // a zero period is no quota
        {16, "300000\n", 16},          // malformed texts are ignored
        {16, "-300000 100000\n", 16},  //
        {16, "300000 100000 7\n", 16}, //
        {16, "3e5 100000\n", 16},      //
        {16, "99999999999999999999 1\n", 16},
        {16, "900000000000000000 1\n", 16}, // a huge quota
        {16, "100000 999999999999999999\n", 1},
    };
    for (const ProcessorCase& c : cases) {
        EXPECT_EQ(UsableProcessorCount(c.affinity, c.cpuMax), c.expected)
            << c.affinity << " processors, cpu.max \"" << c.cpuMax << "\"";
    }
}

TEST(UsableProcessorCount, OfThisProcessIsWithinTheMachineAndIsTheEngineDefault) {
    const unsigned usable = UsableProcessorCount();
    EXPECT_GE(usable, 1u);
    if (std::thread::hardware_concurrency() != 0) {
        EXPECT_LE(usable, std::thread::hardware_concurrency());
    }
    EXPECT_EQ(SpectraEngine(0).ThreadCount(), usable);
    EXPECT_EQ(SpectraEngine(3).ThreadCount(), 3u);
}

} // namespace
